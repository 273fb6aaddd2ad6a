// The number pictures of printed output: "000", "00/0000" and "000/0000000".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace valida {

// A text that, trimmed of blanks, is one or more digits prints with the
// picture's digit places ('0' a digit, leading zeros included; digits beyond
// the picture's places stand before the first one). Any other text prints as
// it is.
std::string Formata(std::string_view texto, std::string_view picture);
// The same, appended to `saida`.
void AcrescentaFormatado(std::string& saida, std::string_view texto, std::string_view picture);
std::string Formata(std::int64_t numero, std::string_view picture);

// Append, for the finding lines: a number with the picture "000" (three
// digits at least), and a period with the picture "00/0000".
void AcrescentaNumero(std::string& saida, std::int64_t numero);
// The same, written at p, which has room for kMaiorNumero characters;
// returns the end of what was written.
inline constexpr std::size_t kMaiorNumero = 21;  // "-" and 20 digits
char* EscreveNumero(char* p, std::int64_t numero);
void AcrescentaPeriodo(std::string& saida, std::string_view periodo);
// A CGC/TE with the picture "000/0000000", appended and as a text.
void AcrescentaCGCTE(std::string& saida, std::string_view cgcte);
std::string FormataCGCTE(std::string_view cgcte);
// The usual period of six digits as "00/0000", and the usual CGC/TE of ten
// digits as "000/0000000", written at p; return the end of what was written.
char* EscrevePeriodo(char* p, std::string_view seis_digitos);
char* EscreveCGCTE(char* p, std::string_view dez_digitos);

// The pictures, named once.
inline constexpr std::string_view kPictureNumero = "000";
inline constexpr std::string_view kPicturePeriodo = "00/0000";
inline constexpr std::string_view kPictureCGCTE = "000/0000000";

}  // namespace valida
