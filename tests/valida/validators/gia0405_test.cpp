// The record walk of GIA 4/5 files and their main record: prefix, sequence,
// record type, identity, amounts and sums, and the closing of the previous
// declaration while its identity is still in place.
#include "tests/geradores/gia0405.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/execucao_teste.h"
#include "valida/validators/validadores.h"

namespace {

using geradores::Digitos;
using geradores::MontantesGIA0405;
using geradores::PrefixoGIA0405;
using geradores::TotaisAnexosGIA0405;

constexpr std::string_view kCampoNumerico = "Campo numérico é esperado"_cp;
constexpr std::string_view kObrigatorio = "Campo obrigatório não informado"_cp;
constexpr std::string_view kValorIncorreto = "Valor incorreto"_cp;
constexpr std::string_view kSimNao = "Conteúdo deve ser 'S' ou 'N'"_cp;
constexpr std::string_view kCabecalhoAnexo = "Anexo com cabeçalho inválido"_cp;
constexpr std::string_view kTipoInvalido = "Identificação Registro Inválida"_cp;
constexpr std::string_view kSequencia = "Contador de sequência incorreto"_cp;
constexpr std::string_view kReferenciaVersao = "Referência incompatível com versão"_cp;
constexpr std::string_view kDiaTermino = "Dia de término inválido"_cp;
constexpr std::string_view kReferenciaAnexo = "Valor Incorreto da Referência"_cp;
constexpr std::string_view kLinhasAnexo = "Nro de linhas do anexo inválido"_cp;

// Taxpayer and period of the declaration that most cases use.
constexpr std::string_view kDeclaracao = "123/4567897    05/2005";

// A finding line as the report prints it.
std::string Achado(int linha, int primeira, int ultima, std::string_view texto,
                   std::string_view contribuinte_periodo = kDeclaracao) {
  char colunas[40];
  std::snprintf(colunas, sizeof colunas, " %03d %03d %03d ", linha, primeira, ultima);
  return std::string(contribuinte_periodo) + colunas + std::string(texto);
}

// A valid main record of 1234567897 for May 2005 whose amounts are all zero.
std::string RegistroZerado(std::string_view versao = "05") {
  PrefixoGIA0405 p;
  p.versao = std::string(versao);
  return geradores::RegistroPrincipalGIA0405(p, MontantesGIA0405{}, TotaisAnexosGIA0405{});
}

// A record changed column by column.
struct Registro {
  std::string texto = RegistroZerado();
  Registro& Em(int coluna, std::string_view valor) {
    geradores::Poe(texto, coluna, valor);
    return *this;
  }
  Registro& Montante(int coluna, std::int64_t valor) { return Em(coluna, Digitos(valor, 15)); }
};

using Mudancas = std::vector<std::pair<int, std::string>>;

std::string Com(const Mudancas& mudancas, std::string base = RegistroZerado()) {
  Registro r{std::move(base)};
  for (const auto& [coluna, valor] : mudancas) r.Em(coluna, valor);
  return r.texto;
}

// Lines fed to the validator as the driver feeds them, and the driver's
// closing of the last declaration.
class Arquivo {
 public:
  explicit Arquivo(const std::string& versao = "05") : t_("GIA" + versao) {
    t_.run.VersaoInicial = versao;
    t_.run.VersaoArquivo = versao;
    t_.run.NumeroLinha = 0;
  }
  Arquivo& Linha(std::string_view linha) {
    ++t_.run.NumeroLinha;
    valida::ValidaGIA0405(t_.run, linha);
    return *this;
  }
  Arquivo& Linhas(const std::vector<std::string>& linhas) {
    for (const auto& l : linhas) Linha(l);
    return *this;
  }
  Arquivo& Fim() {
    if (valida::HaLinhasAnexoContadas(t_.run)) valida::ConfereLinhasAnexos(t_.run);
    valida::FechaDeclaracaoGIA(t_.run);
    return *this;
  }
  std::vector<std::string> Erros() { return t_.Erros(); }
  std::vector<std::string> Recibo() { return t_.Recibo(); }
  valida::Execucao& run() { return t_.run; }

 private:
  valida::teste::ExecucaoDeTeste t_;
};

struct Caso {
  const char* regra;
  Mudancas mudancas;
  std::vector<std::string> esperado;
};

void ConfereUmaLinha(const std::vector<Caso>& casos, const std::string& versao = "05") {
  for (const Caso& c : casos) {
    Arquivo a(versao);
    a.Linha(Com(c.mudancas, RegistroZerado(versao)));
    EXPECT_EQ(a.Erros(), c.esperado) << c.regra;
  }
}

TEST(GIA0405Principal, Identidade) {
  const std::string kData = std::string("Data Inválida"_cp);
  ConfereUmaLinha({
      {"a valid main record", {}, {}},
      {"mark", {{1, "***X"}}, {Achado(1, 1, 4, "Marca teleprocessamento inválida"_cp)}},
      {"version not numeric", {{5, "0A"}}, {Achado(1, 5, 6, kCampoNumerico)}},
      {"version unknown", {{5, "06"}}, {Achado(1, 5, 6, "Versão da GIA é incorreta"_cp)}},
      {"version of another kind than the first record",
       {{5, "04"}},
       {Achado(1, 5, 6, "Arquivo com GIAs de versões diferentes"_cp, "123/4567897    00/0000"),
        Achado(1, 20, 25, kReferenciaVersao)}},
      {"indicator X", {{15, "X"}}, {}},
      {"indicator other", {{15, "Y"}}, {Achado(1, 15, 15, "Conteúdo só pode ser 'X' ou ' '"_cp)}},
      {"reference blank: no last-day test without a reference",
       {{20, "      "}},
       {Achado(1, 20, 25, kCampoNumerico, "123/4567897    00/0000")}},
      {"reference with a sign", {{20, "-52005"}}, {Achado(1, 20, 25, kCampoNumerico, "123/4567897    -52005")}},
      {"reference month 13: code 12 ends the field",
       {{20, "132005"}},
       {Achado(1, 20, 25, kData, "123/4567897    13/2005")}},
      {"reference 08/2000 is version 4",
       {{20, "082000"}},
       {Achado(1, 20, 25, kReferenciaVersao, "123/4567897    08/2000")}},
      {"reference 09/2000 is version 5", {{20, "092000"}, {18, "30"}}, {}},
      {"first day 02", {{16, "02"}}, {Achado(1, 16, 17, "Dia Início Período Inválida"_cp)}},
      {"first day blank", {{16, "  "}}, {Achado(1, 16, 17, kCampoNumerico)}},
      {"last day 30 in May", {{18, "30"}}, {Achado(1, 18, 19, kDiaTermino)}},
      {"last day with a letter", {{18, "3l"}}, {Achado(1, 18, 19, kCampoNumerico)}},
      {"29 February 2004", {{20, "022004"}, {18, "29"}}, {}},
      {"29 February 2001", {{20, "022001"}, {18, "29"}}, {Achado(1, 18, 19, kDiaTermino, "123/4567897    02/2001")}},
      {"28 February 2001", {{20, "022001"}, {18, "28"}}, {}},
      {"29 February 2100: every fourth year is a leap year", {{20, "022100"}, {18, "29"}}, {}},
      {"registration zero", {{26, "0000000000"}}, {Achado(1, 26, 35, kObrigatorio, "000/0000000    05/2005")}},
      {"registration check digit",
       {{26, "1234567890"}},
       {Achado(1, 26, 35, "Dígito controle inválido"_cp, "123/4567890    05/2005")}},
      {"registration with an inner blank",
       {{26, "12345 7897"}},
       {Achado(1, 26, 35, kCampoNumerico, "12345 7897     05/2005")}},
      {"sequence not numeric", {{36, "000A"}}, {Achado(1, 36, 39, kCampoNumerico)}},
      {"sequence 0002", {{36, "0002"}}, {Achado(1, 36, 39, kSequencia)}},
      {"sequence first, then the identity in the order 1-4, 5-6, 15, 20-25, 16-17, 18-19, 26-35",
       {{1, "+***"}, {5, "06"}, {15, "Y"}, {20, "132005"}, {16, "02"}, {18, "3A"}, {26, "1234567890"}, {36, "0002"}},
       {Achado(1, 36, 39, kSequencia, "123/4567890    13/2005"),
        Achado(1, 1, 4, "Marca teleprocessamento inválida"_cp, "123/4567890    13/2005"),
        Achado(1, 5, 6, "Versão da GIA é incorreta"_cp, "123/4567890    13/2005"),
        Achado(1, 15, 15, "Conteúdo só pode ser 'X' ou ' '"_cp, "123/4567890    13/2005"),
        Achado(1, 20, 25, kData, "123/4567890    13/2005"),
        Achado(1, 16, 17, "Dia Início Período Inválida"_cp, "123/4567890    13/2005"),
        Achado(1, 18, 19, kCampoNumerico, "123/4567890    13/2005"),
        Achado(1, 26, 35, "Dígito controle inválido"_cp, "123/4567890    13/2005")}},
  });
}

TEST(GIA0405Principal, ReferenciaDaVersao4) {
  const std::string v4 = RegistroZerado("04");
  ConfereUmaLinha(
      {
          {"08/1998 is before version 4",
           {{20, "081998"}},
           {Achado(1, 20, 25, kReferenciaVersao, "123/4567897    08/1998")}},
          {"10/1998 is its first month", {{20, "101998"}}, {}},
          {"08/2000 is its last month", {{20, "082000"}}, {}},
          {"09/2000 is version 5",
           {{20, "092000"}, {18, "30"}},
           {Achado(1, 20, 25, kReferenciaVersao, "123/4567897    09/2000")}},
          {"version 5 in a version 4 file keeps the range of version 5",
           {{5, "05"}, {20, "101998"}},
           {Achado(1, 5, 6, "Arquivo com GIAs de versões diferentes"_cp, "123/4567897    00/0000"),
            Achado(1, 20, 25, kReferenciaVersao, "123/4567897    10/1998")}},
      },
      "04");
}

// Every numeric field of the main record from column 44 on: first column and width.
const std::vector<std::pair<int, int>>& CamposNumericos() {
  static const std::vector<std::pair<int, int>> campos = [] {
    std::vector<std::pair<int, int>> c;
    for (const int coluna : {44, 59, 74, 89, 104, 119, 194, 209, 224, 239, 254, 269, 284, 359})
      c.emplace_back(coluna, 15);
    for (int coluna = 375; coluna <= 600; coluna += 15) c.emplace_back(coluna, 15);
    c.emplace_back(615, 6);
    c.emplace_back(621, 15);
    c.emplace_back(636, 7);
    for (int coluna = 643; coluna <= 778; coluna += 15) c.emplace_back(coluna, 15);
    c.emplace_back(804, 15);
    c.emplace_back(819, 15);
    for (int coluna = 841; coluna <= 889; coluna += 3) c.emplace_back(coluna, 3);
    return c;
  }();
  return campos;
}

// In a record of zeros, a field that is not numeric gives code 7 at its own
// columns and nothing else: it counts as zero wherever it is summed.
TEST(GIA0405Principal, CampoNaoNumerico) {
  for (const auto& [coluna, largura] : CamposNumericos()) {
    const auto w = static_cast<std::size_t>(largura);
    const std::vector<std::pair<const char*, std::string>> recheios = {
        {"blanks", std::string(w, ' ')},
        {"letters", std::string(w, 'A')},
        {"minus sign", "-" + std::string(w - 1, '1')},
        {"plus sign", "+" + std::string(w - 1, '0')},
        {"leading blank", " " + std::string(w - 1, '0')},
        {"inner blank", std::string(w - 2, '0') + " 1"},
        {"decimal point", std::string(w - 2, '0') + ".5"},
    };
    for (const auto& [nome, recheio] : recheios) {
      Arquivo a;
      a.Linha(Com({{coluna, recheio}}));
      EXPECT_EQ(a.Erros(), (std::vector<std::string>{Achado(1, coluna, coluna + largura - 1, kCampoNumerico)}))
          << nome << " at column " << coluna;
    }
  }
}

TEST(GIA0405Principal, SomasDoRegistro) {
  const auto m = [](std::int64_t v) { return Digitos(v, 15); };
  const std::string kDescricao = "ESTORNO";
  ConfereUmaLinha({
      {"total A is A1 to A6",
       {{44, m(1)}, {59, m(2)}, {74, m(3)}, {89, m(4)}, {104, m(5)}, {119, m(6)}, {134, kDescricao}, {194, m(21)}},
       {}},
      {"total A off by one", {{59, m(2)}, {194, m(3)}}, {Achado(1, 194, 208, kValorIncorreto)}},
      {"total A of 15 digits, exact",
       {{44, m(499999999999999)}, {59, m(499999999999999)}, {194, m(999999999999999)}},
       {Achado(1, 194, 208, kValorIncorreto)}},
      {"a failed A1 counts as zero", {{44, "X"}, {59, m(5)}, {194, m(5)}}, {Achado(1, 44, 58, kCampoNumerico)}},
      {"a failed total A is not compared", {{59, m(5)}, {194, "?"}}, {Achado(1, 194, 208, kCampoNumerico)}},
      {"A6 greater than zero needs its description", {{119, m(1)}, {194, m(1)}}, {Achado(1, 134, 193, kObrigatorio)}},
      {"a failed A6 needs no description", {{119, "A"}}, {Achado(1, 119, 133, kCampoNumerico)}},
      {"total B is B1 to B6",
       {{209, m(1)}, {224, m(2)}, {239, m(3)}, {254, m(4)}, {269, m(5)}, {284, m(6)}, {299, kDescricao}, {359, m(21)}},
       {}},
      {"total B off", {{209, m(10)}, {359, m(9)}}, {Achado(1, 359, 373, kValorIncorreto)}},
      {"B6 greater than zero needs its description", {{284, m(1)}, {359, m(1)}}, {Achado(1, 299, 358, kObrigatorio)}},
      {"annex-7 flag S", {{374, "S"}}, {}},
      {"annex-7 flag other", {{374, "s"}}, {Achado(1, 374, 374, kSimNao)}},
      {"C9 greater than C8", {{480, m(1)}, {495, m(2)}}, {Achado(1, 495, 509, kValorIncorreto)}},
      {"C9 equal to C8", {{480, m(2)}, {495, m(2)}}, {}},
      {"a failed C8 counts as zero against C9",
       {{480, "  "}, {495, m(1)}},
       {Achado(1, 480, 494, kCampoNumerico), Achado(1, 495, 509, kValorIncorreto)}},
      {"flag 834 other: D1 and D2 must be zero", {{834, "X"}}, {Achado(1, 834, 834, kSimNao)}},
      {"flag 834 N: D1 must be zero", {{570, m(1)}}, {Achado(1, 570, 584, kValorIncorreto)}},
      {"flag 834 S: D1 is C3 + C10", {{834, "S"}, {405, m(2)}, {510, m(3)}, {570, m(5)}}, {}},
      {"flag 834 S: D1 differs from C3 + C10",
       {{834, "S"}, {405, m(2)}, {510, m(3)}, {570, m(4)}},
       {Achado(1, 570, 584, kValorIncorreto)}},
      {"flag 834 S: a failed C3 counts as zero in D1",
       {{834, "S"}, {405, "ABC"}, {510, m(3)}, {570, m(3)}},
       {Achado(1, 405, 419, kCampoNumerico)}},
      {"flag 834 S: D2 is C4 + C9", {{834, "S"}, {420, m(1)}, {480, m(2)}, {495, m(2)}, {585, m(3)}}, {}},
      {"flag 834 S: D2 differs from C4 + C9",
       {{834, "S"}, {420, m(1)}, {585, m(0)}},
       {Achado(1, 585, 599, kValorIncorreto)}},
      {"total E is E1 + E2 + E3", {{673, m(1)}, {703, m(2)}, {733, m(3)}, {763, m(6)}}, {}},
      {"total E off", {{673, m(1)}, {763, m(2)}}, {Achado(1, 763, 777, kValorIncorreto)}},
      {"total F off", {{688, m(1)}, {718, m(2)}, {748, m(3)}, {778, m(7)}}, {Achado(1, 778, 792, kValorIncorreto)}},
      {"amount findings in the order of the layout, flag 834 after column 555",
       {{555, "X"}, {834, "X"}, {570, m(1)}, {804, "Y"}},
       {Achado(1, 555, 569, kCampoNumerico), Achado(1, 834, 834, kSimNao), Achado(1, 570, 584, kValorIncorreto),
        Achado(1, 804, 818, kCampoNumerico)}},
  });
}

struct CasoArquivo {
  const char* regra;
  std::vector<std::string> linhas;
  std::vector<std::string> esperado;
};

void ConfereArquivos(const std::vector<CasoArquivo>& casos) {
  for (const CasoArquivo& c : casos) {
    Arquivo a;
    a.Linhas(c.linhas).Fim();
    EXPECT_EQ(a.Erros(), c.esperado) << c.regra;
  }
}

// A record of a type outside the table, repeating the main record's prefix.
std::string Desconhecido(int sequencia, const Mudancas& mudancas = {}) {
  Mudancas m = {{36, Digitos(sequencia, 4)}, {40, "X13 "}};
  m.insert(m.end(), mudancas.begin(), mudancas.end());
  return Com(m);
}

TEST(GIA0405Percurso, PrefixoSequenciaETipo) {
  ConfereArquivos({
      {"an unknown type advances the counter",
       {RegistroZerado(), Desconhecido(2), Desconhecido(3)},
       {Achado(2, 40, 43, kTipoInvalido), Achado(3, 40, 43, kTipoInvalido)}},
      {"the counter is 1 after the main record's own test",
       {Com({{36, "0002"}}), Desconhecido(2)},
       {Achado(1, 36, 39, kSequencia), Achado(2, 40, 43, kTipoInvalido)}},
      {"a sequence that skips",
       {RegistroZerado(), Desconhecido(3)},
       {Achado(2, 36, 39, kSequencia), Achado(2, 40, 43, kTipoInvalido)}},
      {"mark and period differ: one code 20, at 1-4",
       {RegistroZerado(), Desconhecido(2, {{1, "    "}, {20, "062005"}})},
       {Achado(2, 1, 4, kCabecalhoAnexo, "123/4567897    06/2005"),
        Achado(2, 40, 43, kTipoInvalido, "123/4567897    06/2005")}},
      {"version differs",
       {RegistroZerado(), Desconhecido(2, {{5, "04"}})},
       {Achado(2, 5, 6, kCabecalhoAnexo), Achado(2, 40, 43, kTipoInvalido)}},
      {"first day differs",
       {RegistroZerado(), Desconhecido(2, {{16, "02"}})},
       {Achado(2, 16, 17, kCabecalhoAnexo), Achado(2, 40, 43, kTipoInvalido)}},
      {"last day differs",
       {RegistroZerado(), Desconhecido(2, {{18, "30"}})},
       {Achado(2, 18, 19, kCabecalhoAnexo), Achado(2, 40, 43, kTipoInvalido)}},
      {"registration differs",
       {RegistroZerado(), Desconhecido(2, {{26, "9876543216"}})},
       {Achado(2, 26, 35, kCabecalhoAnexo, "987/6543216    05/2005"),
        Achado(2, 40, 43, kTipoInvalido, "987/6543216    05/2005")}},
      {"columns 7-14 and 15 are not compared",
       {RegistroZerado(), Desconhecido(2, {{7, "ABCDEFGH"}, {15, "X"}})},
       {Achado(2, 40, 43, kTipoInvalido)}},
      {"a zero registration is held as 0, so the annex's ten zeros differ",
       {Com({{26, "0000000000"}}), Desconhecido(2, {{26, "0000000000"}})},
       {Achado(1, 26, 35, kObrigatorio, "000/0000000    05/2005"),
        Achado(2, 26, 35, kCabecalhoAnexo, "000/0000000    05/2005"),
        Achado(2, 40, 43, kTipoInvalido, "000/0000000    05/2005")}},
      {"a record before any main record",
       {Desconhecido(1), RegistroZerado()},
       {Achado(1, 1, 4, kCabecalhoAnexo), Achado(1, 40, 43, kTipoInvalido)}},
      {"an annex record before any main record closes nothing",
       {Com({{36, "0001"}, {40, "X01 "}, {44, "01112" + std::string(65, '0')}}), RegistroZerado()},
       {Achado(1, 1, 4, kCabecalhoAnexo)}},
  });
}

TEST(GIA0405Percurso, FechamentoDaDeclaracaoAnterior) {
  const auto m = [](std::int64_t v) { return Digitos(v, 15); };
  // Declaration 1: one X04 line declared and none there, A3 without X02.
  const std::string primeira = Com({{853, "001"}, {74, m(5)}, {194, m(5)}});
  const std::string segunda = Com({{26, "9876543216"}, {20, "062005"}, {18, "30"}, {36, "0002"}, {15, "Y"}});
  ConfereArquivos({
      {"the previous declaration is closed in its own name, around the new record's sequence",
       {primeira, segunda},
       {Achado(1, 853, 855, kLinhasAnexo), Achado(2, 36, 39, kSequencia, "987/6543216    06/2005"),
        Achado(1, 74, 88, kReferenciaAnexo),
        Achado(2, 15, 15, "Conteúdo só pode ser 'X' ou ' '"_cp, "987/6543216    06/2005")}},
      {"the last declaration's lines are not compared when none were counted",
       {RegistroZerado(), primeira},
       {Achado(2, 74, 88, kReferenciaAnexo)}},
      {"a kept amount that fails keeps the previous declaration's value",
       {Com({{89, m(5)}, {194, m(5)}}), Com({{89, "ABC"}})},
       {Achado(1, 89, 103, kReferenciaAnexo), Achado(2, 89, 103, kCampoNumerico),
        Achado(2, 89, 103, kReferenciaAnexo)}},
      {"a period that fails keeps the previous reference for the last day",
       {Com({{20, "022004"}, {18, "29"}}), Com({{20, "AB2004"}, {18, "29"}}), Com({{20, "AB2004"}, {18, "28"}})},
       {Achado(2, 20, 25, kCampoNumerico, "123/4567897    AB2004"),
        Achado(3, 20, 25, kCampoNumerico, "123/4567897    AB2004"),
        Achado(3, 18, 19, kDiaTermino, "123/4567897    AB2004")}},
      {"C3 is taken off the X10 sum and G1 added to the X08 sum",
       {Com({{405, m(7)}, {804, m(5)}})},
       {Achado(1, 435, 449, kReferenciaAnexo), Achado(1, 510, 524, kReferenciaAnexo)}},
      {"G2 with C5 = G1 + G2 closes cleanly", {Com({{804, m(5)}, {819, m(6)}, {435, m(11)}})}, {}},
  });
}

TEST(GIA0405Percurso, ListaDoRecibo) {
  Arquivo a;
  std::vector<std::string> periodos = {"012005", "022005", "032005", "042005"};
  const std::vector<std::string> ultimos = {"31", "28", "31", "30"};
  for (std::size_t i = 0; i < periodos.size(); ++i) a.Linha(Com({{20, periodos[i]}, {18, ultimos[i]}}));
  a.Fim();
  EXPECT_EQ(a.Erros(), std::vector<std::string>{});
  EXPECT_EQ(a.Recibo(),
            (std::vector<std::string>{"123/4567897    01/2005  123/4567897    02/2005  123/4567897    03/2005  "}));
  EXPECT_EQ(a.run().LinhaRecibo, "123/4567897    04/2005  ");
  EXPECT_EQ(a.run().QtdGIAs, 4);
}

TEST(GIA0405Percurso, ListaDoReciboComInscricaoZero) {
  Arquivo a;
  a.Linha(Com({{26, "0000000000"}}));
  EXPECT_EQ(a.run().LinhaRecibo, "000/0000000    05/2005  ");
  EXPECT_EQ(a.run().QtdGIAs, 1);
}

// Generated declarations of both versions, with and without annexes, are
// valid: no finding, and every one listed on the receipt.
TEST(GIA0405Percurso, DeclaracoesGeradas) {
  for (const std::string versao : {"04", "05"}) {
    geradores::GeradorGIA0405 gerador(20050501, versao);
    std::vector<geradores::DeclaracaoGIA0405> declaracoes;
    for (int i = 0; i < 20; ++i) declaracoes.push_back(gerador.Proxima());
    Arquivo a(versao);
    for (const auto& d : declaracoes) a.Linhas(d.Registros());
    a.Fim();
    EXPECT_EQ(a.Erros(), std::vector<std::string>{}) << versao;
    std::vector<std::string> recibo = a.Recibo();
    if (!a.run().LinhaRecibo.empty()) recibo.push_back(a.run().LinhaRecibo);
    EXPECT_EQ(recibo, geradores::LinhasRecibo(declaracoes)) << versao;
    EXPECT_EQ(a.run().QtdGIAs, 20);
  }
}

TEST(GIA0405Percurso, DeclaracoesGeradasComAnexos) {
  for (const std::string versao : {"04", "05"}) {
    geradores::GeradorGIA0405 gerador(19981001, versao);
    Arquivo a(versao);
    for (int i = 0; i < 5; ++i) a.Linhas(gerador.ProximaComAnexos().Registros());
    a.Fim();
    EXPECT_EQ(a.Erros(), std::vector<std::string>{}) << versao;
    EXPECT_EQ(a.run().QtdGIAs, 5);
  }
}

// Thousands of lines, each with its finding: none is skipped, every one
// names its own line, and the line numbers go past 999 with more digits.
TEST(GIA0405Percurso, CadaLinhaUmAchado) {
  Arquivo a;
  std::vector<std::string> esperado;
  for (int i = 0; i < 1500; ++i) {
    const int linha = 2 * i + 1;
    a.Linha(Com({{15, "Y"}}));
    a.Linha(Desconhecido(2));
    esperado.push_back(Achado(linha, 15, 15, "Conteúdo só pode ser 'X' ou ' '"_cp));
    esperado.push_back(Achado(linha + 1, 40, 43, kTipoInvalido));
  }
  a.Fim();
  const std::vector<std::string> erros = a.Erros();
  EXPECT_EQ(erros, esperado);
  EXPECT_EQ(erros.back(), "123/4567897    05/2005 3000 040 043 " + std::string(kTipoInvalido));
  EXPECT_EQ(a.run().QtdGIAs, 1500);
}

// Generated declarations with random characters thrown into every record,
// record types and occurrence counts included: the walk, the annex rules and
// the closing take them all, and a file of them is rejected.
TEST(GIA0405Percurso, RegistrosEmbaralhados) {
  geradores::GeradorGIA0405 gerador(77, "05");
  geradores::Sorteio s(78);
  static constexpr std::string_view kCaracteres = "0123456789 AXSN+-.*9";
  Arquivo a;
  for (int d = 0; d < 40; ++d) {
    for (std::string r : gerador.ProximaComAnexos({.maximo_ocorrencias = 4}).Registros()) {
      for (int k = 0; k < 12; ++k) {
        const auto coluna = static_cast<std::size_t>(s.Entre(d % 2 == 0 ? 1 : 36, 898) - 1);
        r[coluna] = kCaracteres[static_cast<std::size_t>(s.Entre(0, kCaracteres.size() - 1))];
      }
      EXPECT_NO_THROW(a.Linha(r));
    }
  }
  EXPECT_NO_THROW(a.Fim());
  EXPECT_FALSE(a.Erros().empty());
}

// The driver tests the lengths; lines cut short still never crash the walk.
TEST(GIA0405Percurso, LinhasCurtas) {
  Arquivo a;
  for (const std::string& linha : {std::string(), std::string("****05"), RegistroZerado().substr(0, 43),
                                   RegistroZerado().substr(0, 600), Desconhecido(2).substr(0, 30)})
    EXPECT_NO_THROW(a.Linha(linha));
  EXPECT_NO_THROW(a.Fim());
}

}  // namespace
