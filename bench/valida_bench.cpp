// Throughput of whole validation runs on generated valid files of each kind,
// in a temporary folder, without the progress window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ambiente.h"
#include "tests/geradores/gia03.h"
#include "tests/geradores/gia0405.h"
#include "tests/geradores/giast01.h"
#include "tests/geradores/giast02.h"
#include "valida/run/modEspecifico.h"

namespace {

std::string Arquivo(const std::string& tipo, int declaracoes) {
  std::string arquivo;
  if (tipo == "GIA03") {
    geradores::GeradorGIA03 g(7);
    for (int i = 0; i < declaracoes; ++i) arquivo += g.Proxima().linha + "\r\n";
  } else if (tipo == "GIAST01") {
    geradores::GeradorGIAST01 g(7);
    for (int i = 0; i < declaracoes; ++i) arquivo += g.Proxima().linha + "\r\n";
  } else if (tipo == "GIAST02") {
    geradores::GeradorGIAST02 g(7);
    for (int i = 0; i < declaracoes; ++i)
      for (const auto& r : g.Proxima().linhas) arquivo += r + "\r\n";
  } else {
    geradores::GeradorGIA0405 g(7, tipo.substr(3));
    for (int i = 0; i < declaracoes; ++i)
      for (const auto& r : g.ProximaComAnexos().Registros()) arquivo += r + "\r\n";
  }
  return arquivo;
}

void Valida(benchmark::State& estado, const std::string& tipo) {
  const auto pasta = std::filesystem::temp_directory_path() / ("valida-bench-" + tipo);
  std::filesystem::create_directories(pasta);
  const std::string conteudo = Arquivo(tipo, static_cast<int>(estado.range(0)));
  std::ofstream(pasta / "decl.txt", std::ios::binary) << conteudo;
  std::string param = "PARAM   " + tipo;
  param.resize(20, ' ');
  param += "decl.txt";
  param.resize(148, ' ');
  param += "bench@exemplo.com.br\r\n";
  // The program's folder is also where the declaration is found.
  const std::string declaracao = (pasta / "decl.txt").string();
  param.replace(20, declaracao.size(), declaracao);
  for (auto _ : estado) {
    std::ofstream(pasta / "param.txt", std::ios::binary) << param;
    const auto desfecho = valida::Main(plataforma::Ambiente::Padrao(), pasta.string(), false);
    if (desfecho != valida::Desfecho::kRelatorio) estado.SkipWithError("no report");
  }
  estado.SetBytesProcessed(static_cast<std::int64_t>(estado.iterations() * conteudo.size()));
  std::filesystem::remove_all(pasta);
}

BENCHMARK_CAPTURE(Valida, GIA03, std::string("GIA03"))->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Valida, GIA05, std::string("GIA05"))->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Valida, GIAST01, std::string("GIAST01"))->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Valida, GIAST02, std::string("GIAST02"))->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
