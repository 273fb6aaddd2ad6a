// One libFuzzer program: the target that FUZZ_ALVO names when it is built.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/alvos.h"

// AddressSanitizer's settings of these programs, before any of the
// environment's ASAN_OPTIONS: no stack trace is taken at every allocation and
// free (a run allocates hundreds of times, and the traces cost more than the
// run itself). Detection stays whole; a report then shows where the bad
// access happened, and a replay with ASAN_OPTIONS=malloc_context_size=30
// (scripts/fuzz.sh does it) shows where the memory was allocated and freed.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the sanitizer's own hook.
extern "C" const char* __asan_default_options() { return "malloc_context_size=0"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
  static const fuzz::Alvo* const alvo = fuzz::AlvoDe(FUZZ_ALVO);
  if (alvo == nullptr) std::abort();
  fuzz::ExecutaOuAborta(*alvo, std::string_view(reinterpret_cast<const char*>(dados), tamanho));
  return 0;
}
