// The work files' writer: every line it writes is printable, a control
// character or DEL anywhere in it becoming '?', and nothing else changed.
#include "valida/run/execucao.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/valida/execucao_teste.h"

namespace {

using valida::teste::ExecucaoDeTeste;

// The line as the writer must leave it, byte by byte.
std::string Esperada(std::string linha) {
  for (char& c : linha)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return linha;
}

TEST(EscreveLinha, ControlCharactersAndDelBecomeQuestionMarksAnywhereInTheLine) {
  // Bytes that must change and their neighbours that must not, at every
  // place of lines shorter than, equal to and longer than the writer's
  // sixteen-byte steps, and of lines whose last step overlaps the one before.
  const std::vector<unsigned char> bytes = {0x00, 0x01, 0x09, 0x1F, 0x20, 0x21, 0x7E, 0x7F, 0x80, 0x81, 0xA0, 0xFF};
  ExecucaoDeTeste t("GIA04");
  std::vector<std::string> escritas;
  for (const std::size_t tamanho : {1U, 8U, 15U, 16U, 17U, 23U, 31U, 32U, 33U, 47U}) {
    for (std::size_t lugar = 0; lugar < tamanho; ++lugar) {
      for (const unsigned char b : bytes) {
        std::string linha(tamanho, 'a');
        linha[lugar] = static_cast<char>(b);
        // A second odd byte further on, so that one step may hold two.
        if (lugar + 3 < tamanho) linha[lugar + 3] = static_cast<char>(0x7F);
        t.run.ListaErros.EscreveLinha(linha);
        escritas.push_back(linha);
      }
    }
  }
  const std::vector<std::string> lidas = t.Erros();
  ASSERT_EQ(lidas.size(), escritas.size());
  for (std::size_t i = 0; i < lidas.size(); ++i) EXPECT_EQ(lidas[i], Esperada(escritas[i])) << "line " << i;
}

TEST(Imprimivel, TheSameRuleForTheTaxpayerShown) {
  std::string texto = "123\x1b[2J\x7f\xe9 fim";
  EXPECT_EQ(valida::Imprimivel(texto), Esperada(texto));
  EXPECT_EQ(valida::Imprimivel(""), "");
}

}  // namespace
