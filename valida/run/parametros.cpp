// Reading and testing the run parameters.
#include "valida/run/parametros.h"

#include <array>

#include "valida/run/texto.h"

namespace valida {

namespace {

constexpr std::array<std::string_view, 5> kTipos = {"GIA03       ", "GIA04       ", "GIA05       ", "GIAST01     ",
                                                    "GIAST02     "};

}  // namespace

std::string_view PrimeiraLinha(std::string_view conteudo) { return conteudo.substr(0, conteudo.find_first_of("\r\n")); }

Parametros LeParametros(std::string_view linha) {
  Parametros p;
  p.Identificador = Ajusta(Fatia(linha, 1, 8), 8);
  p.TipoDocumento = Ajusta(Fatia(linha, 9, 12), 12);
  p.ArquivoDeclaracao = Ajusta(Fatia(linha, 21, 128), 128);
  p.EmailContribuinte = Ajusta(Fatia(linha, 149, 70), 70);
  p.EnderecoConsulta = Ajusta(Fatia(linha, 219, 70), 70);
  p.CabecalhoOrgao = Ajusta(Fatia(linha, 289, 70), 70);
  p.CabecalhoEstado = Ajusta(Fatia(linha, 359, 30), 30);
  return p;
}

bool LayoutInscricao(std::string_view tipo_documento) {
  const std::string_view tipo = Apara(tipo_documento);
  return tipo.empty() || tipo == "GIAST02";
}

bool ParametrosValidos(const Parametros& p) {
  if (p.Identificador != "PARAM   ") return false;
  bool tipo_conhecido = false;
  for (const auto tipo : kTipos) tipo_conhecido = tipo_conhecido || p.TipoDocumento == tipo;
  return tipo_conhecido && !Apara(p.EmailContribuinte).empty();
}

}  // namespace valida
