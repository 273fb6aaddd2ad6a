// What every run of valida must leave behind, whatever its input: the
// properties the fuzz targets check after each run. They read only what a
// caller can see (param.txt, saida.txt, the files of the folder) and what the
// in-memory environment noted, never valida's own state, so that they hold
// the program to its outputs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/memoria.h"
#include "valida/run/modEspecifico.h"

namespace fuzz {

// One finding line of the report, taken apart (its text a view of the line).
struct Achado {
  std::int64_t linha = 0;
  std::int64_t primeira = 0;
  std::int64_t ultima = 0;
  std::string_view texto;
};

// The finding line as the report prints it (taxpayer, period, line, first and
// last column, text), or nothing when it has not that shape.
std::optional<Achado> LeAchado(std::string_view linha);

// The CR LF lines of a text; `inteiro` is false when it does not end with
// CR LF (the last line then holds what follows the last CR LF).
std::vector<std::string_view> LinhasCRLF(std::string_view texto, bool* inteiro = nullptr);

// Calls `faz` with each CR LF line of the text, by the rule of LinhasCRLF,
// without gathering them.
template <typename Faz>
void ParaCadaLinhaCRLF(std::string_view texto, Faz&& faz) {
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const auto fim = texto.find("\r\n", inicio);
    if (fim == std::string_view::npos) {
      faz(texto.substr(inicio));
      return;
    }
    faz(texto.substr(inicio, fim - inicio));
    inicio = fim + 2;
  }
}

// The longest record of a kind (trimmed TipoDocumento), 0 for no kind.
int MaiorRegistro(std::string_view tipo);

struct Corrida {
  // "param.txt" as the caller wrote it.
  std::string_view parametros;
  // The declaration, when the caller knows which file it is: findings then
  // name none of its lines past its last.
  std::optional<std::string_view> declaracao;
  valida::Desfecho desfecho = valida::Desfecho::kRelatorio;
};

// The breaches of the properties, one text each; empty for a sound run.
//  - A run ends with a report (or, with a first line longer than 64 KiB,
//    with a message box and the caller's files untouched); the environment
//    saw nothing unsound; no work file or temporary is left.
//  - param.txt is the caller's first line and "OK" or "NOK".
//  - saida.txt is whole CR LF lines without control characters: a receipt
//    exactly when the verdict is "OK" (and then it lists as many
//    declarations as it counts, as many as the file has main records, each
//    of them one that a validator accepts: a CGC/TE with its check digit or
//    a registration of digits, a month of a year), else a report whose
//    findings are exactly the lines the findings list held, at least one.
//  - A GIA or GIA ST 1 file whose size is no multiple of its record gives
//    the one finding of code 21.
//  - Every finding has a text and its columns are 0-0 or lie from 1 to the
//    longest record of its kind, the first not after the last (GIA 4 and 5
//    also print code 36, "Valor do CFOP nnn incorreto", at 999-999: it
//    concerns no column of any record); invalid parameters give the one finding
//    of code 18.
//  - The progress bar stays from 0 to 100.
std::vector<std::string> ConfereCorrida(const AmbienteMemoria& memoria, const Corrida& corrida);

}  // namespace fuzz
