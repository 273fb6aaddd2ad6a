// The fuzz targets: what one input does, and the breaches it showed. Each
// libFuzzer program runs one of them; the replay program runs them all on
// their corpora (fuzz/corpus/<name>/).
//
//   gia03, gia04, gia05, giast01, giast02  the input is the declaration file
//                                          of that kind, validated by a whole
//                                          run in memory
//   parametros                             the input is param.txt; the valid
//                                          files of every kind are there to
//                                          be named
//   inscricao                              the input is a state registration
//                                          and its UF for DllInscE32 (the
//                                          first byte's two low bits give the
//                                          UF's length, 0 to 3; the UF
//                                          follows, then the registration)
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

struct Alvo {
  std::string_view nome;
  // Runs the input; the breaches of the target's properties, one text each.
  std::vector<std::string> (*executa)(std::string_view dados);
};

std::span<const Alvo> Alvos();

// The target of that name, or null.
const Alvo* AlvoDe(std::string_view nome);

// Runs the input and, on a breach, prints each one on the standard error
// stream and aborts, so that the fuzzer keeps the input.
void ExecutaOuAborta(const Alvo& alvo, std::string_view dados);

// The folder of the in-memory runs and the parameter line with which the
// declaration targets start them.
inline constexpr std::string_view kPasta = "/valida";
std::string LinhaParametros(std::string_view tipo, std::string_view arquivo);

}  // namespace fuzz
