// gera_gia: writes a realistic valid declaration file to the standard output,
// for benchmarks, examples and measurements by hand.
//   gera_gia KIND DECLARATIONS [SEED]   (KIND: GIA03, GIA04, GIA05, GIAST01, GIAST02)
// GIA 4 and 5 declarations carry annex records of every type; GIA ST 2
// declarations their annexes I to III, all in one state chosen by the seed.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "tests/geradores/gia03.h"
#include "tests/geradores/gia0405.h"
#include "tests/geradores/giast01.h"
#include "tests/geradores/giast02.h"

namespace {

void Escreve(const std::string& texto) { std::fwrite(texto.data(), 1, texto.size(), stdout); }

int Uso() {
  std::cerr << "usage: gera_gia GIA03|GIA04|GIA05|GIAST01|GIAST02 DECLARATIONS [SEED]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) return Uso();
  const std::string_view tipo = argv[1];
  char* fim = nullptr;
  const long long quantas = std::strtoll(argv[2], &fim, 10);
  if (*fim != '\0' || quantas < 0) return Uso();
  const std::uint64_t semente = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;

  if (tipo == "GIA03") {
    geradores::GeradorGIA03 g(semente);
    for (long long i = 0; i < quantas; ++i) Escreve(g.Proxima().linha + "\r\n");
  } else if (tipo == "GIAST01") {
    geradores::GeradorGIAST01 g(semente);
    for (long long i = 0; i < quantas; ++i) Escreve(g.Proxima().linha + "\r\n");
  } else if (tipo == "GIAST02") {
    geradores::GeradorGIAST02 g(semente);
    for (long long i = 0; i < quantas; ++i)
      for (const auto& r : g.Proxima().linhas) Escreve(r + "\r\n");
  } else if (tipo == "GIA04" || tipo == "GIA05") {
    geradores::GeradorGIA0405 g(semente, std::string(tipo.substr(3)));
    for (long long i = 0; i < quantas; ++i)
      for (const auto& r : g.ProximaComAnexos().Registros()) Escreve(r + "\r\n");
  } else {
    return Uso();
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
