// gera_gia: writes a realistic valid declaration file to the standard output,
// for benchmarks, examples and measurements by hand.
//   gera_gia [--achados] KIND DECLARATIONS [SEED]
//   (KIND: GIA03, GIA04, GIA05, GIAST01, GIAST02)
// GIA 4 and 5 declarations carry annex records of every type; GIA ST 2
// declarations their annexes I to III, all in one state chosen by the seed.
// With --achados every record has a letter in one of its numeric fields, so
// that nearly every line gives a finding.
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

bool g_achados = false;

// A column of a numeric field of the record, by kind and record type.
int ColunaNumerica(std::string_view tipo, const std::string& registro) {
  if (tipo == "GIA03") return 90;                      // amount A
  if (tipo == "GIAST01") return 50;                    // field 6
  if (tipo == "GIA04" || tipo == "GIA05") {
    // An annex record ("X01 " to "X12 " at 40-43): the first occurrence's
    // first field; a main record: the CGC/TE of the prefix.
    return registro.size() > 45 && registro[39] == 'X' && registro.compare(43, 2, "00") != 0 ? 46 : 30;
  }
  if (registro.rfind("A0", 0) == 0) return 180;        // field 7
  if (registro.rfind("A3", 0) == 0) return 20;         // amount A
  return 40;                                           // the amount of an "A1" or "A2"
}

void Escreve(std::string_view tipo, std::string registro) {
  if (g_achados) registro[static_cast<std::size_t>(ColunaNumerica(tipo, registro) - 1)] = 'X';
  registro += "\r\n";
  std::fwrite(registro.data(), 1, registro.size(), stdout);
}

int Uso() {
  std::cerr << "usage: gera_gia [--achados] GIA03|GIA04|GIA05|GIAST01|GIAST02 DECLARATIONS [SEED]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  if (i < argc && std::string_view(argv[i]) == "--achados") {
    g_achados = true;
    ++i;
  }
  if (argc - i < 2 || argc - i > 3) return Uso();
  const std::string_view tipo = argv[i];
  char* fim = nullptr;
  const long long quantas = std::strtoll(argv[i + 1], &fim, 10);
  if (*fim != '\0' || quantas < 0) return Uso();
  const std::uint64_t semente = argc - i == 3 ? std::strtoull(argv[i + 2], nullptr, 10) : 1;

  if (tipo == "GIA03") {
    geradores::GeradorGIA03 g(semente);
    for (long long n = 0; n < quantas; ++n) Escreve(tipo, g.Proxima().linha);
  } else if (tipo == "GIAST01") {
    geradores::GeradorGIAST01 g(semente);
    for (long long n = 0; n < quantas; ++n) Escreve(tipo, g.Proxima().linha);
  } else if (tipo == "GIAST02") {
    geradores::GeradorGIAST02 g(semente);
    for (long long n = 0; n < quantas; ++n)
      for (const auto& r : g.Proxima().linhas) Escreve(tipo, r);
  } else if (tipo == "GIA04" || tipo == "GIA05") {
    geradores::GeradorGIA0405 g(semente, std::string(tipo.substr(3)));
    for (long long n = 0; n < quantas; ++n)
      for (const auto& r : g.ProximaComAnexos().Registros()) Escreve(tipo, r);
  } else {
    return Uso();
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
