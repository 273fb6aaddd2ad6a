// Whole GIA ST version 1 files through the built program: the receipt (in
// GIA wording, with CGC/TE headings) of generated valid files, and reports
// that mix the GIA and GIA ST texts, compared byte for byte.
#include "tests/geradores/giast01.h"

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
using Linhas = std::vector<std::string>;

// Runs the file as kind GIAST01; the verdict must be `veredicto`.
Linhas Valida(const std::string& arquivo, std::string_view veredicto) {
  return blackbox::Valida("GIAST01", "giast01.txt", arquivo, veredicto);
}

std::string V(long long valor) { return Digitos(valor, 15); }

std::string Registro(const geradores::Campos& mudancas) {
  return geradores::ComCampos(geradores::RegistroGIAST01Zerado(), mudancas);
}

// A record with movement whose field 17, and so the sum of its payments, is `total`.
std::string ComPagamentos(long long total, const geradores::Campos& pagamentos) {
  geradores::Campos mudancas = {{41, " "}, {123, V(total + 1)}, {138, V(total)}, {213, V(total)}};
  mudancas.insert(mudancas.end(), pagamentos.begin(), pagamentos.end());
  return Registro(mudancas);
}

TEST(GIAST01Arquivo, ReciboDeUmArquivoGerado) {
  const auto declaracoes = geradores::GeradorGIAST01(31).Varias(8);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"),
            ReciboGIA("GIAST01", geradores::LinhasRecibo(declaracoes), 8));
}

TEST(GIAST01Arquivo, ReciboDeUmaSoLinha) {
  const DeclaracaoGerada d = geradores::GeradorGIAST01(5).Proxima();
  EXPECT_EQ(Valida(d.linha + "\r\n", "OK"), ReciboGIA("GIAST01", {d.EntradaRecibo()}, 1));
}

TEST(GIAST01Arquivo, ReciboDeMilharesDeLinhas) {
  const auto declaracoes = geradores::GeradorGIAST01(2026).Varias(10001);
  const Linhas lista = geradores::LinhasRecibo(declaracoes);
  ASSERT_EQ(lista.size(), 3334U);
  ASSERT_EQ(lista.back().size(), 48U);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), ReciboGIA("GIAST01", lista, 10001));
}

TEST(GIAST01Arquivo, RelatorioComOsDoisCatalogos) {
  const std::string maio = "123/4567897    05/1999";
  const Linhas registros = {
      // 1: valid.
      Registro({}),
      // 2: a period before May 1999.
      Registro({{7, "0130041999"}}),
      // 3: two equal due dates before the period's month.
      ComPagamentos(5, {{228, "10041999"}, {236, V(2)}, {251, "10041999"}, {259, V(3)}}),
      // 4: a gap holding only an amount, then a payment after the gap.
      ComPagamentos(10, {{228, "10051999"}, {236, V(3)}, {259, V(2)}, {274, "10071999"}, {282, V(5)}}),
      // 5: another marker on a later line is the validator's finding.
      Registro({{1, "GST02"}}),
      // 6: a delivery date of zeros, and a CPF with wrong check digits.
      Registro({{412, "12345678900"}, {495, "00000000"}}),
      // 7: a due date whose amount is not numeric pairs as amount 0.
      ComPagamentos(0, {{228, "10061999"}, {236, "00000000000000+"}}),
      // 8: no movement and no mark; the CNPJ's check digit.
      Registro({{41, " "}, {40, "2"}}),
      // 9: field 12 not below field 11, and computed field 17 wrong.
      Registro({{41, " "}, {123, V(5)}, {138, V(5)}, {213, V(1)}}),
  };
  const Linhas esperado = {
      Achado("123/4567897    04/1999", 2, 7, 16, "Campo 4 deve ser maior que 04/1999"),
      Achado(maio, 3, 228, 235, "1° venc deve ser maior que 01/05/1999"_cp),
      Achado(maio, 3, 251, 258, "Data vencimento em duplicidade"),
      Achado(maio, 3, 251, 258, "2° venc deve ser maior que 01/05/1999"_cp),
      Achado(maio, 3, 228, 235, "Data vencimento em duplicidade"),
      Achado(maio, 4, 251, 258, "Informe o vencimento do 2° pagto"_cp),
      Achado(maio, 4, 274, 281, "Vencimento anterior não informado"_cp),
      Achado(maio, 5, 1, 5, "Campo Fixo Incorreto"),
      Achado(maio, 6, 412, 422, "Dig. Controle Campo 25 Incorreto"),
      Achado(maio, 6, 495, 502, "Informe o campo 28"),
      Achado(maio, 7, 236, 250, "Campo numérico é esperado"_cp),
      Achado(maio, 7, 236, 250, "Informe o valor do 1° pagamento"_cp),
      Achado(maio, 8, 27, 40, "Dig. Controle Campo 23 Incorreto"),
      Achado(maio, 8, 41, 41, "Campo obrigatório não informado"_cp),
      Achado(maio, 9, 123, 137, "Campo 12 não pode ser maior que o 11"_cp),
      Achado(maio, 9, 213, 227, "Valor do campo 17 incorreto"),
      Achado(maio, 9, 213, 227, "Soma parcelas difere do campo 17"),
  };
  EXPECT_EQ(Valida(Texto(registros), "NOK"), Relatorio(kCabecalhoCGCTE, esperado));
}

}  // namespace
}  // namespace blackbox
