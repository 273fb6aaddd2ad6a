// The exported check: the contract common to every state (state code,
// trailing blanks, characters), then the rule of the state's row.
#include "DllInscE32/DllInscE32.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "DllInscE32/estados.h"

namespace dllinsce32 {

namespace {

bool Digito(char c) { return c >= '0' && c <= '9'; }

bool Correta(const char* inscricao, const char* uf) {
  if (inscricao == nullptr || uf == nullptr) return false;
  const Estado* estado = EncontraEstado(uf);
  if (estado == nullptr) return false;
  std::string_view texto(inscricao);
  const std::size_t ultimo = texto.find_last_not_of(' ');
  if (ultimo == std::string_view::npos) return false;  // empty or blanks only
  texto = texto.substr(0, ultimo + 1);
  std::string_view digitos = texto;
  if (estado->letra_p && digitos.starts_with('P')) digitos.remove_prefix(1);
  if (!std::ranges::all_of(digitos, Digito)) return false;
  return estado->confere(texto);
}

}  // namespace

}  // namespace dllinsce32

extern "C" std::int16_t DLLINSCE32_CHAMADA ConsisteInscricaoEstadual(const char* inscricao, const char* uf) {
  return dllinsce32::Correta(inscricao, uf) ? 0 : 1;
}
