// Whole GIA version 3 files through the built program: the receipt of
// generated valid files (one line, a few, many thousand) and reports of the
// record rules, compared byte for byte.
#include "tests/geradores/gia03.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"

namespace blackbox {
namespace {

using geradores::DeclaracaoGerada;
using geradores::Digitos;
using geradores::Poe;
using Linhas = std::vector<std::string>;

// Runs the file as kind GIA03; the verdict must be `veredicto`.
Linhas Valida(const std::string& arquivo, std::string_view veredicto) {
  return blackbox::Valida("GIA03", "gia03.txt", arquivo, veredicto);
}

std::string V(long long valor) { return Digitos(valor, 16); }

std::string Registro(const geradores::Campos& mudancas) {
  return geradores::ComCampos(geradores::RegistroGIA03Zerado(), mudancas);
}

TEST(GIA03Arquivo, ReciboDeUmArquivoGerado) {
  const auto declaracoes = geradores::GeradorGIA03(31).Varias(7);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), ReciboGIA("GIA03", geradores::LinhasRecibo(declaracoes), 7));
}

TEST(GIA03Arquivo, ReciboDeUmaSoLinha) {
  const DeclaracaoGerada d = geradores::GeradorGIA03(5).Proxima();
  EXPECT_EQ(Valida(d.linha + "\r\n", "OK"), ReciboGIA("GIA03", {d.EntradaRecibo()}, 1));
}

TEST(GIA03Arquivo, ReciboDeMilharesDeLinhas) {
  const auto declaracoes = geradores::GeradorGIA03(2026).Varias(12000);
  const Linhas lista = geradores::LinhasRecibo(declaracoes);
  ASSERT_EQ(lista.size(), 4000U);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), ReciboGIA("GIA03", lista, 12000));
}

// Line numbers beyond the 16-bit range print in full.
TEST(GIA03Arquivo, AchadoNaLinha40000) {
  auto declaracoes = geradores::GeradorGIA03(40).Varias(40000);
  DeclaracaoGerada& ultima = declaracoes.back();
  Poe(ultima.linha, 116, V(std::stoll(ultima.linha.substr(115, 16)) + 1));
  EXPECT_EQ(
      Valida(geradores::Arquivo(declaracoes), "NOK"),
      Relatorio(kCabecalhoCGCTE, {Achado(ultima.EntradaRecibo().substr(0, 22), 40000, 116, 131, "Valor incorreto")}));
}

TEST(GIA03Arquivo, RelatorioDasRegrasDoRegistro) {
  const std::string contribuinte = "123/4567897    09/1998";
  const Linhas registros = {
      // 1: valid.
      Registro({}),
      // 2: due before the reference month: both instalment passes report it.
      Registro({{516, "31081998"}, {524, V(5)}, {484, V(5)}, {500, V(5)}}),
      // 3: a period that is no date, then a zero CGC/TE (the record's
      // taxpayer prints as 000/0000000 from the start).
      Registro({{20, "132005"}, {26, "0000000000"}}),
      // 4: an amount that is not numeric after a good due date: both passes.
      Registro({{516, "15091998"}, {524, "00000000000000-1"}}),
      // 5: another version on a later line is the validator's finding.
      Registro({{5, "04"}}),
      // 6: R5 is neither R4 + R3 nor the instalments and R6; the first
      // instalment is empty although R5 exceeds R6.
      Registro({{484, V(10)}, {500, V(11)}, {732, V(10)}}),
      // 7: C not numeric still takes rule 1 (A - B = 5).
      Registro({{84, V(5)}, {116, "               X"}}),
      // 8: every field blank after a good header.
      Registro({{84, std::string(796, ' ')}}),
  };
  Linhas esperado = {
      Achado(contribuinte, 2, 516, 523, "Vencimento Incorreto"),
      Achado(contribuinte, 2, 516, 523, "Vencimento Incorreto"),
      Achado("000/0000000    13/2005", 3, 20, 25, "Data Inválida"_cp),
      Achado("000/0000000    13/2005", 3, 26, 35, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 4, 524, 539, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 4, 524, 539, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 5, 5, 6, "Versão da GIA é incorreta"_cp),
      Achado(contribuinte, 6, 500, 515, "Valor incorreto"),
      Achado(contribuinte, 6, 500, 515, "Valor incorreto"),
      Achado(contribuinte, 6, 516, 523, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 6, 524, 539, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 7, 116, 131, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 7, 116, 131, "Valor incorreto"),
  };
  const std::string numerico(std::string("Campo numérico é esperado"_cp));
  for (int coluna = 84; coluna <= 484; coluna += 16)
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 15, numerico));
  for (int coluna = 516; coluna <= 708; coluna += 24) {
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 7, numerico));
    esperado.push_back(Achado(contribuinte, 8, coluna + 8, coluna + 23, numerico));
  }
  esperado.push_back(Achado(contribuinte, 8, 732, 747, numerico));
  esperado.push_back(Achado(contribuinte, 8, 500, 515, numerico));
  for (int coluna = 748; coluna <= 860; coluna += 16)
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 15, numerico));
  esperado.push_back(Achado(contribuinte, 8, 876, 879, numerico));

  EXPECT_EQ(Valida(Texto(registros), "NOK"), Relatorio(kCabecalhoCGCTE, esperado));
}

}  // namespace
}  // namespace blackbox
