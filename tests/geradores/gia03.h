// Generator of realistic valid GIA version 3 files: whole 898-character
// records with correct CGC/TE check digits and consistent sums, deterministic
// from a seed. Also the small pieces that the generator of GIA ST 1 reuses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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

// One generated declaration and what its receipt entry must show.
struct DeclaracaoGerada {
  std::string linha;    // without its line end
  std::string cgcte;    // ten digits
  std::string periodo;  // MMAAAA

  // "123/4567897    09/1998  ": the 24-character receipt entry.
  [[nodiscard]] std::string EntradaRecibo() const {
    return cgcte.substr(0, 3) + "/" + cgcte.substr(3) + "    " + periodo.substr(0, 2) + "/" + periodo.substr(2) + "  ";
  }
};

// The receipt-list lines of the declarations: three entries a line.
inline std::vector<std::string> LinhasRecibo(const std::vector<DeclaracaoGerada>& declaracoes) {
  std::vector<std::string> linhas;
  std::string linha;
  for (const auto& d : declaracoes) {
    linha += d.EntradaRecibo();
    if (linha.size() >= 70) {
      linhas.push_back(linha);
      linha.clear();
    }
  }
  if (linha.size() > 1) linhas.push_back(linha);
  return linhas;
}

// The whole file: every line ends with CR LF.
inline std::string Arquivo(const std::vector<DeclaracaoGerada>& declaracoes) {
  std::string arquivo;
  for (const auto& d : declaracoes) arquivo += d.linha + "\r\n";
  return arquivo;
}

inline constexpr std::array<std::string_view, 8> kEmpresas = {"COMERCIAL GAUCHA DE ALIMENTOS LTDA",
                                                              "METALURGICA VALE DO SINOS S A",
                                                              "DISTRIBUIDORA SERRANA DE BEBIDAS LTDA",
                                                              "FARMACIA POPULAR DO CENTRO LTDA",
                                                              "CALCADOS NOVO HAMBURGO IND E COM LTDA",
                                                              "SUPERMERCADO BOM PRECO LTDA ME",
                                                              "TRANSPORTES PAMPA LTDA",
                                                              "MOVEIS BENTO GONCALVES S A"};

// A valid GIA 3 record to start a test from: "****", version 03, blank
// indicator, days 01 to 31, period 09/1998, CGC/TE 123/4567897, every amount
// and date zero.
inline std::string RegistroGIA03Zerado() {
  std::string r(898, ' ');
  Poe(r, 1, "****03");
  Poe(r, 7, "00000000");
  Poe(r, 16, "0131");
  Poe(r, 20, "091998");
  Poe(r, 26, "1234567897");
  Poe(r, 84, std::string(879 - 84 + 1, '0'));
  return r;
}

class GeradorGIA03 {
 public:
  static constexpr int kTamanhoRegistro = 898;

  explicit GeradorGIA03(std::uint64_t semente) : s_(semente) {}

  DeclaracaoGerada Proxima() {
    DeclaracaoGerada d;
    std::string r(kTamanhoRegistro, ' ');
    const Mes referencia{static_cast<int>(s_.Entre(Mes::De(199407).indice, Mes::De(199809).indice))};
    d.periodo = referencia.MMAAAA();
    d.cgcte = CGCTEValido(s_);

    Poe(r, 1, "****03");
    Poe(r, 7, referencia.DDMMAAAA(1));  // not examined
    Poe(r, 15, s_.UmEm(5) ? "X" : " ");
    Poe(r, 16, "01" + Digitos(DiasDoMes(referencia.mes(), referencia.ano()), 2));
    Poe(r, 20, d.periodo);
    Poe(r, 26, d.cgcte);
    Poe(r, 36, Texto(s_.Um(kEmpresas), 48));  // not examined

    const std::int64_t b = Quantia(100000000);
    const std::int64_t a = b + Quantia(900000000);
    Valor(r, 84, a);
    Valor(r, 100, b);
    Valor(r, 116, a - b);

    std::int64_t t1 = 0;
    const bool com_g10 = s_.UmEm(4);
    for (int i = 1; i <= 10; ++i) {
      const std::int64_t g = i < 10 || com_g10 ? Quantia(50000000) : 0;
      Valor(r, 132 + 16 * (i - 1), g);
      t1 += g;
    }
    Valor(r, 292, t1);
    std::int64_t t2 = 0;
    for (int i = 1; i <= 7; ++i) {
      const std::int64_t h = Quantia(80000000);
      Valor(r, 308 + 16 * (i - 1), h);
      t2 += h;
    }
    Valor(r, 420, t2);

    // A debit balance (R1 and what is deducted from it, R2) or a credit
    // balance carried over (R3, with R1 = R2).
    std::int64_t r1 = 0;
    std::int64_t r2 = 0;
    std::int64_t r3 = 0;
    if (t1 > t2) {
      r1 = t1 - t2;
      r2 = s_.Entre(0, r1);
    } else if (t2 > t1) {
      r1 = r2 = Quantia(1000000);
      r3 = t2 - t1 + r2;
    }
    const std::int64_t r4 = Quantia(20000000);
    const std::int64_t r5 = r4 + r3;
    const std::int64_t r6 = s_.Entre(0, r5);
    Valor(r, 436, r1);
    Valor(r, 452, r2);
    Valor(r, 468, r3);
    Valor(r, 484, r4);
    Valor(r, 500, r5);
    Valor(r, 732, r6);

    // What R6 does not cover is paid in instalments due from the reference month on.
    for (int i = 1; i <= 9; ++i) Poe(r, 516 + 24 * (i - 1), std::string(24, '0'));
    const std::int64_t parcelado = r5 - r6;
    if (parcelado > 0) {
      const int partes = static_cast<int>(s_.Entre(1, parcelado < 9 ? parcelado : 9));
      const std::vector<std::int64_t> valores = Reparte(s_, parcelado, partes);
      for (int i = 1; i <= partes; ++i) {
        const Mes vencimento{referencia.indice + i - 1 + static_cast<int>(s_.Entre(0, 1))};
        const int coluna = 516 + 24 * (i - 1);
        Poe(r, coluna,
            vencimento.DDMMAAAA(static_cast<int>(s_.Entre(1, DiasDoMes(vencimento.mes(), vencimento.ano())))));
        Valor(r, coluna + 8, valores[static_cast<std::size_t>(i - 1)]);
      }
    }

    for (int i = 1; i <= 8; ++i) Valor(r, 748 + 16 * (i - 1), s_.UmEm(2) ? 0 : Quantia(10000000));
    Poe(r, 876, Digitos(s_.Entre(0, 9999), 4));
    d.linha = std::move(r);
    return d;
  }

  std::vector<DeclaracaoGerada> Varias(int quantas) {
    std::vector<DeclaracaoGerada> declaracoes;
    declaracoes.reserve(static_cast<std::size_t>(quantas));
    for (int i = 0; i < quantas; ++i) declaracoes.push_back(Proxima());
    return declaracoes;
  }

 private:
  // An amount in cents, zero about one time in five.
  std::int64_t Quantia(std::int64_t maximo) { return s_.UmEm(5) ? 0 : s_.Entre(1, maximo); }
  static void Valor(std::string& r, int coluna, std::int64_t valor) { Poe(r, coluna, Digitos(valor, 16)); }

  Sorteio s_;
};

}  // namespace geradores
