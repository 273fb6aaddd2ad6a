// Fuzz target: any bytes as a declaration file of any kind. The first byte
// chooses the kind; the run must end with a report, never a crash or a hang.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ambiente.h"
#include "valida/run/modEspecifico.h"

namespace {

const std::filesystem::path& Pasta() {
  static const std::filesystem::path pasta = [] {
    auto p = std::filesystem::temp_directory_path() / ("valida-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return pasta;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  static const char* const kTipos[] = {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"};
  if (tamanho == 0) return 0;
  const std::string tipo = kTipos[dados[0] % 5];
  const std::filesystem::path& pasta = Pasta();
  {
    std::ofstream decl(pasta / "decl.txt", std::ios::binary | std::ios::trunc);
    decl.write(reinterpret_cast<const char*>(dados + 1), static_cast<std::streamsize>(tamanho - 1));
  }
  std::string param = "PARAM   " + tipo;
  param.resize(20, ' ');
  param += (pasta / "decl.txt").string();
  param.resize(148, ' ');
  param += "fuzz@exemplo.com.br\r\n";
  std::ofstream(pasta / "param.txt", std::ios::binary | std::ios::trunc) << param;
  if (valida::Main(plataforma::Ambiente::Padrao(), pasta.string(), false) != valida::Desfecho::kRelatorio) std::abort();
  return 0;
}

#ifdef VALIDA_FUZZ_REPLAY
// Without libFuzzer: runs the target once on each file named (the corpus).
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string dados((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(dados.data()), dados.size());
  }
  std::filesystem::remove_all(Pasta());
  return 0;
}
#endif
