// Number pictures: digit places filled from the right, literals kept.
#include "valida/checks/formato.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

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

namespace {

// "00" to "99": the two digits of every number below 100.
constexpr std::array<char, 200> kPares = [] {
  std::array<char, 200> pares{};
  for (std::size_t i = 0; i < 100; ++i) {
    pares[2 * i] = static_cast<char>('0' + i / 10);
    pares[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pares;
}();

void EscrevePar(char* p, std::uint64_t menor_que_cem) { std::memcpy(p, &kPares[2 * menor_que_cem], 2); }

}  // namespace

char* EscreveNumero(char* p, std::int64_t numero) {
  // A negative number as "-" and the picture of its magnitude.
  auto resto = static_cast<std::uint64_t>(numero);
  if (numero < 0) {
    *p++ = '-';
    resto = 0 - resto;
  }
  // Below 1000, the usual column or line: the picture's three places.
  if (resto < 1000) {
    p[0] = static_cast<char>('0' + resto / 100);
    EscrevePar(p + 1, resto % 100);
    return p + kPictureNumero.size();
  }
  // One place for each digit; the digits written from the right, two at a
  // time.
  std::size_t casas = kPictureNumero.size();
  for (std::uint64_t limite = 1000; casas < kMaiorNumero - 1 && resto >= limite; limite *= 10) ++casas;
  char* const fim = p + casas;
  char* d = fim;
  for (; resto >= 100; resto /= 100) {
    d -= 2;
    EscrevePar(d, resto % 100);
  }
  if (resto >= 10) {
    d -= 2;
    EscrevePar(d, resto);
  } else {
    *--d = static_cast<char>('0' + resto);
  }
  return fim;
}

void AcrescentaNumero(std::string& saida, std::int64_t numero) {
  std::array<char, kMaiorNumero> texto;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
  saida.append(texto.data(), EscreveNumero(texto.data(), numero));
}

char* EscrevePeriodo(char* p, std::string_view seis_digitos) {
  std::memcpy(p, seis_digitos.data(), 2);
  p[2] = '/';
  std::memcpy(p + 3, seis_digitos.data() + 2, 4);
  return p + kPicturePeriodo.size();
}

char* EscreveCGCTE(char* p, std::string_view dez_digitos) {
  std::memcpy(p, dez_digitos.data(), 3);
  p[3] = '/';
  std::memcpy(p + 4, dez_digitos.data() + 3, 7);
  return p + kPictureCGCTE.size();
}

void AcrescentaPeriodo(std::string& saida, std::string_view periodo) {
  // Six digits, the usual case, print as MM/AAAA; anything else as the picture says.
  if (periodo.size() == 6 && SoDigitos(periodo)) {
    std::array<char, kPicturePeriodo.size()> impresso;  // NOLINT(cppcoreguidelines-pro-type-member-init): written
    saida.append(impresso.data(), EscrevePeriodo(impresso.data(), periodo));
  } else {
    AcrescentaFormatado(saida, periodo, kPicturePeriodo);
  }
}

void AcrescentaCGCTE(std::string& saida, std::string_view cgcte) {
  // Ten digits, the usual case, print as 000/0000000; anything else as the picture says.
  if (cgcte.size() == 10 && SoDigitos(cgcte)) {
    std::array<char, kPictureCGCTE.size()> impresso;  // NOLINT(cppcoreguidelines-pro-type-member-init): written
    saida.append(impresso.data(), EscreveCGCTE(impresso.data(), cgcte));
  } else {
    AcrescentaFormatado(saida, cgcte, kPictureCGCTE);
  }
}

std::string FormataCGCTE(std::string_view cgcte) {
  if (cgcte.size() == 10 && SoDigitos(cgcte)) {
    std::array<char, kPictureCGCTE.size()> impresso;  // NOLINT(cppcoreguidelines-pro-type-member-init): written
    return {impresso.data(), EscreveCGCTE(impresso.data(), cgcte)};
  }
  std::string saida;
  AcrescentaFormatado(saida, cgcte, kPictureCGCTE);
  return saida;
}

std::string Formata(std::int64_t numero, std::string_view picture) {
  if (numero < 0) return "-" + Formata(std::to_string(-numero), picture);
  return Formata(std::to_string(numero), picture);
}

}  // namespace valida
