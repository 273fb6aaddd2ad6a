// What the generators of test files share: a portable random source, the
// field writers, valid CGC/TE numbers, months, receipt entries and the
// declarations of one record each.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace geradores {

// splitmix64: the same numbers from the same seed on every platform.
class Sorteio {
 public:
  explicit Sorteio(std::uint64_t semente) : estado_(semente) {}

  std::uint64_t Proximo() {
    std::uint64_t z = (estado_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A whole number from minimo to maximo, both included.
  std::int64_t Entre(std::int64_t minimo, std::int64_t maximo) {
    if (maximo <= minimo) return minimo;
    return minimo + static_cast<std::int64_t>(Proximo() % static_cast<std::uint64_t>(maximo - minimo + 1));
  }
  // True about one time in `vezes`.
  bool UmEm(int vezes) { return Entre(1, vezes) == 1; }
  template <typename T, std::size_t N>
  const T& Um(const std::array<T, N>& opcoes) {
    return opcoes[static_cast<std::size_t>(Entre(0, static_cast<std::int64_t>(N) - 1))];
  }

 private:
  std::uint64_t estado_;
};

// The number with leading zeros in `largura` digits.
inline std::string Digitos(std::int64_t valor, int largura) {
  std::string texto = std::to_string(valor);
  if (static_cast<int>(texto.size()) < largura) texto.insert(0, static_cast<std::size_t>(largura) - texto.size(), '0');
  return texto;
}

// The text left-aligned and padded with blanks (or cut) to `largura`.
inline std::string Texto(std::string_view texto, int largura) {
  std::string campo(texto.substr(0, static_cast<std::size_t>(largura)));
  campo.resize(static_cast<std::size_t>(largura), ' ');
  return campo;
}

// Writes `texto` into the record from the 1-based column on.
inline void Poe(std::string& registro, int coluna, std::string_view texto) {
  registro.replace(static_cast<std::size_t>(coluna - 1), texto.size(), texto);
}

// Texts to write into a record, each from its 1-based column on.
using Campos = std::vector<std::pair<int, std::string>>;

// The record with each of the texts written in, in order.
inline std::string ComCampos(std::string registro, const Campos& campos) {
  for (const auto& [coluna, texto] : campos) Poe(registro, coluna, texto);
  return registro;
}

inline std::string DigitosAleatorios(Sorteio& s, int quantos) {
  std::string texto;
  for (int i = 0; i < quantos; ++i) texto += static_cast<char>('0' + s.Entre(0, 9));
  return texto;
}

// A CGC/TE with its modulo-11 check digit (weights 2, 9, 8, ..., 2), never zero.
inline std::string CGCTEValido(Sorteio& s) {
  std::string base = Digitos(s.Entre(1, 999), 3) + DigitosAleatorios(s, 6);
  static constexpr std::array<int, 9> kPesos = {2, 9, 8, 7, 6, 5, 4, 3, 2};
  int soma = 0;
  for (std::size_t i = 0; i < kPesos.size(); ++i) soma += (base[i] - '0') * kPesos[i];
  const int d = 11 - soma % 11;
  return base + static_cast<char>(d >= 10 ? '0' : '0' + d);
}

inline bool Bissexto(int ano) { return ano % 4 == 0; }
inline int DiasDoMes(int mes, int ano) {
  static constexpr std::array<int, 13> kDias = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return mes == 2 && Bissexto(ano) ? 29 : kDias[static_cast<std::size_t>(mes)];
}

// A month as AAAA * 12 + (MM - 1), so that months can be counted on.
struct Mes {
  int indice;
  [[nodiscard]] int ano() const { return indice / 12; }
  [[nodiscard]] int mes() const { return indice % 12 + 1; }
  static Mes De(int aaaamm) { return {aaaamm / 100 * 12 + aaaamm % 100 - 1}; }
  [[nodiscard]] std::string MMAAAA() const { return Digitos(mes(), 2) + Digitos(ano(), 4); }
  [[nodiscard]] std::string DDMMAAAA(int dia) const { return Digitos(dia, 2) + MMAAAA(); }
};

// A month drawn from `primeiro` to `ultimo` (AAAAMM, both included).
inline Mes MesEntre(Sorteio& s, int primeiro, int ultimo) {
  return {static_cast<int>(s.Entre(Mes::De(primeiro).indice, Mes::De(ultimo).indice))};
}

// Splits `total` into `partes` amounts of at least 1 each (total >= partes).
inline std::vector<std::int64_t> Reparte(Sorteio& s, std::int64_t total, int partes) {
  std::vector<std::int64_t> valores;
  std::int64_t resto = total;
  for (int i = partes; i > 1; --i) {
    const std::int64_t v = s.Entre(1, resto - (i - 1));
    valores.push_back(v);
    resto -= v;
  }
  valores.push_back(resto);
  return valores;
}

// "123/4567897    09/1998  ": the 24-character receipt entry of a CGC/TE
// (ten digits) and a period (MMAAAA).
inline std::string EntradaRecibo(const std::string& cgcte, const std::string& periodo) {
  return cgcte.substr(0, 3) + "/" + cgcte.substr(3) + "    " + periodo.substr(0, 2) + "/" + periodo.substr(2) + "  ";
}

// The receipt-list lines of the declarations (anything with EntradaRecibo()):
// three entries a line.
template <typename Declaracao>
std::vector<std::string> LinhasRecibo(const std::vector<Declaracao>& declaracoes) {
  std::vector<std::string> linhas;
  std::string linha;
  for (const auto& d : declaracoes) {
    linha += d.EntradaRecibo();
    if (linha.size() >= 70) linhas.push_back(std::exchange(linha, {}));
  }
  if (linha.size() > 1) linhas.push_back(linha);
  return linhas;
}

// One generated declaration and what its receipt entry must show.
struct DeclaracaoGerada {
  std::string linha;    // without its line end
  std::string cgcte;    // ten digits
  std::string periodo;  // MMAAAA

  [[nodiscard]] std::string EntradaRecibo() const { return geradores::EntradaRecibo(cgcte, periodo); }
};

// The whole file: every line ends with CR LF.
inline std::string Arquivo(const std::vector<DeclaracaoGerada>& declaracoes) {
  std::string arquivo;
  for (const auto& d : declaracoes) arquivo += d.linha + "\r\n";
  return arquivo;
}

// The frame of the generators of one-record declarations (GIA 3, GIA ST 1):
// the random source, and Varias over the generator's own Proxima.
template <typename Gerador>
class GeradorDeRegistros {
 public:
  explicit GeradorDeRegistros(std::uint64_t semente) : s_(semente) {}

  std::vector<DeclaracaoGerada> Varias(int quantas) {
    std::vector<DeclaracaoGerada> declaracoes;
    declaracoes.reserve(static_cast<std::size_t>(quantas));
    for (int i = 0; i < quantas; ++i) declaracoes.push_back(static_cast<Gerador&>(*this).Proxima());
    return declaracoes;
  }

 protected:
  Sorteio s_;
};

}  // namespace geradores
