// The child that the tests of ExecutarComando run. Its first argument says
// what it writes:
//   nada          nothing
//   pouco         "err" to standard error, then "saida" to standard output
//   muito N       N MiB to each stream, alternating blocks of 64 KiB; standard
//                 output carries 'a' to 'z' over and over, standard error 'A' to 'Z'
//   args ...      every further argument as <argument> on standard output
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Escreve(std::FILE* f, const char* dados, std::size_t n) {
  std::fwrite(dados, 1, n, f);
  std::fflush(f);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string modo = argc > 1 ? argv[1] : "";
  if (modo == "pouco") {
    Escreve(stderr, "err", 3);
    Escreve(stdout, "saida", 5);
  } else if (modo == "muito" && argc > 2) {
    const std::size_t total = static_cast<std::size_t>(std::atoi(argv[2])) << 20;
    constexpr std::size_t kBloco = 64 << 10;
    std::vector<char> saida(kBloco);
    std::vector<char> erro(kBloco);
    for (std::size_t feito = 0; feito < total; feito += kBloco) {
      for (std::size_t i = 0; i < kBloco; ++i) {
        saida[i] = static_cast<char>('a' + (feito + i) % 26);
        erro[i] = static_cast<char>('A' + (feito + i) % 26);
      }
      Escreve(stdout, saida.data(), kBloco);
      Escreve(stderr, erro.data(), kBloco);
    }
  } else if (modo == "args") {
    std::string todos;
    for (int i = 2; i < argc; ++i) todos += "<" + std::string(argv[i]) + ">";
    Escreve(stdout, todos.data(), todos.size());
  }
  return 0;
}
