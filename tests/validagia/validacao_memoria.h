// Real findings for the HTML report's tests: a whole run of valida in memory
// on a declaration file, its report or receipt taken apart into the report's
// input (what validagia hands the page), and the records read back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "fuzz/alvos.h"
#include "fuzz/confere.h"
#include "fuzz/memoria.h"
#include "valida/checks/erros.h"
#include "valida/run/execucao.h"
#include "valida/run/modEspecifico.h"
#include "validagia/html.h"

namespace validagia::teste {

inline std::string Aparado(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  return std::string(texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1));
}

// The catalogue and code whose text this is. The report prints texts, not
// codes: where two codes share a text (GIA ST 13 and 31, GIA 5 and GIA ST 28)
// the first is taken. GIA ST files also carry the driver's GIA findings.
inline void Codigo(plataforma::Ambiente& ambiente, std::string_view tipo, const std::string& texto_cp,
                   const std::string& periodo, AchadoRelatorio& a) {
  valida::Execucao run(ambiente, std::string(fuzz::kPasta));
  if (periodo.size() == 7) run.PeriodoAtual = periodo.substr(0, 2) + periodo.substr(3);
  if (tipo.starts_with("GIAST")) {
    for (int codigo = 1; codigo <= 41; ++codigo)
      for (int campo = 0; campo <= 40; ++campo)
        if (valida::TextoErroST(run, codigo, campo) == texto_cp) {
          const bool usa_campo = valida::TextoErroST(run, codigo, campo + 1) != texto_cp;
          a.catalogo = Catalogo::kGIAST;
          a.codigo = codigo;
          a.campo = usa_campo ? campo : 0;
          return;
        }
  }
  for (int codigo = 1; codigo <= 51; ++codigo) {
    const std::string t = valida::TextoErroGIA(run, codigo);
    if (!t.empty() && (t == texto_cp || (codigo == 36 && texto_cp.starts_with("Valor do CFOP ")))) {
      a.catalogo = Catalogo::kGIA;
      a.codigo = codigo;
      return;
    }
  }
}

// Validates `bytes` as a file of kind `tipo` named `nome`, and reads back the
// records of its findings. `declaracoes` stands in for a rejected file's
// declarations, which its report does not list.
inline ArquivoValidado Valida(std::string_view tipo, std::string nome, const std::string& bytes,
                              std::vector<DeclaracaoRecibo> declaracoes = {}, const Limites& limites = {}) {
  fuzz::AmbienteMemoria memoria{std::string(fuzz::kPasta)};
  memoria.PoeArquivo("decl.txt", bytes);
  memoria.PoeArquivo(memoria.NaPasta("param.txt"), fuzz::LinhaParametros(tipo, "decl.txt") + "\r\n");
  (void)valida::Main(memoria, std::string(fuzz::kPasta), false);  // the outcome is in the files
  ArquivoValidado a;
  a.nome = std::move(nome);
  a.tipo = std::string(tipo);
  const auto param = memoria.Conteudo(memoria.NaPasta("param.txt"));
  const auto saida = memoria.Conteudo(memoria.NaPasta("saida.txt"));
  if (!param || !saida) return a;
  a.aceito = param->ends_with("\r\nOK\r\n");
  const auto linhas = fuzz::LinhasCRLF(*saida);
  if (a.aceito) {
    std::size_t k = 0;
    while (k < linhas.size() && !linhas[k].ends_with("REFER")) ++k;
    for (k += 2; k < linhas.size() && !linhas[k].empty(); ++k)
      for (std::size_t e = 0; e + 22 <= linhas[k].size(); e += 24)
        a.declaracoes.push_back({cp1252::ParaUtf8(Aparado(linhas[k].substr(e, 15))),
                                 cp1252::ParaUtf8(Aparado(linhas[k].substr(e + 15, 7)))});
    return a;
  }
  a.declaracoes = std::move(declaracoes);
  for (std::size_t k = 4; k < linhas.size(); ++k) {
    const auto lido = fuzz::LeAchado(linhas[k]);
    if (!lido) continue;
    AchadoRelatorio e;
    e.inscricao = cp1252::ParaUtf8(Aparado(linhas[k].substr(0, 15)));
    const std::size_t largura_periodo = linhas[k][22] == ' ' ? 7 : 6;
    const std::string periodo(linhas[k].substr(15, largura_periodo));
    e.periodo = cp1252::ParaUtf8(periodo);
    e.linha = lido->linha;
    e.coluna_inicial = lido->primeira;
    e.coluna_final = lido->ultima;
    Codigo(memoria, tipo, std::string(lido->texto), periodo, e);
    e.texto = cp1252::ParaUtf8(lido->texto);
    a.achados.push_back(std::move(e));
  }
  a.registros = LeRegistros(memoria, "decl.txt", tipo, a.achados, limites);
  return a;
}

}  // namespace validagia::teste
