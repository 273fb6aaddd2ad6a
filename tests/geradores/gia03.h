// Generator of realistic valid GIA version 3 files: whole 898-character
// records with correct CGC/TE check digits and consistent sums, deterministic
// from a seed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/geradores/comum.h"

namespace geradores {

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

class GeradorGIA03 : public GeradorDeRegistros<GeradorGIA03> {
 public:
  static constexpr int kTamanhoRegistro = 898;

  using GeradorDeRegistros::GeradorDeRegistros;

  DeclaracaoGerada Proxima() {
    DeclaracaoGerada d;
    std::string r(kTamanhoRegistro, ' ');
    const Mes referencia = MesEntre(s_, 199407, 199809);
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

 private:
  // An amount in cents, zero about one time in five.
  std::int64_t Quantia(std::int64_t maximo) { return s_.UmEm(5) ? 0 : s_.Entre(1, maximo); }
  static void Valor(std::string& r, int coluna, std::int64_t valor) { Poe(r, coluna, Digitos(valor, 16)); }
};

}  // namespace geradores
