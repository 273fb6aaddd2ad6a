// Number pictures: digit places filled from the right, literals kept.
#include "valida/checks/formato.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "valida/run/texto.h"

namespace valida {

void AcrescentaFormatado(std::string& saida, std::string_view texto, std::string_view picture) {
  const std::string_view numero = Apara(texto);
  if (numero.empty() || !std::all_of(numero.begin(), numero.end(), EhDigito)) {
    saida += texto;
    return;
  }
  const auto lugares = static_cast<std::size_t>(std::count(picture.begin(), picture.end(), '0'));
  const std::string_view digitos = numero.substr(std::min(numero.find_first_not_of('0'), numero.size()));
  // The digits filled with zeros on the left to the picture's places; digits
  // beyond its places go to its first place.
  std::string cheios(lugares > digitos.size() ? lugares - digitos.size() : 0, '0');
  cheios += digitos;
  std::string_view resto = cheios;
  std::size_t excesso = cheios.size() - lugares;
  while (!picture.empty()) {
    const std::size_t literais = std::min(picture.find('0'), picture.size());
    saida += picture.substr(0, literais);
    picture.remove_prefix(literais);
    const std::size_t places = std::min(picture.find_first_not_of('0'), picture.size());
    saida += resto.substr(0, places + excesso);
    resto.remove_prefix(std::min(resto.size(), places + excesso));
    picture.remove_prefix(places);
    excesso = 0;
  }
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
