// The annex records X01 to X12 of a GIA 4/5 declaration.
#pragma once

#include <string_view>

#include "valida/run/execucao.h"
#include "valida/validators/gia0405_estado.h"

namespace valida {

// Checks an annex record whose prefix, sequence and type the walk has
// already tested; `indice` is its count index, 1 (X01) to 17 (X12). Counts
// its occurrences in LinhasContadas and feeds the declaration's sums and lists.
void ValidaAnexoGIA(Execucao& run, std::string_view linha, int indice);

}  // namespace valida
