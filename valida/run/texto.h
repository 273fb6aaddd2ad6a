// The text helpers of the whole program: slices of a line by column, trimming
// and padding of fixed-width fields, and the digits a text spells. They
// include nothing of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace valida {

// Slice (coluna, largura) of the line (1-based); shorter where the line ends,
// empty when it starts past the end.
std::string_view Fatia(std::string_view linha, int coluna, int largura);

// The text trimmed of blanks at both ends (blanks only).
std::string_view Apara(std::string_view texto);

// The text trimmed and padded with blanks (or cut) to the width.
std::string Ajusta(std::string_view texto, std::size_t largura);

inline bool EhDigito(char c) { return c >= '0' && c <= '9'; }

// The number that a text of one to 18 digits spells; no value when the text
// is empty, longer, or holds anything but digits. Fields are read eight
// digits at a time: this is the program's innermost loop.
std::optional<std::int64_t> ValorNumerico(std::string_view texto);

// The number that the digits of the text spell, any other character skipped
// (0 when there is none). Callers hand it texts that are all digits, of at
// most 18 of them.
std::int64_t ValorDosDigitos(std::string_view texto);

}  // namespace valida
