// Windows-1252, the code page of every text the programs read, show or write.
// Literals are written in UTF-8 in the source and converted once, at compile
// time, by the suffix _cp: "Parâmetros"_cp is a std::string_view of cp1252 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1252 {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes that have none.
inline constexpr std::array<char32_t, 32> kFaixa80 = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte of a code point, or -1 when Windows-1252 has none.
constexpr int ByteDe(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kFaixa80.size(); ++i)
    if (kFaixa80[i] != 0 && kFaixa80[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

// The code point of a byte (0 for the five unassigned bytes).
constexpr char32_t CodigoDe(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kFaixa80[b - 0x80];
  return b;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns U+FFFD for a
// sequence that is malformed, overlong, a surrogate or past U+10FFFF (one
// byte consumed): for the literals of the program and for texts that reach
// it from the system or a reader as they are.
constexpr char32_t DecodificaUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  std::size_t extras = 0;
  char32_t cp = 0;
  char32_t minimo = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extras = 1;
    cp = b0 & 0x1F;
    minimo = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extras = 2;
    cp = b0 & 0x0F;
    minimo = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extras = 3;
    cp = b0 & 0x07;
    minimo = 0x10000;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + extras >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  for (std::size_t k = 1; k <= extras; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += extras + 1;
  return cp;
}

// Appends the UTF-8 form of a code point (any plane).
void AcrescentaUtf8(std::string& saida, char32_t cp);

// The cp1252 form of a UTF-8 text of N bytes; fails to compile for a
// character that Windows-1252 cannot hold.
template <std::size_t N>
struct TextoCp1252 {
  char dados[N + 1]{};
  std::size_t tamanho = 0;
  consteval explicit TextoCp1252(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
      const char32_t cp = DecodificaUtf8(utf8, i);
      const int b = ByteDe(cp);
      if (b < 0 || cp == 0xFFFD) throw "character outside Windows-1252";
      dados[tamanho++] = static_cast<char>(b);
    }
  }
};

// One converted literal, stored once. Keyed by its characters (not by an
// object) so that every compiler can name it in its diagnostics.
template <char... C>
struct Literal {
  static constexpr char kUtf8[sizeof...(C) + 1] = {C..., '\0'};
  static constexpr TextoCp1252<sizeof...(C)> kTexto{std::string_view(kUtf8, sizeof...(C))};
};

// Run-time conversions, for texts that cross to the operating system.
std::string ParaUtf8(std::string_view texto_cp1252);
// Characters that Windows-1252 lacks become '?'.
std::string DeUtf8(std::string_view texto_utf8);
std::u16string ParaUtf16(std::string_view texto_cp1252);

// Lower case of the Windows-1252 letters, accented ones included.
char Minuscula(char c);
std::string Minusculas(std::string_view texto);

}  // namespace cp1252

// A literal operator template over the characters of the string: a GNU
// extension that GCC and Clang share.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wgnu-string-literal-operator-template"
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#endif
template <typename T, T... C>
consteval std::string_view operator""_cp() {
  return {cp1252::Literal<C...>::kTexto.dados, cp1252::Literal<C...>::kTexto.tamanho};
}
#if defined(__clang__)
#pragma clang diagnostic pop
#else
#pragma GCC diagnostic pop
#endif
