// The paths of the program's files, made once per run: each file of the
// folder under its name, the results' temporaries under the name and
// ".novo", whatever the folder ends with.
#include <gtest/gtest.h>

#include <string>

#include "platform/ambiente.h"
#include "valida/run/execucao.h"

namespace {

TEST(CaminhosDaPasta, EveryFileOfTheRunInItsFolder) {
  const std::string s(1, plataforma::Ambiente::Separador());
  struct Caso {
    const char* regra;
    std::string pasta;
    std::string prefixo;  // what stands before each file's name
  };
  const Caso casos[] = {
      {"a folder gets one separator before the name", "pasta", "pasta" + s},
      {"a folder that ends with the separator gets no second one", "pasta" + s, "pasta" + s},
      {"the root folder", s, s},
      {"no folder: the name alone", "", ""},
  };
  for (const auto& c : casos) {
    const valida::CaminhosDaPasta caminhos(c.pasta);
    EXPECT_EQ(caminhos.Parametros, c.prefixo + "param.txt") << c.regra;
    EXPECT_EQ(caminhos.ParametrosNovo, c.prefixo + "param.txt.novo") << c.regra;
    EXPECT_EQ(caminhos.Saida, c.prefixo + "saida.txt") << c.regra;
    EXPECT_EQ(caminhos.SaidaNovo, c.prefixo + "saida.txt.novo") << c.regra;
    EXPECT_EQ(caminhos.ListaErros, c.prefixo + "aux00001.txt") << c.regra;
    EXPECT_EQ(caminhos.ListaRecibo, c.prefixo + "aux00002.txt") << c.regra;
    EXPECT_EQ(caminhos.Trava, c.prefixo + "valida.lck") << c.regra;
    // The run's own paths are the same ones, and a name it was not made
    // with goes the same way.
    EXPECT_EQ(valida::CaminhoNaPasta(c.pasta, "outro.txt"), c.prefixo + "outro.txt") << c.regra;
  }
}

}  // namespace
