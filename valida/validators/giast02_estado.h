// The declaration state of the GIA ST 2 validator, kept between lines: what
// the main record "A0" declares and what its annex records "A1", "A2" and
// "A3" add up to, until the next "A0" (or the end of the file) closes it.
#pragma once

#include <cstdint>
#include <string>

#include "valida/checks/montante.h"
#include "valida/run/execucao.h"

namespace valida {

struct EstadoGIAST02 : EstadoValidador {
  // UF of the latest "A0": never reset, so that every declaration of the
  // file must name the same one.
  std::string UFFavorecida;
  // Fields 14 and 15 of the "A0", replaced only when the field is numeric.
  Montante ValorCampo14 = 0;
  Montante ValorCampo15 = 0;
  // Sums of the "A1" and "A2" amounts of the declaration.
  Montante TotalAnexoI = 0;
  Montante TotalAnexoII = 0;
  // Line counts that the "A0" declares, replaced only by a valid count.
  std::int64_t QtdLinhasAnexoI = 0;
  std::int64_t QtdLinhasAnexoII = 0;
  std::int64_t QtdLinhasAnexoIII = 0;
  // Annex lines counted in the declaration.
  std::int64_t ContLinhasAnexoI = 0;
  std::int64_t ContLinhasAnexoII = 0;
  std::int64_t ContLinhasAnexoIII = 0;
  // Column 779 of the "A0": "S" when the declaration has an annex III.
  std::string IndicadorAnexoIII;
  // The key of the previous record of each annex, for the duplicate rule.
  std::string UltimoAnexoI;
  std::string UltimoAnexoII;
  std::string UltimoAnexoIII;
  // The reference month of the "A0" as AAAA * 100 + MM; 0 while its period
  // has not passed its test.
  std::int64_t P = 0;
};

}  // namespace valida
