// The text helpers of the whole program.
#include "valida/run/texto.h"

#include <bit>
#include <cstring>

namespace valida {

std::string_view Fatia(std::string_view linha, int coluna, int largura) {
  if (coluna < 1 || largura <= 0 || static_cast<std::size_t>(coluna) > linha.size()) return {};
  return linha.substr(static_cast<std::size_t>(coluna - 1), static_cast<std::size_t>(largura));
}

std::string_view Apara(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  const auto fim = texto.find_last_not_of(' ');
  return texto.substr(inicio, fim - inicio + 1);
}

std::string Ajusta(std::string_view texto, std::size_t largura) {
  std::string campo(Apara(texto).substr(0, largura));
  campo.resize(largura, ' ');
  return campo;
}

namespace {

constexpr std::size_t kMaiorNumero = 18;  // digits that always fit in 63 bits

// The eight characters at `p` when all are digits, as their number.
std::optional<std::uint64_t> OitoDigitos(const char* p) {
  if constexpr (std::endian::native != std::endian::little) {
    std::uint64_t valor = 0;
    for (int i = 0; i < 8; ++i) {
      if (!EhDigito(p[i])) return std::nullopt;
      valor = valor * 10 + static_cast<std::uint64_t>(p[i] - '0');
    }
    return valor;
  } else {
    // The first character in the lowest byte. Each byte must be 0x30 to 0x39:
    // its high nibble 3, and still 3 after adding 6.
    std::uint64_t x = 0;
    std::memcpy(&x, p, sizeof x);
    constexpr std::uint64_t kAlto = 0xF0F0F0F0F0F0F0F0ULL;
    constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
    if ((x & kAlto) != kZeros || ((x + 0x0606060606060606ULL) & kAlto) != kZeros) return std::nullopt;
    // Pairs, then fours, then all eight, each step weighing the left part.
    x -= kZeros;
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFULL;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFULL;
    x = (x * 10000 + (x >> 32)) & 0x00000000FFFFFFFFULL;
    return x;
  }
}

}  // namespace

std::optional<std::int64_t> ValorNumerico(std::string_view texto) {
  if (texto.empty() || texto.size() > kMaiorNumero) return std::nullopt;
  std::uint64_t valor = 0;
  std::size_t i = 0;
  for (; i + 8 <= texto.size(); i += 8) {
    const auto oito = OitoDigitos(texto.data() + i);
    if (!oito) return std::nullopt;
    valor = valor * 100000000ULL + *oito;
  }
  for (; i < texto.size(); ++i) {
    if (!EhDigito(texto[i])) return std::nullopt;
    valor = valor * 10 + static_cast<std::uint64_t>(texto[i] - '0');
  }
  return static_cast<std::int64_t>(valor);
}

std::int64_t ValorDosDigitos(std::string_view texto) {
  if (const auto valor = ValorNumerico(texto)) return *valor;
  std::int64_t valor = 0;
  for (const char c : texto)
    if (EhDigito(c)) valor = valor * 10 + (c - '0');
  return valor;
}

}  // namespace valida
