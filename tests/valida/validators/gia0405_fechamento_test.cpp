// The closing of a GIA 4/5 declaration: line counts and annex dependencies,
// then totals, annex 7 and the CFOP cross check, run on a declaration state
// set up by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/execucao_teste.h"
#include "valida/validators/gia0405_estado.h"
#include "valida/validators/validadores.h"

namespace {

using valida::EstadoGIA0405;
using valida::Montante;
using enum valida::AnexoGIA0405;

constexpr std::string_view kLinhasAnexo = "Nro de linhas do anexo inválido"_cp;
constexpr std::string_view kReferencia = "Valor Incorreto da Referência"_cp;

// The declaration being closed: its main record was line 7; the annex lines
// that the summary findings name are 11 (X03A), 12 (X05A/B), 13 (X07A/B), 14 (X07) and 15 (CFOP).
std::string Achado(int linha, int primeira, int ultima, std::string_view texto) {
  char colunas[40];
  std::snprintf(colunas, sizeof colunas, " %03d %03d %03d ", linha, primeira, ultima);
  return "123/4567897    05/2005" + std::string(colunas) + std::string(texto);
}
std::string Achado(int primeira, int ultima, std::string_view texto) { return Achado(7, primeira, ultima, texto); }

class Fechamento {
 public:
  Fechamento() {
    t_.run.InscricaoGIA = "1234567897";
    t_.run.PeriodoGIA = "052005";
    t_.run.LinhaGIA = 7;
    t_.run.LinhaX03A = 11;
    t_.run.LinhaX05AB = 12;
    t_.run.LinhaX07AB = 13;
    t_.run.LinhaX07 = 14;
    t_.run.LinhaCFOP = 15;
    // The record at hand is already the next declaration's.
    t_.run.InscricaoAtual = "9876543216";
    t_.run.PeriodoAtual = "062005";
    t_.run.NumeroLinha = 20;
    g().FlagAnexo7 = 'N';
  }
  EstadoGIA0405& g() { return t_.run.EstadoDoValidador<EstadoGIA0405>(); }
  valida::Execucao& run() { return t_.run; }
  std::vector<std::string> Erros() { return t_.Erros(); }

 private:
  valida::teste::ExecucaoDeTeste t_{"GIA05"};
};

struct Caso {
  const char* regra;
  std::function<void(EstadoGIA0405&)> prepara;
  std::vector<std::string> esperado;
};

void Confere(const std::vector<Caso>& casos, void (*rotina)(valida::Execucao&)) {
  for (const Caso& c : casos) {
    Fechamento f;
    c.prepara(f.g());
    rotina(f.run());
    EXPECT_EQ(f.Erros(), c.esperado) << c.regra;
  }
}

// Declared and counted lines of one annex type.
void Linhas(EstadoGIA0405& g, std::size_t k, std::int64_t declaradas, std::int64_t contadas) {
  g.LinhasDeclaradas[k] = declaradas;
  g.LinhasContadas[k] = contadas;
}

TEST(GIA0405Fechamento, ConfereLinhasAnexos) {
  Confere(
      {
          {"nothing declared, nothing counted", [](EstadoGIA0405&) {}, {}},
          {"two X01 lines declared and counted", [](EstadoGIA0405& g) { Linhas(g, kX01, 2, 2); }, {}},
          {"X01 declared 2, counted 1",
           [](EstadoGIA0405& g) { Linhas(g, kX01, 2, 1); },
           {Achado(841, 843, kLinhasAnexo)}},
          {"X12 counted without being declared",
           [](EstadoGIA0405& g) { Linhas(g, kX12, 0, 3); },
           {Achado(889, 891, kLinhasAnexo)}},
          {"X03A without X03",
           [](EstadoGIA0405& g) { Linhas(g, kX03A, 1, 1); },
           {Achado(11, 0, 0, "Anexo X03a sem Anexo X03"_cp)}},
          {"X05B without X05",
           [](EstadoGIA0405& g) { Linhas(g, kX05B, 1, 1); },
           {Achado(12, 0, 0, "Anexo X05a ou X05b sem Anexo X05"_cp)}},
          {"X07A without X07",
           [](EstadoGIA0405& g) { Linhas(g, kX07A, 1, 1); },
           {Achado(13, 0, 0, "Anexo X07a ou X07b sem Anexo X07"_cp)}},
          {"X05A with X05",
           [](EstadoGIA0405& g) {
             Linhas(g, kX05, 1, 1);
             Linhas(g, kX05A, 1, 1);
           },
           {}},
          {"the order: counts X01-X03A, 44, counts X04-X05B, 45, counts X06-X07B, 46, counts X08-X12",
           [](EstadoGIA0405& g) {
             for (std::size_t k = kX01; k <= kX12; ++k) Linhas(g, k, 1, 0);
             g.LinhasContadas[kX03A] = g.LinhasContadas[kX05A] = g.LinhasContadas[kX07B] = 1;
           },
           {Achado(841, 843, kLinhasAnexo), Achado(844, 846, kLinhasAnexo), Achado(847, 849, kLinhasAnexo),
            Achado(11, 0, 0, "Anexo X03a sem Anexo X03"_cp), Achado(853, 855, kLinhasAnexo),
            Achado(856, 858, kLinhasAnexo), Achado(862, 864, kLinhasAnexo),
            Achado(12, 0, 0, "Anexo X05a ou X05b sem Anexo X05"_cp), Achado(865, 867, kLinhasAnexo),
            Achado(868, 870, kLinhasAnexo), Achado(871, 873, kLinhasAnexo),
            Achado(13, 0, 0, "Anexo X07a ou X07b sem Anexo X07"_cp), Achado(877, 879, kLinhasAnexo),
            Achado(880, 882, kLinhasAnexo), Achado(883, 885, kLinhasAnexo), Achado(886, 888, kLinhasAnexo),
            Achado(889, 891, kLinhasAnexo)}},
      },
      valida::ConfereLinhasAnexos);
}

TEST(GIA0405Fechamento, Totais) {
  Confere(
      {
          {"an empty declaration", [](EstadoGIA0405&) {}, {}},
          {"A1 is compared only with X01 lines", [](EstadoGIA0405& g) { g.A1 = 5; }, {}},
          {"A1 one unit off the X01 sum",
           [](EstadoGIA0405& g) {
             g.A1 = 5;
             g.SomaX01 = 4;
             g.LinhasContadas[kX01] = 1;
           },
           {Achado(44, 58, kReferencia)}},
          {"A3 without X02", [](EstadoGIA0405& g) { g.A3 = 1; }, {Achado(74, 88, kReferencia)}},
          {"A4 and X03", [](EstadoGIA0405& g) { g.A4 = 1; }, {Achado(89, 103, kReferencia)}},
          {"A5 and X04", [](EstadoGIA0405& g) { g.SomaX04 = 1; }, {Achado(104, 118, kReferencia)}},
          {"B1 is compared only with X05 lines", [](EstadoGIA0405& g) { g.B1 = 5; }, {}},
          {"B1 and X05",
           [](EstadoGIA0405& g) {
             g.B1 = 5;
             g.LinhasContadas[kX05] = 2;
           },
           {Achado(209, 223, kReferencia)}},
          {"B4 and X06", [](EstadoGIA0405& g) { g.B4 = 1; }, {Achado(254, 268, kReferencia)}},
          {"flag S without X07",
           [](EstadoGIA0405& g) { g.FlagAnexo7 = 'S'; },
           {Achado(374, 374, "Deve existir apenas UM Anexo 7"_cp)}},
          {"flag S with two X07",
           [](EstadoGIA0405& g) {
             g.FlagAnexo7 = 'S';
             g.LinhasContadas[kX07] = 2;
           },
           {Achado(374, 374, "Deve existir apenas UM Anexo 7"_cp)}},
          {"flag S with one X07",
           [](EstadoGIA0405& g) {
             g.FlagAnexo7 = 'S';
             g.LinhasContadas[kX07] = 1;
           },
           {}},
          {"flag N with one X07 and one X07A occurrence",
           [](EstadoGIA0405& g) {
             g.LinhasContadas[kX07] = 1;
             g.LinhasContadas[kX07A] = 1;
           },
           {}},
          {"flag N with two X07B occurrences",
           [](EstadoGIA0405& g) { g.LinhasContadas[kX07B] = 2; },
           {Achado(374, 374, "Não pode ter anexo 7, 7a e 7b"_cp)}},
          {"a flag other than S or N: no annex-7 rule",
           [](EstadoGIA0405& g) {
             g.FlagAnexo7 = 'X';
             g.LinhasContadas[kX07] = 3;
           },
           {}},
          {"C5 is X08 A + X08 B",
           [](EstadoGIA0405& g) {
             g.C5 = 3;
             g.SomaX08A = 1;
             g.SomaX08B = 2;
           },
           {}},
          {"C5 off",
           [](EstadoGIA0405& g) {
             g.C5 = 3;
             g.SomaX08A = 1;
           },
           {Achado(435, 449, kReferencia)}},
          {"C5 beyond 2^53, exact",
           [](EstadoGIA0405& g) {
             g.C5 = 9007199254740992;
             g.SomaX08A = 9007199254740992;
             g.SomaX08B = 1;
           },
           {Achado(435, 449, kReferencia)}},
          {"C6 and X09", [](EstadoGIA0405& g) { g.SomaX09B = 1; }, {Achado(450, 464, kReferencia)}},
          {"C7 and X10 B", [](EstadoGIA0405& g) { g.C7 = 1; }, {Achado(465, 479, kReferencia)}},
          {"C10 is C8 - C9 and the X10 A sum",
           [](EstadoGIA0405& g) {
             g.C8 = 5;
             g.C9 = 2;
             g.C10 = 3;
             g.SomaX10A = 3;
           },
           {}},
          {"C10 differs from both: one finding",
           [](EstadoGIA0405& g) {
             g.C8 = 5;
             g.C9 = 2;
             g.C10 = 4;
             g.SomaX10A = 5;
           },
           {Achado(510, 524, kReferencia)}},
          {"C10 differs from the X10 A sum only",
           [](EstadoGIA0405& g) { g.SomaX10A = -7; },
           {Achado(510, 524, kReferencia)}},
          {"E2, F2 are compared only with X11 lines",
           [](EstadoGIA0405& g) {
             g.E2 = 1;
             g.F2 = 1;
           },
           {}},
          {"E2 and F2 against X11",
           [](EstadoGIA0405& g) {
             g.E2 = 1;
             g.F2 = 1;
             g.LinhasContadas[kX11] = 1;
           },
           {Achado(703, 717, kReferencia), Achado(718, 732, kReferencia)}},
          {"E3 and F3 against X12",
           [](EstadoGIA0405& g) {
             g.F3 = 1;
             g.LinhasContadas[kX12] = 1;
           },
           {Achado(748, 762, kReferencia)}},
          {"X07A against X07's A1",
           [](EstadoGIA0405& g) {
             g.AlvoX07A = 5;
             g.SomaX07A = 4;
           },
           {Achado(14, 46, 58, "Valor Incorreto"_cp)}},
          {"X07B against X07's B1",
           [](EstadoGIA0405& g) { g.SomaX07B = 4; },
           {Achado(14, 145, 157, "Valor Incorreto"_cp)}},
          {"every step in order",
           [](EstadoGIA0405& g) {
             g.LinhasContadas[kX01] = g.LinhasContadas[kX05] = g.LinhasContadas[kX11] = g.LinhasContadas[kX12] = 1;
             g.A1 = g.A3 = g.A4 = g.A5 = g.B1 = g.B4 = 1;
             g.FlagAnexo7 = 'S';
             g.C5 = g.C6 = g.C7 = g.C10 = 1;
             g.E2 = g.F2 = g.E3 = g.F3 = 1;
             g.ListaCFOPX05 = {{112, 1, 1}};
             g.SomaX07A = g.SomaX07B = 1;
           },
           {Achado(44, 58, kReferencia), Achado(74, 88, kReferencia), Achado(89, 103, kReferencia),
            Achado(104, 118, kReferencia), Achado(209, 223, kReferencia), Achado(254, 268, kReferencia),
            Achado(374, 374, "Deve existir apenas UM Anexo 7"_cp), Achado(435, 449, kReferencia),
            Achado(450, 464, kReferencia), Achado(465, 479, kReferencia), Achado(510, 524, kReferencia),
            Achado(703, 717, kReferencia), Achado(718, 732, kReferencia), Achado(733, 747, kReferencia),
            Achado(748, 762, kReferencia), Achado(15, 999, 999, "Valor do CFOP 112 incorreto"),
            Achado(15, 999, 999, "Valor do CFOP 112 incorreto"), Achado(14, 46, 58, "Valor Incorreto"_cp),
            Achado(14, 145, 157, "Valor Incorreto"_cp)}},
      },
      valida::FechaDeclaracaoGIA);
}

TEST(GIA0405Fechamento, CFOP) {
  const auto cfop = [](int c) {
    return Achado(15, 999, 999, "Valor do CFOP " + std::string(c < 100 ? "0" : "") + std::to_string(c) + " incorreto");
  };
  Confere(
      {
          {"X05A and X05B match",
           [](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 7}};
             g.ListaCFOPX05A = {{112, 5}};
             g.ListaCFOPX05B = {{112, 7}};
           },
           {}},
          {"a zero X05A amount needs no X05A entry",
           [](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 0, 0}};
           },
           {}},
          {"X05A entry missing",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 0}};
           },
           {cfop(112)}},
          {"X05A amount differs",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 0}};
             g.ListaCFOPX05A = {{112, 4}};
           },
           {cfop(112)}},
          {"X05B amount differs",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 0, 5}};
             g.ListaCFOPX05B = {{112, 4}};
           },
           {cfop(112)}},
          {"an X05A entry of another CFOP does not count",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 0}};
             g.ListaCFOPX05A = {{111, 5}};
           },
           {cfop(112)}},
          {"the first X05A entry of the CFOP decides",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 0}};
             g.ListaCFOPX05A = {{112, 4}, {112, 5}};
           },
           {cfop(112)}},
          {"in list order, X05A before X05B for each CFOP",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{211, 1, 2}, {51, 3, 0}};
           },
           {cfop(211), cfop(211), cfop(51)}},
          {"a long X05A list (searched through a table): its first entry of the CFOP decides",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{112, 5, 0}, {113, 6, 0}, {114, 1, 0}};
             for (int i = 0; i < 40; ++i) g.ListaCFOPX05A.push_back({200 + i, 1});
             g.ListaCFOPX05A.insert(g.ListaCFOPX05A.end(), {{112, 5}, {112, 4}, {113, 7}, {113, 6}, {1000, 1}});
           },
           {cfop(113), cfop(114)}},
          {"a CFOP beyond the codes never matches, in a short list or a long one",
           [&](EstadoGIA0405& g) {
             g.ListaCFOPX05 = {{1000, 5, 0}, {-1, 0, 5}};
             g.ListaCFOPX05A = {{1000, 5}};
             for (int i = 0; i < 40; ++i) g.ListaCFOPX05B.push_back({-1, 5});
           },
           {cfop(1000), Achado(15, 999, 999, "Valor do CFOP -001 incorreto")}},
      },
      valida::FechaDeclaracaoGIA);
}

// Before the first main record there is no declaration: the driver's
// closing after a header that failed (or after annex records alone)
// records nothing, whatever was counted or summed.
TEST(GIA0405Fechamento, SemRegistroPrincipal) {
  Fechamento f;
  f.run().InscricaoGIA.clear();
  f.g().FlagAnexo7 = ' ';
  EXPECT_FALSE(valida::HaLinhasAnexoContadas(f.run()));
  f.g().LinhasContadas[kX03A] = 2;
  f.g().SomaX02 = 5;
  f.g().SomaX07A = 1;
  EXPECT_TRUE(valida::HaLinhasAnexoContadas(f.run()));
  valida::ConfereLinhasAnexos(f.run());
  valida::FechaDeclaracaoGIA(f.run());
  EXPECT_EQ(f.Erros(), std::vector<std::string>{});
}

}  // namespace
