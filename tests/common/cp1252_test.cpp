// The one conversion between the source's UTF-8 literals and Windows-1252.
#include "common/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, LiteralsConvertAtCompileTime) {
  static_assert("abc"_cp == "abc");
  static_assert("Parâmetros"_cp == "Par\xE2metros");
  EXPECT_EQ("ATENÇÃO"_cp, "ATEN\xC7\xC3O");
  EXPECT_EQ("°"_cp, "\xB0");
  EXPECT_EQ("€Šš—“”"_cp, "\x80\x8A\x9A\x97\x93\x94");
  EXPECT_EQ("nº"_cp, "n\xBA");
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8AndUtf16) {
  std::string todos;
  for (int b = 1; b < 256; ++b) todos += static_cast<char>(b);
  EXPECT_EQ(cp1252::DeUtf8(cp1252::ParaUtf8(todos)), todos);
  const std::u16string u16 = cp1252::ParaUtf16("\x80\xE9");
  EXPECT_EQ(u16, u"\u20AC\u00E9");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(cp1252::DeUtf8("a\xE4\xB8\xAD"
                           "b"),
            "a?b");
  EXPECT_EQ(cp1252::DeUtf8("\xFF"), "?");
}

// A text from the system that is no sound UTF-8 never turns into one of the
// characters that it hides: an overlong '/' or 'A', a surrogate.
TEST(Cp1252, MalformedUtf8BecomesQuestionMarksByteByByte) {
  EXPECT_EQ(cp1252::DeUtf8("a\xC0\xAF"
                           "b"),
            "a??b");
  EXPECT_EQ(cp1252::DeUtf8("\xE0\x81\x81"), "???");
  EXPECT_EQ(cp1252::DeUtf8("\xED\xA0\x80"), "???");
  EXPECT_EQ(cp1252::DeUtf8("\xC3\xA9"), "\xE9");
}

TEST(Cp1252, LowerCaseKnowsAccentedLetters) {
  EXPECT_EQ(cp1252::Minusculas("WWW.SEFAZ.GOV/ÉŠÇÃ"_cp), "www.sefaz.gov/éšçã"_cp);
  EXPECT_EQ(cp1252::Minusculas("×ß"_cp), "×ß"_cp);
}

}  // namespace

// The reading refuses what a lenient one would let through, one byte at a
// time, and the writing round-trips every plane.
TEST(Utf8, RefusesOverlongSurrogatesAndBeyondTheLastPlane) {
  struct Caso {
    std::string_view bytes;
    char32_t primeiro;
    std::size_t avanco;
    std::string_view regra;
  };
  const Caso casos[] = {
      {"\xC0\xAF", 0xFFFD, 1, "an overlong '/'"},
      {"\xE0\x80\xAF", 0xFFFD, 1, "an overlong of three bytes"},
      {"\xED\xA0\x80", 0xFFFD, 1, "a surrogate"},
      {"\xF4\x90\x80\x80", 0xFFFD, 1, "past U+10FFFF"},
      {"\xE2\x82", 0xFFFD, 1, "cut short"},
      {"\xC3\xA7", 0xE7, 2, "ç"},
      {"\xF0\x9F\x98\x80", 0x1F600, 4, "a character beyond the first plane"},
  };
  for (const auto& c : casos) {
    std::size_t i = 0;
    EXPECT_EQ(cp1252::DecodificaUtf8(c.bytes, i), c.primeiro) << c.regra;
    EXPECT_EQ(i, c.avanco) << c.regra;
  }
  for (const char32_t cp : {U'\x7F', U'\x80', U'\x7FF', U'\x800', U'\xFFFD', U'\x10000', U'\x10FFFF'}) {
    std::string texto;
    cp1252::AcrescentaUtf8(texto, cp);
    std::size_t i = 0;
    EXPECT_EQ(cp1252::DecodificaUtf8(texto, i), cp);
    EXPECT_EQ(i, texto.size());
  }
}
