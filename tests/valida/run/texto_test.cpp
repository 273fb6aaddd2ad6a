// The text helpers: the numeric reading, eight digits at a time, against the
// plain digit loop it replaces, on every length and every position of a
// character that is not a digit.
#include "valida/run/texto.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "tests/geradores/comum.h"

namespace {

std::optional<std::int64_t> Referencia(const std::string& texto) {
  if (texto.empty() || texto.size() > 18) return std::nullopt;
  std::int64_t valor = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return std::nullopt;
    valor = valor * 10 + (c - '0');
  }
  return valor;
}

TEST(ValorNumerico, Casos) {
  const struct {
    std::string texto;
    std::optional<std::int64_t> valor;
  } casos[] = {
      {"", std::nullopt},
      {"0", 0},
      {"00000000", 0},
      {"12345678", 12345678},
      {"9999999999999999", 9999999999999999},
      {"999999999999999999", 999999999999999999},
      {"1234567890123456789", std::nullopt},  // 19 digits: beyond what the reading takes
      {"1234 678", std::nullopt},
      {"1234567/", std::nullopt},  // the characters beside the digits
      {"1234567:", std::nullopt},
      {"-1234567", std::nullopt},
      {"\xB0\x31\x32\x33\x34\x35\x36\x37", std::nullopt},
      {std::string("1234\0"
                   "678",
                   8),
       std::nullopt},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::ValorNumerico(c.texto), c.valor) << c.texto;
}

TEST(ValorNumerico, IgualAoLacoDeDigitos) {
  geradores::Sorteio s(12);
  static constexpr char kOutros[] = {' ', '/', ':', '-', '+', '.', 'A', '\0', '\x80', '\xFF', '\x06', '\x3A'};
  for (int i = 0; i < 200000; ++i) {
    std::string texto = geradores::DigitosAleatorios(s, static_cast<int>(s.Entre(0, 20)));
    if (!texto.empty() && s.UmEm(2))
      texto[static_cast<std::size_t>(s.Entre(0, static_cast<std::int64_t>(texto.size()) - 1))] =
          kOutros[static_cast<std::size_t>(s.Entre(0, sizeof kOutros - 1))];
    ASSERT_EQ(valida::ValorNumerico(texto), Referencia(texto)) << texto;
  }
}

// SoDigitos on every length up to 40, each place in turn holding a byte that
// is no digit (those beside '0' and '9', and those that hide a digit in
// their low bits), against the plain loop.
TEST(SoDigitos, EveryLengthAndEveryPlaceOfANonDigit) {
  static constexpr char kOutros[] = {' ', '/', ':', 'A', '\0', '\x80', '\xB5', '\xF9', '\x06', '\x79'};
  geradores::Sorteio s(40);
  for (std::size_t n = 0; n <= 40; ++n) {
    const std::string digitos = geradores::DigitosAleatorios(s, static_cast<int>(n));
    EXPECT_TRUE(valida::SoDigitos(digitos)) << digitos;
    for (std::size_t i = 0; i < n; ++i)
      for (const char c : kOutros) {
        std::string texto = digitos;
        texto[i] = c;
        EXPECT_FALSE(valida::SoDigitos(texto)) << n << " characters, place " << i << ", byte " << static_cast<int>(c);
      }
  }
}

// Iguais against == on texts of every length to 20: equal ones, ones that
// differ at a single place (in one bit, or by a NUL), and ones of which one
// is a character longer or shorter.
TEST(Iguais, EveryLengthAndEveryPlaceOfADifference) {
  geradores::Sorteio s(16);
  for (std::size_t n = 0; n <= 20; ++n) {
    const std::string a = geradores::DigitosAleatorios(s, static_cast<int>(n));
    EXPECT_TRUE(valida::Iguais(a, std::string(a))) << a;
    EXPECT_FALSE(valida::Iguais(a, a + "0")) << a;
    EXPECT_FALSE(valida::Iguais(a + "0", a)) << a;
    if (n > 0) {
      EXPECT_FALSE(valida::Iguais(a, a.substr(0, n - 1))) << a;
    }
    for (std::size_t i = 0; i < n; ++i)
      for (const char c : {static_cast<char>(a[i] ^ 1), static_cast<char>(a[i] ^ 0x80), '\0', ' '}) {
        std::string b = a;
        b[i] = c;
        EXPECT_EQ(valida::Iguais(a, b), a == b) << n << " characters, place " << i;
        EXPECT_EQ(valida::Iguais(b, a), a == b) << n << " characters, place " << i;
      }
  }
}

// PrimeiroCR against the C library's search, on texts of every length to 200
// (the steps of 64 and 16 bytes and the tail) with no CR, one CR at every
// place, and a second CR after the first; bytes near CR (LF, 0x8D, 0x0C)
// around them.
TEST(PrimeiroCR, FindsTheFirstCRAtEveryPlaceOfEveryLength) {
  geradores::Sorteio s(13);
  static constexpr char kVizinhos[] = {'\n', '\x8D', '\x0C', '\x0E', ' ', '0'};
  for (std::size_t n = 0; n <= 200; ++n) {
    std::string texto(n, ' ');
    for (char& c : texto) c = kVizinhos[static_cast<std::size_t>(s.Entre(0, sizeof kVizinhos - 1))];
    const auto confere = [&](const std::string& t) {
      const void* esperado = std::memchr(t.data(), '\r', t.size());
      ASSERT_EQ(valida::PrimeiroCR(t.data(), t.size()), esperado) << n << " bytes";
    };
    confere(texto);
    for (std::size_t i = 0; i < n; ++i) {
      std::string um = texto;
      um[i] = '\r';
      confere(um);
      if (i + 1 < n) {
        um[static_cast<std::size_t>(s.Entre(static_cast<std::int64_t>(i) + 1, static_cast<std::int64_t>(n) - 1))] =
            '\r';
        confere(um);
      }
    }
  }
}

// ValorDosDigitos skips what is no digit, short texts and long alike.
TEST(ValorDosDigitos, SkipsWhatIsNoDigitOnEveryLength) {
  const struct {
    std::string texto;
    std::int64_t valor;
  } casos[] = {
      {"", 0},
      {"7", 7},
      {"07", 7},
      {"1 2", 12},
      {"12/4", 124},
      {" 12 ", 12},
      {"1999", 1999},
      {"19991", 19991},
      {"19/12/1999", 19121999},
      {"000000000000000012", 12},
      {"999999999999999999", 999999999999999999},
      {"A", 0},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::ValorDosDigitos(c.texto), c.valor) << c.texto;
}

}  // namespace
