// The five kinds of declaration file, each described once: its name, the
// lengths of its records, the driver's header test, its validator and the
// closing of its last declaration. The driver reads a kind's row and never
// asks for a kind by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "valida/run/execucao.h"

namespace valida {

struct TipoDeclaracao {
  std::string_view nome;     // TipoDocumento trimmed
  std::string_view legenda;  // caption of the window's `ver`
  // What the first record of a file of the kind begins with (its marker, and
  // the version where the marker is shared): the kind of a file is known
  // from its first line.
  std::string_view marca;
  // The record length before the first line, and the size test: the file's
  // length a positive multiple of that record and its line end. Kinds whose
  // records differ in length by type take no size test.
  int registro;
  bool testa_tamanho;
  // The longest record: a longer line has failed its length test and is not
  // read to its end.
  int maior_registro;
  // For kinds whose record type chooses the length: sets TamanhoRegistro for
  // the line at hand, of `comprimento` characters, or records the unknown type.
  void (*TamanhoPorTipo)(Execucao& run, std::uint64_t comprimento);
  // The header test of the line at hand; false, with the finding recorded,
  // when the reading stops there.
  bool (*Cabecalho)(Execucao& run);
  void (*Valida)(Execucao& run, std::string_view linha);
  // The closing of the last declaration after the last line, under the
  // kind's own conditions; null for kinds without one.
  void (*FechaUltima)(Execucao& run);
  // The state the validator keeps between lines; null when it keeps none.
  std::unique_ptr<EstadoValidador> (*CriaEstado)();
};

// The row of the kind of the parameters, which have passed their test.
const TipoDeclaracao& TipoDe(std::string_view tipo_documento);

// The row of the kind named (trimmed, exactly as param.txt holds it), or null.
const TipoDeclaracao* ProcuraTipo(std::string_view nome);

// The row of the kind whose first record `primeira_linha` (the file's first
// line, or as much of it as there is) begins as; null when none does.
const TipoDeclaracao* TipoPelaMarca(std::string_view primeira_linha);

}  // namespace valida
