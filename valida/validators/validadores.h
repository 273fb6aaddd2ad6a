// The validators, one per declaration layout. The driver calls one of them
// with every line; a validator reads the run state, records its findings
// through the recorders and keeps what it needs between lines in the run.
#pragma once

#include <string_view>

#include "valida/run/execucao.h"

namespace valida {

void ValidaGIA03(Execucao& run, std::string_view linha);
void ValidaGIA0405(Execucao& run, std::string_view linha);
void ValidaGIAST01(Execucao& run, std::string_view linha);
void ValidaGIAST02(Execucao& run, std::string_view linha);

// Closing of a GIA 4/5 declaration: annex line counts, then totals.
void ConfereLinhasAnexos(Execucao& run);
void FechaDeclaracaoGIA(Execucao& run);
// True when some annex line was counted in the declaration at hand.
bool HaLinhasAnexoContadas(const Execucao& run);

// Closing of the last GIA ST 2 declaration at the end of the file.
void FechaDeclaracaoST(Execucao& run);

}  // namespace valida
