// The record under check as the validators read it: a field is a first
// column and a width, and a finding is recorded at the field's own columns.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "valida/checks/campos.h"
#include "valida/checks/erros.h"
#include "valida/checks/montante.h"
#include "valida/run/execucao.h"
#include "valida/run/texto.h"

namespace valida {

// A field of a record: its first column (1-based) and its width.
struct Campo {
  int primeira;
  int largura;
  [[nodiscard]] constexpr int ultima() const { return primeira + largura - 1; }
};

// An instalment: a due date DDMMAAAA and, right after it, its amount.
struct Parcela {
  Campo data;
  Campo valor;
  static constexpr Parcela Em(int coluna, int largura_valor) { return {{coluna, 8}, {coluna + 8, largura_valor}}; }
};

// One record under check: reads its fields and records a finding of either
// catalogue at a field's columns. It refers to the run and the line; it
// keeps no state of its own.
class Registro {
 public:
  Registro(Execucao& run, std::string_view linha) : run_(run), linha_(linha) {}

  [[nodiscard]] std::string_view Texto(Campo c) const { return Fatia(linha_, c.primeira, c.largura); }
  [[nodiscard]] bool Vazio(Campo c) const { return SoBrancos(Texto(c)); }
  [[nodiscard]] bool EhNumerico(Campo c) const { return ValidaNumerico(linha_, c.primeira, c.largura); }
  // The number the field spells; for a field that EhNumerico accepted.
  [[nodiscard]] std::int64_t ValorDe(Campo c) const { return Valor(linha_, c.primeira, c.largura); }
  // EhNumerico and ValorDe together, for a field of at most 18 places: the
  // number, or no value when the field is not numeric. Records nothing.
  [[nodiscard]] std::optional<std::int64_t> Digitos(Campo c) const {
    return ValorSeNumerico(linha_, c.primeira, c.largura);
  }
  // A DDMMAAAA date at the field's first column.
  [[nodiscard]] bool EhData(Campo c) const { return ValidaData(linha_, c.primeira, 8); }

  // The field's value; no value (and GIA code 7) when it is not numeric.
  std::optional<Montante> Numerico(Campo c) const { return LeNumerico(run_, linha_, c.primeira, c.largura); }

  void Erro(int codigo, Campo c) const { RegistraErroGIA(run_, codigo, c.primeira, c.ultima()); }
  // A GIA ST finding for field `campo` (0 when the text names none).
  void ErroST(int codigo, int campo, Campo c) const { RegistraErroST(run_, codigo, campo, c.primeira, c.ultima()); }

  [[nodiscard]] Execucao& run() const { return run_; }
  [[nodiscard]] std::string_view linha() const { return linha_; }

 private:
  Execucao& run_;
  std::string_view linha_;
};

}  // namespace valida
