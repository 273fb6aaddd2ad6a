// The receipt entries of the declarations.
#include "valida/checks/recibo.h"

#include <string>
#include <string_view>

#include "valida/checks/formato.h"

namespace valida {

namespace {

// The period part of an entry: "00/0000", 2 blanks; 9 characters even when
// the period is not a number.
std::string PeriodoDoRecibo(std::string_view periodo) {
  std::string texto = Formata(periodo, kPicturePeriodo);
  texto.resize(kPicturePeriodo.size(), ' ');
  texto += "  ";
  return texto;
}

}  // namespace

void AcrescentaReciboCGCTE(Execucao& run) {
  std::string entrada = Formata(run.InscricaoAtual, kPictureCGCTE);
  entrada.resize(kPictureCGCTE.size(), ' ');
  entrada += "    ";
  run.AcrescentaRecibo(entrada + PeriodoDoRecibo(run.PeriodoAtual));
}

void AcrescentaReciboInscricao(Execucao& run) {
  static constexpr std::size_t kLarguraInscricao = 14;
  std::string entrada = run.InscricaoAtual.substr(0, kLarguraInscricao);
  entrada.resize(kLarguraInscricao, ' ');
  entrada += ' ';
  run.AcrescentaRecibo(entrada + PeriodoDoRecibo(run.PeriodoAtual));
}

}  // namespace valida
