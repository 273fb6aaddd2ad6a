// The registration rules of the 27 states, one function per state in the
// order of the list of state codes, on two kinds of helper: the weighted sum
// of a run of digits and the mappings A to E that turn a sum into a check
// digit. Each function receives the registration as the contract left it:
// digits only (SP's rural producers: P and digits) and of any length.
#include "DllInscE32/estados.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace dllinsce32 {

namespace {

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

// Digit i of the registration, counted from 1 at the left (d1 ... dn).
int D(std::string_view inscricao, std::size_t i) { return inscricao[i - 1] - '0'; }

// The number that a run of digits spells (at most 8 are ever read here).
std::int64_t Valor(std::string_view digitos) {
  std::int64_t v = 0;
  for (const char c : digitos) v = v * 10 + (c - '0');
  return v;
}

// S = sum of di x wi over the base, the first weight on the first base digit.
// The base has exactly as many digits as there are weights.
int Soma(std::string_view base, std::span<const int> pesos) {
  assert(base.size() == pesos.size());
  int s = 0;
  for (std::size_t i = 0; i < pesos.size(); ++i) s += (base[i] - '0') * pesos[i];
  return s;
}

// The weights primeiro..2 ("weights 9..2" is Decrescente(9)), primeiro at most 10.
std::span<const int> Decrescente(std::size_t primeiro) {
  static constexpr std::array kDe10a2{10, 9, 8, 7, 6, 5, 4, 3, 2};
  assert(primeiro >= 2 && primeiro <= 10);
  return std::span<const int>(kDe10a2).last(primeiro - 1);
}

// The five mappings of a sum to a check digit.
// A (mod 11): 0 when r is 0 or 1, otherwise 11 - r.
int MapeamentoA(int s) {
  const int r = s % 11;
  return r <= 1 ? 0 : 11 - r;
}
// B (mod 11): 11 - r, where 10 and 11 become 0 and 1.
int MapeamentoB(int s) {
  const int v = 11 - s % 11;
  return v >= 10 ? v - 10 : v;
}
// C (mod 11): the units digit of r.
int MapeamentoC(int s) { return s % 11 % 10; }
// D (mod 10): 0 when r is 0, otherwise 10 - r.
int MapeamentoD(int s) {
  const int r = s % 10;
  return r == 0 ? 0 : 10 - r;
}
// E (mod 9): r itself.
int MapeamentoE(int s) { return s % 9; }

// The registration begins with one of the prefixes.
bool Prefixo(std::string_view inscricao, std::initializer_list<std::string_view> prefixos) {
  return std::ranges::any_of(prefixos, [inscricao](std::string_view p) { return inscricao.starts_with(p); });
}

// The most common rule: 9 digits, d9 from the base d1...d8 with weights 9..2,
// mapping A.
bool NoveDigitosModulo11(std::string_view inscricao) {
  return inscricao.size() == 9 && D(inscricao, 9) == MapeamentoA(Soma(inscricao.substr(0, 8), Decrescente(9)));
}

// ---------------------------------------------------------------------------
// The states
// ---------------------------------------------------------------------------

// AC and DF: 13 digits; d12 from d1...d11 and d13 from d1...d12, mapping A.
bool DigitosAC(std::string_view inscricao) {
  static constexpr std::array kPesos1{4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  static constexpr std::array kPesos2{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  return inscricao.size() == 13 && D(inscricao, 12) == MapeamentoA(Soma(inscricao.substr(0, 11), kPesos1)) &&
         D(inscricao, 13) == MapeamentoA(Soma(inscricao.substr(0, 12), kPesos2));
}

bool AC(std::string_view inscricao) { return Prefixo(inscricao, {"01"}) && DigitosAC(inscricao); }

// The third digit is not restricted.
bool AL(std::string_view inscricao) { return Prefixo(inscricao, {"24"}) && NoveDigitosModulo11(inscricao); }

// The value of d1...d8 chooses the constants p (added to the sum) and d (the
// digit when 11 - r is 11); 03000000 lies below every range.
bool AP(std::string_view inscricao) {
  struct Faixa {
    std::int64_t desde;
    int p;
    int d;
  };
  static constexpr std::array<Faixa, 3> kFaixas = {{
      {3000001, 5, 0},
      {3017001, 9, 1},
      {3019023, 0, 0},
  }};
  if (inscricao.size() != 9 || !Prefixo(inscricao, {"03"})) return false;
  const std::string_view base = inscricao.substr(0, 8);
  const std::int64_t n = Valor(base);
  const Faixa* faixa = nullptr;
  for (const Faixa& f : kFaixas)
    if (n >= f.desde) faixa = &f;
  if (faixa == nullptr) return false;
  const int v = 11 - (faixa->p + Soma(base, Decrescente(9))) % 11;
  const int dv = v == 10 ? 0 : v == 11 ? faixa->d : v;
  return D(inscricao, 9) == dv;
}

// A sum below 11 gives 11 - S; S = 0 gives 11, which no digit matches.
bool AM(std::string_view inscricao) {
  if (inscricao.size() != 9) return false;
  const int s = Soma(inscricao.substr(0, 8), Decrescente(9));
  const int dv = s < 11 ? 11 - s : MapeamentoA(s);
  return D(inscricao, 9) == dv;
}

// 8 or 9 digits; the last two are check digits, the last computed first and
// then added to the sum of the other. The selector (d1 for 8 digits, d2 for 9)
// chooses modulus 11 (6, 7, 9) or modulus 10 (any other digit).
bool BA(std::string_view inscricao) {
  const std::size_t n = inscricao.size();
  if (n != 8 && n != 9) return false;
  const int seletor = n == 8 ? D(inscricao, 1) : D(inscricao, 2);
  const bool modulo11 = seletor == 6 || seletor == 7 || seletor == 9;
  const auto mapeamento = modulo11 ? MapeamentoA : MapeamentoD;
  const std::string_view base = inscricao.substr(0, n - 2);
  // Last digit: the base with weights (n - 1)..2.
  const int ultimo = mapeamento(Soma(base, Decrescente(n - 1)));
  // The other: the base followed by the last digit, weights n..2.
  const int outro = mapeamento(Soma(base, Decrescente(n).first(n - 2)) + ultimo * 2);
  return D(inscricao, n) == ultimo && D(inscricao, n - 1) == outro;
}

bool CE(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// Check digits as AC; prefix 07, or 08 for the numbers issued since.
bool DF(std::string_view inscricao) { return Prefixo(inscricao, {"07", "08"}) && DigitosAC(inscricao); }

bool ES(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// Prefixes 10, 11 and 20 to 29. Remainder 1 gives 1 inside the range of the
// earlier rule (so its numbers stay valid) and 0 elsewhere; the base 11094402
// was issued with either digit.
bool GO(std::string_view inscricao) {
  if (inscricao.size() != 9) return false;
  const std::int64_t prefixo = Valor(inscricao.substr(0, 2));
  if (prefixo != 10 && prefixo != 11 && (prefixo < 20 || prefixo > 29)) return false;
  const std::string_view base = inscricao.substr(0, 8);
  const std::int64_t n = Valor(base);
  if (n == 11094402) return D(inscricao, 9) == 0 || D(inscricao, 9) == 1;
  const int r = Soma(base, Decrescente(9)) % 11;
  int dv = 11 - r;
  if (r == 0) dv = 0;
  if (r == 1) dv = n >= 10103105 && n <= 10119997 ? 1 : 0;
  return D(inscricao, 9) == dv;
}

bool MA(std::string_view inscricao) { return Prefixo(inscricao, {"12"}) && NoveDigitosModulo11(inscricao); }

// 9, 10 or 11 digits, padded with zeros on the left to 11; d11 from d1...d10.
bool MT(std::string_view inscricao) {
  static constexpr std::size_t kLargura = 11;
  static constexpr std::array kPesos{3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  if (inscricao.size() < 9 || inscricao.size() > kLargura) return false;
  std::array<char, kLargura> preenchida{};
  preenchida.fill('0');
  std::ranges::copy(inscricao, preenchida.end() - static_cast<std::ptrdiff_t>(inscricao.size()));
  const std::string_view onze(preenchida.data(), kLargura);
  return D(onze, 11) == MapeamentoA(Soma(onze.substr(0, 10), kPesos));
}

bool MS(std::string_view inscricao) { return Prefixo(inscricao, {"28"}) && NoveDigitosModulo11(inscricao); }

// 13 digits. d12: d1...d11 with a 0 inserted after d3, weights 1 2 1 2 ...,
// the digits of the products added, then up to the next multiple of 10.
// d13: d1...d12 (no inserted zero), mapping A.
bool MG(std::string_view inscricao) {
  static constexpr std::array kPesos2{3, 2, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
  if (inscricao.size() != 13) return false;
  std::array<char, 12> com_zero{};
  std::ranges::copy(inscricao.substr(0, 3), com_zero.begin());
  com_zero[3] = '0';
  std::ranges::copy(inscricao.substr(3, 8), com_zero.begin() + 4);
  int total = 0;
  for (std::size_t i = 0; i < com_zero.size(); ++i) {
    const int produto = (com_zero[i] - '0') * (i % 2 == 0 ? 1 : 2);
    total += produto / 10 + produto % 10;
  }
  const int dv1 = (10 - total % 10) % 10;
  return D(inscricao, 12) == dv1 && D(inscricao, 13) == MapeamentoA(Soma(inscricao.substr(0, 12), kPesos2));
}

bool PA(std::string_view inscricao) {
  return Prefixo(inscricao, {"15", "75", "76", "77", "78", "79"}) && NoveDigitosModulo11(inscricao);
}

bool PB(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// 10 digits; d9 from d1...d8 and d10 from d1...d9, mapping A.
bool PR(std::string_view inscricao) {
  static constexpr std::array kPesos1{3, 2, 7, 6, 5, 4, 3, 2};
  static constexpr std::array kPesos2{4, 3, 2, 7, 6, 5, 4, 3, 2};
  return inscricao.size() == 10 && D(inscricao, 9) == MapeamentoA(Soma(inscricao.substr(0, 8), kPesos1)) &&
         D(inscricao, 10) == MapeamentoA(Soma(inscricao.substr(0, 9), kPesos2));
}

// 9 digits: d8 and d9, mapping A. 14 digits (older format): d14, mapping B.
bool PE(std::string_view inscricao) {
  static constexpr std::array kPesos14{5, 4, 3, 2, 1, 9, 8, 7, 6, 5, 4, 3, 2};
  if (inscricao.size() == 9)
    return D(inscricao, 8) == MapeamentoA(Soma(inscricao.substr(0, 7), Decrescente(8))) &&
           D(inscricao, 9) == MapeamentoA(Soma(inscricao.substr(0, 8), Decrescente(9)));
  if (inscricao.size() == 14) return D(inscricao, 14) == MapeamentoB(Soma(inscricao.substr(0, 13), kPesos14));
  return false;
}

bool PI(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// 9 or 10 digits beginning 20; the last digit from all before it, weights
// 9..2 or 10..2, mapping A.
bool RN(std::string_view inscricao) {
  const std::size_t n = inscricao.size();
  if ((n != 9 && n != 10) || !Prefixo(inscricao, {"20"})) return false;
  return D(inscricao, n) == MapeamentoA(Soma(inscricao.substr(0, n - 1), Decrescente(n)));
}

// 8 digits; d8 from d1...d7, mapping A.
bool RJ(std::string_view inscricao) {
  static constexpr std::array kPesos{2, 7, 6, 5, 4, 3, 2};
  return inscricao.size() == 8 && D(inscricao, 8) == MapeamentoA(Soma(inscricao.substr(0, 7), kPesos));
}

// 9 digits: the municipality code d1...d3 stays out, d9 from d4...d8.
// 14 digits: d14 from d1...d13. Both mapping B.
bool RO(std::string_view inscricao) {
  static constexpr std::array kPesos14{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  if (inscricao.size() == 9) return D(inscricao, 9) == MapeamentoB(Soma(inscricao.substr(3, 5), Decrescente(6)));
  if (inscricao.size() == 14) return D(inscricao, 14) == MapeamentoB(Soma(inscricao.substr(0, 13), kPesos14));
  return false;
}

// 10 digits; the municipality code d1...d3 is not checked; d10 from d1...d9.
bool RS(std::string_view inscricao) {
  static constexpr std::array kPesos{2, 9, 8, 7, 6, 5, 4, 3, 2};
  return inscricao.size() == 10 && D(inscricao, 10) == MapeamentoA(Soma(inscricao.substr(0, 9), kPesos));
}

// 9 digits beginning 24; d9 = S mod 9 with rising weights.
bool RR(std::string_view inscricao) {
  static constexpr std::array kPesos{1, 2, 3, 4, 5, 6, 7, 8};
  return inscricao.size() == 9 && Prefixo(inscricao, {"24"}) &&
         D(inscricao, 9) == MapeamentoE(Soma(inscricao.substr(0, 8), kPesos));
}

bool SC(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// Commerce and industry: 12 digits, d9 from d1...d8 and d12 from d1...d11,
// mapping C. Rural producer: P and 12 digits; only the 9th digit after the P
// is a check digit, from the 8 before it.
bool SP(std::string_view inscricao) {
  static constexpr std::array kPesos1{1, 3, 4, 5, 6, 7, 8, 10};
  static constexpr std::array kPesos2{3, 2, 10, 9, 8, 7, 6, 5, 4, 3, 2};
  if (inscricao.starts_with('P')) {
    const std::string_view numero = inscricao.substr(1);
    return numero.size() == 12 && D(numero, 9) == MapeamentoC(Soma(numero.substr(0, 8), kPesos1));
  }
  return inscricao.size() == 12 && D(inscricao, 9) == MapeamentoC(Soma(inscricao.substr(0, 8), kPesos1)) &&
         D(inscricao, 12) == MapeamentoC(Soma(inscricao.substr(0, 11), kPesos2));
}

bool SE(std::string_view inscricao) { return NoveDigitosModulo11(inscricao); }

// 9 digits: as the common rule. 11 digits (earlier format): d3d4 are the
// taxpayer type (01, 02, 03 or 99) and stay out of the sum; d11 from
// d1 d2 d5...d10 with weights 9..2, mapping A.
bool TO(std::string_view inscricao) {
  if (inscricao.size() == 9) return NoveDigitosModulo11(inscricao);
  if (inscricao.size() != 11 || !Prefixo(inscricao.substr(2), {"01", "02", "03", "99"})) return false;
  const std::span<const int> pesos = Decrescente(9);
  const int s = Soma(inscricao.substr(0, 2), pesos.first(2)) + Soma(inscricao.substr(4, 6), pesos.last(6));
  return D(inscricao, 11) == MapeamentoA(s);
}

constexpr std::array<Estado, 27> kEstados = {{
    {"AC", AC, false}, {"AL", AL, false}, {"AP", AP, false}, {"AM", AM, false}, {"BA", BA, false}, {"CE", CE, false},
    {"DF", DF, false}, {"ES", ES, false}, {"GO", GO, false}, {"MA", MA, false}, {"MT", MT, false}, {"MS", MS, false},
    {"MG", MG, false}, {"PA", PA, false}, {"PB", PB, false}, {"PR", PR, false}, {"PE", PE, false}, {"PI", PI, false},
    {"RN", RN, false}, {"RJ", RJ, false}, {"RO", RO, false}, {"RS", RS, false}, {"RR", RR, false}, {"SC", SC, false},
    {"SP", SP, true},  {"SE", SE, false}, {"TO", TO, false},
}};

}  // namespace

namespace {

constexpr std::size_t kLetras = 26;

// The place of two upper-case letters in the index.
constexpr std::size_t Posicao(char primeira, char segunda) {
  return static_cast<std::size_t>(primeira - 'A') * kLetras + static_cast<std::size_t>(segunda - 'A');
}

// The row of each two upper-case letters (row + 1; 0 for none): the check
// runs for every registration of a file, so the state is found at once.
constexpr std::array<std::uint8_t, kLetras* kLetras> kIndice = [] {
  std::array<std::uint8_t, kLetras * kLetras> indice{};
  for (std::size_t i = 0; i < kEstados.size(); ++i)
    indice[Posicao(kEstados[i].uf[0], kEstados[i].uf[1])] = static_cast<std::uint8_t>(i + 1);
  return indice;
}();

bool Maiuscula(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

const Estado* EncontraEstado(std::string_view uf) {
  if (uf.size() != 2 || !Maiuscula(uf[0]) || !Maiuscula(uf[1])) return nullptr;
  const std::size_t linha = kIndice[Posicao(uf[0], uf[1])];
  return linha == 0 ? nullptr : &kEstados[linha - 1];
}

}  // namespace dllinsce32
