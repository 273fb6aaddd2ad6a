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

TEST(Cp1252, LowerCaseKnowsAccentedLetters) {
  EXPECT_EQ(cp1252::Minusculas("WWW.SEFAZ.GOV/ÉŠÇÃ"_cp), "www.sefaz.gov/éšçã"_cp);
  EXPECT_EQ(cp1252::Minusculas("×ß"_cp), "×ß"_cp);
}

}  // namespace
