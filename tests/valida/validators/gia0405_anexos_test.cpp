// Tests of the GIA 4/5 annex records: occurrence counts, every field of
// every layout, the lookups, the CFOP merge and the declaration's sums.
#include "valida/validators/gia0405_anexos.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/geradores/gia0405.h"
#include "tests/geradores/gia0405_anexos.h"
#include "tests/valida/execucao_teste.h"
#include "valida/validators/validadores.h"

namespace valida {
namespace {

using geradores::kAnexosGIA0405;
namespace g = geradores;

// A finding as columns relative to an occurrence: code, first, last.
struct Achado {
  int codigo, primeira, ultima;
};

// clang-format off
const std::map<int, std::string_view> kTextos = {
    {4, "Dígito controle inválido"_cp},  {7, "Campo numérico é esperado"_cp}, {10, "Qtd Ocorrências anexo inválida"_cp},
    {11, "Conteúdo deve ser 'A','B' ou 'S'"_cp}, {12, "Data Inválida"_cp}, {15, "Dia de término inválido"_cp},
    {16, "Campo obrigatório não informado"_cp}, {23, "CFOP inválido"_cp}, {24, "Valor incorreto"_cp},
    {25, "Vencimento Incorreto"_cp}, {29, "Código Inválido"_cp}, {31, "Período Apuração Incorreto"_cp},
    {32, "Dia Vencimento Incorreto"_cp}};
// clang-format on

std::string Tres(int n) { return (n < 10 ? "00" : n < 100 ? "0" : "") + std::to_string(n); }

// A valid occurrence of each type, for a declaration of May 2005 whose X03
// holds code 123 and whose X05 holds CFOP 511 (see Anexos::Prepara).
// clang-format off
std::string Valida(int indice) {
  switch (indice) {
    case g::kX01: case g::kX05: return g::OcorrenciaX01X05(511, 1, 2, 3, 4, 5);
    case g::kX02: case g::kX06: return g::OcorrenciaX02X06("1234567897", 1, 10);
    case g::kX03: return g::OcorrenciaX03(123, 10);
    case g::kX03A: return g::OcorrenciaX03A(123, 'A', 1, 1, "1234567897", 10);
    case g::kX04: return g::OcorrenciaX04(1, 30, g::Mes::De(200504), "31052005", 1, 2);
    case g::kX05A: case g::kX05B: return g::OcorrenciaX05AB(511, 1, 10);
    case g::kX07: return g::AnexoX07(0, 0, "", 0, 0, "");
    case g::kX07A: case g::kX07B: return g::OcorrenciaX07AB(511, 1, 5);
    case g::kX08: case g::kX10: return g::OcorrenciaX08X10(1, 31, "01052005", 1, 2, "1234567897");
    case g::kX09: return g::OcorrenciaX09(10, 1, 2, "1234567897");
    case g::kX11: return g::OcorrenciaX11("01", 1, 2);
    default: return g::OcorrenciaX12(1, 1, 2);
  }
}
// clang-format on

class Anexos : public ::testing::Test {
 protected:
  Anexos() {
    t.run.InscricaoAtual = "1234567897";
    t.run.PeriodoAtual = "052005";
    t.run.EstadoDoValidador<EstadoGIA0405>().ReferenciaAAAAMM = "200505";
    t.run.NumeroLinha = 2;
  }

  // An empty declaration state, as a main record of May 2005 leaves it.
  void Reinicia() {
    t.run.EstadoDoValidador<EstadoGIA0405>() = EstadoGIA0405{};
    t.run.EstadoDoValidador<EstadoGIA0405>().ReferenciaAAAAMM = "200505";
  }

  // The X03 code and the X05 CFOP that the lookups find.
  void Prepara() {
    Le(g::kX03, {Valida(g::kX03)});
    Le(g::kX05, {Valida(g::kX05)});
    Erros();
  }

  void Le(int indice, const std::vector<std::string>& ocorrencias, std::string_view quantidade = {}) {
    std::string linha = g::RegistroAnexo(prefixo, 2, kAnexosGIA0405[indice - 1].tipo, ocorrencias);
    if (!quantidade.empty()) linha.replace(43, 2, quantidade);
    ValidaAnexoGIA(t.run, linha, indice);
  }

  // The findings as text lines, columns shifted by the occurrence's base.
  static std::vector<std::string> Linhas(const std::vector<Achado>& achados, int base) {
    std::vector<std::string> linhas;
    for (const auto& a : achados)
      linhas.push_back("123/4567897    05/2005 002 " + Tres(base + a.primeira) + " " + Tres(base + a.ultima) + " " +
                       std::string(kTextos.at(a.codigo)));
    return linhas;
  }

  // The findings recorded since the last call.
  std::vector<std::string> Erros() {
    std::vector<std::string> todos = t.Erros();
    std::vector<std::string> novos(todos.begin() + static_cast<std::ptrdiff_t>(vistos_), todos.end());
    vistos_ = todos.size();
    return novos;
  }

  teste::ExecucaoDeTeste t{"GIA05"};
  g::PrefixoGIA0405 prefixo;

 private:
  std::size_t vistos_ = 0;
};

TEST_F(Anexos, OccurrenceCounts) {
  for (int indice = 1; indice <= 17; ++indice) {
    const auto& tipo = kAnexosGIA0405[indice - 1];
    Reinicia();
    const std::vector<std::string> cheias(static_cast<std::size_t>(tipo.maximo), Valida(indice));
    struct Caso {
      std::string quantidade;
      int codigo;
    };
    for (const Caso& c : {Caso{"00", 10}, Caso{g::Digitos(tipo.maximo + 1, 2), 10}, Caso{"99", 10}, Caso{"  ", 7},
                          Caso{" 1", 7}, Caso{"1 ", 7}, Caso{"-1", 7}, Caso{"AB", 7}}) {
      Le(indice, cheias, c.quantidade);
      EXPECT_EQ(Erros(), Linhas({{c.codigo, 44, 45}}, 0)) << tipo.tipo << " n=" << c.quantidade;
      EXPECT_EQ(t.run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas[indice - 1], 0) << tipo.tipo;
    }
    Prepara();
    Le(indice, cheias);
    Le(indice, {Valida(indice)});
    EXPECT_EQ(Erros(), std::vector<std::string>{}) << tipo.tipo << " n=" << tipo.maximo;
    EXPECT_EQ(t.run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas[indice - 1],
              tipo.maximo + 1 + (indice == g::kX03 || indice == g::kX05))
        << tipo.tipo;
  }
}

// The numeric fields of each layout (relative column, width).
const std::map<int, std::vector<std::pair<int, int>>> kNumericos = {
    {g::kX01, {{0, 3}, {3, 13}, {16, 13}, {29, 13}, {42, 13}, {55, 13}}},
    {g::kX02, {{0, 10}, {10, 3}, {13, 13}}},
    {g::kX03, {{0, 3}, {3, 13}}},
    {g::kX03A, {{0, 3}, {4, 9}, {13, 2}, {15, 10}, {25, 13}}},
    {g::kX04, {{0, 10}, {10, 8}, {18, 13}, {31, 13}}},
    {g::kX05A, {{0, 3}, {3, 3}, {6, 13}}},
    {g::kX07, {{0, 13}, {13, 13}, {86, 13}, {99, 13}, {112, 13}, {185, 13}}},
    {g::kX07A, {{0, 3}, {3, 13}, {16, 13}}},
    {g::kX08, {{0, 4}, {4, 8}, {12, 13}, {25, 13}, {38, 10}}},
    {g::kX09, {{0, 2}, {2, 13}, {15, 13}, {28, 10}}},
    {g::kX11, {{2, 13}, {15, 13}}},
    {g::kX12, {{0, 3}, {3, 13}, {16, 13}}}};

// The type whose layout another shares.
int Leiaute(int indice) {
  switch (indice) {
    case g::kX05:
      return g::kX01;
    case g::kX06:
      return g::kX02;
    case g::kX05B:
      return g::kX05A;
    case g::kX07B:
      return g::kX07A;
    case g::kX10:
      return g::kX08;
    default:
      return indice;
  }
}

// Every numeric field of every type, in the second occurrence (the only one
// of X07): blanks, letters, signs and inner blanks are code 7 and only that.
TEST_F(Anexos, NumericFields) {
  Prepara();
  for (int indice = 1; indice <= 17; ++indice) {
    const auto& tipo = kAnexosGIA0405[indice - 1];
    const int ocorrencia = indice == g::kX07 ? 0 : 1;
    for (const auto& [rel, largura] : kNumericos.at(Leiaute(indice))) {
      const auto w = static_cast<std::size_t>(largura);
      for (const std::string& lixo : {std::string(w, ' '), std::string(w, 'A'), "-" + std::string(w - 1, '1'),
                                      "+" + std::string(w - 1, '1'), "1" + std::string(w - 1, ' '),
                                      std::string(w - 1, '1') + ".", std::string(w - 1, '1') + std::string("é"_cp)}) {
        std::string errada = Valida(indice);
        errada.replace(static_cast<std::size_t>(rel), w, lixo);
        std::vector<std::string> ocorrencias(static_cast<std::size_t>(ocorrencia), Valida(indice));
        ocorrencias.push_back(errada);
        Le(indice, ocorrencias);
        EXPECT_EQ(Erros(), Linhas({{7, rel, rel + largura - 1}}, 46 + tipo.tamanho * ocorrencia))
            << tipo.tipo << " at +" << rel << " '" << lixo << "'";
      }
    }
  }
}

// One occurrence with one field changed: the rule it breaks, at its columns.
struct Regra {
  const char* regra;
  int indice;
  int rel;
  std::string texto;
  std::vector<Achado> esperado;
};

TEST_F(Anexos, FieldRules) {
  const std::vector<Regra> regras = {
      {"X01 CFOP zero", g::kX01, 0, "000", {{16, 0, 2}}},
      {"X01 CFOP multiple of 100", g::kX01, 0, "500", {{23, 0, 2}}},
      {"X02 registration zero", g::kX02, 0, "0000000000", {{16, 0, 9}}},
      {"X06 wrong check digit", g::kX06, 0, "1234567890", {{4, 0, 9}}},
      {"X03 code zero", g::kX03, 0, "000", {{16, 0, 2}}},
      {"X03A code zero", g::kX03A, 0, "000", {{16, 0, 2}}},
      {"X03A code of no X03", g::kX03A, 0, "124", {{29, 0, 2}}},
      {"X03A kind blank", g::kX03A, 3, " ", {{11, 3, 3}}},
      {"X03A kind lower case", g::kX03A, 3, "a", {{11, 3, 3}}},
      {"X03A kind B", g::kX03A, 3, "B", {}},
      {"X03A number zero", g::kX03A, 4, "000000000", {{16, 4, 12}}},
      {"X03A second number zero", g::kX03A, 13, "00", {{16, 13, 14}}},
      {"X03A registration zero accepted", g::kX03A, 15, "0000000000", {}},
      {"X03A wrong check digit", g::kX03A, 15, "1234567891", {{4, 15, 24}}},
      {"X04 period zero", g::kX04, 0, "0000000000", {{16, 0, 9}}},
      {"X04 period in the reference month", g::kX04, 0, "0131052005", {{31, 0, 9}}},
      {"X04 period after the reference month", g::kX04, 0, "0130062005", {{31, 0, 9}}},
      {"X04 period of a part of a month", g::kX04, 0, "1020042005", {}},
      {"X04 period not a date", g::kX04, 0, "0131042005", {{12, 0, 9}}},
      {"X04 period first day zero", g::kX04, 0, "0030042005", {{12, 0, 9}}},
      {"X04 period month 13", g::kX04, 0, "0130132004", {{12, 0, 9}}},
      {"X04 period before 1900", g::kX04, 0, "0130041899", {{12, 0, 9}}},
      {"X04 period ends before it starts", g::kX04, 0, "1501042005", {{15, 0, 9}}},
      {"X04 date zero", g::kX04, 10, "00000000", {{16, 10, 17}}},
      {"X04 date not a date", g::kX04, 10, "29022005", {{12, 10, 17}}},
      {"X04 date in the month after", g::kX04, 10, "01062005", {{25, 10, 17}}},
      {"X04 amount 1 above amount 2", g::kX04, 18, "0000000000003", {{24, 31, 43}}},
      {"X05A CFOP zero", g::kX05A, 0, "000", {{16, 0, 2}}},
      {"X05A CFOP multiple of 100", g::kX05A, 0, "100", {{23, 0, 2}}},
      {"X05B CFOP of no X05", g::kX05B, 0, "512", {{23, 0, 2}}},
      {"X05B code zero", g::kX05B, 3, "000", {{16, 3, 5}}},
      {"X07B CFOP multiple of 100", g::kX07B, 0, "900", {{23, 0, 2}}},
      {"X07A CFOP of no X05 is not looked up", g::kX07A, 0, "512", {}},
      {"X07 A2 without description", g::kX07, 13, "0000000000001", {{16, 26, 85}, {24, 86, 98}}},
      {"X07 total A", g::kX07, 86, "0000000000001", {{24, 86, 98}}},
      {"X07 A1 not numeric counts 0",
       g::kX07,
       0,
       "ABC0000000005" + g::Valor13(0) + std::string(60, ' ') + g::Valor13(5),
       {{7, 0, 12}, {24, 86, 98}}},
      {"X07 B2 without description", g::kX07, 112, "0000000000002", {{16, 125, 184}, {24, 185, 197}}},
      {"X07 total B", g::kX07, 185, "0000000000002", {{24, 185, 197}}},
      {"X08 days zero", g::kX08, 0, "0000", {{16, 0, 3}}},
      {"X08 last day 30", g::kX08, 0, "0130", {}},
      {"X08 last day 32", g::kX08, 0, "0132", {{15, 0, 3}}},
      {"X08 first day 00", g::kX08, 0, "0031", {{12, 0, 3}}},
      {"X10 first day 32", g::kX10, 0, "3231", {{12, 0, 3}}},
      {"X10 last before first is allowed", g::kX10, 0, "2010", {}},
      {"X08 date zero", g::kX08, 4, "00000000", {{16, 4, 11}}},
      {"X08 date not a date", g::kX08, 4, "31062005", {{12, 4, 11}}},
      {"X08 date in the month before", g::kX08, 4, "30042005", {{25, 4, 11}}},
      {"X10 date in a later month", g::kX10, 4, "01012006", {}},
      {"X08 registration zero accepted", g::kX08, 38, "0000000000", {}},
      {"X10 wrong check digit", g::kX10, 38, "1234567898", {{4, 38, 47}}},
      {"X09 day zero", g::kX09, 0, "00", {{16, 0, 1}}},
      {"X09 day 31", g::kX09, 0, "31", {}},
      {"X09 day 32", g::kX09, 0, "32", {{32, 0, 1}}},
      {"X09 wrong check digit", g::kX09, 28, "1234567891", {{4, 28, 37}}},
      {"X11 code blank", g::kX11, 0, "  ", {{16, 0, 1}}},
      {"X12 code zero", g::kX12, 0, "000", {{16, 0, 2}}},
  };
  Prepara();
  for (const Regra& r : regras) {
    std::string ocorrencia = Valida(r.indice);
    if (r.indice == g::kX07) ocorrencia = g::AnexoX07(0, 0, "", 0, 0, "");
    ocorrencia.replace(static_cast<std::size_t>(r.rel), r.texto.size(), r.texto);
    const int primeira = r.indice == g::kX07 ? 0 : 1;
    std::vector<std::string> ocorrencias(static_cast<std::size_t>(primeira), Valida(r.indice));
    ocorrencias.push_back(ocorrencia);
    Le(r.indice, ocorrencias);
    EXPECT_EQ(Erros(), Linhas(r.esperado, 46 + kAnexosGIA0405[r.indice - 1].tamanho * primeira)) << r.regra;
  }
}

// The day bounds of X08 and X10 are the record's own columns 16-19, read
// from their leading digits; X09 compares them as text.
TEST_F(Anexos, PeriodDaysOfTheRecord) {
  struct Caso {
    const char* regra;
    std::string dias;  // columns 16-19
    int indice;
    std::string campo;
    std::vector<Achado> esperado;
  };
  for (const Caso& c : std::vector<Caso>{{"X08 within 01-30", "0130", g::kX08, "0130", {}},
                                         {"X08 beyond 01-30", "0130", g::kX08, "0131", {{15, 46, 49}}},
                                         {"X08 bound ' 3'", "01 3", g::kX08, "0103", {}},
                                         {"X08 bound ' 3' exceeded", "01 3", g::kX08, "0104", {{15, 46, 49}}},
                                         {"X08 bound '3X' is 3", "013X", g::kX10, "0104", {{15, 46, 49}}},
                                         {"X08 bound 'XX' is 0", "XX31", g::kX08, "0131", {}},
                                         {"X09 text below ' 9'", "01 9", g::kX09, "10", {{32, 46, 47}}},
                                         {"X09 within 02-30", "0230", g::kX09, "02", {}},
                                         {"X09 below 02", "0230", g::kX09, "01", {{32, 46, 47}}}}) {
    std::string ocorrencia = Valida(c.indice);
    ocorrencia.replace(0, c.campo.size(), c.campo);
    std::string linha = g::RegistroAnexo(prefixo, 2, kAnexosGIA0405[c.indice - 1].tipo, {ocorrencia});
    linha.replace(15, 4, c.dias);
    ValidaAnexoGIA(t.run, linha, c.indice);
    EXPECT_EQ(Erros(), Linhas(c.esperado, 0)) << c.regra;
  }
}

TEST_F(Anexos, FindingsInLayoutOrder) {
  Le(g::kX08, {Valida(g::kX08), std::string(48, ' '), Valida(g::kX08)});
  EXPECT_EQ(Erros(), Linhas({{7, 0, 3}, {7, 4, 11}, {7, 12, 24}, {7, 25, 37}, {7, 38, 47}}, 46 + 48));
}

TEST_F(Anexos, CharactersAfterTheLastOccurrenceAreNotRead) {
  std::string linha = g::RegistroAnexo(prefixo, 2, "X12 ", {Valida(g::kX12)});
  linha.replace(46 + 29 - 1, 20, "XXXXXXXXXXXXXXXXXXXX");
  ValidaAnexoGIA(t.run, linha, g::kX12);
  EXPECT_EQ(Erros(), std::vector<std::string>{});
  // A line cut short only fails the fields it lacks.
  ValidaAnexoGIA(t.run, linha.substr(0, 60), g::kX12);
  EXPECT_EQ(Erros(), Linhas({{7, 49, 61}, {7, 62, 74}}, 0));
}

TEST_F(Anexos, LookupsSeeOnlyWhatWasReadBeforeInTheDeclaration) {
  Le(g::kX03A, {Valida(g::kX03A)});
  Le(g::kX05A, {Valida(g::kX05A)});
  EXPECT_EQ(Erros(), Linhas({{29, 46, 48}, {23, 46, 48}}, 0)) << "before X03 and X05";
  Prepara();
  Le(g::kX03A, {Valida(g::kX03A)});
  Le(g::kX05B, {Valida(g::kX05B)});
  EXPECT_EQ(Erros(), std::vector<std::string>{}) << "after X03 and X05";
  t.run.EstadoDoValidador<EstadoGIA0405>().IniciaDeclaracao();
  Le(g::kX03A, {Valida(g::kX03A)});
  Le(g::kX05B, {Valida(g::kX05B)});
  EXPECT_EQ(Erros(), Linhas({{29, 46, 48}, {23, 46, 48}}, 0)) << "the next declaration";
  EXPECT_EQ(t.run.EstadoDoValidador<EstadoGIA0405>().ListaCFOPX05B.size(), 1U) << "listed all the same";
}

TEST_F(Anexos, CFOPMerge) {
  EstadoGIA0405& e = t.run.EstadoDoValidador<EstadoGIA0405>();
  Le(g::kX05, {g::OcorrenciaX01X05(511, 0, 0, 1, 10, 100), g::OcorrenciaX01X05(512, 0, 0, 1, 20, 0),
               g::OcorrenciaX01X05(511, 0, 0, 1, 30, 300), "AAA" + g::OcorrenciaX01X05(0, 0, 0, 1, 1, 1).substr(3)});
  Le(g::kX05, {g::OcorrenciaX01X05(512, 0, 0, 1, 2, 3), g::OcorrenciaX01X05(0, 0, 0, 1, 4, 4)});
  Erros();
  ASSERT_EQ(e.ListaCFOPX05.size(), 4U);
  const std::vector<std::array<long long, 3>> esperado = {{511, 40, 400}, {512, 22, 3}, {0, 1, 1}, {0, 4, 4}};
  for (std::size_t i = 0; i < esperado.size(); ++i) {
    EXPECT_EQ(e.ListaCFOPX05[i].CFOP, esperado[i][0]) << i;
    EXPECT_TRUE(e.ListaCFOPX05[i].ValorX05A == esperado[i][1]) << i;
    EXPECT_TRUE(e.ListaCFOPX05[i].ValorX05B == esperado[i][2]) << i;
  }
  EXPECT_TRUE(e.SomaX05 == 6);
  Le(g::kX05A, {g::OcorrenciaX05AB(512, 1, 7), g::OcorrenciaX05AB(511, 1, 5), g::OcorrenciaX05AB(512, 1, 8)});
  Le(g::kX05A, {"ABC" + g::OcorrenciaX05AB(0, 1, 9).substr(3), g::OcorrenciaX05AB(511, 1, 6)});
  ASSERT_EQ(e.ListaCFOPX05A.size(), 3U);
  EXPECT_EQ(e.ListaCFOPX05A[0].CFOP, 512);
  EXPECT_TRUE(e.ListaCFOPX05A[0].Valor == 15);
  EXPECT_TRUE(e.ListaCFOPX05A[1].Valor == 11);
  EXPECT_EQ(e.ListaCFOPX05A[2].CFOP, 0);
  EXPECT_TRUE(e.ListaCFOPX05A[2].Valor == 9);
  EXPECT_TRUE(e.ListaCFOPX05B.empty());
  // A new declaration starts new entries, whatever the earlier one held.
  e.IniciaDeclaracao();
  Le(g::kX05, {g::OcorrenciaX01X05(612, 0, 0, 0, 1, 0), g::OcorrenciaX01X05(511, 0, 0, 0, 2, 0)});
  ASSERT_EQ(e.ListaCFOPX05.size(), 2U);
  EXPECT_EQ(e.ListaCFOPX05[1].CFOP, 511);
  EXPECT_TRUE(e.ListaCFOPX05[1].ValorX05A == 2);
}

TEST_F(Anexos, SumsAndKeptValues) {
  EstadoGIA0405& e = t.run.EstadoDoValidador<EstadoGIA0405>();
  t.run.NumeroLinha = 7;
  Le(g::kX07, {g::AnexoX07(5, 0, "", 6, 0, "")});
  t.run.NumeroLinha = 8;
  Le(g::kX07A, {g::OcorrenciaX07AB(511, 9, 2), g::OcorrenciaX07AB(511, 9, 3)});
  t.run.NumeroLinha = 9;
  Le(g::kX04, {g::OcorrenciaX04(1, 30, g::Mes::De(200504), "31052005", 10, 15)}, "1A");
  EXPECT_EQ(t.run.LinhaX07, 7);
  EXPECT_EQ(t.run.LinhaX07AB, 8);
  EXPECT_TRUE(e.AlvoX07A == 5 && e.AlvoX07B == 6 && e.SomaX07A == 5 && e.SomaX07B == 0);
  EXPECT_TRUE(e.SomaX04 == 0) << "a wrong count adds nothing";
  Le(g::kX04, {g::OcorrenciaX04(1, 30, g::Mes::De(200504), "31052005", 10, 15),
               g::OcorrenciaX04(1, 30, g::Mes::De(200504), "31052005", 20, 15)});
  EXPECT_TRUE(e.SomaX04 == 0) << "amount 2 - amount 1, also when negative";
  Le(g::kX01, {g::OcorrenciaX01X05(511, 0, 0, 4, 0, 0)});
  EXPECT_EQ(t.run.LinhaCFOP, 0) << "X01 keeps no CFOP line";
  Le(g::kX05, {g::OcorrenciaX01X05(511, 0, 0, 4, 0, 0)}, "00");
  EXPECT_EQ(t.run.LinhaCFOP, 0) << "nor an X05 whose count failed";
  t.run.NumeroLinha = 12;
  Le(g::kX05A, {}, "XX");
  EXPECT_EQ(t.run.LinhaX05AB, 12) << "kept before the count";
  Le(g::kX03, {g::OcorrenciaX03(7, 1), "A" + g::OcorrenciaX03(7, 1).substr(1), g::OcorrenciaX03(7, 1)});
  EXPECT_EQ(e.CodigosX03, (std::vector<int>{7, 0, 7}));
  EXPECT_TRUE(e.SomaX03 == 3);
  Le(g::kX11, {g::OcorrenciaX11("", 5, 6)});
  EXPECT_TRUE(e.SomaX11A == 5 && e.SomaX11B == 6) << "a blank code still counts";
}

// Thousands of records in one declaration: exact sums far beyond 2^53, and
// lists that stay one entry per CFOP.
TEST_F(Anexos, ThousandsOfRecords) {
  constexpr std::int64_t kMaior = 9'999'999'999'999;
  const std::vector<std::string> x01(12, g::OcorrenciaX01X05(511, kMaior, kMaior, kMaior, kMaior, kMaior));
  const std::vector<std::string> x05a(44, g::OcorrenciaX05AB(511, 1, kMaior));
  Le(g::kX05, {Valida(g::kX05)});
  for (int i = 0; i < 5000; ++i) {
    Le(g::kX01, x01);
    Le(g::kX05A, x05a);
  }
  EXPECT_EQ(Erros(), std::vector<std::string>{});
  EXPECT_TRUE(t.run.EstadoDoValidador<EstadoGIA0405>().SomaX01 == Montante{60000} * kMaior);
  EXPECT_EQ(t.run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas[0], 60000);
  ASSERT_EQ(t.run.EstadoDoValidador<EstadoGIA0405>().ListaCFOPX05A.size(), 1U);
  EXPECT_TRUE(t.run.EstadoDoValidador<EstadoGIA0405>().ListaCFOPX05A[0].Valor == Montante{220000} * kMaior);
}

// Whole generated declarations with annexes of every type, through the
// record walk and the closing: no finding at all.
TEST(AnexosNaDeclaracao, GeneratedDeclarationsCloseWithoutFindings) {
  for (const char* versao : {"04", "05"}) {
    teste::ExecucaoDeTeste t(std::string("GIA") + versao);
    t.run.VersaoInicial = versao;
    g::GeradorGIA0405 gerador(7, versao);
    for (int d = 0; d < 30; ++d) {
      const auto declaracao = gerador.ProximaComAnexos({.registros_por_tipo = 1 + d % 3});
      for (const std::string& registro : declaracao.Registros()) {
        ++t.run.NumeroLinha;
        ValidaGIA0405(t.run, registro);
      }
    }
    if (HaLinhasAnexoContadas(t.run)) ConfereLinhasAnexos(t.run);
    FechaDeclaracaoGIA(t.run);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{}) << "version " << versao;
  }
}

}  // namespace
}  // namespace valida
