// The program valida: validates in its own folder and ends with 0 when a
// report was written, 2 when the run ended with a message box and no report.
#include <cstdlib>
#include <exception>

#include "platform/ambiente.h"
#include "valida/run/modEspecifico.h"

int main() {
  // With memory so short that not even a failure can be raised, the run
  // still ends as one without a report, never with an abort.
  std::set_terminate([] { std::_Exit(2); });
  try {
    return valida::MainPrograma(plataforma::Ambiente::Padrao()) == valida::Desfecho::kRelatorio ? 0 : 2;
  } catch (...) {
    // The failure handler could not even tell (no memory for the message).
    return 2;
  }
}
