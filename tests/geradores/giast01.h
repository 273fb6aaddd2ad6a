// Generator of realistic valid GIA ST version 1 files: whole 754-character
// records with correct CGC/TE, CNPJ and CPF check digits, consistent computed
// fields and payments, deterministic from a seed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/geradores/comum.h"

namespace geradores {

namespace detalhe_st01 {

inline int DigitoMod11(int soma) {
  const int r = soma % 11;
  return r < 2 ? 0 : 11 - r;
}

}  // namespace detalhe_st01

// A CNPJ of a head office (0001) with its two check digits.
inline std::string CNPJValido(Sorteio& s) {
  std::string n = Digitos(s.Entre(1, 99999999), 8) + "0001";
  static constexpr std::array<int, 13> kPesos = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  for (int tamanho = 12; tamanho <= 13; ++tamanho) {
    int soma = 0;
    for (int i = 0; i < tamanho; ++i)
      soma += (n[static_cast<std::size_t>(i)] - '0') * kPesos[static_cast<std::size_t>(i + 13 - tamanho)];
    n += static_cast<char>('0' + detalhe_st01::DigitoMod11(soma));
  }
  return n;
}

// A CPF with its two check digits.
inline std::string CPFValido(Sorteio& s) {
  std::string n = Digitos(s.Entre(1, 999999999), 9);
  for (int tamanho = 9; tamanho <= 10; ++tamanho) {
    int soma = 0;
    for (int i = 0; i < tamanho; ++i) soma += (n[static_cast<std::size_t>(i)] - '0') * (tamanho + 1 - i);
    n += static_cast<char>('0' + detalhe_st01::DigitoMod11(soma));
  }
  return n;
}

inline constexpr std::array<std::string_view, 6> kResponsaveis = {
    "MARIA APARECIDA DOS SANTOS", "JOAO CARLOS PEREIRA",  "ANA LUIZA FONTOURA",
    "PAULO ROBERTO MACHADO",      "CLAUDIA REGINA SOUZA", "FERNANDO LUIS BRANDAO"};
inline constexpr std::array<std::string_view, 3> kCargos = {"CONTADOR", "SOCIO GERENTE", "DIRETOR FINANCEIRO"};
inline constexpr std::array<std::string_view, 5> kLocais = {"PORTO ALEGRE", "CAXIAS DO SUL", "PELOTAS", "SANTA MARIA",
                                                            "PASSO FUNDO"};

// A valid GIA ST 1 record to start a test from: May 1999, CGC/TE
// 123/4567897, CNPJ 11.222.333/0001-81, every amount and payment zero (so
// marked without movement), delivered 10/07/2000.
inline std::string RegistroGIAST01Zerado() {
  std::string r(754, ' ');
  Poe(r, 1, "GST01");
  Poe(r, 7, "0131051999");
  Poe(r, 17, "1234567897");
  Poe(r, 27, "11222333000181");
  Poe(r, 41, "X");
  Poe(r, 48, std::string(365 - 48 + 1, '0'));
  Poe(r, 366, "FULANO DE TAL");
  Poe(r, 412, "12345678909");
  Poe(r, 423, "CONTADOR");
  Poe(r, 453, "000000000000");
  Poe(r, 465, "PORTO ALEGRE");
  Poe(r, 495, "10072000");
  Poe(r, 503, "000000000000");
  return r;
}

class GeradorGIAST01 : public GeradorDeRegistros<GeradorGIAST01> {
 public:
  static constexpr int kTamanhoRegistro = 754;

  using GeradorDeRegistros::GeradorDeRegistros;

  DeclaracaoGerada Proxima() {
    DeclaracaoGerada d;
    std::string r(kTamanhoRegistro, ' ');
    const Mes referencia = MesEntre(s_, 199905, 200006);
    d.periodo = referencia.MMAAAA();
    d.cgcte = CGCTEValido(s_);

    Poe(r, 1, "GST01");
    Poe(r, 6, s_.UmEm(5) ? "X" : " ");
    Poe(r, 7, "01" + Digitos(DiasDoMes(referencia.mes(), referencia.ano()), 2) + d.periodo);
    Poe(r, 17, d.cgcte);
    Poe(r, 27, CNPJValido(s_));
    Poe(r, 42, "000000");  // not examined

    // Fields 6 to 15; a declaration without movement has them all zero.
    std::array<std::int64_t, 18> v{};
    if (!s_.UmEm(8)) {
      v[6] = s_.Entre(1, 900000000);
      v[7] = s_.Entre(0, v[6]);
      v[8] = s_.Entre(0, v[6]);
      if (!s_.UmEm(4)) {
        v[10] = s_.Entre(0, 50000000);
        v[9] = v[10] + s_.Entre(1, 50000000);  // field 9 above field 10
      }
      if (!s_.UmEm(4)) {
        v[12] = s_.Entre(0, 80000000);
        v[11] = v[12] + s_.Entre(1, 50000000);  // field 11 above field 12
      }
      v[13] = s_.UmEm(3) ? 0 : s_.Entre(1, 30000000);
      v[14] = s_.UmEm(3) ? 0 : s_.Entre(1, 30000000);
      v[15] = s_.UmEm(3) ? 0 : s_.Entre(1, 10000000);
    }
    const std::int64_t debito = v[14] + v[13] + v[15];
    v[16] = debito > v[12] ? debito - v[12] : 0;
    v[17] = v[12] > debito ? v[12] - debito : 0;
    for (int n = 6; n <= 17; ++n) Poe(r, 48 + 15 * (n - 6), Digitos(v[static_cast<std::size_t>(n)], 15));
    std::int64_t movimento = 0;
    for (int n = 6; n <= 14; ++n) movimento += v[static_cast<std::size_t>(n)];
    Poe(r, 41, movimento == 0 ? "X" : " ");

    // Field 17 is paid in up to six instalments due in consecutive months
    // from the reference month on.
    for (int n = 1; n <= 6; ++n) Poe(r, 228 + 23 * (n - 1), std::string(23, '0'));
    if (v[17] > 0) {
      const int partes = static_cast<int>(s_.Entre(1, v[17] < 6 ? v[17] : 6));
      const std::vector<std::int64_t> valores = Reparte(s_, v[17], partes);
      const int dia = static_cast<int>(s_.Entre(1, 28));
      for (int n = 1; n <= partes; ++n) {
        const Mes vencimento{referencia.indice + n - 1};
        const int coluna = 228 + 23 * (n - 1);
        Poe(r, coluna, vencimento.DDMMAAAA(dia));
        Poe(r, coluna + 8, Digitos(valores[static_cast<std::size_t>(n - 1)], 15));
      }
    }

    Poe(r, 366, Texto(s_.Um(kResponsaveis), 46));
    Poe(r, 412, CPFValido(s_));
    Poe(r, 423, Texto(s_.Um(kCargos), 30));
    Poe(r, 453, Digitos(s_.Entre(0, 9999), 4));
    Poe(r, 457, Digitos(s_.Entre(0, 99999999), 8));
    Poe(r, 465, Texto(s_.Um(kLocais), 30));
    const Mes entrega{referencia.indice + 1};
    Poe(r, 495, entrega.DDMMAAAA(static_cast<int>(s_.Entre(1, DiasDoMes(entrega.mes(), entrega.ano())))));
    Poe(r, 503, Digitos(s_.Entre(0, 9999), 4));
    Poe(r, 507, Digitos(s_.Entre(0, 99999999), 8));
    d.linha = std::move(r);
    return d;
  }
};

}  // namespace geradores
