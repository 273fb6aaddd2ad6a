// The program valida: validates in its own folder and ends with 0 when a
// report was written, 2 when the run ended with a message box and no report.
#include "platform/ambiente.h"
#include "valida/run/modEspecifico.h"

int main() {
  try {
    return valida::MainPrograma(plataforma::Ambiente::Padrao()) == valida::Desfecho::kRelatorio ? 0 : 2;
  } catch (...) {
    // The run's failure handler could not even tell (no memory left for the
    // message): the program still ends as a run without a report.
    return 2;
  }
}
