// The text helpers of the whole program.
#include "valida/run/texto.h"

namespace valida {

std::string Ajusta(std::string_view texto, std::size_t largura) {
  std::string campo(Apara(texto).substr(0, largura));
  campo.resize(largura, ' ');
  return campo;
}

namespace detalhe {

std::optional<std::int64_t> ValorNumericoLongo(std::string_view texto) { return ValorNumerico(texto); }

}  // namespace detalhe

}  // namespace valida
