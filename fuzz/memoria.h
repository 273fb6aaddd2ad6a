// An Ambiente whose files live in memory, for runs of valida that touch no
// disk: the fuzz targets run valida::Main through it tens of thousands of
// times a second. It keeps the platform's contracts (a new file replaces what
// stood under its name, a rename replaces its destination in one step, an open
// handle keeps the file it opened, a delete of a missing file succeeds) and
// notes every use of it that no sound run makes: a file created, renamed or
// deleted outside the program's folder or without the folder's lock, a write
// after the close, a second lock, a handle still open after the run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ambiente.h"

namespace fuzz {

class AmbienteMemoria : public plataforma::Ambiente {
 public:
  // `pasta`: the program's folder, without a trailing separator.
  explicit AmbienteMemoria(std::string pasta);
  ~AmbienteMemoria() override;

  // Every Ler serves at most this many bytes (0: as many as asked), so that
  // a reader meets its buffer's edges inside a small file.
  void LimitaLeitura(std::size_t maximo) { maximo_leitura_ = maximo; }

  // Puts a file under the name, as a caller would before the run.
  void PoeArquivo(const std::string& caminho, std::string bytes);

  // --- What the run left ---------------------------------------------------
  [[nodiscard]] const std::string& Pasta() const { return pasta_; }
  // The path of a file of the program's folder.
  [[nodiscard]] std::string NaPasta(std::string_view nome) const;
  // The bytes under the name now, or null.
  [[nodiscard]] const std::string* Conteudo(const std::string& caminho) const;
  // Every name that holds a file now, in order.
  [[nodiscard]] std::vector<std::string> Nomes() const;
  // What the file under the name held when the run last removed or replaced
  // it (deleted, created anew, renamed over), or null when it never did.
  [[nodiscard]] const std::string* Removido(const std::string& caminho) const;
  // The message boxes shown, "caption: text" each.
  [[nodiscard]] const std::vector<std::string>& Avisos() const { return avisos_; }
  // The values the progress bar was given, in order.
  [[nodiscard]] const std::vector<int>& Progressos() const { return progressos_; }
  // Uses of the environment that no sound run makes, one text each, and
  // what the end of a run must not show (a handle still open, the lock still
  // held).
  [[nodiscard]] std::vector<std::string> Violacoes() const;

  // --- Ambiente ------------------------------------------------------------
  plataforma::Status PastaPrograma(std::string* pasta) override;
  plataforma::Status AbrirLeitura(const std::string& caminho,
                                  std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override;
  plataforma::Status CriarEscrita(const std::string& caminho,
                                  std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) override;
  plataforma::Status Renomear(const std::string& origem, const std::string& destino) override;
  plataforma::Status Apagar(const std::string& caminho) override;
  plataforma::Status CarregarBiblioteca(const std::string& nome,
                                        std::unique_ptr<plataforma::Biblioteca>* biblioteca) override;
  void MensagemAviso(std::string_view titulo, std::string_view texto) override;
  std::unique_ptr<plataforma::JanelaProgresso> CriarJanelaProgresso() override;
  plataforma::Status Travar(const std::string& caminho, std::unique_ptr<plataforma::Trava>* trava) override;
  plataforma::Status CopiarPermissoes(const std::string& modelo, const std::string& caminho) override;

  // What the handles, the lock and the window report back.
  struct Estado;

 private:
  // A change of the folder: it must name one of the program's own files and
  // happen under the lock.
  void ConfereMudanca(std::string_view operacao, const std::string& caminho);
  void Remove(const std::string& caminho);

  std::string pasta_;
  // The paths of the files the run may create, replace or delete.
  std::vector<std::string> do_programa_;
  std::size_t maximo_leitura_ = 0;
  std::map<std::string, std::shared_ptr<std::string>> arquivos_;
  std::map<std::string, std::string> removidos_;
  std::vector<std::string> avisos_;
  std::vector<int> progressos_;
  std::shared_ptr<Estado> estado_;
};

}  // namespace fuzz
