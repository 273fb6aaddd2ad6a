// A run for unit tests: a temporary folder with the work files open, the
// kind of declaration set, and the findings read back as lines.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ambiente.h"
#include "valida/run/execucao.h"
#include "valida/run/parametros.h"
#include "valida/run/texto.h"

namespace valida::teste {

class ExecucaoDeTeste {
 public:
  explicit ExecucaoDeTeste(const std::string& tipo_documento,
                           plataforma::Ambiente& ambiente = plataforma::Ambiente::Padrao())
      : pasta_(CriaPasta()), run(ambiente, pasta_.string()) {
    run.parametros.TipoDocumento = Ajusta(tipo_documento, 12);
    run.ListaErros.Cria(run.ambiente, run.CaminhoNaPasta("aux00001.txt"), ArquivoTexto::Uso::kTrabalho);
    run.ListaRecibo.Cria(run.ambiente, run.CaminhoNaPasta("aux00002.txt"), ArquivoTexto::Uso::kTrabalho);
    run.NumeroLinha = 1;
  }
  ExecucaoDeTeste(const ExecucaoDeTeste&) = delete;
  ExecucaoDeTeste& operator=(const ExecucaoDeTeste&) = delete;
  ~ExecucaoDeTeste() {
    run.ListaErros.Abandona();
    run.ListaRecibo.Abandona();
    std::error_code ec;
    std::filesystem::remove_all(pasta_, ec);
  }

  // The findings recorded so far, one text line each (cp1252, no line end).
  std::vector<std::string> Erros() { return Linhas(run.ListaErros, "aux00001.txt"); }
  // The receipt lines written so far (not the pending LinhaRecibo).
  std::vector<std::string> Recibo() { return Linhas(run.ListaRecibo, "aux00002.txt"); }

 private:
  static std::filesystem::path CriaPasta() {
    static int contador = 0;
    auto pasta = std::filesystem::temp_directory_path() /
                 ("valida-unit-" + std::to_string(::getpid()) + "-" + std::to_string(++contador));
    std::filesystem::create_directories(pasta);
    return pasta;
  }

  std::vector<std::string> Linhas(ArquivoTexto& arquivo, const std::string& nome) {
    arquivo.Fecha();
    std::ifstream in(pasta_ / nome, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string conteudo = ss.str();
    std::vector<std::string> linhas;
    std::size_t inicio = 0;
    while (inicio < conteudo.size()) {
      const auto fim = conteudo.find("\r\n", inicio);
      linhas.push_back(conteudo.substr(inicio, fim - inicio));
      if (fim == std::string::npos) break;
      inicio = fim + 2;
    }
    // Reopen for appending further findings: recreate and write back.
    arquivo.Cria(run.ambiente, run.CaminhoNaPasta(nome), ArquivoTexto::Uso::kTrabalho);
    for (const auto& l : linhas) arquivo.EscreveLinha(l);
    return linhas;
  }

  std::filesystem::path pasta_;

 public:
  Execucao run;
};

}  // namespace valida::teste
