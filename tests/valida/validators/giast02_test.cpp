// ValidaGIAST02 and FechaDeclaracaoST: tables of main records "A0" and their
// findings, byte for byte and in the order of the record's rules; then
// sequences of records, where the annexes and the closing of each
// declaration speak; then generated files. The registration library is a
// stand-in that accepts what the test does not refuse.
#include "tests/geradores/giast02.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/biblioteca_teste.h"
#include "tests/valida/execucao_teste.h"
#include "tests/valida/validators/registro_teste.h"
#include "valida/validators/validadores.h"

namespace {

using geradores::Digitos;
using valida::teste::Achado;
using valida::teste::Campos;
using valida::teste::ExecucaoDeTeste;
using valida::teste::InscricoesDeTeste;
using namespace valida::teste::textos;

// Texts of both catalogues that this layout gives.
const std::string kReferencia(std::string("Mês/Ano de referência inválido"_cp));
const std::string kSimNao(std::string("Conteúdo deve ser 'S' ou 'N'"_cp));
const std::string kValorIncorreto("Valor incorreto");
const std::string kNaoInformar(std::string("Campo não deve ser informado"_cp));
const std::string kDataIncorreta("Data Incorreta");
const std::string kAnterior(std::string("Vencimento anterior não informado"_cp));
const std::string kDuplicidade("Data vencimento em duplicidade");
const std::string kUFIncorreta(std::string("Código de UF Favorecida incorreto"_cp));
const std::string kInscricao(std::string("Inscrição Estadual incorreta"_cp));
const std::string k10e11("Campo 10 deve ser menor que o 11");
const std::string k13e12("Campo 13 deve ser menor que o 12");
const std::string kAnexoIII("Deve existir o Anexo III");
const std::string kLinhasAnexo(std::string("Nro de linhas do anexo inválido"_cp));
const std::string kMesmaInscricao(std::string("Não pode ser a mesma Inscrição da GIA"_cp));
const std::string kSemMovimento("GIA deve ser marcada Sem Movimento");
const std::string kMesmaUF("Todas as GIAs devem ser da mesma UF");
const std::string kVersao(std::string("Mês/Ano refer. incompatível com versão"_cp));
const std::string kPosterior(std::string("Data deve ser superior a Mês/Ano refer."_cp));
const std::string kInformeLinhas(std::string("Informe nº de linhas do Anexo III"_cp));
std::string Informe(int campo) { return "Informe o campo " + std::to_string(campo); }
std::string Digito(int campo) { return "Dig. Controle Campo " + std::to_string(campo) + " Incorreto"; }
std::string ValorCampo(int campo) { return "Valor do campo " + std::to_string(campo) + " incorreto"; }
std::string Soma(int campo) { return "Soma parcelas difere do campo " + std::to_string(campo); }
std::string Venc(int n, std::string_view periodo) {
  return std::to_string(n) + std::string("° venc deve ser maior que 01/"_cp) + std::string(periodo);
}
std::string InformeValor(int n) { return "Informe o valor do " + std::to_string(n) + std::string("° pagamento"_cp); }
std::string InformeVenc(int n) { return "Informe o vencimento do " + std::to_string(n) + std::string("° pagto"_cp); }
std::string Duplicadas(std::string_view anexo) {
  return std::string("Informações duplicadas no Anexo "_cp) + std::string(anexo);
}

constexpr std::string_view kPrefixo = "2243658792     01/2014 001 ";
std::string Achado(int primeira, int ultima, std::string_view texto) {
  return Achado(kPrefixo, primeira, ultima, texto);
}
// The finding of a record whose period is `periodo` (MM/AAAA).
std::string NoPeriodo(std::string_view periodo, int primeira, int ultima, std::string_view texto) {
  return Achado("2243658792     " + std::string(periodo) + " 001 ", primeira, ultima, texto);
}

std::string V(long long valor) { return Digitos(valor, 15); }
constexpr int Campo(int numero) { return 170 + 15 * (numero - 7); }
constexpr int Data(int i) { return 30 + 23 * (i - 1); }
constexpr int Quantia(int i) { return Data(i) + 8; }
constexpr int Fim(int coluna) { return coluna + 14; }

// A record with movement: field 13 of 100 against field 12 of 200, so
// fields 18 and 21 are 100, paid in one instalment in the reference month.
Campos ComMovimento(Campos mudancas = {}) {
  Campos campos = {{28, " "},           {Campo(12), V(200)}, {Campo(13), V(100)},
                   {Campo(18), V(100)}, {Campo(21), V(100)}, {Data(1), "20140120" + V(100)}};
  campos.insert(campos.end(), mudancas.begin(), mudancas.end());
  return campos;
}

struct Caso {
  std::string regra;
  Campos campos;
  std::vector<std::string> esperado;
  std::string sufixo = {};  // columns 798-812
};

void Confere(const std::vector<Caso>& casos) {
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.regra);
    InscricoesDeTeste biblioteca;
    ExecucaoDeTeste t("GIAST02", biblioteca);
    const std::string linha = geradores::ComCampos(geradores::RegistroA0Zerado(), caso.campos) + caso.sufixo;
    valida::ValidaGIAST02(t.run, linha);
    EXPECT_EQ(t.Erros(), caso.esperado);
  }
}

TEST(ValidaGIAST02, InscricaoMarcasEPeriodo) {
  Confere({
      {"valid record", {}, {}},
      {"RS registration of nine characters",
       {{14, "224365879 "}},
       {Achado("224365879      01/2014 001 ", 14, 27, kInscricao)}},
      {"registration with a leading blank",
       {{14, " 2243658792"}},
       {Achado(" 2243658792    01/2014 001 ", 14, 27, kInscricao)}},
      {"registration of zeros", {{14, "0000000000"}}, {Achado("0000000000     01/2014 001 ", 14, 27, kInscricao)}},
      {"registration with a letter first",
       {{14, "P224365879"}},
       {Achado("P224365879     01/2014 001 ", 14, 27, kInscricao)}},
      {"another state's length", {{14, "251040852 "}, {168, "SC"}}, {}},
      {"column 28 lower case x", {{28, "x"}}, {Achado(28, 28, kIndicador), Achado(28, 28, kSemMovimento)}},
      {"column 29 X", {{29, "X"}}, {}},
      {"column 29 S", {{29, "S"}}, {Achado(29, 29, kIndicador)}},
      {"period 07/2000, the first", {{8, "072000"}, {590, "20000810"}}, {}},
      {"period 06/2000", {{8, "062000"}, {590, "20000810"}}, {NoPeriodo("06/2000", 8, 13, kVersao)}},
      // With P = 0 the date of the declaration falls more than six years after it.
      {"period 000000",
       {{8, "000000"}},
       {NoPeriodo("00/0000", 8, 13, kVersao), NoPeriodo("00/0000", 590, 597, kDataIncorreta)}},
      {"period month 13",
       {{8, "132014"}},
       {NoPeriodo("13/2014", 8, 13, kReferencia), NoPeriodo("13/2014", 590, 597, kDataIncorreta)}},
      {"period with a letter",
       {{8, "01201A"}},
       {NoPeriodo("01201A", 8, 13, kNumerico), NoPeriodo("01201A", 590, 597, kDataIncorreta)}},
      {"UF XX", {{168, "XX"}}, {Achado(168, 169, kUFIncorreta)}},
      {"UF rs", {{168, "rs"}}, {Achado(168, 169, kUFIncorreta)}},
      {"UF C| spans a separator of the list", {{168, "C|"}}, {}},
  });
}

TEST(ValidaGIAST02, TheLibraryIsAskedEveryTimeWithTheRecordsUF) {
  InscricoesDeTeste biblioteca;
  biblioteca.recusadas = {"2243658792    "};
  ExecucaoDeTeste t("GIAST02", biblioteca);
  // Refused by the library and starting with a blank: one finding.
  valida::ValidaGIAST02(t.run, geradores::RegistroA0Zerado());
  valida::ValidaGIAST02(t.run, geradores::ComCampos(geradores::RegistroA0Zerado(), {{14, " 2243658792"}}));
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{Achado(14, 27, kInscricao),
                                                 Achado(" 2243658792    01/2014 001 ", 14, 27, kInscricao)}));
  ASSERT_EQ(biblioteca.chamadas.size(), 2U);
  EXPECT_EQ(biblioteca.chamadas[0].first, "2243658792    ");
  EXPECT_EQ(biblioteca.chamadas[0].second, "RS");
  EXPECT_EQ(biblioteca.chamadas[1].first, " 2243658792   ");
}

TEST(ValidaGIAST02, Parcelas) {
  Confere({
      {"one instalment in the reference month", ComMovimento(), {}},
      {"instalment 1 in the month before",
       ComMovimento({{Data(1), "20131231"}}),
       {Achado(Data(1), Data(1) + 7, Venc(1, "01/2014"))}},
      {"instalment 2 dated, instalment 1 not",
       ComMovimento({{Data(1), "00000000" + V(0)}, {Data(2), "20140210" + V(100)}}),
       {Achado(Data(2), Data(2) + 7, kAnterior)}},
      {"instalments 2 and 4 on the same day",
       ComMovimento({{Data(1), "20140110" + V(40)},
                     {Data(2), "20140210" + V(20)},
                     {Data(3), "20140310" + V(20)},
                     {Data(4), "20140210" + V(20)}}),
       {Achado(Data(4), Data(4) + 7, kDuplicidade), Achado(Data(2), Data(2) + 7, kDuplicidade)}},
      {"no date with an amount",
       ComMovimento({{Data(1), "20140120" + V(95)}, {Quantia(2), V(5)}}),
       {Achado(Data(2), Data(2) + 7, InformeVenc(2))}},
      {"a date without an amount",
       ComMovimento({{Data(2), "20140215"}}),
       {Achado(Quantia(2), Fim(Quantia(2)), InformeValor(2))}},
      {"a date that is not numeric: no pairing rule",
       ComMovimento({{Data(2), "2014021X"}}),
       {Achado(Data(2), Data(2) + 7, kNumerico)}},
      {"30 February with an amount: no pairing rule",
       ComMovimento({{Data(1), "20140120" + V(95)}, {Data(2), "20140230" + V(5)}}),
       {Achado(Data(2), Data(2) + 7, kData)}},
      {"a year before 1900", ComMovimento({{Data(2), "18990101"}}), {Achado(Data(2), Data(2) + 7, kData)}},
      {"an amount that is not numeric counts as 0",
       ComMovimento({{Data(2), "20140220" + std::string(14, ' ') + "1"}}),
       {Achado(Quantia(2), Fim(Quantia(2)), kNumerico), Achado(Quantia(2), Fim(Quantia(2)), InformeValor(2))}},
      {"field 21 is not the instalments' sum",
       ComMovimento({{Data(1), "20140120" + V(90)}}),
       {Achado(Campo(21), Fim(Campo(21)), Soma(21))}},
  });
}

TEST(ValidaGIAST02, CamposDeValor) {
  Confere({
      {"no movement without the mark", {{28, " "}}, {Achado(28, 28, kSemMovimento)}},
      {"movement with the mark", {{Campo(7), V(5)}}, {Achado(Campo(7), Fim(Campo(7)), kNaoInformar)}},
      {"fields 16 and 20 take no mark", {{Campo(16), V(5)}, {Campo(20), V(5)}}, {}},
      // From 02/2013 that amount enters field 21 too.
      {"the amount at 798-812 takes the mark",
       {},
       {Achado(798, 812, kNaoInformar), Achado(Campo(21), Fim(Campo(21)), ValorCampo(21))},
       V(5)},
      {"the amount at 798-812 is not movement",
       {{28, " "}},
       {Achado(28, 28, kSemMovimento), Achado(Campo(21), Fim(Campo(21)), ValorCampo(21))},
       V(5)},
      {"the amount at 798-812 not numeric", {}, {Achado(798, 812, kNumerico)}, "00000000000000A"},
      {"field 10 equal to field 11, marked",
       {{Campo(10), V(5)}, {Campo(11), V(5)}},
       {Achado(Campo(10), Fim(Campo(10)), kNaoInformar), Achado(Campo(11), Fim(Campo(11)), k10e11),
        Achado(Campo(11), Fim(Campo(11)), kNaoInformar)}},
      {"field 10 above field 11",
       ComMovimento({{Campo(10), V(6)}, {Campo(11), V(5)}}),
       {Achado(Campo(11), Fim(Campo(11)), k10e11)}},
      {"field 10 below field 11", ComMovimento({{Campo(10), V(4)}, {Campo(11), V(5)}}), {}},
      {"field 10 not numeric: no comparison",
       ComMovimento({{Campo(10), "-" + V(4).substr(1)}, {Campo(11), V(0)}}),
       {Achado(Campo(10), Fim(Campo(10)), kNumerico)}},
      {"field 13 equal to field 12", ComMovimento({{Campo(12), V(100)}}), {Achado(Campo(13), Fim(Campo(13)), k13e12)}},
      {"field 13 not numeric: no balance",
       ComMovimento({{Campo(13), "1" + std::string(14, ' ')}, {Campo(18), V(7)}}),
       {Achado(Campo(13), Fim(Campo(13)), kNumerico)}},
  });
}

TEST(ValidaGIAST02, SaldoDosDoisLadosDeFevereiroDe2013) {
  // D = 100, C = 30 + 20, R = 5: E18 = 50, E21 = 55, E20 = 0.
  const Campos saldo = {{8, "012013"},      {28, " "},          {Campo(12), V(200)}, {Campo(13), V(100)},
                        {Campo(14), V(30)}, {Campo(17), V(20)}, {Campo(19), V(5)},   {Campo(18), V(50)}};
  const auto com = [&](Campos mais) {
    Campos campos = saldo;
    campos.insert(campos.end(), mais.begin(), mais.end());
    return campos;
  };
  Confere({
      {"01/2013", com({{Campo(21), V(55)}, {Data(1), "20130110" + V(55)}}), {}},
      {"01/2013: the amount at 798-812 does not count",
       com({{Campo(21), V(55)}, {Data(1), "20130110" + V(55)}}),
       {},
       V(10)},
      {"02/2013: the amount at 798-812 counts",
       com({{8, "022013"}, {Campo(21), V(65)}, {Data(1), "20130210" + V(65)}}),
       {},
       V(10)},
      {"02/2013 without it",
       com({{8, "022013"}, {Campo(21), V(55)}, {Data(1), "20130210" + V(55)}}),
       {NoPeriodo("02/2013", Campo(21), Fim(Campo(21)), ValorCampo(21))},
       V(10)},
      {"02/2013: not numeric at 798-812 counts as 0",
       com({{8, "022013"}, {Campo(21), V(55)}, {Data(1), "20130210" + V(55)}}),
       {NoPeriodo("02/2013", 798, 812, kNumerico)},
       "X" + V(0).substr(1)},
      {"fields 18 and 20 wrong",
       com({{Campo(18), V(49)}, {Campo(20), V(1)}, {Campo(21), V(55)}, {Data(1), "20130110" + V(55)}}),
       {NoPeriodo("01/2013", Campo(18), Fim(Campo(18)), ValorCampo(18)),
        NoPeriodo("01/2013", Campo(20), Fim(Campo(20)), ValorCampo(20))}},
      // C above D + R: E21 < 0 becomes 0, and so does E18; E20 = C - D - R before 02/2013, C - D after.
      {"credit before 02/2013",
       {{8, "012013"},
        {28, " "},
        {Campo(12), V(200)},
        {Campo(13), V(10)},
        {Campo(17), V(50)},
        {Campo(19), V(5)},
        {Campo(20), V(35)}},
       {}},
      {"credit from 02/2013",
       {{8, "022013"},
        {28, " "},
        {Campo(12), V(200)},
        {Campo(13), V(10)},
        {Campo(17), V(50)},
        {Campo(19), V(5)},
        {Campo(20), V(40)}},
       {}},
  });
}

TEST(ValidaGIAST02, Identificacao) {
  Confere({
      {"field 28 not numeric", {{395, "1122233300018X"}}, {Achado(395, 408, kNumerico)}},
      {"field 28 zero", {{395, "00000000000000"}}, {Achado(395, 408, Informe(28))}},
      {"field 28 check digits", {{395, "11222333000182"}}, {Achado(395, 408, Digito(28))}},
      {"field 29 blank", {{409, std::string(46, ' ')}}, {Achado(409, 454, Informe(29))}},
      {"field 30 zero", {{455, "00000000000"}}, {Achado(455, 465, Informe(30))}},
      {"field 30 check digits", {{455, "12345678900"}}, {Achado(455, 465, Digito(30))}},
      {"field 31 blank", {{466, std::string(30, ' ')}}, {Achado(466, 495, Informe(31))}},
      {"columns 496-519 not numeric",
       {{496, "-"}, {519, " "}},
       {Achado(496, 507, kNumerico), Achado(508, 519, kNumerico)}},
      {"field 35 blank", {{560, std::string(30, ' ')}}, {Achado(560, 589, Informe(35))}},
      {"date not numeric", {{590, "2014021 "}}, {Achado(590, 597, kNumerico)}},
      {"date 30 February", {{590, "20140230"}}, {Achado(590, 597, kData)}},
      {"date 29 February 1900 (century rule)",
       {{8, "011900"}, {590, "19000229"}},
       {NoPeriodo("01/1900", 8, 13, kVersao), NoPeriodo("01/1900", 590, 597, kData)}},
      {"date 29 February 2016", {{590, "20160229"}}, {}},
      {"date zeros", {{590, "00000000"}}, {Achado(590, 597, kData)}},
      {"date in the reference month", {{590, "20140131"}}, {Achado(590, 597, kPosterior)}},
      {"date six years after", {{590, "20200131"}}, {}},
      {"date six years and a month after", {{590, "20200201"}}, {Achado(590, 597, kDataIncorreta)}},
      {"column 778", {{778, "s"}}, {Achado(778, 778, kSimNao)}},
      {"column 779", {{779, " "}}, {Achado(779, 779, kSimNao)}},
      {"columns 520-559, 598-777 and 780-785 are not examined", {{520, "-"}, {598, "xx"}, {780, "??????"}}, {}},
      {"count of annex I not numeric", {{786, "000A"}}, {Achado(786, 789, kNumerico)}},
      {"count of annex II blank", {{790, "    "}}, {Achado(790, 793, kNumerico)}},
      {"count of annex III zero with an annex III", {{779, "S"}}, {Achado(794, 797, kInformeLinhas)}},
      {"count of annex III signed", {{794, "+001"}}, {Achado(794, 797, kNumerico)}},
  });
}

// Records validated as the lines of one file, the driver's line count
// advancing; `fim` runs the closing of the last declaration.
class Sequencia {
 public:
  explicit Sequencia(std::set<std::string> recusadas = {}) {
    biblioteca_.recusadas = std::move(recusadas);
    t_.run.NumeroLinha = 0;
  }

  Sequencia& Linha(const std::string& linha) {
    ++t_.run.NumeroLinha;
    valida::ValidaGIAST02(t_.run, linha);
    return *this;
  }
  Sequencia& A0(Campos campos = {}) { return Linha(geradores::ComCampos(geradores::RegistroA0Zerado(), campos)); }
  std::vector<std::string> Fim() {
    valida::FechaDeclaracaoST(t_.run);
    return t_.Erros();
  }
  std::vector<std::string> Erros() { return t_.Erros(); }
  std::vector<std::string> Recibo() { return t_.Recibo(); }
  valida::Execucao& run() { return t_.run; }

 private:
  InscricoesDeTeste biblioteca_;
  ExecucaoDeTeste t_{"GIAST02", biblioteca_};
};

// An "A1" or "A2" record: number, code, counterpart, date and amount.
std::string Anexo(std::string_view tipo, std::string_view numero = "00000001", std::string_view data = "20131215",
                  long long valor = 10, std::string_view inscricao = "1001234569    ",
                  std::string_view codigo = "001") {
  return std::string(tipo) + std::string(numero) + std::string(codigo) + std::string(inscricao) + std::string(data) +
         V(valor);
}
std::string A3(std::string_view inscricao, std::string_view a, std::string_view b) {
  return "A3" + std::string(inscricao) + std::string(a) + std::string(b);
}

// The finding of line `linha` of the base declaration.
std::string NaLinha(int linha, int primeira, int ultima, std::string_view texto) {
  return Achado("2243658792     01/2014 " + Digitos(linha, 3) + " ", primeira, ultima, texto);
}

TEST(ValidaGIAST02, AnexosIeII) {
  // Field 14 of 10 and one "A1" line declared, so the declaration closes.
  const Campos um_a1 = ComMovimento({{Campo(14), V(10)}, {Campo(13), V(110)}, {Campo(12), V(200)}, {786, "0001"}});
  const struct {
    std::string regra;
    std::string anexo;
    std::vector<std::string> esperado;
  } casos[] = {
      {"valid", Anexo("A1"), {}},
      {"number zero", Anexo("A1", "00000000"), {NaLinha(2, 3, 10, kObrigatorio)}},
      {"number not numeric", Anexo("A1", "0000000 "), {NaLinha(2, 3, 10, kNumerico)}},
      {"code blank",
       Anexo("A1", "00000001", "20131215", 10, "1001234569    ", "   "),
       {NaLinha(2, 11, 13, kObrigatorio)}},
      {"counterpart of nine characters in RS",
       Anexo("A1", "00000001", "20131215", 10, "100123456     "),
       {NaLinha(2, 14, 27, kInscricao)}},
      {"date in the reference month", Anexo("A1", "00000001", "20140131"), {}},
      {"date in the month after", Anexo("A1", "00000001", "20140201"), {NaLinha(2, 28, 35, kDataIncorreta)}},
      {"date in January five years before", Anexo("A1", "00000001", "20090101"), {}},
      {"date in December six years before", Anexo("A1", "00000001", "20081231"), {NaLinha(2, 28, 35, kDataIncorreta)}},
      {"date 31 June", Anexo("A1", "00000001", "20130631"), {NaLinha(2, 28, 35, kData)}},
      {"date not numeric", Anexo("A1", "00000001", "2013121 "), {NaLinha(2, 28, 35, kNumerico)}},
      {"amount zero: not in the total",
       Anexo("A1", "00000001", "20131215", 0),
       {NaLinha(2, 36, 50, kObrigatorio), NaLinha(1, Campo(14), Fim(Campo(14)), ValorCampo(14))}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.regra);
    Sequencia s;
    s.A0(um_a1).Linha(c.anexo);
    EXPECT_EQ(s.Fim(), c.esperado);
  }
}

TEST(ValidaGIAST02, DuplicatasDeAnexos) {
  Sequencia s;
  s.A0(ComMovimento({{786, "0003"},
                     {790, "0001"},
                     {Campo(14), V(30)},
                     {Campo(15), V(10)},
                     {Campo(13), V(140)},
                     {Campo(12), V(200)}}))
      .Linha(Anexo("A1"))
      .Linha(Anexo("A2"))
      .Linha(Anexo("A1"))  // the same as the "A1" before the "A2"
      .Linha(Anexo("A1", "00000002"));
  EXPECT_EQ(s.Fim(), (std::vector<std::string>{NaLinha(4, 3, 27, Duplicadas("I"))}));

  Sequencia iii;
  iii.A0({{779, "S"}, {794, "0003"}})
      .Linha(A3("1001234569    ", V(5), V(1)))
      .Linha(A3("1001234569    ", V(9), V(1)))
      .Linha(A3("2243658792    ", V(9), V(1)));
  EXPECT_EQ(iii.Fim(),
            (std::vector<std::string>{NaLinha(3, 3, 16, Duplicadas("III")), NaLinha(4, 3, 16, kMesmaInscricao)}));
}

TEST(ValidaGIAST02, AnexoIII) {
  const struct {
    std::string regra;
    std::string a;
    std::string b;
    std::vector<std::string> esperado;
  } casos[] = {
      {"A above B", V(100), V(99), {}},
      {"A equal to B", V(100), V(100), {NaLinha(2, 17, 31, kValorIncorreto)}},
      {"both zero", V(0), V(0), {}},
      {"B zero with A", V(5), V(0), {NaLinha(2, 32, 46, kObrigatorio)}},
      {"B not numeric: A is not examined", std::string(15, 'A'), std::string(15, 'B'), {NaLinha(2, 32, 46, kNumerico)}},
      {"A not numeric counts as 0 against a zero B", "-" + V(5).substr(1), V(0), {NaLinha(2, 17, 31, kNumerico)}},
      {"A not numeric against B", "-" + V(5).substr(1), V(3), {NaLinha(2, 17, 31, kNumerico)}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.regra);
    Sequencia s;
    s.A0({{779, "S"}, {794, "0001"}}).Linha(A3("1001234569    ", c.a, c.b));
    EXPECT_EQ(s.Fim(), c.esperado);
  }
}

TEST(ValidaGIAST02, FechamentoNoProximoA0ENoFimDoArquivo) {
  // Three "A1" lines where two were declared: ST 28 on the line of the "A0",
  // when the next "A0" arrives or after the last line.
  const Campos tres_a1 = ComMovimento({{786, "0002"}, {Campo(14), V(30)}, {Campo(13), V(130)}});
  for (const bool fim_do_arquivo : {false, true}) {
    SCOPED_TRACE(fim_do_arquivo ? "end of the file" : "next A0");
    Sequencia s;
    s.A0(tres_a1).Linha(Anexo("A1", "00000001")).Linha(Anexo("A1", "00000002")).Linha(Anexo("A1", "00000003"));
    if (!fim_do_arquivo) s.A0();
    EXPECT_EQ(s.Fim(), (std::vector<std::string>{NaLinha(1, 786, 789, kLinhasAnexo)}));
  }

  // Column 779 "S" with no annex III declared: ST 37 on the "A0", ST 27 after the file.
  Sequencia sem_iii;
  sem_iii.A0({{779, "S"}}).Linha(Anexo("A2", "00000001", "20131215", 0));
  EXPECT_EQ(sem_iii.Fim(),
            (std::vector<std::string>{NaLinha(1, 794, 797, kInformeLinhas), NaLinha(2, 36, 50, kObrigatorio),
                                      NaLinha(1, 790, 793, kLinhasAnexo), NaLinha(2, 779, 779, kAnexoIII)}));

  // Column 779 "N" with two "A3" declared and present: only the end of the file objects.
  const Campos n_com_iii = {{794, "0002"}};
  Sequencia no_fim;
  no_fim.A0(n_com_iii).Linha(A3("1001234569    ", V(5), V(1))).Linha(A3("0960000003    ", V(5), V(1)));
  EXPECT_EQ(no_fim.Fim(), (std::vector<std::string>{NaLinha(1, 794, 797, kLinhasAnexo)}));
  Sequencia no_a0;
  no_a0.A0(n_com_iii).Linha(A3("1001234569    ", V(5), V(1))).Linha(A3("0960000003    ", V(5), V(1))).A0();
  EXPECT_EQ(no_a0.Erros(), std::vector<std::string>{});
}

TEST(ValidaGIAST02, EstadoQueAtravessaAsDeclaracoes) {
  // The UF of every declaration is the UF of the first; an invalid one counts too.
  Sequencia uf;
  uf.A0({{14, "251040852 "}, {168, "SC"}}).A0({{14, "251040852 "}, {168, "RJ"}});
  EXPECT_EQ(uf.Erros(), (std::vector<std::string>{Achado("251040852      01/2014 002 ", 168, 169, kMesmaUF)}));
  Sequencia xx;
  xx.A0({{168, "XX"}}).A0({{168, "RS"}});
  EXPECT_EQ(xx.Erros(), (std::vector<std::string>{NaLinha(1, 168, 169, kUFIncorreta), NaLinha(2, 168, 169, kMesmaUF)}));

  // Field 14 not numeric keeps the value of the declaration before.
  Sequencia campo14;
  campo14.A0(ComMovimento({{Campo(14), V(10)}, {Campo(13), V(110)}, {786, "0001"}}))
      .Linha(Anexo("A1"))
      .A0(ComMovimento({{Campo(14), "0000000000000 0"}, {786, "0001"}}))
      .Linha(Anexo("A1", "00000001", "20131215", 10));
  EXPECT_EQ(campo14.Fim(), (std::vector<std::string>{NaLinha(3, Campo(14), Fim(Campo(14)), kNumerico)}));

  // Annexes before the first "A0" belong to an empty declaration, which
  // the first "A0" closes; their date rules wait for a period.
  Sequencia antes;
  antes.Linha(Anexo("A1", "00000001", "19990101")).A0();
  EXPECT_EQ(antes.Erros(), (std::vector<std::string>{
                               Achado("               00/0000 000 ", Campo(14), Fim(Campo(14)), ValorCampo(14)),
                               Achado("               00/0000 000 ", 786, 789, kLinhasAnexo),
                           }));
}

// Each "A0" is one 24-character entry, three a line; a period that is not a
// number keeps the entry's width.
TEST(ValidaGIAST02, Recibo) {
  Sequencia s;
  for (const char* periodo : {"012014", "022014", "032014", "042014", "1X2014"}) s.A0({{8, periodo}});
  EXPECT_EQ(s.run().QtdGIAs, 5);
  EXPECT_EQ(s.Recibo(),
            std::vector<std::string>{"2243658792     01/2014  2243658792     02/2014  2243658792     03/2014  "});
  EXPECT_EQ(s.run().LinhaRecibo, "2243658792     04/2014  2243658792     1X2014   ");
}

TEST(ValidaGIAST02, ArquivosGerados) {
  for (const std::uint64_t semente : {1U, 2U, 3U, 4U, 5U, 6U, 7U, 8U, 9U, 10U, 11U, 12U}) {
    geradores::GeradorGIAST02 gerador(semente);
    SCOPED_TRACE(std::string(gerador.UF()) + " seed " + std::to_string(semente));
    Sequencia s;
    const auto declaracoes = gerador.Varias(40);
    for (const auto& d : declaracoes)
      for (const auto& linha : d.linhas) s.Linha(linha);
    EXPECT_EQ(s.Fim(), std::vector<std::string>{});
    EXPECT_EQ(s.run().QtdGIAs, 40);
  }
}

TEST(ValidaGIAST02, EntradaArbitraria) {
  // Generated records with bytes changed at random, cut short or lengthened,
  // and empty: findings, never a failure.
  geradores::GeradorGIAST02 gerador(77);
  geradores::Sorteio sorteio(77);
  Sequencia s;
  static constexpr char kLixo[] = {' ', '-', '+', '.', 'X', 'S', '\xE9', '\0', '\xFF', '9', 'A'};
  for (const auto& d : gerador.Varias(200)) {
    for (std::string linha : d.linhas) {
      const int trocas = static_cast<int>(sorteio.Entre(0, 30));
      for (int k = 0; k < trocas; ++k)
        linha[static_cast<std::size_t>(sorteio.Entre(0, static_cast<std::int64_t>(linha.size()) - 1))] =
            kLixo[static_cast<std::size_t>(sorteio.Entre(0, sizeof kLixo - 1))];
      if (sorteio.UmEm(10))
        linha.resize(static_cast<std::size_t>(sorteio.Entre(0, static_cast<std::int64_t>(linha.size()))));
      s.Linha(linha);
    }
  }
  s.Linha("").Linha("A0").Linha("A3");
  EXPECT_FALSE(s.Fim().empty());
}

}  // namespace
