// The rule of each state, one table per state: every example of the rules and
// the boundaries of lengths, fixed digits, ranges and formats.
#include <gtest/gtest.h>

#include <string>

#include "chamada.h"
#include "exemplos.h"

namespace dllinsce32::teste {
namespace {

class RegraDoEstado : public ::testing::TestWithParam<TabelaEstado> {};

TEST_P(RegraDoEstado, EveryExampleAndBoundary) {
  const TabelaEstado& tabela = GetParam();
  for (const Exemplo& e : tabela.exemplos)
    EXPECT_EQ(Consiste(e.inscricao, tabela.uf), e.esperado) << tabela.uf << " \"" << e.inscricao << "\": " << e.regra;
}

INSTANTIATE_TEST_SUITE_P(Estados, RegraDoEstado, ::testing::ValuesIn(kTabelas),
                         [](const ::testing::TestParamInfo<TabelaEstado>& info) { return std::string(info.param.uf); });

}  // namespace
}  // namespace dllinsce32::teste
