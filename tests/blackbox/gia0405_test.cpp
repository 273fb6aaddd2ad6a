// Whole GIA 4 and GIA 5 files through the built program: the receipt of
// generated valid files, and reports that hold the closing of declarations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"
#include "tests/geradores/gia0405.h"

namespace {

using geradores::DeclaracaoGIA0405;

const std::string kHifens73(73, '-');

std::vector<std::string> Rejeicao(const std::vector<std::string>& achados) {
  std::vector<std::string> linhas = {"ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:", kHifens73,
                                     std::string("CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp), kHifens73};
  linhas.insert(linhas.end(), achados.begin(), achados.end());
  return linhas;
}

// Validates the file as kind `tipo` and returns saida.txt's lines; the
// verdict must be `veredicto`.
std::vector<std::string> Valida(const std::string& tipo, const std::string& arquivo, const std::string& veredicto) {
  blackbox::PastaValida pasta;
  pasta.EscreveArquivo("gia.txt", arquivo);
  pasta.EscreveParametros(tipo, blackbox::PastaValida::CaminhoDoPrograma(pasta.Caminho() / "gia.txt"));
  EXPECT_EQ(pasta.Executa(), 0) << pasta.Erro();
  const std::vector<std::string> parametros = pasta.LinhasParametros();
  EXPECT_EQ(parametros.size(), 2U);
  if (parametros.size() == 2) {
    EXPECT_EQ(parametros[1], veredicto);
  }
  return pasta.LinhasSaida();
}

// The receipt's list of declarations: the lines between its column headings
// (and their hyphens) and the two empty lines before the count.
std::vector<std::string> ListaDoRecibo(const std::vector<std::string>& saida) {
  const auto titulos = std::find(saida.begin(), saida.end(), "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER");
  if (titulos == saida.end() || titulos + 2 > saida.end()) return {"(no list headings)"};
  const auto fim = std::find(titulos + 2, saida.end(), "");
  return {titulos + 2, fim};
}

std::string LinhaDaContagem(int quantas) {
  char numero[16];
  std::snprintf(numero, sizeof numero, "%03d", quantas);
  return std::string("Comprovante de transmissão representativo de   "_cp) + numero + "   GIAs  (sem  valor";
}

TEST(GIA0405Arquivo, ReciboDeArquivosGerados) {
  for (const std::string versao : {"04", "05"}) {
    geradores::GeradorGIA0405 gerador(2024, versao);
    std::vector<DeclaracaoGIA0405> declaracoes;
    for (int i = 0; i < 4; ++i) declaracoes.push_back(gerador.ProximaComAnexos({.registros_por_tipo = 1 + i % 2}));
    declaracoes.push_back(gerador.Proxima());
    const std::vector<std::string> saida = Valida("GIA" + versao, geradores::Arquivo(declaracoes), "OK");
    ASSERT_FALSE(saida.empty()) << versao;
    EXPECT_EQ(saida.front(), std::string("                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp));
    EXPECT_EQ(ListaDoRecibo(saida), geradores::LinhasRecibo(declaracoes)) << versao;
    EXPECT_NE(std::find(saida.begin(), saida.end(), LinhaDaContagem(5)), saida.end()) << versao;
  }
}

// A main record of 1234567897 for May 2005 with every amount zero.
std::string Principal(const std::vector<std::pair<int, std::string>>& mudancas = {}) {
  std::string r = geradores::RegistroPrincipalGIA0405({}, {}, {});
  for (const auto& [coluna, texto] : mudancas) geradores::Poe(r, coluna, texto);
  return r;
}

TEST(GIA0405Arquivo, FechamentoDeCadaDeclaracao) {
  // Line 1 declares an X04 line it lacks; line 2 has A3 without X02, which
  // only the driver's closing at the end of the file finds.
  const std::string arquivo = Principal({{853, "001"}}) + "\r\n" +
                              Principal({{20, "062005"}, {18, "30"}, {26, "9876543216"}, {74, std::string(14, '0') + "5"},
                                         {194, std::string(14, '0') + "5"}}) +
                              "\r\n";
  EXPECT_EQ(Valida("GIA05", arquivo, "NOK"),
            Rejeicao({std::string("123/4567897    05/2005 001 853 855 Nro de linhas do anexo inválido"_cp),
                      std::string("987/6543216    06/2005 002 074 088 Valor Incorreto da Referência"_cp)}));
}

TEST(GIA0405Arquivo, LinhasDaUltimaDeclaracao) {
  geradores::GeradorGIA0405 gerador(31, "05");
  DeclaracaoGIA0405 d = gerador.ProximaComAnexos();
  d.anexos.totais.linhas[2] += 1;  // one X03 line more declared than there is
  const std::string& c = d.prefixo.cgcte;
  const std::string& p = d.prefixo.periodo;
  EXPECT_EQ(Valida("GIA05", geradores::Arquivo({d}), "NOK"),
            Rejeicao({c.substr(0, 3) + "/" + c.substr(3) + "    " + p.substr(0, 2) + "/" + p.substr(2) + " 001 847 849 " +
                      std::string("Nro de linhas do anexo inválido"_cp)}));
}

// A first record that fails the header test leaves no declaration open: the
// closing at the end of the file adds nothing to the header's finding.
TEST(GIA0405Arquivo, CabecalhoInvalido) {
  const std::string arquivo = Principal({{40, "X01 "}}) + "\r\n" + Principal() + "\r\n";
  EXPECT_EQ(Valida("GIA05", arquivo, "NOK"), Rejeicao({std::string("               00/0000 001 040 044 Arquivo não é GIA05"_cp)}));
  EXPECT_EQ(Valida("GIA04", Principal() + "\r\n", "NOK"),
            Rejeicao({std::string("               00/0000 001 005 006 Arquivo não é GIA04"_cp)}));
}

}  // namespace
