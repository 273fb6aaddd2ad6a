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
  // The places take the digits from the right, zeros on their left; digits
  // beyond the places go to the first one.
  const std::size_t zeros = lugares > digitos.size() ? lugares - digitos.size() : 0;
  std::size_t excesso = digitos.size() > lugares ? digitos.size() - lugares : 0;
  std::size_t proximo = 0;
  const auto digito = [&] {
    const std::size_t k = proximo++;
    return k < zeros ? '0' : digitos[k - zeros];
  };
  for (const char c : picture) {
    if (c != '0') {
      saida += c;
      continue;
    }
    for (; excesso > 0; --excesso) saida += digito();
    saida += digito();
  }
  // A picture without places: the digits after it.
  for (; excesso > 0; --excesso) saida += digito();
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
