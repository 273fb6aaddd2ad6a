// GeraSaida: the verdict in "param.txt", and "saida.txt" with the rejection
// report or the transmission receipt; then the work files are deleted.
#pragma once

#include <string_view>

#include "valida/run/execucao.h"

namespace valida {

// Needs "param.txt" and the work files closed. Throws FalhaExecucao when a
// file cannot be written; "param.txt" and "saida.txt" are then left as they
// were, since both are written aside and renamed into place only when whole.
void GeraSaida(Execucao& run, std::string_view linha_parametros);

}  // namespace valida
