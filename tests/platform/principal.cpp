// The contract tests' program, and the child it starts of itself: with the
// first argument "--filho" it writes what the next arguments ask for and ends.
//   escreve SAIDA ERRO   SAIDA to the standard output, then ERRO to the
//                        standard error (as they are, no line end)
//   variavel NOME        the variable's value as the platform reads it, or
//                        <ausente>, to the standard output
//   erro-padrao          kTextoErroPadrao through EscreverErroPadrao
//   atencao              kTituloAviso and kTextoAviso through MensagemAtencao
//   aviso                kTituloAviso and kTextoAviso through MensagemAviso
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "contrato.h"
#include "platform/ambiente.h"

namespace contrato {

namespace {

void Escreve(std::FILE* f, std::string_view texto) {
  std::fwrite(texto.data(), 1, texto.size(), f);
  std::fflush(f);
}

}  // namespace

int Filho(int argc, char** argv) {
  const std::string modo = argc > 0 ? argv[0] : "";
  if (modo == "escreve" && argc == 3) {
    Escreve(stdout, argv[1]);
    Escreve(stderr, argv[2]);
  } else if (modo == "variavel" && argc == 2) {
    std::string valor;
    Escreve(stdout, plataforma::LerVariavel(argv[1], &valor) ? valor : "<ausente>");
  } else if (modo == "erro-padrao") {
    plataforma::EscreverErroPadrao(kTextoErroPadrao);
  } else if (modo == "atencao") {
    plataforma::MensagemAtencao(kTituloAviso, kTextoAviso);
  } else if (modo == "aviso") {
    plataforma::Ambiente::Padrao().MensagemAviso(kTituloAviso, kTextoAviso);
  } else {
    return 2;
  }
  return 0;
}

}  // namespace contrato

int main(int argc, char** argv) {
  if (argc > 1 && argv[1] == contrato::kModoFilho) return contrato::Filho(argc - 2, argv + 2);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
