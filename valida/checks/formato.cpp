// Number pictures: digit places filled from the right, literals kept.
#include "valida/checks/formato.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "valida/run/texto.h"

namespace valida {

void AcrescentaFormatado(std::string& saida, std::string_view texto, std::string_view picture) {
  const std::string_view numero = Apara(texto);
  bool so_digitos = !numero.empty();
  for (const char c : numero) so_digitos = so_digitos && EhDigito(c);
  if (!so_digitos) {
    saida += texto;
    return;
  }
  std::size_t zeros = 0;
  while (zeros < numero.size() && numero[zeros] == '0') ++zeros;
  const std::string_view digitos = numero.substr(zeros);
  // The places take the digits from the right, '0' where the digits run
  // out; digits left over stand before the first place (after a picture
  // without places).
  const std::size_t inicio = saida.size();
  saida += picture;
  std::size_t restantes = digitos.size();
  std::size_t primeiro = picture.size();
  for (std::size_t i = picture.size(); i-- > 0;) {
    if (picture[i] != '0') continue;
    saida[inicio + i] = restantes > 0 ? digitos[--restantes] : '0';
    primeiro = i;
  }
  if (restantes > 0) saida.insert(inicio + primeiro, digitos.substr(0, restantes));
}

std::string Formata(std::string_view texto, std::string_view picture) {
  std::string saida;
  AcrescentaFormatado(saida, texto, picture);
  return saida;
}

void AcrescentaNumero(std::string& saida, std::int64_t numero) {
  if (numero < 0) {
    saida += Formata(numero, kPictureNumero);
    return;
  }
  std::array<char, 24> digitos{};
  const auto fim = std::to_chars(digitos.data(), digitos.data() + digitos.size(), numero).ptr;
  const auto quantos = static_cast<std::size_t>(fim - digitos.data());
  if (quantos < kPictureNumero.size()) saida.append(kPictureNumero.size() - quantos, '0');
  saida.append(digitos.data(), quantos);
}

void AcrescentaPeriodo(std::string& saida, std::string_view periodo) {
  // Six digits, the usual case, print as MM/AAAA; anything else as the picture says.
  if (periodo.size() == 6 && std::all_of(periodo.begin(), periodo.end(), EhDigito)) {
    saida.append(periodo.substr(0, 2));
    saida += '/';
    saida.append(periodo.substr(2));
  } else {
    saida += Formata(periodo, kPicturePeriodo);
  }
}

std::string Formata(std::int64_t numero, std::string_view picture) {
  if (numero < 0) return "-" + Formata(std::to_string(-numero), picture);
  return Formata(std::to_string(numero), picture);
}

}  // namespace valida
