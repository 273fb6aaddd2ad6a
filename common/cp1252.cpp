// Run-time side of the Windows-1252 conversions.
#include "common/cp1252.h"

namespace cp1252 {

void AcrescentaUtf8(std::string& saida, char32_t cp) {
  if (cp < 0x80) {
    saida += static_cast<char>(cp);
  } else if (cp < 0x800) {
    saida += static_cast<char>(0xC0 | (cp >> 6));
    saida += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    saida += static_cast<char>(0xE0 | (cp >> 12));
    saida += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    saida += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    saida += static_cast<char>(0xF0 | (cp >> 18));
    saida += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    saida += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    saida += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string ParaUtf8(std::string_view texto) {
  std::string saida;
  saida.reserve(texto.size());
  for (const char c : texto) {
    const char32_t cp = CodigoDe(static_cast<unsigned char>(c));
    // The five unassigned bytes keep their value as a C1 control character.
    AcrescentaUtf8(saida, cp != 0 || c == '\0' ? cp : static_cast<unsigned char>(c));
  }
  return saida;
}

std::string DeUtf8(std::string_view texto) {
  std::string saida;
  saida.reserve(texto.size());
  std::size_t i = 0;
  while (i < texto.size()) {
    const char32_t cp = DecodificaUtf8(texto, i);
    int b = ByteDe(cp);
    // C1 controls stand for the unassigned bytes (the inverse of ParaUtf8).
    if (b < 0 && cp >= 0x80 && cp <= 0x9F) b = static_cast<int>(cp);
    saida += b < 0 ? '?' : static_cast<char>(b);
  }
  return saida;
}

std::u16string ParaUtf16(std::string_view texto) {
  std::u16string saida;
  saida.reserve(texto.size());
  for (const char c : texto) {
    const char32_t cp = CodigoDe(static_cast<unsigned char>(c));
    saida += static_cast<char16_t>(cp != 0 || c == '\0' ? cp : static_cast<unsigned char>(c));
  }
  return saida;
}

char Minuscula(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);  // Š
    case 0x8C:
      return static_cast<char>(0x9C);  // Œ
    case 0x8E:
      return static_cast<char>(0x9E);  // Ž
    case 0x9F:
      return static_cast<char>(0xFF);  // Ÿ
    default:
      return c;
  }
}

std::string Minusculas(std::string_view texto) {
  std::string saida(texto);
  for (char& c : saida) c = Minuscula(c);
  return saida;
}

}  // namespace cp1252
