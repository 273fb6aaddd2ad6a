// ValidaGIAST01: one table per rule family, each row a record and the finding
// lines it must give, byte for byte (GIA and GIA ST texts mixed, as the
// record's rules choose them); then the receipt and generated files.
#include "tests/geradores/giast01.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/execucao_teste.h"
#include "tests/valida/validators/registro_teste.h"
#include "valida/validators/validadores.h"

namespace {

using geradores::Digitos;
using geradores::Poe;
using valida::teste::Achado;
using valida::teste::Campos;
using valida::teste::Caso;
using valida::teste::ExecucaoDeTeste;
using namespace valida::teste::textos;

// GIA ST texts.
const std::string kFixo("Campo Fixo Incorreto");
const std::string kNaoInformar(std::string("Campo não deve ser informado"_cp));
const std::string kDataIncorreta("Data Incorreta");
const std::string kAnterior(std::string("Vencimento anterior não informado"_cp));
const std::string kDesde("Campo 4 deve ser maior que 04/1999");
const std::string kAte("Campo 4 deve ser menor que 07/2000");
const std::string kDuplicidade("Data vencimento em duplicidade");
const std::string k10e9(std::string("Campo 10 não pode ser maior que o 9"_cp));
const std::string k12e11(std::string("Campo 12 não pode ser maior que o 11"_cp));
const std::string kSoma("Soma parcelas difere do campo 17");
std::string Informe(int campo) { return "Informe o campo " + std::to_string(campo); }
std::string Digito(int campo) { return "Dig. Controle Campo " + std::to_string(campo) + " Incorreto"; }
std::string MaiorQue6(int campo) {
  return "Campo " + std::to_string(campo) + std::string(" não pode ser maior que o 6"_cp);
}
std::string ValorCampo(int campo) { return "Valor do campo " + std::to_string(campo) + " incorreto"; }
std::string Venc(int n) { return std::to_string(n) + std::string("° venc deve ser maior que 01/05/1999"_cp); }
std::string InformeValor(int n) { return "Informe o valor do " + std::to_string(n) + std::string("° pagamento"_cp); }
std::string InformeVenc(int n) { return "Informe o vencimento do " + std::to_string(n) + std::string("° pagto"_cp); }

constexpr std::string_view kPrefixo = "123/4567897    05/1999 001 ";

std::string Achado(int primeira, int ultima, std::string_view texto) {
  return Achado(kPrefixo, primeira, ultima, texto);
}
std::string Periodo(std::string_view mmaaaa) {
  return "123/4567897    " + std::string(mmaaaa.substr(0, 2)) + "/" + std::string(mmaaaa.substr(2)) + " 001 ";
}

std::string Base() { return geradores::RegistroGIAST01Zerado(); }

std::string V(long long valor) { return Digitos(valor, 15); }
constexpr int Campo(int numero) { return 48 + 15 * (numero - 6); }
constexpr int Data(int n) { return 228 + 23 * (n - 1); }
constexpr int Quantia(int n) { return Data(n) + 8; }
constexpr int Fim(int coluna, int largura) { return coluna + largura - 1; }

// Fields 11, 12 and 17 set so that field 17 is `total` and the record has movement.
Campos Pagos(long long total, Campos pagamentos) {
  Campos campos = {{41, " "}, {Campo(11), V(total + 1)}, {Campo(12), V(total)}, {Campo(17), V(total)}};
  campos.insert(campos.end(), pagamentos.begin(), pagamentos.end());
  return campos;
}

void Confere(const std::vector<Caso>& casos) {
  valida::teste::Confere("GIAST01", valida::ValidaGIAST01, Base(), casos);
}

TEST(ValidaGIAST01, IdentificacaoEPeriodo) {
  Confere({
      {"valid record", {}, {}},
      {"marker of another version", {{1, "GST02"}}, {Achado(1, 5, kFixo)}},
      {"marker in lower case", {{1, "gst01"}}, {Achado(1, 5, kFixo)}},
      {"indicator X", {{6, "X"}}, {}},
      {"indicator x", {{6, "x"}}, {Achado(6, 6, kIndicador)}},
      {"May 1999, the first period", {{7, "0131051999"}}, {}},
      {"April 1999", {{7, "0130041999"}}, {Achado(Periodo("041999"), 7, 16, kDesde)}},
      {"June 2000, the last period", {{7, "0130062000"}}, {}},
      {"July 2000", {{7, "0131072000"}}, {Achado(Periodo("072000"), 7, 16, kAte)}},
      {"February 2000 ends on the 29th", {{7, "0128022000"}}, {Achado(Periodo("022000"), 7, 16, kDiaFim)}},
      {"29 February 2000", {{7, "0129022000"}}, {}},
      {"29 February 1999 is no date", {{7, "0129021999"}}, {Achado(Periodo("021999"), 7, 16, kData)}},
      {"31 April is no date", {{7, "0131041999"}}, {Achado(Periodo("041999"), 7, 16, kData)}},
      {"month 13", {{7, "0131131999"}}, {Achado(Periodo("131999"), 7, 16, kData)}},
      {"end day 00", {{7, "0100051999"}}, {Achado(7, 16, kData)}},
      {"start day 02", {{7, "0230061999"}}, {Achado(Periodo("061999"), 7, 16, kDiaInicio)}},
      {"start day 00", {{7, "0030061999"}}, {Achado(Periodo("061999"), 7, 16, kData)}},
      {"start day equal to end day", {{7, "3030061999"}}, {Achado(Periodo("061999"), 7, 16, kData)}},
      {"start day after end day", {{7, "3130061999"}}, {Achado(Periodo("061999"), 7, 16, kData)}},
      {"end day not the last", {{7, "0115051999"}}, {Achado(7, 16, kDiaFim)}},
      {"too early, wrong start and end days, in that order",
       {{7, "0229041999"}},
       {Achado(Periodo("041999"), 7, 16, kDesde), Achado(Periodo("041999"), 7, 16, kDiaInicio),
        Achado(Periodo("041999"), 7, 16, kDiaFim)}},
      {"inner blank in the block", {{7, "01310519 9"}}, {Achado("123/4567897    0519 9 001 ", 7, 16, kNumerico)}},
      {"signed block", {{7, "-131051999"}}, {Achado(7, 16, kNumerico)}},
      {"CGC/TE zero", {{17, "0000000000"}}, {Achado("000/0000000    05/1999 001 ", 17, 26, Informe(5))}},
      {"CGC/TE check digit", {{26, "0"}}, {Achado("123/4567890    05/1999 001 ", 17, 26, Digito(5))}},
      {"CGC/TE with a blank", {{25, " "}}, {Achado("12345678 7     05/1999 001 ", 17, 26, kNumerico)}},
      {"CNPJ zero", {{27, "00000000000000"}}, {Achado(27, 40, Informe(23))}},
      {"CNPJ check digit", {{40, "2"}}, {Achado(27, 40, Digito(23))}},
      {"CNPJ blank", {{27, std::string(14, ' ')}}, {Achado(27, 40, kNumerico)}},
      {"CNPJ with leading zeros", {{27, "00000000000191"}}, {}},
      {"columns 42-47 and 515-754 are not examined", {{42, "-+.,AB"}, {515, "ZZZZ"}, {754, "9"}}, {}},
  });
}

TEST(ValidaGIAST01, CamposDeValor) {
  Confere({
      {"no movement without the mark", {{41, " "}}, {Achado(41, 41, kObrigatorio)}},
      {"movement with the mark", {{Campo(6), V(10)}}, {Achado(41, 41, kNaoInformar)}},
      {"any character marks", {{41, "*"}}, {}},
      {"field 7 equal to field 6", {{41, " "}, {Campo(6), V(10)}, {Campo(7), V(10)}}, {}},
      {"field 7 above field 6", {{41, " "}, {Campo(6), V(10)}, {Campo(7), V(11)}}, {Achado(63, 77, MaiorQue6(7))}},
      {"field 8 above field 6", {{41, " "}, {Campo(6), V(10)}, {Campo(8), V(11)}}, {Achado(78, 92, MaiorQue6(8))}},
      {"field 6 not numeric counts as 0; field 7 then is not summed",
       {{Campo(6), "00000000000001 "}, {Campo(7), V(1)}},
       {Achado(48, 62, kNumerico), Achado(63, 77, MaiorQue6(7))}},
      {"fields 9 and 10 zero", {}, {}},
      {"fields 9 and 10 equal", {{41, " "}, {Campo(9), V(5)}, {Campo(10), V(5)}}, {Achado(93, 107, k10e9)}},
      {"field 9 above field 10", {{41, " "}, {Campo(9), V(6)}, {Campo(10), V(5)}}, {}},
      {"field 9 zero, field 10 positive", {{41, " "}, {Campo(10), V(5)}}, {Achado(93, 107, k10e9)}},
      {"field 9 positive, field 10 zero", {{41, " "}, {Campo(9), V(5)}}, {}},
      {"field 10 not numeric (-1), field 9 zero", {{Campo(10), std::string(15, ' ')}}, {Achado(108, 122, kNumerico)}},
      {"field 10 is read before field 9",
       {{Campo(9), std::string(15, ' ')}, {Campo(10), std::string(15, ' ')}},
       {Achado(108, 122, kNumerico), Achado(93, 107, kNumerico)}},
      {"field 11 not numeric (-1) and field 12 positive",
       {{41, " "}, {Campo(11), "-00000000000001"}, {Campo(12), V(5)}, {Campo(13), V(5)}},
       {Achado(123, 137, kNumerico), Achado(123, 137, k12e11)}},
      {"fields 11 and 12 equal",
       {{41, " "}, {Campo(11), V(5)}, {Campo(12), V(5)}, {Campo(13), V(5)}},
       {Achado(123, 137, k12e11)}},
      {"field 11 above field 12", {{41, " "}, {Campo(11), V(6)}, {Campo(12), V(5)}, {Campo(13), V(5)}}, {}},
      {"field 12 not numeric takes no comparison",
       {{41, " "}, {Campo(11), V(5)}, {Campo(12), "0000000000000.5"}},
       {Achado(138, 152, kNumerico)}},
      {"fields 13 and 14 not numeric count as 0",
       {{Campo(13), "A"}, {Campo(14), "B"}},
       {Achado(153, 167, kNumerico), Achado(168, 182, kNumerico)}},
      {"field 15 is read after the mark",
       {{41, " "}, {Campo(15), std::string(15, ' ')}},
       {Achado(41, 41, kObrigatorio), Achado(183, 197, kNumerico)}},
      {"fields 16 and 17 with field 12 the greater",
       Pagos(40, {{Campo(11), V(101)},
                  {Campo(12), V(100)},
                  {Campo(13), V(30)},
                  {Campo(14), V(20)},
                  {Campo(15), V(10)},
                  {Data(1), "10061999"},
                  {Quantia(1), V(40)}}),
       {}},
      {"field 16 must then be 0",
       Pagos(40, {{Campo(11), V(101)},
                  {Campo(12), V(100)},
                  {Campo(13), V(30)},
                  {Campo(14), V(20)},
                  {Campo(15), V(10)},
                  {Campo(16), V(1)},
                  {Data(1), "10061999"},
                  {Quantia(1), V(40)}}),
       {Achado(198, 212, ValorCampo(16))}},
      {"field 17 wrong, and the payments differ from it",
       Pagos(39, {{Campo(11), V(101)},
                  {Campo(12), V(100)},
                  {Campo(13), V(30)},
                  {Campo(14), V(20)},
                  {Campo(15), V(10)},
                  {Data(1), "10061999"},
                  {Quantia(1), V(40)}}),
       {Achado(213, 227, ValorCampo(17)), Achado(213, 227, kSoma)}},
      {"fields 16 and 17 with the debits the greater",
       {{41, " "},
        {Campo(11), V(11)},
        {Campo(12), V(10)},
        {Campo(13), V(30)},
        {Campo(14), V(20)},
        {Campo(15), V(10)},
        {Campo(16), V(50)}},
       {}},
      {"field 16 not numeric", {{Campo(16), "000000000000 00"}}, {Achado(198, 212, kNumerico)}},
      {"field 17 not numeric counts as 0 against the payments",
       {{41, " "},
        {Campo(11), V(6)},
        {Campo(12), V(5)},
        {Campo(17), std::string(15, ' ')},
        {Data(1), "10061999"},
        {Quantia(1), V(5)}},
       {Achado(213, 227, kNumerico), Achado(213, 227, kSoma)}},
  });
}

TEST(ValidaGIAST01, Pagamentos) {
  Confere({
      {"one payment in the reference month", Pagos(5, {{Data(1), "10051999"}, {Quantia(1), V(5)}}), {}},
      {"due on the first day of the reference month", Pagos(5, {{Data(1), "01051999"}, {Quantia(1), V(5)}}), {}},
      {"due the day before", Pagos(5, {{Data(1), "30041999"}, {Quantia(1), V(5)}}), {Achado(228, 235, Venc(1))}},
      {"second payment without the first",
       Pagos(5, {{Data(2), "10061999"}, {Quantia(2), V(5)}}),
       {Achado(251, 258, kAnterior)}},
      {"second payment early: no test of the one before",
       Pagos(5, {{Data(2), "10041999"}, {Quantia(2), V(5)}}),
       {Achado(251, 258, Venc(2))}},
      {"a gap with an amount in it",
       Pagos(
           10,
           {{Data(1), "10051999"}, {Quantia(1), V(3)}, {Quantia(2), V(2)}, {Data(3), "10071999"}, {Quantia(3), V(5)}}),
       {Achado(251, 258, InformeVenc(2)), Achado(274, 281, kAnterior)}},
      {"an empty gap",
       Pagos(8, {{Data(1), "10051999"}, {Quantia(1), V(3)}, {Data(3), "10071999"}, {Quantia(3), V(5)}}),
       {Achado(274, 281, kAnterior)}},
      {"only a date", Pagos(0, {{Data(1), "10061999"}}), {Achado(236, 250, InformeValor(1))}},
      {"a date and an amount that is not numeric",
       Pagos(0, {{Data(1), "10061999"}, {Quantia(1), std::string(15, ' ')}}),
       {Achado(236, 250, kNumerico), Achado(236, 250, InformeValor(1))}},
      {"only an amount", Pagos(5, {{Quantia(1), V(5)}}), {Achado(228, 235, InformeVenc(1))}},
      {"an amount and a date that is not numeric",
       Pagos(5, {{Data(1), "1006199 "}, {Quantia(1), V(5)}}),
       {Achado(228, 235, kNumerico), Achado(228, 235, InformeVenc(1))}},
      {"an amount and a date that is no date",
       Pagos(5, {{Data(1), "31061999"}, {Quantia(1), V(5)}}),
       {Achado(228, 235, kData), Achado(228, 235, InformeVenc(1))}},
      {"two equal due dates, each reported at the other's columns",
       Pagos(5, {{Data(1), "10061999"}, {Quantia(1), V(2)}, {Data(2), "10061999"}, {Quantia(2), V(3)}}),
       {Achado(251, 258, kDuplicidade), Achado(228, 235, kDuplicidade)}},
      {"three equal due dates",
       Pagos(3, {{Data(1), "10061999"},
                 {Quantia(1), V(1)},
                 {Data(2), "10061999"},
                 {Quantia(2), V(1)},
                 {Data(3), "10061999"},
                 {Quantia(3), V(1)}}),
       {Achado(251, 258, kDuplicidade), Achado(274, 281, kDuplicidade), Achado(228, 235, kDuplicidade),
        Achado(274, 281, kDuplicidade), Achado(228, 235, kDuplicidade), Achado(251, 258, kDuplicidade)}},
      {"equal due dates across a gap",
       Pagos(5, {{Data(1), "10061999"}, {Quantia(1), V(2)}, {Data(3), "10061999"}, {Quantia(3), V(3)}}),
       {Achado(274, 281, kDuplicidade), Achado(274, 281, kAnterior), Achado(228, 235, kDuplicidade)}},
      {"equal early due dates",
       Pagos(5, {{Data(1), "10041999"}, {Quantia(1), V(2)}, {Data(2), "10041999"}, {Quantia(2), V(3)}}),
       {Achado(228, 235, Venc(1)), Achado(251, 258, kDuplicidade), Achado(251, 258, Venc(2)),
        Achado(228, 235, kDuplicidade)}},
      {"the payments differ from field 17",
       Pagos(6, {{Data(1), "10061999"}, {Quantia(1), V(5)}}),
       {Achado(213, 227, kSoma)}},
      {"only the sixth payment", Pagos(5, {{Data(6), "10061999"}, {Quantia(6), V(5)}}), {Achado(343, 350, kAnterior)}},
      {"six payments",
       Pagos(21, {{Data(1), "10051999"},
                  {Quantia(1), V(1)},
                  {Data(2), "10061999"},
                  {Quantia(2), V(2)},
                  {Data(3), "10071999"},
                  {Quantia(3), V(3)},
                  {Data(4), "10081999"},
                  {Quantia(4), V(4)},
                  {Data(5), "10091999"},
                  {Quantia(5), V(5)},
                  {Data(6), "10101999"},
                  {Quantia(6), V(6)}}),
       {}},
      {"a failed period block gives no early due date",
       Pagos(5, {{7, "3030061999"}, {Data(1), "01011990"}, {Quantia(1), V(5)}}),
       {Achado(Periodo("061999"), 7, 16, kData)}},
  });
}

TEST(ValidaGIAST01, Encerramento) {
  Confere({
      {"field 24 blank", {{366, std::string(46, ' ')}}, {Achado(366, 411, Informe(24))}},
      {"field 24 with leading blanks", {{366, "   FULANO"}}, {}},
      {"CPF zero", {{412, "00000000000"}}, {Achado(412, 422, Informe(25))}},
      {"CPF check digits", {{412, "12345678900"}}, {Achado(412, 422, Digito(25))}},
      {"CPF with a trailing blank", {{412, "1234567890 "}}, {Achado(412, 422, kNumerico)}},
      {"CPF of equal digits", {{412, "11111111111"}}, {}},
      {"field 26 blank", {{423, std::string(30, ' ')}}, {Achado(423, 452, Informe(26))}},
      {"the numbers at 453 and 457",
       {{453, "12 4"}, {457, "        "}},
       {Achado(453, 456, kNumerico), Achado(457, 464, kNumerico)}},
      {"field 28 blank", {{465, std::string(30, ' ')}}, {Achado(465, 494, Informe(28))}},
      {"date zero", {{495, "00000000"}}, {Achado(495, 502, Informe(28))}},
      {"date that is no date", {{495, "31062000"}}, {Achado(495, 502, kData)}},
      {"date before the reference month", {{495, "30041999"}}, {Achado(495, 502, kDataIncorreta)}},
      {"date on the first day of the reference month", {{495, "01051999"}}, {}},
      {"date with a letter", {{495, "1006199X"}}, {Achado(495, 502, kNumerico)}},
      {"the numbers at 503 and 507",
       {{503, "-001"}, {507, "0000000."}},
       {Achado(503, 506, kNumerico), Achado(507, 514, kNumerico)}},
      {"a failed period block gives no early date",
       {{7, "3030061999"}, {495, "10041990"}},
       {Achado(Periodo("061999"), 7, 16, kData)}},
  });
}

// Every field blank: each check in its order, with the GIA and ST codes mixed.
TEST(ValidaGIAST01, RegistroEmBranco) {
  const std::string p = std::string(15, ' ') + "00/0000 001 ";
  std::vector<std::string> esperado = {Achado(p, 1, 5, kFixo), Achado(p, 7, 16, kNumerico),
                                       Achado(p, 17, 26, kNumerico), Achado(p, 27, 40, kNumerico)};
  for (const int campo : {6, 7, 8, 10, 9, 11, 12, 13, 14})
    esperado.push_back(Achado(p, Campo(campo), Fim(Campo(campo), 15), kNumerico));
  esperado.push_back(Achado(p, 41, 41, kObrigatorio));
  for (const int campo : {15, 16, 17}) esperado.push_back(Achado(p, Campo(campo), Fim(Campo(campo), 15), kNumerico));
  for (int n = 1; n <= 6; ++n) {
    esperado.push_back(Achado(p, Data(n), Fim(Data(n), 8), kNumerico));
    esperado.push_back(Achado(p, Quantia(n), Fim(Quantia(n), 15), kNumerico));
  }
  esperado.push_back(Achado(p, 366, 411, Informe(24)));
  esperado.push_back(Achado(p, 412, 422, kNumerico));
  esperado.push_back(Achado(p, 423, 452, Informe(26)));
  esperado.push_back(Achado(p, 453, 456, kNumerico));
  esperado.push_back(Achado(p, 457, 464, kNumerico));
  esperado.push_back(Achado(p, 465, 494, Informe(28)));
  esperado.push_back(Achado(p, 495, 502, kNumerico));
  esperado.push_back(Achado(p, 503, 506, kNumerico));
  esperado.push_back(Achado(p, 507, 514, kNumerico));

  ExecucaoDeTeste t("GIAST01");
  valida::ValidaGIAST01(t.run, std::string(754, ' '));
  EXPECT_EQ(t.Erros(), esperado);
}

TEST(ValidaGIAST01, ReciboEContagem) {
  ExecucaoDeTeste t("GIAST01");
  for (int i = 1; i <= 4; ++i) {
    t.run.NumeroLinha = i;
    valida::ValidaGIAST01(t.run, Base());
  }
  EXPECT_EQ(t.Erros(), std::vector<std::string>{});
  const std::string entrada = "123/4567897    05/1999  ";
  EXPECT_EQ(t.Recibo(), (std::vector<std::string>{entrada + entrada + entrada}));
  EXPECT_EQ(t.run.LinhaRecibo, entrada);
  EXPECT_EQ(t.run.QtdGIAs, 4);
  EXPECT_EQ(t.run.InscricaoAtual, "1234567897");
  EXPECT_EQ(t.run.PeriodoAtual, "051999");
}

TEST(ValidaGIAST01, ArquivosGerados) {
  // 4000 = 3 * 1333 + 1: the last receipt line is pending.
  valida::teste::ConfereArquivoGerado("GIAST01", valida::ValidaGIAST01,
                                      geradores::GeradorGIAST01(20240603).Varias(4000));
}

// A single change to a generated record gives exactly its own finding.
TEST(ValidaGIAST01, RegistrosGeradosComUmaFalha) {
  geradores::GeradorGIAST01 gerador(11);
  for (int i = 0; i < 200; ++i) {
    const auto d = gerador.Proxima();
    const std::string prefixo = d.EntradaRecibo().substr(0, 22) + " 001 ";
    ExecucaoDeTeste t("GIAST01");
    std::string linha = d.linha;
    Poe(linha, 40, linha[39] == '9' ? "0" : std::string(1, static_cast<char>(linha[39] + 1)));
    valida::ValidaGIAST01(t.run, linha);
    EXPECT_EQ(t.Erros(), (std::vector<std::string>{Achado(prefixo, 27, 40, Digito(23))})) << d.linha;
  }
}

// Any bytes, any length: the validator records what it finds and never fails.
TEST(ValidaGIAST01, EntradaArbitrariaNaoFalha) {
  valida::teste::ConfereEntradaArbitraria<geradores::GeradorGIAST01>("GIAST01", valida::ValidaGIAST01);
}

}  // namespace
