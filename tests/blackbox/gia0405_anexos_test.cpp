// Whole GIA 4 and GIA 5 files whose annex records are at stake, through the
// built program: receipts of valid files with every annex type (thousands of
// records in one declaration included) and reports of annex findings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"
#include "tests/geradores/gia0405.h"

namespace {

namespace g = geradores;

// ---------------------------------------------------------------------------
// Annex records: receipts and reports.

// The whole receipt of the declarations in GIA wording.
std::vector<std::string> Recibo(const std::string& tipo, const std::vector<g::DeclaracaoGIA0405>& declaracoes) {
  return blackbox::ReciboGIA(tipo, g::LinhasRecibo(declaracoes), static_cast<int>(declaracoes.size()));
}

TEST(GIA0405AnexosArquivo, EveryAnnexTypeGivesTheWholeReceipt) {
  for (const std::string versao : {"04", "05"}) {
    SCOPED_TRACE(versao);
    g::GeradorGIA0405 gerador(405, versao);
    std::vector<g::DeclaracaoGIA0405> declaracoes;
    for (int i = 0; i < 7; ++i) declaracoes.push_back(gerador.ProximaComAnexos({.registros_por_tipo = 1 + i % 3}));
    EXPECT_EQ(blackbox::Valida("GIA" + versao, "gia.txt", g::Arquivo(declaracoes), "OK"),
              Recibo("GIA" + versao, declaracoes));
  }
}

// About 6,500 annex records of one occurrence each in one declaration: every
// type within its 999 declared lines and the 9999 sequence numbers.
TEST(GIA0405AnexosArquivo, ThousandsOfAnnexRecordsInOneDeclaration) {
  g::GeradorGIA0405 gerador(6500, "05");
  std::vector<g::DeclaracaoGIA0405> declaracoes = {
      gerador.ProximaComAnexos({.registros_por_tipo = 500, .maximo_ocorrencias = 1}), gerador.ProximaComAnexos()};
  ASSERT_GT(declaracoes[0].anexos.registros.size(), 6000U);
  EXPECT_EQ(blackbox::Valida("GIA05", "gia.txt", g::Arquivo(declaracoes), "OK"), Recibo("GIA05", declaracoes));
}

// Two declarations of May 2005 whose annexes break the annex rules: each
// finding at its line and columns, and the closings that follow from them.
TEST(GIA0405AnexosArquivo, ReportOfAnnexFindings) {
  g::PrefixoGIA0405 p1;
  g::PrefixoGIA0405 p2;
  p2.cgcte = "9876543216";

  g::TotaisAnexosGIA0405 t1;
  for (const int k : {g::kX01, g::kX03A, g::kX03, g::kX05A, g::kX05, g::kX07}) t1.linhas[k - 1] = 1;
  t1.anexo7 = 'S';
  t1.A1 = 3;
  t1.A4 = 10;
  t1.B1 = 3;
  const std::vector<std::string> declaracao1 = {
      g::RegistroPrincipalGIA0405(p1, {}, t1),
      g::RegistroAnexo(p1, 2, "X01 ", {g::OcorrenciaX01X05(0, 1, 2, 3, 4, 5)}),             // CFOP zero
      g::RegistroAnexo(p1, 3, "X03A", {g::OcorrenciaX03A(5, 'A', 1, 1, "0000000000", 7)}),  // before its X03
      g::RegistroAnexo(p1, 4, "X03 ", {g::OcorrenciaX03(5, 10)}),
      g::RegistroAnexo(p1, 5, "X05A", {g::OcorrenciaX05AB(511, 1, 4)}),  // before its X05
      g::RegistroAnexo(p1, 6, "X05 ", {g::OcorrenciaX01X05(511, 1, 2, 3, 4, 0)}),
      g::RegistroAnexo(p1, 7, "X07 ", {g::AnexoX07(0, 0, "", 0, 0, ""), g::AnexoX07(0, 0, "", 0, 0, "")}),
  };
  g::TotaisAnexosGIA0405 t2;
  t2.linhas[g::kX03A - 1] = 1;
  const std::vector<std::string> declaracao2 = {
      g::RegistroPrincipalGIA0405(p2, {}, t2),
      g::RegistroAnexo(p2, 2, "X03A",
                       {g::OcorrenciaX03A(5, 'A', 1, 1, "0000000000", 7)}),  // code of the first declaration
  };
  std::string arquivo;
  for (const auto* d : {&declaracao1, &declaracao2})
    for (const std::string& registro : *d) arquivo += registro + "\r\n";

  const std::string d1 = "123/4567897    05/2005 ";
  const std::string d2 = "987/6543216    05/2005 ";
  EXPECT_EQ(blackbox::Valida("GIA05", "gia.txt", arquivo, "NOK"),
            blackbox::Relatorio(blackbox::kCabecalhoCGCTE,
                                {
                                    d1 + std::string("002 046 048 Campo obrigatório não informado"_cp),
                                    d1 + std::string("003 046 048 Código Inválido"_cp),
                                    d1 + std::string("005 046 048 CFOP inválido"_cp),
                                    d1 + std::string("007 044 045 Qtd Ocorrências anexo inválida"_cp),
                                    d1 + std::string("001 868 870 Nro de linhas do anexo inválido"_cp),
                                    d1 + std::string("001 374 374 Deve existir apenas UM Anexo 7"_cp),
                                    d2 + std::string("009 046 048 Código Inválido"_cp),
                                    d2 + std::string("009 000 000 Anexo X03a sem Anexo X03"_cp),
                                }));
}

}  // namespace
