// Generator of realistic valid GIA ST version 2 files: declarations of a main
// record "A0" (797 or 812 columns) with their annex records "A1", "A2" and
// "A3", registrations with correct check digits for the state of the file,
// periods on both sides of 02/2013, balances and instalments that agree, and
// annex totals and counts that close; deterministic from a seed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/geradores/comum.h"
#include "tests/geradores/giast01.h"

namespace geradores {

// The states whose registrations the generator makes: one weighted sum
// modulo 11 (0 for a remainder of 0 or 1, else 11 - r) over the digits before
// the check digit, with the state's length, weights and fixed leading digits.
struct RegraInscricao {
  std::string_view uf;
  std::string_view prefixo;
  std::vector<int> pesos;  // one per digit before the check digit
};

inline const std::vector<RegraInscricao>& RegrasInscricao() {
  static const std::vector<RegraInscricao> kRegras = {
      {"RS", "", {2, 9, 8, 7, 6, 5, 4, 3, 2}}, {"SC", "", {9, 8, 7, 6, 5, 4, 3, 2}},
      {"CE", "", {9, 8, 7, 6, 5, 4, 3, 2}},    {"ES", "", {9, 8, 7, 6, 5, 4, 3, 2}},
      {"PB", "", {9, 8, 7, 6, 5, 4, 3, 2}},    {"PI", "", {9, 8, 7, 6, 5, 4, 3, 2}},
      {"SE", "", {9, 8, 7, 6, 5, 4, 3, 2}},    {"MA", "12", {9, 8, 7, 6, 5, 4, 3, 2}},
      {"MS", "28", {9, 8, 7, 6, 5, 4, 3, 2}},
  };
  return kRegras;
}

// A valid registration of the state, its leading digits never zero.
inline std::string InscricaoValida(Sorteio& s, const RegraInscricao& regra) {
  std::string base(regra.prefixo);
  base += static_cast<char>('1' + s.Entre(0, 8));
  while (base.size() < regra.pesos.size()) base += static_cast<char>('0' + s.Entre(0, 9));
  int soma = 0;
  for (std::size_t i = 0; i < regra.pesos.size(); ++i) soma += (base[i] - '0') * regra.pesos[i];
  const int r = soma % 11;
  return base + static_cast<char>('0' + (r < 2 ? 0 : 11 - r));
}

// A valid GIA ST 2 main record to start a test from: January 2014, RS
// registration 2243658792, UF RS, marked without movement with every amount
// zero, no instalment, CNPJ 11.222.333/0001-81, CPF 123.456.789-09, dated
// 10/02/2014, no annexes; 797 columns.
inline std::string RegistroA0Zerado() {
  std::string r(797, ' ');
  Poe(r, 1, "A0GST02");
  Poe(r, 8, "012014");
  Poe(r, 14, "2243658792");
  Poe(r, 28, "X");
  for (int i = 0; i < 6; ++i) Poe(r, 30 + 23 * i, std::string(23, '0'));
  Poe(r, 168, "RS");
  Poe(r, 170, std::string(15 * 15, '0'));
  Poe(r, 395, "11222333000181");
  Poe(r, 409, "EMPRESA SUBSTITUTA LTDA");
  Poe(r, 455, "12345678909");
  Poe(r, 466, "FULANO DE TAL");
  Poe(r, 496, std::string(24, '0'));
  Poe(r, 560, "PORTO ALEGRE");
  Poe(r, 590, "20140210");
  Poe(r, 778, "NN");
  Poe(r, 786, "000000000000");
  return r;
}

// One generated declaration: its records and what its receipt entry shows.
struct DeclaracaoST02 {
  std::vector<std::string> linhas;  // the "A0" first, each without its line end
  std::string inscricao;            // as in columns 14-27
  std::string periodo;              // MMAAAA

  [[nodiscard]] std::string EntradaRecibo() const {
    return inscricao + " " + periodo.substr(0, 2) + "/" + periodo.substr(2) + "  ";
  }
};

inline std::string Arquivo(const std::vector<DeclaracaoST02>& declaracoes) {
  std::string arquivo;
  for (const auto& d : declaracoes)
    for (const auto& linha : d.linhas) arquivo += linha + "\r\n";
  return arquivo;
}

class GeradorGIAST02 {
 public:
  // A file of one state (the UF must be the same in every declaration),
  // drawn from the states the generator knows unless `uf` names one.
  explicit GeradorGIAST02(std::uint64_t semente, std::string_view uf = {}) : s_(semente) {
    const auto& regras = RegrasInscricao();
    regra_ = &regras[static_cast<std::size_t>(s_.Entre(0, static_cast<std::int64_t>(regras.size()) - 1))];
    for (const auto& r : regras)
      if (r.uf == uf) regra_ = &r;
  }

  [[nodiscard]] std::string_view UF() const { return regra_->uf; }

  std::vector<DeclaracaoST02> Varias(int quantas) {
    std::vector<DeclaracaoST02> declaracoes;
    declaracoes.reserve(static_cast<std::size_t>(quantas));
    for (int i = 0; i < quantas; ++i) declaracoes.push_back(Proxima());
    return declaracoes;
  }

  DeclaracaoST02 Proxima() {
    DeclaracaoST02 d;
    d.inscricao = Texto(InscricaoValida(s_, *regra_), 14);
    const Mes mes = MesEntre(s_, 200007, 202512);
    d.periodo = mes.MMAAAA();
    const std::int64_t p = mes.ano() * 100 + mes.mes();

    std::string a0 = RegistroA0Zerado();
    Poe(a0, 8, d.periodo);
    Poe(a0, 14, d.inscricao);
    Poe(a0, 168, regra_->uf);
    Poe(a0, 29, s_.UmEm(5) ? "X" : " ");
    const bool longo = s_.UmEm(3);
    if (longo) a0 += Digitos(0, 15);

    // The annexes first: fields 14 and 15 are their totals.
    std::vector<std::string> anexos;
    const auto a1 = Anexos(anexos, "A1", mes, s_.UmEm(4) ? 0 : static_cast<int>(s_.Entre(1, 4)));
    const auto a2 = Anexos(anexos, "A2", mes, s_.UmEm(2) ? 0 : static_cast<int>(s_.Entre(1, 3)));
    const int a3 = s_.UmEm(2) ? 0 : static_cast<int>(s_.Entre(1, 4));
    AnexosIII(anexos, d.inscricao, a3);

    const bool sem_movimento = a1.second == 0 && a2.second == 0 && s_.UmEm(3);
    if (sem_movimento) {
      // Only the fields without the mark rule may hold amounts: 16 and 20.
      const std::int64_t v16 = s_.UmEm(2) ? 0 : s_.Entre(1, 99999);
      Poe(a0, CampoValor(16), Digitos(v16, 15));
      Poe(a0, CampoValor(20), Digitos(v16, 15));
    } else {
      Poe(a0, 28, " ");
      Movimento(a0, p, longo, a1.second, a2.second);
    }

    Poe(a0, 395, CNPJValido(s_));
    Poe(a0, 409, Texto("DISTRIBUIDORA " + std::string(s_.Um(kResponsaveis)), 46));
    Poe(a0, 455, CPFValido(s_));
    Poe(a0, 466, Texto(s_.Um(kResponsaveis), 30));
    Poe(a0, 496, DigitosAleatorios(s_, 24));
    Poe(a0, 560, Texto(s_.Um(kLocais), 30));
    const Mes entrega{mes.indice + static_cast<int>(s_.Entre(1, 24))};
    Poe(a0, 590,
        Digitos(entrega.ano(), 4) + Digitos(entrega.mes(), 2) +
            Digitos(s_.Entre(1, DiasDoMes(entrega.mes(), entrega.ano())), 2));
    Poe(a0, 778, s_.UmEm(2) ? "S" : "N");
    Poe(a0, 779, a3 > 0 ? "S" : "N");
    Poe(a0, 786, Digitos(a1.first, 4) + Digitos(a2.first, 4) + Digitos(a3, 4));

    d.linhas.push_back(std::move(a0));
    d.linhas.insert(d.linhas.end(), anexos.begin(), anexos.end());
    return d;
  }

 private:
  static constexpr int CampoValor(int numero) { return 170 + 15 * (numero - 7); }

  // "A1" or "A2" records dated in the five years up to the reference month;
  // returns their count and the sum of their amounts.
  std::pair<int, std::int64_t> Anexos(std::vector<std::string>& linhas, std::string_view tipo, Mes mes, int quantos) {
    std::int64_t total = 0;
    std::int64_t numero = s_.Entre(1, 9000000);
    for (int i = 0; i < quantos; ++i) {
      const Mes quando{static_cast<int>(s_.Entre(Mes::De((mes.ano() - 5) * 100 + 1).indice, mes.indice))};
      const std::int64_t valor = s_.Entre(1, 5000000);
      total += valor;
      std::string r = std::string(tipo) + Digitos(numero++, 8) + Digitos(s_.Entre(1, 999), 3) +
                      Texto(InscricaoValida(s_, *regra_), 14) + Digitos(quando.ano(), 4) + Digitos(quando.mes(), 2) +
                      Digitos(s_.Entre(1, DiasDoMes(quando.mes(), quando.ano())), 2) + Digitos(valor, 15);
      linhas.push_back(std::move(r));
    }
    return {quantos, total};
  }

  // "A3" records: counterparts other than the declarant, no two in a row the
  // same, amount A above amount B.
  void AnexosIII(std::vector<std::string>& linhas, const std::string& declarante, int quantos) {
    std::string anterior;
    for (int i = 0; i < quantos; ++i) {
      std::string inscricao;
      do {
        inscricao = Texto(InscricaoValida(s_, *regra_), 14);
      } while (inscricao == declarante || inscricao == anterior);
      anterior = inscricao;
      const std::int64_t b = s_.Entre(1, 1000000);
      linhas.push_back("A3" + inscricao + Digitos(b + s_.Entre(1, 1000000), 15) + Digitos(b, 15));
    }
  }

  // The amounts of a declaration with movement. Usually a debit balance
  // (field 13 above fields 14 to 17) paid in instalments; now and then a
  // credit balance carried forward in field 20 with nothing to pay.
  void Movimento(std::string& a0, std::int64_t p, bool longo, std::int64_t v14, std::int64_t v15) {
    const bool novo_saldo = p >= 201302;
    const std::int64_t v16 = s_.UmEm(2) ? 0 : s_.Entre(1, 200000);
    const std::int64_t v17 = s_.Entre(0, 200000);
    const std::int64_t credito = v14 + v15 + v16 + v17;
    std::int64_t v13 = 0;
    std::int64_t v19 = 0;
    std::int64_t x = 0;
    std::int64_t v18 = 0;
    std::int64_t v20 = 0;
    std::int64_t v21 = 0;
    if (credito > 0 && s_.UmEm(5)) {
      // Credit: R + (D - C) + X below zero.
      v13 = s_.Entre(0, credito - 1);
      v19 = s_.Entre(0, (credito - v13 - 1) / 2);
      x = longo && novo_saldo ? s_.Entre(0, credito - v13 - v19 - 1) : 0;
      v20 = novo_saldo ? credito - v13 : std::max<std::int64_t>(0, credito - v13 - v19);
    } else {
      v13 = credito + s_.Entre(1, 5000000);
      v19 = s_.Entre(0, 100000);
      x = longo ? s_.Entre(0, 100000) : 0;
      v18 = v13 - credito;
      v21 = v19 + v18 + (novo_saldo ? x : 0);
    }
    const std::int64_t v12 = v13 + s_.Entre(1, 1000000);
    const std::int64_t v10 = s_.Entre(0, 1000000);
    const std::int64_t v11 = v10 + s_.Entre(1, 1000000);
    const std::array<std::pair<int, std::int64_t>, 15> campos = {{{7, s_.Entre(0, 9999999)},
                                                                  {8, s_.Entre(0, 9999999)},
                                                                  {9, s_.Entre(0, 9999999)},
                                                                  {10, v10},
                                                                  {11, v11},
                                                                  {12, v12},
                                                                  {13, v13},
                                                                  {14, v14},
                                                                  {15, v15},
                                                                  {16, v16},
                                                                  {17, v17},
                                                                  {18, v18},
                                                                  {19, v19},
                                                                  {20, v20},
                                                                  {21, v21}}};
    for (const auto& [numero, valor] : campos) Poe(a0, CampoValor(numero), Digitos(valor, 15));
    if (longo) Poe(a0, 798, Digitos(x, 15));
    Parcelas(a0, p, v21);
  }

  // Field 21 in one to six instalments due on distinct days from the
  // reference month on; none when it is zero.
  void Parcelas(std::string& a0, std::int64_t p, std::int64_t total) {
    if (total == 0) return;
    const int quantas = static_cast<int>(s_.Entre(1, std::min<std::int64_t>(6, total)));
    const auto valores = Reparte(s_, total, quantas);
    Mes mes = Mes::De(static_cast<int>(p));
    for (int i = 0; i < quantas; ++i) {
      mes.indice += static_cast<int>(s_.Entre(i == 0 ? 0 : 1, 2));
      const std::string data = Digitos(mes.ano(), 4) + Digitos(mes.mes(), 2) + Digitos(s_.Entre(1, 28), 2);
      Poe(a0, 30 + 23 * i, data + Digitos(valores[static_cast<std::size_t>(i)], 15));
    }
  }

  Sorteio s_;
  const RegraInscricao* regra_;
};

}  // namespace geradores
