// The program valida: validates in its own folder and ends with 0 when a
// report was written, 2 when the run ended with a message box and no report.
#include "platform/ambiente.h"
#include "valida/run/modEspecifico.h"

int main() {
  plataforma::Ambiente& ambiente = plataforma::Ambiente::Padrao();
  return valida::Main(ambiente, ambiente.PastaPrograma()) == valida::Desfecho::kRelatorio ? 0 : 2;
}
