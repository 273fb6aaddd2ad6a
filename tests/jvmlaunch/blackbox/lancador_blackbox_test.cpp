#include <gtest/gtest.h>

#include "pasta_lancador.h"

namespace lancador {
namespace {

class Lancador : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string motivo = PastaLancador::SemNamespace();
    if (!motivo.empty()) GTEST_SKIP() << "no private network namespace here, port 8020 is not the test's own: " << motivo;
  }
  PastaLancador pasta;
};

TEST_F(Lancador, Experimento) {
  const auto r = pasta.Executa({"-l", "a", "b"}, true);
  std::cout << r.codigo << " [" << r.recebido << "] " << r.fim << "\n" << r.erro << "\n" << pasta.Log();
}

}  // namespace
}  // namespace lancador
