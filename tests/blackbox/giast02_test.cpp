// Whole GIA ST version 2 files through the built program and its
// registration library beside it: the receipt in ST wording of generated
// files of several states, and reports whose closing findings carry the line
// of their declaration, compared byte for byte.
#include "tests/geradores/giast02.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"

namespace blackbox {
namespace {

using geradores::Digitos;
using Linhas = std::vector<std::string>;

Linhas Valida(const std::string& arquivo, std::string_view veredicto) {
  return blackbox::Valida("GIAST02", "giast02.txt", arquivo, veredicto);
}

std::string V(long long valor) { return Digitos(valor, 15); }
std::string A0(const geradores::Campos& campos) { return geradores::ComCampos(geradores::RegistroA0Zerado(), campos); }
std::string Arquivo(const Linhas& linhas) { return Texto(linhas); }

const std::string kInscricaoIncorreta(std::string("Inscrição Estadual incorreta"_cp));
const std::string kLinhasAnexo(std::string("Nro de linhas do anexo inválido"_cp));

TEST(GIAST02Arquivo, ReciboDeArquivosGeradosDeVariosEstados) {
  for (const char* uf : {"RS", "SC", "CE", "MA", "MS"}) {
    SCOPED_TRACE(uf);
    geradores::GeradorGIAST02 gerador(2026, uf);
    const auto declaracoes = gerador.Varias(25);
    EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), ReciboST(geradores::LinhasRecibo(declaracoes), 25));
  }
}

TEST(GIAST02Arquivo, OGeradorCobreOQueOLayoutTem) {
  // The generated file that the receipt test validates has every record type,
  // main records of both lengths and periods on both sides of 02/2013.
  const auto declaracoes = geradores::GeradorGIAST02(2026, "RS").Varias(25);
  std::vector<std::string> tipos;
  int longos = 0;
  int antes = 0;
  for (const auto& d : declaracoes) {
    longos += d.linhas.front().size() == 812 ? 1 : 0;
    const std::string aaaamm = d.periodo.substr(2) + d.periodo.substr(0, 2);
    antes += aaaamm < "201302" ? 1 : 0;
    for (const auto& l : d.linhas) tipos.push_back(l.substr(0, 2));
  }
  for (const char* tipo : {"A0", "A1", "A2", "A3"})
    EXPECT_NE(std::find(tipos.begin(), tipos.end(), tipo), tipos.end()) << tipo;
  EXPECT_GT(longos, 0);
  EXPECT_LT(longos, 25);
  EXPECT_GT(antes, 0);
  EXPECT_LT(antes, 25);
}

TEST(GIAST02Arquivo, ReciboDeMilharesDeDeclaracoes) {
  const auto declaracoes = geradores::GeradorGIAST02(7, "SC").Varias(3001);
  const Linhas lista = geradores::LinhasRecibo(declaracoes);
  ASSERT_EQ(lista.size(), 1001U);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), ReciboST(lista, 3001));
}

TEST(GIAST02Arquivo, RelatorioDeDuasDeclaracoes) {
  // The first declares two "A1" lines and has three; the second changes the
  // UF and has a registration the library refuses, which its "A3" repeats,
  // and declares two "A3" lines where one comes before a record of an
  // unknown type.
  const std::string anexo = "A1" + std::string("00000001") + "001" + "1001234569    " + "20131215" + V(10);
  std::string outro = anexo;
  outro.replace(2, 8, "00000002");
  std::string terceiro = anexo;
  terceiro.replace(2, 8, "00000003");
  const Linhas linhas = {
      A0({{28, " "},
          {185, V(1)},
          {245, V(200)},
          {260, V(130)},
          {275, V(30)},
          {335, V(100)},
          {380, V(100)},
          {30, "20140120" + V(100)},
          {786, "0002"}}),
      anexo,
      outro,
      terceiro,
      A0({{8, "022014"}, {14, "2243658793"}, {168, "SC"}, {590, "20140310"}, {779, "S"}, {794, "0002"}}),
      "A3" + std::string("2243658793    ") + V(9) + V(1),
      "ZZ" + std::string(44, ' '),
  };
  const std::string primeira = "2243658792     01/2014";
  const std::string segunda = "2243658793     02/2014";
  // A record of an unknown type blanks the period for what follows.
  const std::string sem_periodo = "2243658793     00/0000";
  EXPECT_EQ(Valida(Arquivo(linhas), "NOK"),
            Relatorio(kCabecalhoInscricao, {
                                               Achado(primeira, 1, 786, 789, kLinhasAnexo),
                                               Achado(segunda, 5, 14, 27, kInscricaoIncorreta),
                                               Achado(segunda, 5, 168, 169, "Todas as GIAs devem ser da mesma UF"),
                                               Achado(segunda, 6, 3, 16, kInscricaoIncorreta),
                                               Achado(sem_periodo, 7, 1, 2, "Identificação Registro Inválida"_cp),
                                               Achado(sem_periodo, 5, 794, 797, kLinhasAnexo),
                                           }));
}

TEST(GIAST02Arquivo, AnexoIIISemLinhasNoFimDoArquivo) {
  const std::string declaracao = "2243658792     01/2014";
  EXPECT_EQ(Valida(Arquivo({A0({{779, "S"}})}), "NOK"),
            Relatorio(kCabecalhoInscricao, {Achado(declaracao, 1, 794, 797, "Informe nº de linhas do Anexo III"_cp),
                                            Achado(declaracao, 1, 779, 779, "Deve existir o Anexo III")}));
}

TEST(GIAST02Arquivo, InscricoesQueOsEstadosRecusam) {
  // The library beside the program knows every state's rules.
  const struct {
    const char* regra;
    std::string inscricao;
    std::string uf;
    bool correta;
  } casos[] = {
      {"RS", "2243658792", "RS", true},
      {"SC", "251040852", "SC", true},
      {"SP", "110042490114", "SP", true},
      {"a wrong check digit", "2243658793", "RS", false},
      {"a dot", "224365879.", "RS", false},
      {"an inner blank", "22436 8792", "RS", false},
      {"a letter", "22436A8792", "RS", false},
      {"another state's registration", "251040852", "RS", false},
      {"RS with eleven digits", "22436587920", "RS", false},
      {"too long for the state", "25104085200000", "SC", false},
      // The library accepts it, but a registration must start with digits.
      {"an SP rural producer", "P011004243002", "SP", false},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.regra);
    const Linhas saida =
        Valida(Arquivo({A0({{14, geradores::Texto(c.inscricao, 14)}, {168, c.uf}})}), c.correta ? "OK" : "NOK");
    if (!c.correta) {
      std::string contribuinte = c.inscricao;
      contribuinte.resize(15, ' ');
      EXPECT_EQ(saida,
                Relatorio(kCabecalhoInscricao, {Achado(contribuinte + "01/2014", 1, 14, 27, kInscricaoIncorreta)}));
    }
  }
}

}  // namespace
}  // namespace blackbox
