// Calls the exported check the way a caller of the library does, with both
// texts in heap blocks of exactly their length plus the NUL, so that the
// sanitizer build catches any read past the NUL.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>

#include "DllInscE32/DllInscE32.h"

namespace dllinsce32::teste {

inline std::unique_ptr<char[]> TextoC(std::string_view texto) {
  auto c = std::make_unique<char[]>(texto.size() + 1);
  if (!texto.empty()) std::memcpy(c.get(), texto.data(), texto.size());
  c[texto.size()] = '\0';
  return c;
}

inline int Consiste(std::string_view inscricao, std::string_view uf) {
  const auto i = TextoC(inscricao);
  const auto u = TextoC(uf);
  return ConsisteInscricaoEstadual(i.get(), u.get());
}

}  // namespace dllinsce32::teste
