// One libFuzzer program: the target that FUZZ_ALVO names when it is built.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/alvos.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  static const fuzz::Alvo* const alvo = fuzz::AlvoDe(FUZZ_ALVO);
  if (alvo == nullptr) std::abort();
  fuzz::ExecutaOuAborta(*alvo, std::string_view(reinterpret_cast<const char*>(dados), tamanho));
  return 0;
}
