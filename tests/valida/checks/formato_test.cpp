// The number pictures of printed output: a text that is a number prints with
// the picture's digit places; any other text prints as it is.
#include "valida/checks/formato.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using valida::Formata;
using valida::kPictureCGCTE;
using valida::kPictureNumero;
using valida::kPicturePeriodo;

struct Caso {
  const char* regra;
  std::string texto;
  std::string_view picture;
  std::string esperado;
};

TEST(Formata, NumbersFillTheDigitPlaces) {
  const Caso casos[] = {
      {"a CGC/TE", "1234567890", kPictureCGCTE, "123/4567890"},
      {"a CGC/TE with leading zeros", "0012345678", kPictureCGCTE, "001/2345678"},
      {"a short CGC/TE gets leading zeros", "12345", kPictureCGCTE, "000/0012345"},
      {"an eleventh digit stands before the first place", "12345678901", kPictureCGCTE, "1234/5678901"},
      {"a period", "052005", kPicturePeriodo, "05/2005"},
      {"a period read as a number", "52005", kPicturePeriodo, "05/2005"},
      {"the zero period", "000000", kPicturePeriodo, "00/0000"},
      {"a long period", "1052005", kPicturePeriodo, "105/2005"},
      {"line 7", "7", kPictureNumero, "007"},
      {"line 0", "0", kPictureNumero, "000"},
      {"line 1234", "1234", kPictureNumero, "1234"},
      {"line 40000", "40000", kPictureNumero, "40000"},
      {"leading zeros beyond the places are not printed", "0007", kPictureNumero, "007"},
      {"zeros only", "0000", kPictureNumero, "000"},
      {"zeros in every place", "000", kPictureNumero, "000"},
      {"the zero CGC/TE", "0000000000", kPictureCGCTE, "000/0000000"},
      {"a digit in every place after a literal", "123", "(00)-0", "(12)-3"},
      {"a picture that opens with a literal", "12", "(000)", "(012)"},
      {"digits beyond the places after a leading literal", "12345", "(00)-0", "(1234)-5"},
      {"a picture without places prints the digits after it", "0012", "ab", "ab12"},
  };
  for (const auto& c : casos) EXPECT_EQ(Formata(c.texto, c.picture), c.esperado) << c.regra;
}

TEST(Formata, BlanksAroundANumberAreTrimmed) {
  const Caso casos[] = {
      {"a padded period", " 052005 ", kPicturePeriodo, "05/2005"},
      {"a padded line", "7  ", kPictureNumero, "007"},
      {"a CGC/TE padded on the right", "1234567890    ", kPictureCGCTE, "123/4567890"},
      {"a CGC/TE padded on the left", "  1234567890", kPictureCGCTE, "123/4567890"},
  };
  for (const auto& c : casos) EXPECT_EQ(Formata(c.texto, c.picture), c.esperado) << c.regra;
}

TEST(Formata, AnythingButDigitsPrintsAsItIs) {
  const Caso casos[] = {
      {"empty", "", kPicturePeriodo, ""},
      {"empty, with a picture without places", "", "ab", ""},
      {"blanks only", "      ", kPicturePeriodo, "      "},
      {"a sign", "-12", kPictureNumero, "-12"},
      {"a plus sign", "+12", kPictureNumero, "+12"},
      {"a point", "1.5", kPictureNumero, "1.5"},
      {"a comma", "1,5", kPictureNumero, "1,5"},
      {"a letter", "05200A", kPicturePeriodo, "05200A"},
      {"an inner blank", "05 2005", kPicturePeriodo, "05 2005"},
      {"an inner blank, padding kept", " 12 34 ", kPictureCGCTE, " 12 34 "},
      {"a registration of letters", "ABCDEFGHIJKLMNOP", kPictureCGCTE, "ABCDEFGHIJKLMNOP"},
      {"a byte above 127", "12\xB0", kPictureNumero, "12\xB0"},
  };
  for (const auto& c : casos) EXPECT_EQ(Formata(c.texto, c.picture), c.esperado) << c.regra;
}

TEST(Formata, WholeNumbers) {
  const struct {
    std::int64_t numero;
    std::string esperado;
  } casos[] = {{0, "000"}, {7, "007"}, {99, "099"}, {999, "999"}, {1234, "1234"}, {32768, "32768"}, {40000, "40000"}};
  for (const auto& c : casos) EXPECT_EQ(Formata(c.numero, kPictureNumero), c.esperado) << c.numero;
}

// The numbers of the finding lines, appended or written in place, print as
// the picture prints them, signs and the widest numbers included.
TEST(Formata, NumbersAppendedOrWrittenInPlaceAsThePictureDoes) {
  constexpr std::int64_t kMaior = std::numeric_limits<std::int64_t>::max();
  for (const std::int64_t n :
       {std::int64_t{0}, std::int64_t{7}, std::int64_t{99}, std::int64_t{999}, std::int64_t{1000}, std::int64_t{40000},
        std::int64_t{-1}, std::int64_t{-5}, std::int64_t{-999}, std::int64_t{-1234}, kMaior, -kMaior}) {
    std::string anexado = "x";
    valida::AcrescentaNumero(anexado, n);
    EXPECT_EQ(anexado, "x" + Formata(n, kPictureNumero)) << n;
    std::array<char, valida::kMaiorNumero> escrito{};
    char* fim = valida::EscreveNumero(escrito.data(), n);
    EXPECT_EQ(std::string(escrito.data(), fim), Formata(n, kPictureNumero)) << n;
  }
  std::string menor;
  valida::AcrescentaNumero(menor, std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(menor, "-9223372036854775808");
}

// Every number to 100,000 and each side of every power of ten, positive and
// negative, written in place as the picture prints it (the digits are
// written two at a time from the right, below 1000 by a path of their own).
TEST(Formata, EveryNumberWrittenInPlaceAsThePictureDoes) {
  std::vector<std::int64_t> numeros;
  for (std::int64_t n = 0; n <= 100000; ++n) numeros.push_back(n);
  std::int64_t potencia = 1;
  for (int expoente = 1; expoente <= 18; ++expoente) {
    potencia *= 10;
    for (const std::int64_t n : {potencia - 1, potencia, potencia + 1}) numeros.push_back(n);
  }
  for (const std::int64_t n : numeros)
    for (const std::int64_t sinal : {1, -1}) {
      std::array<char, valida::kMaiorNumero> escrito{};
      char* fim = valida::EscreveNumero(escrito.data(), sinal * n);
      ASSERT_EQ(std::string(escrito.data(), fim), Formata(sinal * n, kPictureNumero)) << sinal * n;
    }
}

// The CGC/TE and period of receipts, captions and finding lines print as the
// pictures do, whatever the text: the usual ten and six digits, and texts
// one digit short or long, with a blank, a letter or a byte that hides a
// digit in its low bits at every place.
TEST(Formata, TheCGCTEAndPeriodAppendsPrintAsTheirPictures) {
  std::vector<std::string> textos = {"",       " ",     "0000000000", "1234567890", "123456789",   "12345678901",
                                     "052005", "52005", "0520051",    " 052005 ",   "1234567890  "};
  for (const std::string base : {"1234567890", "052005"})
    for (std::size_t i = 0; i < base.size(); ++i)
      for (const char c : {' ', 'A', '/', ':', '\xB5', '\0'}) {
        std::string t = base;
        t[i] = c;
        textos.push_back(t);
      }
  for (const std::string& t : textos) {
    std::string cgcte = "x";
    valida::AcrescentaCGCTE(cgcte, t);
    EXPECT_EQ(cgcte, "x" + Formata(t, kPictureCGCTE)) << ::testing::PrintToString(t);
    EXPECT_EQ(valida::FormataCGCTE(t), Formata(t, kPictureCGCTE)) << ::testing::PrintToString(t);
    std::string periodo = "x";
    valida::AcrescentaPeriodo(periodo, t);
    EXPECT_EQ(periodo, "x" + Formata(t, kPicturePeriodo)) << ::testing::PrintToString(t);
  }
  EXPECT_EQ(valida::FormataCGCTE("0012345678"), "001/2345678");
}

}  // namespace
