// ValidaGIAST02: not built yet; records nothing.
#include "valida/validators/validadores.h"

namespace valida {

void ValidaGIAST02(Execucao& /*run*/, std::string_view /*linha*/) {}
void FechaDeclaracaoST(Execucao& /*run*/) {}

}  // namespace valida
