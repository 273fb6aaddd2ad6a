// The declaration state of the GIA 4/5 validator: what a main record keeps
// for the closing of its declaration and what its annex records add to it.
// It lives in the run and is reset by every main record; the lists grow with
// the occurrences of one declaration only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "valida/checks/montante.h"
#include "valida/run/execucao.h"

namespace valida {

// Number of annex record types, X01 to X12 (count indexes 1 to 17).
inline constexpr int kTiposAnexo = 17;

// Annex codes and CFOPs have three digits: 0 to 999.
inline constexpr std::size_t kCodigosAnexo = 1000;

// One distinct CFOP of annex X05, with the sums that X05A and X05B must match.
struct CFOPX05 {
  int CFOP = 0;
  Montante ValorX05A = 0;
  Montante ValorX05B = 0;
};

// One distinct CFOP of annex X05A or X05B, with the sum of its amounts.
struct CFOPValor {
  int CFOP = 0;
  Montante Valor = 0;
};

// Main record columns that both the record's own checks and the closing of
// its declaration name. Amounts are 15 columns wide; the declared annex line
// counts are 17 fields of 3 columns from column 841, in count-index order.
inline constexpr int kLarguraMontanteGIA = 15;
inline constexpr int kColunaA1 = 44, kColunaA3 = 74, kColunaA4 = 89, kColunaA5 = 104;
inline constexpr int kColunaB1 = 209, kColunaB4 = 254;
inline constexpr int kColunaFlagAnexo7 = 374;
inline constexpr int kColunaC5 = 435, kColunaC6 = 450, kColunaC7 = 465, kColunaC10 = 510;
inline constexpr int kColunaE2 = 703, kColunaF2 = 718, kColunaE3 = 733, kColunaF3 = 748;
inline constexpr int kColunaLinhasDeclaradas = 841;
inline constexpr int kLarguraLinhasDeclaradas = 3;

// The annex types by count index, 0-based as LinhasDeclaradas and
// LinhasContadas hold them.
// clang-format off
enum AnexoGIA0405 : std::size_t {
  kX01, kX02, kX03, kX03A, kX04, kX05, kX05A, kX05B, kX06, kX07, kX07A, kX07B, kX08, kX09, kX10, kX11, kX12
};
// clang-format on
static_assert(kX12 + 1 == kTiposAnexo);

struct EstadoGIA0405 : EstadoValidador {
  // A main record starts its declaration with these emptied: every sum and
  // list that the annex records feed (a field added for them is emptied here).
  void IniciaDeclaracao() {
    SomaX01 = SomaX02 = SomaX03 = SomaX04 = SomaX05 = SomaX06 = 0;
    SomaX07A = SomaX07B = 0;
    SomaX08A = SomaX08B = SomaX09A = SomaX09B = SomaX10A = SomaX10B = 0;
    SomaX11A = SomaX11B = SomaX12A = SomaX12B = 0;
    AlvoX07A = AlvoX07B = 0;
    CodigosX03.clear();
    ListaCFOPX05.clear();
    ListaCFOPX05A.clear();
    ListaCFOPX05B.clear();
  }

  // Sequence number the next record must carry; the driver starts it at 1.
  std::int64_t ContadorSequencia = 1;

  // CabecalhoGIA: columns 1-4, 5-6, 7-14, 15, 16-17 and 18-19 of the main record.
  std::string MarcaGIA;
  std::string VersaoGIA;
  std::string CamposDeclaracao;
  std::string IndicadorGIA;
  std::string PrimeiroDiaGIA;
  std::string UltimoDiaGIA;
  std::string ReferenciaAAAAMM;

  // Indexed 0..16 for count indexes 1..17.
  std::array<std::int64_t, kTiposAnexo> LinhasDeclaradas{};
  std::array<std::int64_t, kTiposAnexo> LinhasContadas{};

  // Main record amounts kept for the closing.
  Montante A1 = 0, A3 = 0, A4 = 0, A5 = 0, B1 = 0, B4 = 0;
  Montante C5 = 0, C6 = 0, C7 = 0, C8 = 0, C9 = 0, C10 = 0;
  Montante E2 = 0, F2 = 0, E3 = 0, F3 = 0;
  char FlagAnexo7 = ' ';  // column 374

  // SomasAnexos and the other sums and lists fed by the annex records.
  Montante SomaX01 = 0, SomaX02 = 0, SomaX03 = 0, SomaX04 = 0, SomaX05 = 0, SomaX06 = 0;
  Montante SomaX07A = 0, SomaX07B = 0;
  Montante SomaX08A = 0, SomaX08B = 0, SomaX09A = 0, SomaX09B = 0, SomaX10A = 0, SomaX10B = 0;
  Montante SomaX11A = 0, SomaX11B = 0, SomaX12A = 0, SomaX12B = 0;
  Montante AlvoX07A = 0, AlvoX07B = 0;
  std::vector<int> CodigosX03;
  std::vector<CFOPX05> ListaCFOPX05;
  std::vector<CFOPValor> ListaCFOPX05A;
  std::vector<CFOPValor> ListaCFOPX05B;

  // Where each code of CodigosX03 and each CFOP of the three CFOP lists was
  // last placed, so that the lookups and the CFOP merge take the same time
  // however many annex records a declaration holds. A position counts only
  // while it still holds that code in the list: emptying a list leaves its
  // positions behind harmlessly. Only the annex records add to these lists.
  std::array<std::size_t, kCodigosAnexo> PosicaoCodigoX03{};
  std::array<std::size_t, kCodigosAnexo> PosicaoCFOPX05{};
  std::array<std::size_t, kCodigosAnexo> PosicaoCFOPX05A{};
  std::array<std::size_t, kCodigosAnexo> PosicaoCFOPX05B{};
};

}  // namespace valida
