// The text helpers of the whole program: slices of a line by column, trimming
// and padding of fixed-width fields, and the digits a text spells. They
// include nothing of the program.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#define VALIDA_CAMPO_SSE2 1
#endif

namespace valida {

// Slice (coluna, largura) of the line (1-based); shorter where the line ends,
// empty when it starts past the end.
inline std::string_view Fatia(std::string_view linha, int coluna, int largura) {
  if (coluna < 1 || largura <= 0 || static_cast<std::size_t>(coluna) > linha.size()) return {};
  return linha.substr(static_cast<std::size_t>(coluna - 1), static_cast<std::size_t>(largura));
}

namespace detalhe {
template <typename Palavra>
bool PontasIguais(const char* a, const char* b, std::size_t n) {
  Palavra x{};
  Palavra y{};
  std::memcpy(&x, a, sizeof x);
  std::memcpy(&y, b, sizeof y);
  if (x != y) return false;
  std::memcpy(&x, a + n - sizeof x, sizeof x);
  std::memcpy(&y, b + n - sizeof y, sizeof y);
  return x == y;
}
}  // namespace detalhe

// a == b; a text of at most 16 characters (a field of a record) is compared
// as its first and its last word, which overlap where they meet.
inline bool Iguais(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  if (n != b.size()) return false;
  if (n >= 8 && n <= 16) return detalhe::PontasIguais<std::uint64_t>(a.data(), b.data(), n);
  if (n >= 4 && n < 8) return detalhe::PontasIguais<std::uint32_t>(a.data(), b.data(), n);
  if (n >= 2 && n < 4) return detalhe::PontasIguais<std::uint16_t>(a.data(), b.data(), n);
  if (n == 1) return a[0] == b[0];
  return a == b;
}

// The text trimmed of blanks at both ends (blanks only).
inline std::string_view Apara(std::string_view texto) {
  std::size_t inicio = 0;
  std::size_t fim = texto.size();
  while (inicio < fim && texto[inicio] == ' ') ++inicio;
  while (fim > inicio && texto[fim - 1] == ' ') --fim;
  return texto.substr(inicio, fim - inicio);
}

// The text holds nothing but blanks (or nothing at all): Apara(texto).empty(),
// answered from the front, where a filled-in field shows its first character.
inline bool SoBrancos(std::string_view texto) {
  for (const char c : texto)
    if (c != ' ') return false;
  return true;
}

// The text trimmed and padded with blanks (or cut) to the width.
std::string Ajusta(std::string_view texto, std::size_t largura);

inline bool EhDigito(char c) { return c >= '0' && c <= '9'; }

namespace detalhe {

inline constexpr std::uint64_t kZeros = 0x3030303030303030ULL;  // "00000000"

// Whether all eight characters loaded in x are digits.
inline bool OitoSaoDigitos(std::uint64_t x) {
  // Each byte must be 0x30 to 0x39: its high nibble 3, and still 3 after
  // adding 6.
  constexpr std::uint64_t kAlto = 0xF0F0F0F0F0F0F0F0ULL;
  return ((x & kAlto) | (((x + 0x0606060606060606ULL) & kAlto) >> 4)) == 0x3333333333333333ULL;
}

// The number of eight characters loaded with the first in the lowest byte,
// when all eight are digits.
inline std::optional<std::uint64_t> OitoDigitos(std::uint64_t x) {
  if (!OitoSaoDigitos(x)) return std::nullopt;
  // Pairs, then fours, then all eight: each multiplication adds the left
  // part, weighed, to the right part in one step.
  x = ((x & 0x0F0F0F0F0F0F0F0FULL) * (10 * 0x100 + 1)) >> 8;
  x = ((x & 0x00FF00FF00FF00FFULL) * (100 * 0x10000 + 1)) >> 16;
  return ((x & 0x0000FFFF0000FFFFULL) * (10000 * 0x100000000ULL + 1)) >> 32;
}

// The first n (1 to 8) of the eight characters at p, preceded by as many '0'
// as make eight: the same number when they are digits.
inline std::uint64_t Carrega(const char* p, std::size_t n) {
  std::uint64_t x = 0;
  std::memcpy(&x, p, 8);
  // Keep the first n characters, moved up to the high bytes, and fill the
  // low bytes (the leading places) with '0'.
  if (n < 8) x = (x << (8 * (8 - n))) | (kZeros >> (8 * n));
  return x;
}

}  // namespace detalhe

// The number that a text of one to 18 digits spells; no value when the text
// is empty, longer, or holds anything but digits. Fields are read eight
// digits at a time, the first group padded with leading zeros: this is the
// program's innermost loop.
[[gnu::always_inline]] inline std::optional<std::int64_t> ValorNumerico(std::string_view texto) {
  constexpr std::size_t kMaiorNumero = 18;  // digits that always fit in 63 bits
  const std::size_t n = texto.size();
  if (n == 0 || n > kMaiorNumero) return std::nullopt;
  if (std::endian::native != std::endian::little || n < 8) {
    // Short fields digit by digit: fewer steps than a padded group.
    std::uint64_t valor = 0;
    for (const char c : texto) {
      if (!EhDigito(c)) return std::nullopt;
      valor = valor * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return static_cast<std::int64_t>(valor);
  }
  const char* p = texto.data();
  std::size_t grupo = n % 8 == 0 ? 8 : n % 8;
  const auto primeiro = detalhe::OitoDigitos(detalhe::Carrega(p, grupo));
  if (!primeiro) return std::nullopt;
  std::uint64_t valor = *primeiro;
  for (std::size_t i = grupo; i < n; i += 8) {
    std::uint64_t x = 0;
    std::memcpy(&x, p + i, 8);
    const auto oito = detalhe::OitoDigitos(x);
    if (!oito) return std::nullopt;
    valor = valor * 100000000ULL + *oito;
  }
  return static_cast<std::int64_t>(valor);
}

// Whether the text is all digits (true for an empty one): eight at a time,
// the last eight overlapping the ones before.
inline bool SoDigitos(std::string_view texto) {
  const std::size_t n = texto.size();
  if (n < 8) {
    for (const char c : texto)
      if (!EhDigito(c)) return false;
    return true;
  }
  for (std::size_t i = 0;; i += 8) {
    if (n - i < 8) i = n - 8;
    std::uint64_t x = 0;
    std::memcpy(&x, texto.data() + i, 8);
    if (!detalhe::OitoSaoDigitos(x)) return false;
    if (i + 8 == n) return true;
  }
}

// The first CR of the n bytes at p, or null. Every line of a declaration is
// searched for its end here: sixty-four bytes a step where SSE2 is at hand
// (the C library's search is a byte loop on some systems), the library's
// search elsewhere.
inline const char* PrimeiroCR(const char* p, std::size_t n) {
#if defined(VALIDA_CAMPO_SSE2)
  const __m128i cr = _mm_set1_epi8('\r');
  const auto iguais = [&](std::size_t i) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), cr);  // NOLINT: unaligned
  };
  std::size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m128i algum =
        _mm_or_si128(_mm_or_si128(iguais(i), iguais(i + 16)), _mm_or_si128(iguais(i + 32), iguais(i + 48)));
    if (_mm_movemask_epi8(algum) != 0) break;
  }
  for (; i + 16 <= n; i += 16) {
    const auto mascara = static_cast<unsigned>(_mm_movemask_epi8(iguais(i)));
    if (mascara != 0) return p + i + std::countr_zero(mascara);
  }
  for (; i < n; ++i)
    if (p[i] == '\r') return p + i;
  return nullptr;
#else
  return static_cast<const char*>(std::memchr(p, '\r', n));
#endif
}

#if defined(VALIDA_CAMPO_SSE2)
namespace detalhe {

// The number that the last n (1 to 16) of the sixteen bytes in x spell, when
// all n are digits. One SSE2 register: the digits tested at once, then
// pairs, fours and eights of them weighed and added by multiply-adds.
inline std::optional<std::int64_t> DezesseisDigitos(__m128i x, std::size_t n) {
  // Sixteen bytes 0x00, then sixteen 0xFF: the sixteen from the n-th are a
  // mask of the last n.
  alignas(16) static constexpr std::array<unsigned char, 32> kUltimos = {
      0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const __m128i campo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kUltimos[n]));  // NOLINT: unaligned
  // A digit's byte is 0 to 9 after the subtraction, anything else above 9;
  // the bytes before the field become 0, leading zeros.
  const __m128i v = _mm_and_si128(_mm_sub_epi8(x, _mm_set1_epi8('0')), campo);
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(9)), v)) != 0xFFFF) return std::nullopt;
  const __m128i zero = _mm_setzero_si128();
  const __m128i pares = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), _mm_set1_epi32(0x0001000A)),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), _mm_set1_epi32(0x0001000A)));
  const __m128i quatros = _mm_madd_epi16(pares, _mm_set1_epi32(0x00010064));
  const __m128i oitos = _mm_madd_epi16(_mm_packs_epi32(quatros, quatros), _mm_set1_epi32(0x00012710));
  const auto duas = static_cast<std::uint64_t>(_mm_cvtsi128_si64(oitos));
  return static_cast<std::int64_t>((duas & 0xFFFFFFFFU) * 100000000U + (duas >> 32));
}

}  // namespace detalhe
#endif

// The number that field (coluna, largura) of the line spells, read in one
// step where that is cheap: no value when the field is not numeric, and also
// when it is not such a field (then ValorDoCampo reads it).
[[gnu::always_inline]] inline std::optional<std::int64_t> ValorDoCampoDireto(std::string_view linha, int coluna,
                                                                             int largura) {
#if defined(VALIDA_CAMPO_SSE2)
  // A field of up to 16 places that ends at the 16th column or later: the
  // sixteen bytes that end with it.
  const auto fim = static_cast<std::size_t>(coluna) - 1 + static_cast<std::size_t>(largura);
  if (coluna >= 1 && largura >= 1 && largura <= 16 && fim >= 16 && fim <= linha.size()) {
    const char* ultimos = linha.data() + fim - 16;
    return detalhe::DezesseisDigitos(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ultimos)),  // NOLINT
                                     static_cast<std::size_t>(largura));
  }
#else
  (void)linha, (void)coluna, (void)largura;
#endif
  return std::nullopt;
}

// ValorDoCampo for a field that ValorDoCampoDireto has already read without
// a value.
[[gnu::always_inline]] inline std::optional<std::int64_t> ValorDoCampoForaDoDireto(std::string_view linha, int coluna,
                                                                                   int largura) {
  const std::string_view fatia = Fatia(linha, coluna, largura);
  if (largura <= 0 || fatia.size() != static_cast<std::size_t>(largura)) return std::nullopt;
#if defined(VALIDA_CAMPO_SSE2)
  const auto fim = static_cast<std::size_t>(coluna) - 1 + fatia.size();
  if (fatia.size() <= 16 && fim >= 16) return std::nullopt;  // the direct reading found no number
  // A field of up to 16 places that ends before the 16th column of a line
  // of 16 or more: the line's first sixteen bytes moved up until it ends
  // with them.
  if (fatia.size() <= 16 && linha.size() >= 16) {
    __extension__ unsigned __int128 inicio_linha = 0;
    std::memcpy(&inicio_linha, linha.data(), 16);
    inicio_linha <<= 8 * (16 - fim);
    __m128i x;
    std::memcpy(&x, &inicio_linha, 16);
    return detalhe::DezesseisDigitos(x, fatia.size());
  }
#endif
  return ValorNumerico(fatia);
}

// The number that field (coluna, largura) of the line spells: ValorNumerico
// of the slice, when the line holds the whole field; no value otherwise.
[[gnu::always_inline]] inline std::optional<std::int64_t> ValorDoCampo(std::string_view linha, int coluna,
                                                                       int largura) {
  if (const auto valor = ValorDoCampoDireto(linha, coluna, largura)) return valor;
  return ValorDoCampoForaDoDireto(linha, coluna, largura);
}

namespace detalhe {
// ValorNumerico, out of line.
std::optional<std::int64_t> ValorNumericoLongo(std::string_view texto);
}  // namespace detalhe

// The number that the digits of the text spell, any other character skipped
// (0 when there is none). Callers hand it texts that are all digits, of at
// most 18 of them: one of more than four is read at once, a shorter one (a
// day, a month, a year, a code) digit by digit.
inline std::int64_t ValorDosDigitos(std::string_view texto) {
  constexpr std::size_t kCurto = 4;
  if (texto.size() > kCurto)
    if (const auto valor = detalhe::ValorNumericoLongo(texto)) return *valor;
  std::int64_t valor = 0;
  for (const char c : texto)
    if (EhDigito(c)) valor = valor * 10 + (c - '0');
  return valor;
}

}  // namespace valida
