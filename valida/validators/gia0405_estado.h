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

namespace valida {

// Number of annex record types, X01 to X12 (count indexes 1 to 17).
inline constexpr int kTiposAnexo = 17;

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

struct EstadoGIA0405 {
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
};

}  // namespace valida
