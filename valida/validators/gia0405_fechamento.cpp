// Closing of a GIA 4/5 declaration, when the next main record arrives or the
// file ends: the annex line counts against those the main record declared,
// then the main record's amounts against the annex sums and the CFOP lists.
#include <algorithm>
#include <array>
#include <vector>

#include "valida/checks/erros.h"
#include "valida/validators/gia0405_estado.h"
#include "valida/validators/validadores.h"

namespace valida {

namespace {

// Before the first main record there is no declaration to close: whatever
// was counted or summed then has no main record to be compared with.
bool HaDeclaracao(const Execucao& run) { return !run.InscricaoGIA.empty(); }

// Code 5 at the declared count's columns for each annex type from `primeiro`
// to `ultimo` whose declared and counted lines differ.
void ConfereContagens(Execucao& run, AnexoGIA0405 primeiro, AnexoGIA0405 ultimo) {
  const EstadoGIA0405& g = run.EstadoDoValidador<EstadoGIA0405>();
  for (std::size_t k = primeiro; k <= ultimo; ++k) {
    if (g.LinhasDeclaradas[k] == g.LinhasContadas[k]) continue;
    const int coluna = kColunaLinhasDeclaradas + static_cast<int>(k) * kLarguraLinhasDeclaradas;
    RegistraErroGIA(run, 5, coluna, coluna + kLarguraLinhasDeclaradas - 1);
  }
}

// Code 33 at the 15 columns of a main record amount that the annexes contradict.
void RegistraMontante(Execucao& run, int coluna) { RegistraErroGIA(run, 33, coluna, coluna + kLarguraMontanteGIA - 1); }

void ConfereMontante(Execucao& run, Montante principal, Montante anexos, int coluna) {
  if (principal != anexos) RegistraMontante(run, coluna);
}

// The first entry of each CFOP in an X05A or X05B list, found in one pass so
// that the cross check stays linear however many entries the lists hold. A
// short list, the usual one, is searched as it stands: cheaper than a table
// of every code for each declaration.
class PrimeiraEntrada {
 public:
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): the table is filled only for a long list
  explicit PrimeiraEntrada(const std::vector<CFOPValor>& lista) : lista_(lista) {
    if (Curta()) return;
    posicao_.fill(kNenhuma);
    for (std::size_t i = lista.size(); i-- > 0;) {
      const int cfop = lista[i].CFOP;
      if (cfop >= 0 && static_cast<std::size_t>(cfop) < kCodigosAnexo) posicao_[static_cast<std::size_t>(cfop)] = i;
    }
  }

  // True when the list holds the CFOP and its first entry for it has that amount.
  [[nodiscard]] bool Confere(int cfop, Montante valor) const {
    if (cfop < 0 || static_cast<std::size_t>(cfop) >= kCodigosAnexo) return false;
    if (Curta()) {
      const auto e = std::find_if(lista_.begin(), lista_.end(), [cfop](const CFOPValor& x) { return x.CFOP == cfop; });
      return e != lista_.end() && e->Valor == valor;
    }
    const std::size_t i = posicao_[static_cast<std::size_t>(cfop)];
    return i != kNenhuma && lista_[i].Valor == valor;
  }

 private:
  static constexpr std::size_t kNenhuma = static_cast<std::size_t>(-1);
  static constexpr std::size_t kCurta = 32;
  [[nodiscard]] bool Curta() const { return lista_.size() <= kCurta; }
  const std::vector<CFOPValor>& lista_;
  // Filled only for a list longer than kCurta.
  std::array<std::size_t, kCodigosAnexo> posicao_;
};

// Code 36 for an X05 CFOP whose amount the X05A or X05B list does not match:
// the finding concerns no column of any record.
void ConfereCFOP(Execucao& run, const PrimeiraEntrada& lista, int cfop, Montante valor) {
  if (valor <= 0 || lista.Confere(cfop, valor)) return;
  run.ValorCFOP = cfop;
  RegistraErroGIA(run, 36, kColunaForaDoRegistro, kColunaForaDoRegistro);
}

// The X07 targets are the amounts A1 and B1 of the annex 7 record.
constexpr int kColunaAlvoX07A = 46;
constexpr int kColunaAlvoX07B = 145;
constexpr int kLarguraAlvoX07 = 13;

}  // namespace

bool HaLinhasAnexoContadas(const Execucao& run) {
  for (const std::int64_t contadas : run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas)
    if (contadas > 0) return true;
  return false;
}

void ConfereLinhasAnexos(Execucao& run) {
  if (!HaDeclaracao(run)) return;
  const auto& contadas = run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas;
  ConfereContagens(run, kX01, kX03A);
  if (contadas[kX03A] > 0 && contadas[kX03] == 0) RegistraErroGIA(run, 44, 0, 0);
  ConfereContagens(run, kX04, kX05B);
  if ((contadas[kX05A] > 0 || contadas[kX05B] > 0) && contadas[kX05] == 0) RegistraErroGIA(run, 45, 0, 0);
  ConfereContagens(run, kX06, kX07B);
  if ((contadas[kX07A] > 0 || contadas[kX07B] > 0) && contadas[kX07] == 0) RegistraErroGIA(run, 46, 0, 0);
  ConfereContagens(run, kX08, kX12);
}

void FechaDeclaracaoGIA(Execucao& run) {
  if (!HaDeclaracao(run)) return;
  const EstadoGIA0405& g = run.EstadoDoValidador<EstadoGIA0405>();
  const auto& contadas = g.LinhasContadas;

  if (contadas[kX01] > 0) ConfereMontante(run, g.A1, g.SomaX01, kColunaA1);
  ConfereMontante(run, g.A3, g.SomaX02, kColunaA3);
  ConfereMontante(run, g.A4, g.SomaX03, kColunaA4);
  ConfereMontante(run, g.A5, g.SomaX04, kColunaA5);
  if (contadas[kX05] > 0) ConfereMontante(run, g.B1, g.SomaX05, kColunaB1);
  ConfereMontante(run, g.B4, g.SomaX06, kColunaB4);

  // One annex 7 when the flag says so; under "N", more than one of any kind is too many.
  if (g.FlagAnexo7 == 'S' && contadas[kX07] != 1) RegistraErroGIA(run, 34, kColunaFlagAnexo7, kColunaFlagAnexo7);
  if (g.FlagAnexo7 == 'N' && (contadas[kX07] > 1 || contadas[kX07A] > 1 || contadas[kX07B] > 1))
    RegistraErroGIA(run, 35, kColunaFlagAnexo7, kColunaFlagAnexo7);

  ConfereMontante(run, g.C5, g.SomaX08A + g.SomaX08B, kColunaC5);
  ConfereMontante(run, g.C6, g.SomaX09A + g.SomaX09B, kColunaC6);
  ConfereMontante(run, g.C7, g.SomaX10B, kColunaC7);
  if (g.C10 != g.C8 - g.C9 || g.C10 != g.SomaX10A) RegistraMontante(run, kColunaC10);

  if (contadas[kX11] > 0) {
    ConfereMontante(run, g.E2, g.SomaX11A, kColunaE2);
    ConfereMontante(run, g.F2, g.SomaX11B, kColunaF2);
  }
  if (contadas[kX12] > 0) {
    ConfereMontante(run, g.E3, g.SomaX12A, kColunaE3);
    ConfereMontante(run, g.F3, g.SomaX12B, kColunaF3);
  }

  if (!g.ListaCFOPX05.empty()) {
    const PrimeiraEntrada x05a(g.ListaCFOPX05A);
    const PrimeiraEntrada x05b(g.ListaCFOPX05B);
    for (const CFOPX05& x05 : g.ListaCFOPX05) {
      ConfereCFOP(run, x05a, x05.CFOP, x05.ValorX05A);
      ConfereCFOP(run, x05b, x05.CFOP, x05.ValorX05B);
    }
  }

  if (g.SomaX07A != g.AlvoX07A) RegistraErroGIA(run, 30, kColunaAlvoX07A, kColunaAlvoX07A + kLarguraAlvoX07 - 1);
  if (g.SomaX07B != g.AlvoX07B) RegistraErroGIA(run, 30, kColunaAlvoX07B, kColunaAlvoX07B + kLarguraAlvoX07 - 1);
}

}  // namespace valida
