// ValidaGIA03: one table per rule family, each row a record and the finding
// lines it must give, byte for byte; then the receipt and generated files.
#include "tests/geradores/gia03.h"

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
using valida::teste::Caso;
using valida::teste::ExecucaoDeTeste;
using namespace valida::teste::textos;

const std::string kMarca(std::string("Marca teleprocessamento inválida"_cp));
const std::string kVersao(std::string("Versão da GIA é incorreta"_cp));
const std::string kReferencia(std::string("Mês/Ano de referência inválido"_cp));
const std::string kDigito(std::string("Dígito controle inválido"_cp));
const std::string kValor("Valor incorreto");
const std::string kVencimento("Vencimento Incorreto");

constexpr std::string_view kPrefixo = "123/4567897    09/1998 001 ";

std::string Achado(int primeira, int ultima, std::string_view texto) {
  return Achado(kPrefixo, primeira, ultima, texto);
}

std::string Base() { return geradores::RegistroGIA03Zerado(); }

std::string V(long long valor) { return Digitos(valor, 16); }

// Columns of the fields that the rows change.
constexpr int kA = 84, kB = 100, kC = 116, kT1 = 292, kT2 = 420;
constexpr int kR1 = 436, kR2 = 452, kR3 = 468, kR4 = 484, kR5 = 500, kR6 = 732;
constexpr int G(int i) { return 132 + 16 * (i - 1); }
constexpr int H(int i) { return 308 + 16 * (i - 1); }
constexpr int Data(int i) { return 516 + 24 * (i - 1); }
constexpr int Quantia(int i) { return Data(i) + 8; }

void Confere(const std::vector<Caso>& casos) { valida::teste::Confere("GIA03", valida::ValidaGIA03, Base(), casos); }

TEST(ValidaGIA03, Cabecalho) {
  Confere({
      {"valid record", {}, {}},
      {"marker", {{1, "***X"}}, {Achado(1, 4, kMarca)}},
      {"version 04", {{5, "04"}}, {Achado(5, 6, kVersao)}},
      {"version not numeric: no version test", {{5, "0A"}}, {Achado(5, 6, kNumerico)}},
      {"version blank", {{5, "  "}}, {Achado(5, 6, kNumerico)}},
      {"version signed", {{5, "-3"}}, {Achado(5, 6, kNumerico)}},
      {"indicator X", {{15, "X"}}, {}},
      {"indicator lower case x", {{15, "x"}}, {Achado(15, 15, kIndicador)}},
      {"indicator digit", {{15, "1"}}, {Achado(15, 15, kIndicador)}},
      {"start day 00", {{16, "00"}}, {Achado(16, 17, kDiaInicio)}},
      {"start day 32, and then the end day is not after it",
       {{16, "32"}},
       {Achado(16, 17, kDiaInicio), Achado(18, 19, kDiaFim)}},
      {"start day 30", {{16, "30"}}, {}},
      {"end day equal to start day", {{16, "31"}}, {Achado(18, 19, kDiaFim)}},
      {"end day after start day", {{16, "1520"}}, {}},
      {"end day 14 before 15", {{16, "1514"}}, {Achado(18, 19, kDiaFim)}},
      {"end day signed: no day test", {{18, "+1"}}, {Achado(18, 19, kNumerico)}},
      {"period 07/1994, first of the range", {{20, "071994"}}, {}},
      {"period 06/1994", {{20, "061994"}}, {Achado("123/4567897    06/1994 001 ", 20, 25, kReferencia)}},
      {"period 10/1998", {{20, "101998"}}, {Achado("123/4567897    10/1998 001 ", 20, 25, kReferencia)}},
      {"period 000000: a date, out of range",
       {{20, "000000"}},
       {Achado("123/4567897    00/0000 001 ", 20, 25, kReferencia)}},
      {"period month 13: no range test", {{20, "132005"}}, {Achado("123/4567897    13/2005 001 ", 20, 25, kData)}},
      {"period month 00", {{20, "001998"}}, {Achado("123/4567897    00/1998 001 ", 20, 25, kData)}},
      {"period with a sign", {{20, "0919-8"}}, {Achado("123/4567897    0919-8 001 ", 20, 25, kNumerico)}},
      {"CGC/TE zero", {{26, "0000000000"}}, {Achado("000/0000000    09/1998 001 ", 26, 35, kObrigatorio)}},
      {"CGC/TE check digit", {{35, "0"}}, {Achado("123/4567890    09/1998 001 ", 26, 35, kDigito)}},
      {"CGC/TE with a letter", {{35, "X"}}, {Achado("123456789X     09/1998 001 ", 26, 35, kNumerico)}},
      {"columns 7-14, 36-83 and 880-898 are not examined", {{7, "ABCDEFGH"}, {36, "-+.,"}, {880, "ZZZZ"}}, {}},
  });
}

// The end day is compared with the start day's text as it stands, also when
// the start day is not numeric: a blank or a sign sorts below every digit, a
// letter above.
TEST(ValidaGIA03, DiaDeTerminoContraOTextoDoInicio) {
  Confere({
      {"start day blank, end day 00 above it", {{16, "  00"}}, {Achado(16, 17, kNumerico)}},
      {"start day blank, end day 31 above it", {{16, "  "}}, {Achado(16, 17, kNumerico)}},
      {"start day -1, end day 00 above it", {{16, "-100"}}, {Achado(16, 17, kNumerico)}},
      {"start day +9, end day 01 above it", {{16, "+901"}}, {Achado(16, 17, kNumerico)}},
      {"start day ab, end day 10 below it", {{16, "ab10"}}, {Achado(16, 17, kNumerico), Achado(18, 19, kDiaFim)}},
      {"start day ab, end day 31 below it", {{16, "ab"}}, {Achado(16, 17, kNumerico), Achado(18, 19, kDiaFim)}},
      {"start day 1 and a blank, end day 09 below it",
       {{16, "1 09"}},
       {Achado(16, 17, kNumerico), Achado(18, 19, kDiaFim)}},
      {"start day 1 and a blank, end day 10 above it", {{16, "1 10"}}, {Achado(16, 17, kNumerico)}},
      {"start day a blank and 1, end day 00 above it", {{16, " 100"}}, {Achado(16, 17, kNumerico)}},
      {"start day a blank and 1, end day 31 above it", {{16, " 1"}}, {Achado(16, 17, kNumerico)}},
  });
}

TEST(ValidaGIA03, Apuracao) {
  Confere({
      {"rule 1 holds", {{kA, V(100)}, {kB, V(30)}, {kC, V(70)}}, {}},
      {"rule 1: C off by one", {{kA, V(100)}, {kB, V(30)}, {kC, V(71)}}, {Achado(116, 131, kValor)}},
      {"rule 1: B above A", {{kA, V(30)}, {kB, V(100)}, {kC, V(70)}}, {Achado(116, 131, kValor)}},
      {"rule 1: C not numeric and A - B = 0", {{kC, std::string(16, ' ')}}, {Achado(116, 131, kNumerico)}},
      {"rule 1: C not numeric counts as 0",
       {{kA, V(5)}, {kC, "000000000000000 "}},
       {Achado(116, 131, kNumerico), Achado(116, 131, kValor)}},
      {"rule 1: A signed counts as 0",
       {{kA, "-000000000000005"}, {kC, V(5)}},
       {Achado(84, 99, kNumerico), Achado(116, 131, kValor)}},
      {"rule 2 holds, G10 included", {{G(1), V(10)}, {G(10), V(5)}, {kT1, V(15)}, {kR1, V(15)}}, {}},
      {"rule 2: T1 short", {{G(1), V(10)}, {G(10), V(5)}, {kT1, V(14)}, {kR1, V(14)}}, {Achado(292, 307, kValor)}},
      {"rule 2: a G not numeric is left out", {{G(3), "00000000000 0005"}}, {Achado(164, 179, kNumerico)}},
      {"rule 2: T1 not numeric", {{G(1), V(10)}, {kT1, "0000000000000O10"}}, {Achado(292, 307, kNumerico)}},
      {"rule 3 holds",
       {{H(1), V(40)}, {H(7), V(60)}, {kT2, V(100)}, {kR3, V(100)}, {kR4, V(0)}, {kR5, V(100)}, {kR6, V(100)}},
       {}},
      {"rule 3: T2 over",
       {{H(1), V(40)}, {kT2, V(41)}, {kR3, V(41)}, {kR5, V(41)}, {kR6, V(41)}},
       {Achado(420, 435, kValor)}},
      {"rule 3: an H not numeric", {{H(7), "                "}}, {Achado(404, 419, kNumerico)}},
      {"rule 4 holds: debit balance", {{G(1), V(100)}, {kT1, V(100)}, {H(1), V(40)}, {kT2, V(40)}, {kR1, V(60)}}, {}},
      {"rule 4: R1 is not T1 - T2",
       {{G(1), V(100)}, {kT1, V(100)}, {H(1), V(40)}, {kT2, V(40)}, {kR1, V(61)}},
       {Achado(436, 451, kValor)}},
      {"rule 4 only for a numeric R1; rule 5 with R1 as 0",
       {{G(1), V(100)}, {kT1, V(100)}, {H(1), V(40)}, {kT2, V(40)}, {kR1, "            6 0 "}, {kR2, V(1)}},
       {Achado(436, 451, kNumerico), Achado(452, 467, kValor)}},
      {"rule 5: R2 above R1",
       {{G(1), V(100)}, {kT1, V(100)}, {H(1), V(40)}, {kT2, V(40)}, {kR1, V(60)}, {kR2, V(61)}},
       {Achado(452, 467, kValor)}},
      {"rule 5: R2 equal to R1",
       {{G(1), V(100)}, {kT1, V(100)}, {H(1), V(40)}, {kT2, V(40)}, {kR1, V(60)}, {kR2, V(60)}},
       {}},
      {"rule 6 holds: credit balance",
       {{G(1), V(40)}, {kT1, V(40)}, {H(1), V(100)}, {kT2, V(100)}, {kR3, V(60)}, {kR5, V(60)}, {kR6, V(60)}},
       {}},
      {"rule 6: R3 is not T2 - T1 + R2",
       {{G(1), V(40)}, {kT1, V(40)}, {H(1), V(100)}, {kT2, V(100)}, {kR3, V(59)}, {kR5, V(59)}, {kR6, V(59)}},
       {Achado(468, 483, kValor)}},
      {"rule 6: R3 > 0 with R1 other than R2",
       {{G(1), V(40)},
        {kT1, V(40)},
        {H(1), V(100)},
        {kT2, V(100)},
        {kR1, V(6)},
        {kR2, V(5)},
        {kR3, V(65)},
        {kR5, V(65)},
        {kR6, V(65)}},
       {Achado(468, 483, kValor)}},
      {"rule 6: both parts fail",
       {{G(1), V(40)},
        {kT1, V(40)},
        {H(1), V(100)},
        {kT2, V(100)},
        {kR1, V(6)},
        {kR2, V(5)},
        {kR3, V(1)},
        {kR5, V(1)},
        {kR6, V(1)}},
       {Achado(468, 483, kValor), Achado(468, 483, kValor)}},
      {"rule 6: R3 not numeric takes no rule",
       {{G(1), V(40)}, {kT1, V(40)}, {H(1), V(100)}, {kT2, V(100)}, {kR3, "A"}},
       {Achado(468, 483, kNumerico)}},
      {"R4 not numeric counts as 0 in rule 8", {{kR4, " 000000000000000"}}, {Achado(484, 499, kNumerico)}},
  });
}

TEST(ValidaGIA03, FechamentoRegras8e9) {
  Confere({
      {"rule 8 holds through R6", {{kR4, V(10)}, {kR5, V(10)}, {kR6, V(10)}}, {}},
      {"rule 8: R5 is neither R4 + R3 nor S, and rule 9 with an empty first instalment",
       {{kR4, V(10)}, {kR5, V(11)}, {kR6, V(10)}},
       {Achado(500, 515, kValor), Achado(500, 515, kValor), Achado(516, 523, kObrigatorio),
        Achado(524, 539, kObrigatorio)}},
      {"rule 8 with G10: S - G10 may stay below R5",
       {{G(10), V(5)}, {kT1, V(5)}, {kR1, V(5)}, {kR4, V(10)}, {kR5, V(10)}, {kR6, V(14)}},
       {}},
      {"rule 8 with G10: S - G10 above R5",
       {{G(10), V(5)}, {kT1, V(5)}, {kR1, V(5)}, {kR4, V(10)}, {kR5, V(10)}, {kR6, V(16)}},
       {Achado(500, 515, kValor)}},
      {"rule 8 with G10: S - G10 equal to R5",
       {{G(10), V(5)}, {kT1, V(5)}, {kR1, V(5)}, {kR4, V(10)}, {kR5, V(10)}, {kR6, V(15)}},
       {}},
      {"rule 8 without G10: S below R5",
       {{kR4, V(10)}, {kR5, V(10)}, {kR6, V(9)}},
       {Achado(500, 515, kValor), Achado(516, 523, kObrigatorio), Achado(524, 539, kObrigatorio)}},
      {"R5 not numeric: rule 8 skipped, R5 counts as 0 in rule 9",
       {{kR4, V(10)}, {kR5, "000000000000001-"}},
       {Achado(500, 515, kNumerico)}},
      {"R6 not numeric is reported before R5",
       {{kR6, std::string(16, ' ')}, {kR5, std::string(16, ' ')}},
       {Achado(732, 747, kNumerico), Achado(500, 515, kNumerico)}},
      {"rule 9 holds with the first instalment filled",
       {{kR4, V(10)}, {kR5, V(10)}, {Data(1), "10101998"}, {Quantia(1), V(10)}},
       {}},
      {"rule 9: only the second instalment filled",
       {{kR4, V(10)}, {kR5, V(10)}, {Data(2), "10101998"}, {Quantia(2), V(10)}},
       {Achado(516, 523, kObrigatorio), Achado(524, 539, kObrigatorio)}},
      {"the closing fields",
       {{748, std::string(16, ' ')}, {860, "000000000000000+"}, {876, "12 4"}},
       {Achado(748, 763, kNumerico), Achado(860, 875, kNumerico), Achado(876, 879, kNumerico)}},
  });
}

// Instalments with R4 = R5 = their sum, so that rule 8 holds.
TEST(ValidaGIA03, Parcelas) {
  Confere({
      {"due in the reference month, amount 0: date pass", {{Data(1), "15091998"}}, {Achado(524, 539, kObrigatorio)}},
      {"due on the first day of the reference month",
       {{Data(1), "01091998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {}},
      {"due the day before the reference month: both passes",
       {{Data(1), "31081998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kVencimento), Achado(516, 523, kVencimento)}},
      {"date 00000000 with an amount: key 000000 is before the reference",
       {{Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kVencimento), Achado(516, 523, kObrigatorio)}},
      {"date 00000000 with an amount and no reference key",
       {{20, "09199X"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado("123/4567897    09199X 001 ", 20, 25, kNumerico),
        Achado("123/4567897    09199X 001 ", 516, 523, kObrigatorio),
        Achado("123/4567897    09199X 001 ", 516, 523, kObrigatorio)}},
      {"amount not numeric after a good date: both passes",
       {{Data(1), "15091998"}, {Quantia(1), "000000000000000A"}},
       {Achado(524, 539, kNumerico), Achado(524, 539, kNumerico)}},
      {"amount not numeric without a date: amount pass only",
       {{Quantia(1), std::string(16, ' ')}},
       {Achado(524, 539, kNumerico)}},
      {"date with an inner blank and an amount",
       {{Data(1), "1509 998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kNumerico), Achado(516, 523, kObrigatorio)}},
      {"date signed", {{Data(3), "-1091998"}}, {Achado(564, 571, kNumerico)}},
      {"31 September: both passes",
       {{Data(1), "31091998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kData), Achado(516, 523, kData)}},
      {"29 February of a leap year", {{Data(1), "29022000"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}}, {}},
      {"29 February of another year, amount 0: date pass only", {{Data(1), "29021999"}}, {Achado(516, 523, kData)}},
      {"month 13",
       {{Data(1), "01131998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kData), Achado(516, 523, kData)}},
      {"day 00 of a month",
       {{Data(1), "00101998"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(516, 523, kData), Achado(516, 523, kData)}},
      {"equal due dates are allowed",
       {{Data(1), "01101998"}, {Quantia(1), V(2)}, {Data(2), "01101998"}, {Quantia(2), V(3)}, {kR4, V(5)}, {kR5, V(5)}},
       {}},
      {"a gap between instalments is allowed",
       {{Data(1), "10101998"}, {Quantia(1), V(3)}, {Data(3), "10111998"}, {Quantia(3), V(4)}, {kR4, V(7)}, {kR5, V(7)}},
       {}},
      {"ninth instalment's columns, amount 0",
       {{Data(1), "10101998"}, {Quantia(1), V(1)}, {Data(9), "01091998"}, {kR4, V(1)}, {kR5, V(1)}},
       {Achado(716, 731, kObrigatorio)}},
      {"ninth instalment before the reference",
       {{Data(1), "10101998"}, {Quantia(1), V(1)}, {Data(9), "01081998"}, {Quantia(9), V(1)}, {kR4, V(2)}, {kR5, V(2)}},
       {Achado(708, 715, kVencimento), Achado(708, 715, kVencimento)}},
  });
}

// A period that is numeric but not a date still gives the key that the
// instalments are compared with.
TEST(ValidaGIA03, ChaveDeUmPeriodoInvalido) {
  const std::string prefixo = "123/4567897    13/2005 001 ";
  Confere({
      {"due after the key 200513",
       {{20, "132005"}, {Data(1), "01012006"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(prefixo, 20, 25, kData)}},
      {"due before the key 200513",
       {{20, "132005"}, {Data(1), "01122005"}, {Quantia(1), V(5)}, {kR4, V(5)}, {kR5, V(5)}},
       {Achado(prefixo, 20, 25, kData), Achado(prefixo, 516, 523, kVencimento),
        Achado(prefixo, 516, 523, kVencimento)}},
  });
}

// Every field blank: GIA 7 for each numeric field in the order of the
// checks, R5 after the instalments and R6.
TEST(ValidaGIA03, RegistroEmBranco) {
  const std::string prefixo = std::string(15, ' ') + "00/0000 001 ";
  std::vector<std::string> esperado = {Achado(prefixo, 1, 4, kMarca)};
  for (const auto& [primeira, ultima] :
       std::vector<std::pair<int, int>>{{5, 6}, {16, 17}, {18, 19}, {20, 25}, {26, 35}})
    esperado.push_back(Achado(prefixo, primeira, ultima, kNumerico));
  for (int coluna = 84; coluna <= 484; coluna += 16)
    esperado.push_back(Achado(prefixo, coluna, coluna + 15, kNumerico));
  for (int i = 1; i <= 9; ++i) {
    esperado.push_back(Achado(prefixo, Data(i), Data(i) + 7, kNumerico));
    esperado.push_back(Achado(prefixo, Quantia(i), Quantia(i) + 15, kNumerico));
  }
  esperado.push_back(Achado(prefixo, 732, 747, kNumerico));
  esperado.push_back(Achado(prefixo, 500, 515, kNumerico));
  for (int coluna = 748; coluna <= 860; coluna += 16)
    esperado.push_back(Achado(prefixo, coluna, coluna + 15, kNumerico));
  esperado.push_back(Achado(prefixo, 876, 879, kNumerico));

  ExecucaoDeTeste t("GIA03");
  valida::ValidaGIA03(t.run, std::string(898, ' '));
  EXPECT_EQ(t.Erros(), esperado);
  EXPECT_EQ(t.run.VersaoArquivo, "  ");
}

// The progress window's taxpayer caption, as the validator sets it.
class JanelaDeTeste : public plataforma::JanelaProgresso {
 public:
  void DefineProgresso(int) override {}
  void DefineContribuinte(std::string_view texto) override { contribuinte = texto; }
  void DefineVersao(std::string_view) override {}
  void Atualiza() override { ++atualizacoes; }
  void Fecha() override {}
  std::string contribuinte;
  int atualizacoes = 0;
};

TEST(ValidaGIA03, IdentidadeReciboEJanela) {
  ExecucaoDeTeste t("GIA03");
  JanelaDeTeste janela;
  t.run.janela = &janela;
  std::string linha = Base();
  valida::ValidaGIA03(t.run, linha);
  EXPECT_EQ(janela.contribuinte, "123/4567897");
  EXPECT_EQ(janela.atualizacoes, 1);
  EXPECT_EQ(t.run.LinhaRecibo, "123/4567897    09/1998  ");

  Poe(linha, 5, "04");
  Poe(linha, 26, "0000000000");
  t.run.NumeroLinha = 2;
  valida::ValidaGIA03(t.run, linha);
  EXPECT_EQ(t.run.VersaoArquivo, "04");
  EXPECT_EQ(janela.contribuinte, "000/0000000");
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{Achado("000/0000000    09/1998 002 ", 5, 6, kVersao),
                                                 Achado("000/0000000    09/1998 002 ", 26, 35, kObrigatorio)}));

  t.run.NumeroLinha = 3;
  valida::ValidaGIA03(t.run, Base());
  const std::string tres = "123/4567897    09/1998  000/0000000    09/1998  123/4567897    09/1998  ";
  EXPECT_EQ(t.Recibo(), (std::vector<std::string>{tres}));
  EXPECT_EQ(t.run.LinhaRecibo, "");
  t.run.NumeroLinha = 4;
  valida::ValidaGIA03(t.run, Base());
  EXPECT_EQ(t.Recibo(), (std::vector<std::string>{tres}));
  EXPECT_EQ(t.run.LinhaRecibo, "123/4567897    09/1998  ");
  EXPECT_EQ(t.run.QtdGIAs, 4);
}

// Generated files: many thousand valid declarations and no finding; and a
// single change to a generated record gives exactly its own finding.
TEST(ValidaGIA03, ArquivosGerados) {
  // 5000 = 3 * 1666 + 2: the last receipt line is pending.
  valida::teste::ConfereArquivoGerado("GIA03", valida::ValidaGIA03, geradores::GeradorGIA03(20240603).Varias(5000));
}

TEST(ValidaGIA03, RegistrosGeradosComUmaFalha) {
  geradores::GeradorGIA03 gerador(7);
  for (int i = 0; i < 200; ++i) {
    const auto d = gerador.Proxima();
    const std::string prefixo = d.EntradaRecibo().substr(0, 22) + " 001 ";
    {
      ExecucaoDeTeste t("GIA03");
      std::string linha = d.linha;
      Poe(linha, kC, V(std::stoll(linha.substr(kC - 1, 16)) + 1));
      valida::ValidaGIA03(t.run, linha);
      EXPECT_EQ(t.Erros(), (std::vector<std::string>{Achado(prefixo, 116, 131, kValor)})) << d.linha;
    }
    {
      ExecucaoDeTeste t("GIA03");
      std::string linha = d.linha;
      const char digito = linha[34];
      linha[34] = digito == '9' ? '0' : static_cast<char>(digito + 1);
      const std::string outro =
          linha.substr(25, 3) + "/" + linha.substr(28, 7) + d.EntradaRecibo().substr(11, 11) + " 001 ";
      valida::ValidaGIA03(t.run, linha);
      EXPECT_EQ(t.Erros(), (std::vector<std::string>{Achado(outro, 26, 35, kDigito)})) << d.linha;
    }
  }
}

// Any bytes, any length: the validator records what it finds and never fails.
TEST(ValidaGIA03, EntradaArbitrariaNaoFalha) {
  valida::teste::ConfereEntradaArbitraria<geradores::GeradorGIA03>("GIA03", valida::ValidaGIA03);
}

}  // namespace
