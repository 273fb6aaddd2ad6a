// Valid declaration files of every kind, small enough to be fuzz inputs:
// the seeds of the declaration targets and the files that the parameter
// target's runs name. Made by the generators of the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/geradores/gia03.h"
#include "tests/geradores/gia0405.h"
#include "tests/geradores/giast01.h"
#include "tests/geradores/giast02.h"

namespace fuzz {

// `quantas` declarations of the kind (trimmed TipoDocumento) from the seed,
// every line ended by CR LF. GIA 4 and 5 declarations carry, with `anexos`,
// one record of every annex type with one or two occurrences each.
inline std::string DeclaracaoValida(std::string_view tipo, int quantas, std::uint64_t semente, bool anexos) {
  if (tipo == "GIA03") return geradores::Arquivo(geradores::GeradorGIA03(semente).Varias(quantas));
  if (tipo == "GIAST01") return geradores::Arquivo(geradores::GeradorGIAST01(semente).Varias(quantas));
  if (tipo == "GIAST02") return geradores::Arquivo(geradores::GeradorGIAST02(semente).Varias(quantas));
  geradores::GeradorGIA0405 gerador(semente, std::string(tipo.substr(3)));
  geradores::OpcoesAnexosGIA0405 opcoes;
  opcoes.maximo_ocorrencias = 2;
  std::vector<geradores::DeclaracaoGIA0405> declaracoes;
  for (int i = 0; i < quantas; ++i)
    declaracoes.push_back(anexos ? gerador.ProximaComAnexos(opcoes) : gerador.Proxima());
  return geradores::Arquivo(declaracoes);
}

}  // namespace fuzz
