// Whole GIA 4 and GIA 5 files through the built program: the receipt of
// generated valid files, and reports that hold the closing of declarations.
#include "tests/geradores/gia0405.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"

namespace {

using blackbox::kCabecalhoCGCTE;
using blackbox::Relatorio;
using geradores::DeclaracaoGIA0405;

TEST(GIA0405Arquivo, ReciboDeArquivosGerados) {
  for (const std::string versao : {"04", "05"}) {
    SCOPED_TRACE(versao);
    geradores::GeradorGIA0405 gerador(2024, versao);
    std::vector<DeclaracaoGIA0405> declaracoes;
    for (int i = 0; i < 4; ++i) declaracoes.push_back(gerador.ProximaComAnexos({.registros_por_tipo = 1 + i % 2}));
    declaracoes.push_back(gerador.Proxima());
    EXPECT_EQ(blackbox::Valida("GIA" + versao, "gia.txt", geradores::Arquivo(declaracoes), "OK"),
              blackbox::ReciboGIA("GIA" + versao, geradores::LinhasRecibo(declaracoes), 5));
  }
}

// A main record of 1234567897 for May 2005 with every amount zero.
std::string Principal(const geradores::Campos& mudancas = {}) {
  return geradores::ComCampos(geradores::RegistroPrincipalGIA0405({}, {}, {}), mudancas);
}

TEST(GIA0405Arquivo, FechamentoDeCadaDeclaracao) {
  // Line 1 declares an X04 line it lacks; line 2 has A3 without X02, which
  // only the driver's closing at the end of the file finds.
  const std::string arquivo = Principal({{853, "001"}}) + "\r\n" +
                              Principal({{20, "062005"},
                                         {18, "30"},
                                         {26, "9876543216"},
                                         {74, std::string(14, '0') + "5"},
                                         {194, std::string(14, '0') + "5"}}) +
                              "\r\n";
  EXPECT_EQ(
      blackbox::Valida("GIA05", "gia.txt", arquivo, "NOK"),
      Relatorio(kCabecalhoCGCTE, {std::string("123/4567897    05/2005 001 853 855 Nro de linhas do anexo inválido"_cp),
                                  std::string("987/6543216    06/2005 002 074 088 Valor Incorreto da Referência"_cp)}));
}

TEST(GIA0405Arquivo, LinhasDaUltimaDeclaracao) {
  geradores::GeradorGIA0405 gerador(31, "05");
  DeclaracaoGIA0405 d = gerador.ProximaComAnexos();
  d.anexos.totais.linhas[2] += 1;  // one X03 line more declared than there is
  EXPECT_EQ(blackbox::Valida("GIA05", "gia.txt", geradores::Arquivo({d}), "NOK"),
            Relatorio(kCabecalhoCGCTE, {blackbox::Achado(d.EntradaRecibo().substr(0, 22), 1, 847, 849,
                                                         "Nro de linhas do anexo inválido"_cp)}));
}

// A first record that fails the header test leaves no declaration open: the
// closing at the end of the file adds nothing to the header's finding.
TEST(GIA0405Arquivo, CabecalhoInvalido) {
  const std::string arquivo = Principal({{40, "X01 "}}) + "\r\n" + Principal() + "\r\n";
  EXPECT_EQ(blackbox::Valida("GIA05", "gia.txt", arquivo, "NOK"),
            Relatorio(kCabecalhoCGCTE, {std::string("               00/0000 001 040 044 Arquivo não é GIA05"_cp)}));
  EXPECT_EQ(blackbox::Valida("GIA04", "gia.txt", Principal() + "\r\n", "NOK"),
            Relatorio(kCabecalhoCGCTE, {std::string("               00/0000 001 005 006 Arquivo não é GIA04"_cp)}));
}

}  // namespace
