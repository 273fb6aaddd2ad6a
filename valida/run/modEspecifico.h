// The entry routine of valida: one whole validation run in a folder.
#pragma once

#include <string>

#include "platform/ambiente.h"
#include "valida/run/execucao.h"

namespace valida {

// What a run ended with.
enum class Desfecho {
  kRelatorio,    // saida.txt and the verdict were written
  kSemRelatorio  // the run ended with a message box and no report
};

// Validates the declaration named by "param.txt" in `pasta` and writes
// "saida.txt" and the verdict there. With `janela` false no progress window
// is shown (tests that run many validations at once).
// `observador`, when given, learns every finding and declaration as the
// run records them.
Desfecho Main(plataforma::Ambiente& ambiente, const std::string& pasta, bool janela = true,
              Observador* observador = nullptr);

// The program's run: Main in the folder that holds the program. When the
// platform cannot tell that folder the run ends with a message box, and
// nothing is read or written anywhere.
Desfecho MainPrograma(plataforma::Ambiente& ambiente, bool janela = true);

}  // namespace valida
