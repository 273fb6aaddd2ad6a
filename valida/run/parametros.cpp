// Reading and testing the run parameters.
#include "valida/run/parametros.h"

#include <array>

namespace valida {

namespace {

// Slice of columns [coluna, coluna + largura) (1-based); shorter or empty
// where the line ends earlier.
std::string_view Fatia(std::string_view linha, std::size_t coluna, std::size_t largura) {
  if (coluna > linha.size()) return {};
  return linha.substr(coluna - 1, largura);
}

constexpr std::array<std::string_view, 5> kTipos = {"GIA03       ", "GIA04       ", "GIA05       ", "GIAST01     ",
                                                    "GIAST02     "};

}  // namespace

std::string_view Apara(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  const auto fim = texto.find_last_not_of(' ');
  return texto.substr(inicio, fim - inicio + 1);
}

std::string Ajusta(std::string_view texto, std::size_t largura) {
  std::string campo(Apara(texto).substr(0, largura));
  campo.resize(largura, ' ');
  return campo;
}

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

bool ParametrosValidos(const Parametros& p) {
  if (p.Identificador != "PARAM   ") return false;
  bool tipo_conhecido = false;
  for (const auto tipo : kTipos) tipo_conhecido = tipo_conhecido || p.TipoDocumento == tipo;
  return tipo_conhecido && !Apara(p.EmailContribuinte).empty();
}

}  // namespace valida
