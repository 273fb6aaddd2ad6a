// The text helpers of the whole program.
#include "valida/run/texto.h"

namespace valida {

std::string Ajusta(std::string_view texto, std::size_t largura) {
  std::string campo(Apara(texto).substr(0, largura));
  campo.resize(largura, ' ');
  return campo;
}

std::int64_t ValorDosDigitos(std::string_view texto) {
  if (const auto valor = ValorNumerico(texto)) return *valor;
  std::int64_t valor = 0;
  for (const char c : texto)
    if (EhDigito(c)) valor = valor * 10 + (c - '0');
  return valor;
}

}  // namespace valida
