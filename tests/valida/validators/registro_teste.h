// What the tests of the one-record validators (GIA 3 and GIA ST 1) share:
// the finding lines, tables of cases over a base record, generated files and
// arbitrary input.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "tests/geradores/comum.h"
#include "tests/valida/execucao_teste.h"

namespace valida::teste {

// The GIA texts that both layouts give.
namespace textos {
inline const std::string kNumerico(std::string("Campo numérico é esperado"_cp));
inline const std::string kData(std::string("Data Inválida"_cp));
inline const std::string kIndicador(std::string("Conteúdo só pode ser 'X' ou ' '"_cp));
inline const std::string kDiaFim(std::string("Dia de término inválido"_cp));
inline const std::string kDiaInicio(std::string("Dia Início Período Inválida"_cp));
inline const std::string kObrigatorio(std::string("Campo obrigatório não informado"_cp));
}  // namespace textos

// A finding line of the record: `prefixo` (taxpayer, period, line), then the
// columns and the text.
inline std::string Achado(std::string_view prefixo, int primeira, int ultima, std::string_view texto) {
  char colunas[32];
  std::snprintf(colunas, sizeof colunas, "%03d %03d ", primeira, ultima);
  return std::string(prefixo) + colunas + std::string(texto);
}

using Validador = void (*)(Execucao&, std::string_view);
using geradores::Campos;

struct Caso {
  std::string regra;
  Campos campos;
  std::vector<std::string> esperado;
};

// Each case: the base record with its fields written, validated alone as the
// first line of a run of kind `tipo`, gives exactly its findings.
inline void Confere(const std::string& tipo, Validador validador, const std::string& base,
                    const std::vector<Caso>& casos) {
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.regra);
    ExecucaoDeTeste t(tipo);
    const std::string linha = geradores::ComCampos(base, caso.campos);
    ASSERT_EQ(linha.size(), base.size());
    validador(t.run, linha);
    EXPECT_EQ(t.Erros(), caso.esperado);
  }
}

// Generated declarations validated as the lines of one file: no finding, and
// the receipt lists them all, its last line still pending (the driver writes
// it at the end of the file).
inline void ConfereArquivoGerado(const std::string& tipo, Validador validador,
                                 const std::vector<geradores::DeclaracaoGerada>& declaracoes) {
  ExecucaoDeTeste t(tipo);
  for (const auto& d : declaracoes) {
    ++t.run.NumeroLinha;
    validador(t.run, d.linha);
  }
  EXPECT_FALSE(t.run.HouveErro);
  EXPECT_EQ(t.Erros(), std::vector<std::string>{});
  auto esperado = geradores::LinhasRecibo(declaracoes);
  ASSERT_FALSE(esperado.empty());
  ASSERT_LT(esperado.back().size(), 72u) << "the count of declarations must leave the last line pending";
  EXPECT_EQ(t.run.LinhaRecibo, esperado.back());
  esperado.pop_back();
  EXPECT_EQ(t.Recibo(), esperado);
  EXPECT_EQ(t.run.QtdGIAs, static_cast<std::int64_t>(declaracoes.size()));
}

// Any bytes, any length: generated records with bytes changed at random and
// some cut short, then an empty line. The validator records what it finds
// and never fails.
template <typename Gerador>
void ConfereEntradaArbitraria(const std::string& tipo, Validador validador) {
  Gerador gerador(99);
  geradores::Sorteio s(99);
  ExecucaoDeTeste t(tipo);
  static constexpr char kLixo[] = {' ', '-', '+', '.', ',', 'X', '\xE9', '\0', '\xFF', '9'};
  constexpr int kUltima = Gerador::kTamanhoRegistro - 1;
  for (int i = 0; i < 2000; ++i) {
    std::string linha = gerador.Proxima().linha;
    const int trocas = static_cast<int>(s.Entre(1, 40));
    for (int k = 0; k < trocas; ++k)
      linha[static_cast<std::size_t>(s.Entre(0, kUltima))] =
          kLixo[static_cast<std::size_t>(s.Entre(0, sizeof kLixo - 1))];
    if (s.UmEm(10)) linha.resize(static_cast<std::size_t>(s.Entre(0, kUltima)));
    ++t.run.NumeroLinha;
    validador(t.run, linha);
  }
  validador(t.run, "");
  EXPECT_TRUE(t.run.HouveErro);
  EXPECT_EQ(t.run.QtdGIAs, 2001);
}

}  // namespace valida::teste
