// The rows of the five kinds of declaration file, and what the driver does
// differently for each: the header test of the first record (of every "A0"
// for GIA ST 2), the lengths of GIA ST 2 records by type, and the closing of
// the last declaration.
#include "valida/validators/tipos.h"

#include <array>
#include <string>

#include "common/cp1252.h"
#include "valida/checks/erros.h"
#include "valida/run/texto.h"
#include "valida/validators/gia0405_estado.h"
#include "valida/validators/giast02_estado.h"
#include "valida/validators/validadores.h"

namespace valida {

namespace {

// Record lengths, without the line end.
constexpr int kRegistroGIA = 898;
constexpr int kRegistroGIAST01 = 754;
constexpr int kRegistroA0 = 797;
constexpr int kRegistroA0Longo = 812;
constexpr int kRegistroA1A2 = 50;
constexpr int kRegistroA3 = 46;

// The marker and version that every GIA file's first record carries; the
// version is remembered whether or not the marker is right.
bool MarcaDaGIA(Execucao& run) {
  run.VersaoArquivo = std::string(Fatia(run.LinhaAtual, 5, 2));
  if (Fatia(run.LinhaAtual, 1, 4) != "****") {
    RegistraErroGIA(run, 21, 1, 4);
    return false;
  }
  return true;
}

bool CabecalhoGIA03(Execucao& run) {
  if (run.CabecalhoLido) return true;
  if (!MarcaDaGIA(run)) return false;
  if (Fatia(run.LinhaAtual, 5, 2) != "03") {
    RegistraErroGIA(run, 27, 5, 6);
    return false;
  }
  run.CabecalhoLido = true;
  return true;
}

// GIA 4 and 5: a main record of sequence 0001 and the file's version, each
// failure recorded with the version's own code.
template <int kCodigo, char kVersao>
bool CabecalhoGIA0405(Execucao& run) {
  if (run.CabecalhoLido) return true;
  if (!MarcaDaGIA(run)) return false;
  const std::string_view linha = run.LinhaAtual;
  if (Fatia(linha, 40, 4) != "ABC ") {
    RegistraErroGIA(run, kCodigo, 40, 44);
    return false;
  }
  run.VersaoInicial = std::string(Fatia(linha, 5, 2));
  run.CabecalhoLido = true;
  static constexpr std::array<char, 2> kTextoVersao = {'0', kVersao};
  if (Fatia(linha, 5, 2) != std::string_view(kTextoVersao.data(), kTextoVersao.size())) {
    RegistraErroGIA(run, kCodigo, 5, 6);
    return false;
  }
  if (Fatia(linha, 36, 4) != "0001") {
    RegistraErroGIA(run, kCodigo, 36, 39);
    return false;
  }
  return true;
}

bool CabecalhoGIAST01(Execucao& run) {
  if (run.CabecalhoLido) return true;
  if (Fatia(run.LinhaAtual, 1, 5) != "GST01") {
    RegistraErroST(run, 1, 0, 1, 5);
    return false;
  }
  run.CabecalhoLido = true;
  return true;
}

// Every "A0" record of GIA ST 2 carries the marker.
bool CabecalhoGIAST02(Execucao& run) {
  if (Fatia(run.LinhaAtual, 1, 2) == "A0" && Fatia(run.LinhaAtual, 3, 5) != "GST02") {
    RegistraErroST(run, 1, 0, 3, 7);
    return false;
  }
  return true;
}

// A GIA ST 2 record's type chooses its length; an unknown type is recorded
// and the line is held to the length of the record before it.
void TamanhoGIAST02(Execucao& run, std::uint64_t comprimento) {
  const std::string_view tipo = Apara(Fatia(run.LinhaAtual, 1, 2));
  if (tipo == "A0") {
    run.TamanhoRegistro = comprimento > kRegistroA0 ? kRegistroA0Longo : kRegistroA0;
  } else if (tipo == "A1" || tipo == "A2") {
    run.TamanhoRegistro = kRegistroA1A2;
  } else if (tipo == "A3") {
    run.TamanhoRegistro = kRegistroA3;
  } else {
    run.PeriodoAtual.assign(6, ' ');
    RegistraErroGIA(run, 6, 1, 2);
  }
}

// The last GIA 4/5 declaration is closed when the last record read is of
// those versions; its annex line counts only when some line was counted.
void FechaUltimaGIA0405(Execucao& run) {
  if (run.VersaoArquivo != "04" && run.VersaoArquivo != "05") return;
  if (HaLinhasAnexoContadas(run)) ConfereLinhasAnexos(run);
  FechaDeclaracaoGIA(run);
}

template <typename Estado>
std::unique_ptr<EstadoValidador> Cria() {
  return std::make_unique<Estado>();
}

const std::array<TipoDeclaracao, 5> kTipos = {{
    {"GIA03", "Validando GIA Versão 3"_cp, "****03", kRegistroGIA, true, kRegistroGIA, nullptr, CabecalhoGIA03,
     ValidaGIA03, nullptr, nullptr},
    {"GIA04", "Validando GIA Versão 4"_cp, "****04", kRegistroGIA, true, kRegistroGIA, nullptr,
     CabecalhoGIA0405<17, '4'>, ValidaGIA0405, FechaUltimaGIA0405, Cria<EstadoGIA0405>},
    {"GIA05", "Validando GIA Versão 5"_cp, "****05", kRegistroGIA, true, kRegistroGIA, nullptr,
     CabecalhoGIA0405<49, '5'>, ValidaGIA0405, FechaUltimaGIA0405, Cria<EstadoGIA0405>},
    {"GIAST01", "Validando GIA Versão ST"_cp, "GST01", kRegistroGIAST01, true, kRegistroGIAST01, nullptr,
     CabecalhoGIAST01, ValidaGIAST01, nullptr, nullptr},
    {"GIAST02", "Validando GIA ST Versão 2"_cp, "A0GST02", kRegistroA1A2, false, kRegistroA0Longo, TamanhoGIAST02,
     CabecalhoGIAST02, ValidaGIAST02, FechaDeclaracaoST, Cria<EstadoGIAST02>},
}};

}  // namespace

const TipoDeclaracao& TipoDe(std::string_view tipo_documento) {
  const TipoDeclaracao* tipo = ProcuraTipo(Apara(tipo_documento));
  return tipo != nullptr ? *tipo : kTipos[0];  // the parameters were tested before
}

const TipoDeclaracao* ProcuraTipo(std::string_view nome) {
  for (const auto& t : kTipos)
    if (t.nome == nome) return &t;
  return nullptr;
}

const TipoDeclaracao* TipoPelaMarca(std::string_view primeira_linha) {
  for (const auto& t : kTipos)
    if (primeira_linha.starts_with(t.marca)) return &t;
  return nullptr;
}

}  // namespace valida
