// The program valida: validates in its own folder and ends with 0 when a
// report was written, 2 when the run ended with a message box and no report.
// The run is libvalida's: the program only starts it.
#include <cstdlib>
#include <exception>

#include "libvalida/libvalida.h"

int main() {
  // With memory so short that not even a failure can be raised, the run
  // still ends as one without a report, never with an abort.
  std::set_terminate([] { std::_Exit(2); });
  return lv_executa_pasta(nullptr, 1);
}
