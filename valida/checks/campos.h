// The field checks that the validators share. They keep no state and record
// nothing: the caller records the finding with the field's own columns.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "valida/checks/montante.h"
#include "valida/run/execucao.h"
#include "valida/run/texto.h"

namespace valida {

// True when the slice is not blank and each of its `largura` positions is a digit.
bool ValidaNumerico(std::string_view linha, int coluna, int largura);

// Kind 6: MMAAAA at `coluna`; kind 8: DDMMAAAA. All zeros is accepted.
bool ValidaData(std::string_view linha, int coluna, int tipo);

// A real calendar date AAAAMMDD (eight digits), years 0001 to 9999, with the
// Gregorian century rule: 29 February 1900 is no date, 29 February 2000 is.
bool DataCalendario(std::string_view aaaammdd);

// The last day ("28" to "31") of a month; empty for a month outside 1 to 12.
// Every year divisible by 4 is a leap year here.
std::string_view UltimoDiaDoMes(std::int64_t mes, std::int64_t ano);

// The check digit ('0' to '9') that the last character of a CGC/TE must carry.
char DigitoControleCGCTE(std::string_view numero);

// A valid CPF (11 digits) or CNPJ (14 digits).
bool ValidaCPFCNPJ(std::string_view numero);

// The code occurs in "AC|AL|...|TO" (a substring search, case-sensitive).
bool ValidaUF(std::string_view codigo);

// DllInscE32's check: 0 when the registration is right for the state. The
// library is loaded at the first call; a missing library or function throws
// FalhaExecucao (not found). A registration holding a NUL byte, which the
// library could not see whole, is refused (1).
int ConsisteInscricaoEstadual(Execucao& run, std::string_view inscricao, std::string_view uf);

// The number that a digit slice spells (0 for an empty slice). Callers test
// the slice with ValidaNumerico first.
inline std::int64_t Valor(std::string_view linha, int coluna, int largura) {
  return ValorDosDigitos(Fatia(linha, coluna, largura));
}

namespace detalhe {
// The readings below for what the direct reading (already made by their
// callers) does not settle: a field that ends before the 16th column, is
// wider than 16 places, is cut short by the line's end or is not numeric.
std::optional<std::int64_t> ValorSeNumericoDevagar(std::string_view linha, int coluna, int largura);
std::optional<Montante> LeNumericoDevagar(Execucao& run, std::string_view linha, int coluna, int largura);
}  // namespace detalhe

// The number of a slice of at most 18 places that ValidaNumerico accepts, in
// one reading; no value when it does not accept it, or when it is wider.
// Inline, as LeNumerico: the usual field costs no call.
[[gnu::always_inline]] inline std::optional<std::int64_t> ValorSeNumerico(std::string_view linha, int coluna,
                                                                          int largura) {
  if (const auto valor = ValorDoCampoDireto(linha, coluna, largura)) return valor;
  return detalhe::ValorSeNumericoDevagar(linha, coluna, largura);
}

// The field helper of every validator: tests the slice with ValidaNumerico;
// when it fails, records GIA code 7 at its columns and returns no value.
[[gnu::always_inline]] inline std::optional<Montante> LeNumerico(Execucao& run, std::string_view linha, int coluna,
                                                                 int largura) {
  if (const auto valor = ValorDoCampoDireto(linha, coluna, largura)) return *valor;
  return detalhe::LeNumericoDevagar(run, linha, coluna, largura);
}

}  // namespace valida
