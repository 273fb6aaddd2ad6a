// The receipt entries of the declarations.
#include "valida/checks/recibo.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "valida/checks/formato.h"
#include "valida/run/texto.h"

namespace valida {

namespace {

// The period part of an entry: "00/0000", 2 blanks; 9 characters even when
// the period is not a number.
void AcrescentaPeriodoDoRecibo(std::string& entrada, std::string_view periodo) {
  const std::size_t inicio = entrada.size();
  AcrescentaPeriodo(entrada, periodo);
  entrada.resize(inicio + kPicturePeriodo.size(), ' ');
  entrada += "  ";
}

}  // namespace

void AcrescentaReciboCGCTE(Execucao& run) {
  const std::string_view cgcte = run.InscricaoAtual;
  const std::string_view periodo = run.PeriodoAtual;
  // Ten and six digits, the usual declaration: the entry written in place.
  if (cgcte.size() == 10 && periodo.size() == 6 && SoDigitos(cgcte) && SoDigitos(periodo)) {
    static constexpr std::size_t kPeriodo = kPictureCGCTE.size() + 4;
    std::array<char, kEntradaRecibo> usual;  // NOLINT(cppcoreguidelines-pro-type-member-init): filled
    usual.fill(' ');
    EscreveCGCTE(usual.data(), cgcte);
    EscrevePeriodo(usual.data() + kPeriodo, periodo);
    run.AcrescentaRecibo(std::string_view(usual.data(), usual.size()));
    return;
  }
  std::string& entrada = run.EntradaRecibo;
  entrada.clear();
  AcrescentaCGCTE(entrada, run.InscricaoAtual);
  entrada.resize(kPictureCGCTE.size(), ' ');
  entrada += "    ";
  AcrescentaPeriodoDoRecibo(entrada, run.PeriodoAtual);
  run.AcrescentaRecibo(entrada);
}

void AcrescentaReciboInscricao(Execucao& run) {
  static constexpr std::size_t kLarguraInscricao = 14;
  const std::string_view inscricao = std::string_view(run.InscricaoAtual).substr(0, kLarguraInscricao);
  const std::string_view periodo = run.PeriodoAtual;
  // A six-digit period, the usual declaration: the entry written in place.
  if (periodo.size() == 6 && SoDigitos(periodo)) {
    std::array<char, kEntradaRecibo> usual;  // NOLINT(cppcoreguidelines-pro-type-member-init): filled
    usual.fill(' ');
    inscricao.copy(usual.data(), inscricao.size());
    EscrevePeriodo(usual.data() + kLarguraInscricao + 1, periodo);
    run.AcrescentaRecibo(std::string_view(usual.data(), usual.size()));
    return;
  }
  std::string& entrada = run.EntradaRecibo;
  entrada.clear();
  entrada.append(inscricao);
  entrada.resize(kLarguraInscricao, ' ');
  entrada += ' ';
  AcrescentaPeriodoDoRecibo(entrada, periodo);
  run.AcrescentaRecibo(entrada);
}

}  // namespace valida
