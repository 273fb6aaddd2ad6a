// The two recorders of findings, GIA and GIA ST, and their catalogues. A
// finding becomes its final text line at once and is appended to ListaErros.
#pragma once

#include <string>

#include "valida/run/execucao.h"

namespace valida {

// The columns of a finding: 1-based, first to last, within the record of
// its line; 0..0 for a finding about the whole file; and kColunaForaDoRegistro
// at both ends for a finding that concerns no column of any record (GIA 4/5
// code 36, a CFOP whose amounts the annex lists do not match). The report
// prints them as they are, so callers read 999-999 as "no column".
inline constexpr int kColunaForaDoRegistro = 999;

// Records GIA code `codigo` at columns primeira..ultima (0..0 for the whole file).
void RegistraErroGIA(Execucao& run, int codigo, int primeira, int ultima);

// Records GIA ST code `codigo` for field `campo` (0 when the text names none).
void RegistraErroST(Execucao& run, int codigo, int campo, int primeira, int ultima);

// The catalogue texts (cp1252); empty for an unknown code.
std::string TextoErroGIA(const Execucao& run, int codigo);
std::string TextoErroST(const Execucao& run, int codigo, int campo);

}  // namespace valida
