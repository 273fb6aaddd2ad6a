// The receipt entries of the declarations, 24 characters each: the taxpayer
// and the period of the declaration at hand, in the layout of its kind.
#pragma once

#include "valida/run/execucao.h"

namespace valida {

// InscricaoAtual as "000/0000000", 4 blanks, PeriodoAtual as "00/0000", 2
// blanks; padded to 24 characters even when a field is not a number.
void AcrescentaReciboCGCTE(Execucao& run);

// InscricaoAtual in 14 characters, 1 blank, PeriodoAtual as "00/0000", 2
// blanks; 24 characters even when the period is not a number.
void AcrescentaReciboInscricao(Execucao& run);

}  // namespace valida
