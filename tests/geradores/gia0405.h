// Generator of realistic valid GIA version 4 and 5 files: main records whose
// totals agree among themselves and with the annex records that
// gia0405_anexos.h generates for them, deterministic from a seed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/geradores/gia0405_anexos.h"

namespace geradores {

// The main record amounts that no annex details, named for their place in
// the layout (A2 at columns 59-73 and so on). The amounts that the closing
// compares with the annexes come from TotaisAnexosGIA0405; the totals A, B,
// E and F and the amounts D1 and D2 are computed by the record.
struct MontantesGIA0405 {
  std::int64_t A2 = 0, A6 = 0;
  std::string DescricaoA6;
  std::int64_t B2 = 0, B3 = 0, B5 = 0, B6 = 0;
  std::string DescricaoB6;
  // C3 is taken off the X10 sum: it must not exceed it, or C10 would be negative.
  std::int64_t C1 = 0, C2 = 0, C3 = 0, C4 = 0, C9 = 0;
  std::int64_t M525 = 0, M540 = 0, M555 = 0;
  char FlagSaldo = 'N';  // column 834: D1 = C3 + C10 and D2 = C4 + C9 under "S", else both zero
  std::int64_t M600 = 0;
  std::int64_t N615 = 0;  // 6 digits
  std::int64_t M621 = 0;
  std::int64_t N636 = 0;  // 7 digits
  std::int64_t M643 = 0, M658 = 0;
  std::int64_t E1 = 0, F1 = 0;
  std::int64_t G1 = 0, G2 = 0;
};

// The main record (sequence 0001) of a declaration with these annexes.
inline std::string RegistroPrincipalGIA0405(const PrefixoGIA0405& prefixo, const MontantesGIA0405& m,
                                            const TotaisAnexosGIA0405& t) {
  std::string r = prefixo.Cabecalho(1, "ABC ");
  r.resize(kTamanhoRegistroGIA0405, ' ');
  const auto montante = [&r](int coluna, std::int64_t valor) { Poe(r, coluna, Digitos(valor, 15)); };
  montante(44, t.A1);
  montante(59, m.A2);
  montante(74, t.A3);
  montante(89, t.A4);
  montante(104, t.A5);
  montante(119, m.A6);
  Poe(r, 134, Texto(m.DescricaoA6, 60));
  montante(194, t.A1 + m.A2 + t.A3 + t.A4 + t.A5 + m.A6);
  montante(209, t.B1);
  montante(224, m.B2);
  montante(239, m.B3);
  montante(254, t.B4);
  montante(269, m.B5);
  montante(284, m.B6);
  Poe(r, 299, Texto(m.DescricaoB6, 60));
  montante(359, t.B1 + m.B2 + m.B3 + t.B4 + m.B5 + m.B6);
  Poe(r, 374, std::string(1, t.anexo7));
  const std::int64_t c5 = m.G1 + m.G2 + t.SomaX08A + t.SomaX08B;
  const std::int64_t c10 = t.SomaX10A - m.C3;
  const std::int64_t c8 = m.C9 + c10;
  const std::array<std::int64_t, 13> c = {m.C1, m.C2, m.C3, m.C4,   c5,     t.C6,  t.C7,
                                          c8,   m.C9, c10,  m.M525, m.M540, m.M555};
  for (std::size_t i = 0; i < c.size(); ++i) montante(375 + 15 * static_cast<int>(i), c[i]);
  const bool saldo = m.FlagSaldo == 'S';
  montante(570, saldo ? m.C3 + c10 : 0);
  montante(585, saldo ? m.C4 + m.C9 : 0);
  montante(600, m.M600);
  Poe(r, 615, Digitos(m.N615, 6));
  montante(621, m.M621);
  Poe(r, 636, Digitos(m.N636, 7));
  montante(643, m.M643);
  montante(658, m.M658);
  montante(673, m.E1);
  montante(688, m.F1);
  montante(703, t.E2);
  montante(718, t.F2);
  montante(733, t.E3);
  montante(748, t.F3);
  montante(763, m.E1 + t.E2 + t.E3);
  montante(778, m.F1 + t.F2 + t.F3);
  montante(804, m.G1);
  montante(819, m.G2);
  Poe(r, 834, std::string(1, m.FlagSaldo));
  for (std::size_t k = 0; k < t.linhas.size(); ++k) Poe(r, 841 + 3 * static_cast<int>(k), Digitos(t.linhas[k], 3));
  return r;
}

// One declaration: its identity, its main record amounts and its annexes.
struct DeclaracaoGIA0405 {
  PrefixoGIA0405 prefixo;
  MontantesGIA0405 montantes;
  AnexosGeradosGIA0405 anexos;

  [[nodiscard]] std::string RegistroPrincipal() const {
    return RegistroPrincipalGIA0405(prefixo, montantes, anexos.totais);
  }

  // The records in file order, without line ends.
  [[nodiscard]] std::vector<std::string> Registros() const {
    std::vector<std::string> registros;
    registros.reserve(anexos.registros.size() + 1);
    registros.push_back(RegistroPrincipal());
    registros.insert(registros.end(), anexos.registros.begin(), anexos.registros.end());
    return registros;
  }

  // "123/4567897    05/2005  ": the 24-character receipt entry.
  [[nodiscard]] std::string EntradaRecibo() const { return geradores::EntradaRecibo(prefixo.cgcte, prefixo.periodo); }
};

// Declarations of plausible taxpayers and amounts, with or without annexes.
class GeradorGIA0405 {
 public:
  // `versao` "04" or "05".
  GeradorGIA0405(std::uint64_t semente, std::string versao)
      : s_(semente), anexos_(semente ^ 0x5A5A5A5AULL), versao_(std::move(versao)) {}

  // A declaration without annexes.
  DeclaracaoGIA0405 Proxima() {
    DeclaracaoGIA0405 d;
    d.prefixo = Prefixo();
    d.montantes = Montantes(0);
    return d;
  }

  // A declaration with annex records of every type.
  DeclaracaoGIA0405 ProximaComAnexos(const OpcoesAnexosGIA0405& opcoes = {}) {
    DeclaracaoGIA0405 d;
    d.prefixo = Prefixo();
    d.anexos = anexos_.Gera(d.prefixo, 2, opcoes);
    d.montantes = Montantes(d.anexos.totais.SomaX10A);
    return d;
  }

 private:
  PrefixoGIA0405 Prefixo() {
    // Version 4 covers October 1998 to August 2000; version 5 the months after.
    const bool v4 = versao_ == "04";
    const Mes referencia = MesEntre(s_, v4 ? 199810 : 200009, v4 ? 200008 : 202412);
    PrefixoGIA0405 p;
    p.versao = versao_;
    p.campos = Mes{referencia.indice + 1}.DDMMAAAA(10);  // not examined
    p.indicador = s_.UmEm(6) ? 'X' : ' ';
    p.periodo = referencia.MMAAAA();
    p.cgcte = CGCTEValido(s_);
    return p;
  }

  MontantesGIA0405 Montantes(std::int64_t soma_x10a) {
    MontantesGIA0405 m;
    m.A2 = Quantia(90000000);
    m.A6 = Quantia(5000000);
    if (m.A6 > 0) m.DescricaoA6 = "OUTROS CREDITOS - ESTORNO DE DEBITO";
    m.B2 = Quantia(40000000);
    m.B3 = Quantia(20000000);
    m.B5 = Quantia(10000000);
    m.B6 = Quantia(3000000);
    if (m.B6 > 0) m.DescricaoB6 = "OUTROS DEBITOS - ESTORNO DE CREDITO";
    m.C1 = Quantia(60000000);
    m.C2 = Quantia(60000000);
    m.C3 = s_.Entre(0, soma_x10a);
    m.C4 = Quantia(8000000);
    m.C9 = Quantia(30000000);
    m.M525 = Quantia(1000000);
    m.M600 = Quantia(1000000);
    m.N615 = s_.Entre(0, 999999);
    m.M621 = Quantia(1000000);
    m.N636 = s_.Entre(0, 9999999);
    m.E1 = Quantia(7000000);
    m.F1 = Quantia(7000000);
    m.G1 = Quantia(2000000);
    m.G2 = Quantia(2000000);
    m.FlagSaldo = s_.UmEm(2) ? 'S' : 'N';
    return m;
  }

  // An amount in cents, zero about one time in four.
  std::int64_t Quantia(std::int64_t maximo) { return s_.UmEm(4) ? 0 : s_.Entre(1, maximo); }

  Sorteio s_;
  GeradorAnexosGIA0405 anexos_;
  std::string versao_;
};

// The whole file: every record ends with CR LF.
inline std::string Arquivo(const std::vector<DeclaracaoGIA0405>& declaracoes) {
  std::string arquivo;
  for (const auto& d : declaracoes)
    for (const auto& r : d.Registros()) arquivo += r + "\r\n";
  return arquivo;
}

}  // namespace geradores
