// The text helpers of the whole program.
#include "valida/run/texto.h"

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

std::int64_t ValorDosDigitos(std::string_view texto) {
  std::int64_t valor = 0;
  for (const char c : texto)
    if (EhDigito(c)) valor = valor * 10 + (c - '0');
  return valor;
}

}  // namespace valida
