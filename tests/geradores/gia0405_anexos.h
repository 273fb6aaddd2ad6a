// Generator of realistic valid annex records (X01 to X12) of a GIA 4/5
// declaration: every type, consistent among themselves (X03A codes of X03,
// X05A/X05B amounts per CFOP of X05, X07A/X07B summing to X07) and with the
// main record through TotaisAnexosGIA0405, deterministic from a seed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/geradores/comum.h"

namespace geradores {

inline constexpr int kTamanhoRegistroGIA0405 = 898;
inline constexpr int kTiposAnexoGIA0405 = 17;

// The annex types in the order of their count index (1 to 17), with the
// occurrences a record may hold.
struct TipoAnexoGIA0405 {
  std::string_view tipo;
  int maximo;
  int tamanho;
};
// clang-format off
inline constexpr std::array<TipoAnexoGIA0405, kTiposAnexoGIA0405> kAnexosGIA0405 = {{
    {"X01 ", 12, 68}, {"X02 ", 32, 26}, {"X03 ", 53, 16}, {"X03A", 22, 38}, {"X04 ", 19, 44}, {"X05 ", 12, 68},
    {"X05A", 44, 19}, {"X05B", 44, 19}, {"X06 ", 32, 26}, {"X07 ", 1, 198}, {"X07A", 29, 29}, {"X07B", 29, 29},
    {"X08 ", 17, 48}, {"X09 ", 22, 38}, {"X10 ", 17, 48}, {"X11 ", 30, 28}, {"X12 ", 29, 29}}};
// clang-format on

// Count indexes, for readability.
// clang-format off
enum IndiceAnexoGIA0405 {
  kX01 = 1, kX02, kX03, kX03A, kX04, kX05, kX05A, kX05B, kX06, kX07, kX07A, kX07B, kX08, kX09, kX10, kX11, kX12
};
// clang-format on

// Columns 1-35 of a declaration: what every annex record repeats of its
// main record, the mark "****" included (7-14 and 15 are not compared, but a
// generated file keeps them).
struct PrefixoGIA0405 {
  std::string versao = "05";
  std::string campos = "00000000";  // columns 7-14
  char indicador = ' ';
  std::string periodo = "052005";  // MMAAAA
  std::string cgcte = "1234567897";

  [[nodiscard]] Mes Referencia() const { return Mes::De(std::stoi(periodo.substr(2, 4) + periodo.substr(0, 2))); }
  [[nodiscard]] int UltimoDia() const { return DiasDoMes(Referencia().mes(), Referencia().ano()); }
  // Columns 1-43 of a record of `tipo` with `sequencia` in 36-39.
  [[nodiscard]] std::string Cabecalho(int sequencia, std::string_view tipo) const {
    return std::string("****") + versao + campos + indicador + "01" + Digitos(UltimoDia(), 2) + periodo + cgcte +
           Digitos(sequencia, 4) + std::string(tipo);
  }
};

// One whole annex record: prefix, the number of occurrences at 44-45, the
// occurrences from column 46, blanks after the last one.
inline std::string RegistroAnexo(const PrefixoGIA0405& prefixo, int sequencia, std::string_view tipo,
                                 const std::vector<std::string>& ocorrencias) {
  std::string registro = prefixo.Cabecalho(sequencia, tipo) + Digitos(static_cast<int>(ocorrencias.size()), 2);
  for (const auto& o : ocorrencias) registro += o;
  registro.resize(kTamanhoRegistroGIA0405, ' ');
  return registro;
}

// The occurrence layouts, field by field (amounts of 13 digits).
inline std::string Valor13(std::int64_t valor) { return Digitos(valor, 13); }

inline std::string OcorrenciaX01X05(int cfop, std::int64_t v1, std::int64_t v2, std::int64_t v3, std::int64_t v4,
                                    std::int64_t v5) {
  return Digitos(cfop, 3) + Valor13(v1) + Valor13(v2) + Valor13(v3) + Valor13(v4) + Valor13(v5);
}
inline std::string OcorrenciaX02X06(std::string_view cgcte, int codigo, std::int64_t valor) {
  return std::string(cgcte) + Digitos(codigo, 3) + Valor13(valor);
}
inline std::string OcorrenciaX03(int codigo, std::int64_t valor) { return Digitos(codigo, 3) + Valor13(valor); }
inline std::string OcorrenciaX03A(int codigo, char tipo, std::int64_t numero, int parcela, std::string_view cgcte,
                                  std::int64_t valor) {
  return Digitos(codigo, 3) + tipo + Digitos(numero, 9) + Digitos(parcela, 2) + std::string(cgcte) + Valor13(valor);
}
// Period: days `dia1` to `dia2` of `mes`; date DDMMAAAA.
inline std::string OcorrenciaX04(int dia1, int dia2, Mes mes, std::string_view data, std::int64_t v1, std::int64_t v2) {
  return Digitos(dia1, 2) + Digitos(dia2, 2) + mes.MMAAAA() + std::string(data) + Valor13(v1) + Valor13(v2);
}
inline std::string OcorrenciaX05AB(int cfop, int codigo, std::int64_t valor) {
  return Digitos(cfop, 3) + Digitos(codigo, 3) + Valor13(valor);
}
inline std::string AnexoX07(std::int64_t a1, std::int64_t a2, std::string_view descricao_a2, std::int64_t b1,
                            std::int64_t b2, std::string_view descricao_b2) {
  return Valor13(a1) + Valor13(a2) + Texto(descricao_a2, 60) + Valor13(a1 + a2) + Valor13(b1) + Valor13(b2) +
         Texto(descricao_b2, 60) + Valor13(b1 + b2);
}
inline std::string OcorrenciaX07AB(int cfop, std::int64_t v1, std::int64_t v2) {
  return Digitos(cfop, 3) + Valor13(v1) + Valor13(v2);
}
inline std::string OcorrenciaX08X10(int dia1, int dia2, std::string_view data, std::int64_t v1, std::int64_t v2,
                                    std::string_view cgcte) {
  return Digitos(dia1, 2) + Digitos(dia2, 2) + std::string(data) + Valor13(v1) + Valor13(v2) + std::string(cgcte);
}
inline std::string OcorrenciaX09(int dia, std::int64_t v1, std::int64_t v2, std::string_view cgcte) {
  return Digitos(dia, 2) + Valor13(v1) + Valor13(v2) + std::string(cgcte);
}
inline std::string OcorrenciaX11(std::string_view codigo, std::int64_t v1, std::int64_t v2) {
  return Texto(codigo, 2) + Valor13(v1) + Valor13(v2);
}
inline std::string OcorrenciaX12(int codigo, std::int64_t v1, std::int64_t v2) {
  return Digitos(codigo, 3) + Valor13(v1) + Valor13(v2);
}

// What the main record must carry for its annexes to close without findings:
// the declared line counts (occurrences per count index), the annex-7 flag
// and the amounts that the closing compares with the annex sums. The X08 and
// X10 sums are those of the annexes alone: the main record makes
// C5 = G1 + G2 + SomaX08A + SomaX08B and C10 = C8 - C9 = SomaX10A - C3.
struct TotaisAnexosGIA0405 {
  std::array<int, kTiposAnexoGIA0405> linhas{};  // indexed 0..16 for count indexes 1..17
  char anexo7 = 'N';
  std::int64_t A1 = 0, A3 = 0, A4 = 0, A5 = 0;
  std::int64_t B1 = 0, B4 = 0;
  std::int64_t SomaX08A = 0, SomaX08B = 0;
  std::int64_t C6 = 0;
  std::int64_t SomaX10A = 0, C7 = 0;
  std::int64_t E2 = 0, F2 = 0, E3 = 0, F3 = 0;

  [[nodiscard]] int Linhas(int indice) const { return linhas[static_cast<std::size_t>(indice - 1)]; }
};

struct AnexosGeradosGIA0405 {
  std::vector<std::string> registros;  // in file order, without line ends
  TotaisAnexosGIA0405 totais;
};

// How many annex records of each type a declaration gets.
struct OpcoesAnexosGIA0405 {
  int registros_por_tipo = 1;
  // Occurrences per record at most (0: up to what the type allows). With 999
  // occurrences per type at most, a valid declaration can hold thousands of
  // records of one occurrence each.
  int maximo_ocorrencias = 0;
  bool com_anexo7 = true;  // X07, X07A and X07B
};

// Annex records of every type for one declaration, in count-index order (so
// that X03 comes before X03A, X05 before X05A and X05B, X07 before X07A/B).
class GeradorAnexosGIA0405 {
 public:
  explicit GeradorAnexosGIA0405(std::uint64_t semente) : s_(semente) {}

  // The records start at sequence number `sequencia` (2 after the main record).
  AnexosGeradosGIA0405 Gera(const PrefixoGIA0405& prefixo, int sequencia, const OpcoesAnexosGIA0405& opcoes = {}) {
    prefixo_ = prefixo;
    opcoes_ = opcoes;
    sequencia_ = sequencia;
    r_ = {};
    ref_ = prefixo.Referencia();
    X01();
    X02X06(kX02, r_.totais.A3);
    X03();
    X04();
    X05();
    X02X06(kX06, r_.totais.B4);
    if (opcoes.com_anexo7) X07();
    X08X10(kX08, r_.totais.SomaX08A, r_.totais.SomaX08B);
    X09();
    X08X10(kX10, r_.totais.SomaX10A, r_.totais.C7);
    X11();
    X12();
    return std::move(r_);
  }

 private:
  static constexpr std::array<int, 16> kCFOPs = {111, 112, 121, 122, 171, 199, 211, 212,
                                                 511, 512, 521, 522, 571, 599, 611, 612};
  static constexpr std::array<std::string_view, 4> kDescricoes = {
      "AJUSTE DE CREDITO POR DEVOLUCAO", "ESTORNO DE DEBITO", "CREDITO PRESUMIDO", "DIFERENCA DE ALIQUOTA"};

  const TipoAnexoGIA0405& Tipo(int indice) const { return kAnexosGIA0405[static_cast<std::size_t>(indice - 1)]; }

  // Occurrences per record for a type: at most 999 per declaration.
  int Quantas(int indice) {
    int maximo = Tipo(indice).maximo;
    if (opcoes_.maximo_ocorrencias > 0 && opcoes_.maximo_ocorrencias < maximo) maximo = opcoes_.maximo_ocorrencias;
    const int restam = 999 - r_.totais.Linhas(indice);
    if (maximo > restam) maximo = restam;
    return static_cast<int>(s_.Entre(1, maximo));
  }

  // Writes one record of the type and counts its occurrences.
  void Registro(int indice, const std::vector<std::string>& ocorrencias) {
    if (ocorrencias.empty()) return;
    r_.registros.push_back(RegistroAnexo(prefixo_, sequencia_++, Tipo(indice).tipo, ocorrencias));
    r_.totais.linhas[static_cast<std::size_t>(indice - 1)] += static_cast<int>(ocorrencias.size());
  }

  // Records of one type whose occurrences come from `faz`.
  template <typename Faz>
  void Registros(int indice, Faz faz) {
    for (int k = 0; k < opcoes_.registros_por_tipo && r_.totais.Linhas(indice) < 999; ++k) {
      std::vector<std::string> ocorrencias;
      const int n = Quantas(indice);
      for (int i = 0; i < n; ++i) ocorrencias.push_back(faz());
      Registro(indice, ocorrencias);
    }
  }

  std::int64_t Montante() { return s_.UmEm(8) ? 0 : s_.Entre(1, 99'999'999); }
  std::string CGCTEOuZero() { return s_.UmEm(5) ? std::string(10, '0') : CGCTEValido(s_); }
  int CFOP() { return s_.Um(kCFOPs); }
  int Dia() { return static_cast<int>(s_.Entre(1, prefixo_.UltimoDia())); }
  // A date in the month `mes`.
  std::string Data(Mes mes) { return mes.DDMMAAAA(static_cast<int>(s_.Entre(1, DiasDoMes(mes.mes(), mes.ano())))); }

  void X01() {
    Registros(kX01, [&] {
      const std::int64_t v3 = Montante();
      r_.totais.A1 += v3;
      return OcorrenciaX01X05(CFOP(), Montante(), Montante(), v3, Montante(), Montante());
    });
  }

  void X02X06(int indice, std::int64_t& soma) {
    Registros(indice, [&] {
      const std::int64_t valor = Montante();
      soma += valor;
      return OcorrenciaX02X06(CGCTEValido(s_), static_cast<int>(s_.Entre(1, 999)), valor);
    });
  }

  void X03() {
    codigos_.clear();
    Registros(kX03, [&] {
      const int codigo = static_cast<int>(s_.Entre(1, 999));
      codigos_.push_back(codigo);
      const std::int64_t valor = Montante();
      r_.totais.A4 += valor;
      return OcorrenciaX03(codigo, valor);
    });
    Registros(kX03A, [&] {
      const int codigo =
          codigos_[static_cast<std::size_t>(s_.Entre(0, static_cast<std::int64_t>(codigos_.size()) - 1))];
      static constexpr std::array<char, 3> kTipos = {'A', 'B', 'S'};
      return OcorrenciaX03A(codigo, s_.Um(kTipos), s_.Entre(1, 999'999'999), static_cast<int>(s_.Entre(1, 99)),
                            CGCTEOuZero(), Montante());
    });
  }

  // Periods of months before the reference month; dated at the latest in it.
  void X04() {
    Registros(kX04, [&] {
      const Mes mes{ref_.indice - static_cast<int>(s_.Entre(1, 12))};
      const int ultimo = DiasDoMes(mes.mes(), mes.ano());
      const int dia1 = s_.UmEm(3) ? static_cast<int>(s_.Entre(1, ultimo)) : 1;
      const int dia2 = static_cast<int>(s_.Entre(dia1, ultimo));
      const Mes vencimento{static_cast<int>(s_.Entre(mes.indice, ref_.indice))};
      const std::int64_t v1 = Montante();
      const std::int64_t v2 = v1 + Montante();
      r_.totais.A5 += v2 - v1;
      return OcorrenciaX04(dia1, dia2, mes, Data(vencimento), v1, v2);
    });
  }

  // X05 per CFOP, then X05A and X05B split each CFOP's amount 4 and 5.
  void X05() {
    struct PorCFOP {
      int cfop;
      std::int64_t x05a, x05b;
    };
    std::vector<PorCFOP> cfops;
    Registros(kX05, [&] {
      const int cfop = CFOP();
      const std::int64_t v3 = Montante();
      const std::int64_t v4 = Montante();
      const std::int64_t v5 = Montante();
      r_.totais.B1 += v3;
      bool achou = false;
      for (auto& c : cfops)
        if (c.cfop == cfop) {
          c.x05a += v4;
          c.x05b += v5;
          achou = true;
        }
      if (!achou) cfops.push_back({cfop, v4, v5});
      return OcorrenciaX01X05(cfop, Montante(), Montante(), v3, v4, v5);
    });
    X05AB(kX05A, cfops, [](const PorCFOP& c) { return c.x05a; });
    X05AB(kX05B, cfops, [](const PorCFOP& c) { return c.x05b; });
  }

  template <typename PorCFOP, typename Valor>
  void X05AB(int indice, const std::vector<PorCFOP>& cfops, Valor valor) {
    std::vector<std::string> todas;
    for (const auto& c : cfops) {
      const std::int64_t total = valor(c);
      if (total == 0) continue;
      const int partes = static_cast<int>(s_.Entre(1, total < 3 ? total : 3));
      for (const std::int64_t parte : Reparte(s_, total, partes))
        todas.push_back(OcorrenciaX05AB(c.cfop, static_cast<int>(s_.Entre(1, 999)), parte));
    }
    const int maximo = opcoes_.maximo_ocorrencias > 0 && opcoes_.maximo_ocorrencias < Tipo(indice).maximo
                           ? opcoes_.maximo_ocorrencias
                           : Tipo(indice).maximo;
    for (std::size_t i = 0; i < todas.size(); i += static_cast<std::size_t>(maximo))
      Registro(indice,
               std::vector<std::string>(todas.begin() + static_cast<std::ptrdiff_t>(i),
                                        todas.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                            todas.size(), i + static_cast<std::size_t>(maximo)))));
  }

  // One X07; X07A and X07B amounts 2 add up to its A1 and B1.
  void X07() {
    r_.totais.anexo7 = 'S';
    const std::int64_t a1 = s_.Entre(30, 99'999'999);
    const std::int64_t b1 = s_.Entre(30, 99'999'999);
    const std::int64_t a2 = Montante();
    const std::int64_t b2 = Montante();
    Registro(kX07, {AnexoX07(a1, a2, a2 > 0 ? s_.Um(kDescricoes) : "", b1, b2, b2 > 0 ? s_.Um(kDescricoes) : "")});
    X07AB(kX07A, a1);
    X07AB(kX07B, b1);
  }

  void X07AB(int indice, std::int64_t alvo) {
    const int n =
        static_cast<int>(s_.Entre(1, opcoes_.maximo_ocorrencias > 0 ? std::min(29, opcoes_.maximo_ocorrencias) : 29));
    std::vector<std::string> ocorrencias;
    for (const std::int64_t parte : Reparte(s_, alvo, n))
      ocorrencias.push_back(OcorrenciaX07AB(CFOP(), Montante(), parte));
    Registro(indice, ocorrencias);
  }

  // Days within the declaration's period; dated in the reference month or later.
  void X08X10(int indice, std::int64_t& soma1, std::int64_t& soma2) {
    Registros(indice, [&] {
      const int dia1 = Dia();
      const int dia2 = static_cast<int>(s_.Entre(dia1, prefixo_.UltimoDia()));
      const std::int64_t v1 = Montante();
      const std::int64_t v2 = Montante();
      soma1 += v1;
      soma2 += v2;
      return OcorrenciaX08X10(dia1, dia2, Data(Mes{ref_.indice + static_cast<int>(s_.Entre(0, 2))}), v1, v2,
                              CGCTEOuZero());
    });
  }

  void X09() {
    Registros(kX09, [&] {
      const std::int64_t v1 = Montante();
      const std::int64_t v2 = Montante();
      r_.totais.C6 += v1 + v2;
      return OcorrenciaX09(Dia(), v1, v2, CGCTEOuZero());
    });
  }

  void X11() {
    Registros(kX11, [&] {
      const std::int64_t v1 = Montante();
      const std::int64_t v2 = Montante();
      r_.totais.E2 += v1;
      r_.totais.F2 += v2;
      return OcorrenciaX11(Digitos(s_.Entre(1, 99), 2), v1, v2);
    });
  }

  void X12() {
    Registros(kX12, [&] {
      const std::int64_t v1 = Montante();
      const std::int64_t v2 = Montante();
      r_.totais.E3 += v1;
      r_.totais.F3 += v2;
      return OcorrenciaX12(static_cast<int>(s_.Entre(1, 999)), v1, v2);
    });
  }

  Sorteio s_;
  PrefixoGIA0405 prefixo_;
  OpcoesAnexosGIA0405 opcoes_;
  int sequencia_ = 2;
  Mes ref_{};
  std::vector<int> codigos_;
  AnexosGeradosGIA0405 r_;
};

}  // namespace geradores
