// An Ambiente whose files live in memory, for runs of valida that touch no
// disk: the fuzz targets run valida::Main through it tens of thousands of
// times a second. It keeps the platform's contracts (a new file replaces what
// stood under its name, a rename replaces its destination in one step, an open
// handle keeps the file it opened, a delete of a missing file succeeds) and
// notes every use of it that no sound run makes: a file created, renamed or
// deleted outside the program's folder or without the folder's lock, a write
// after the close, a second lock, a handle still open after the run. The
// program's own files sit in a fixed table, so that finding one builds no
// path and allocates nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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
  void PoeArquivo(std::string_view caminho, std::string bytes);
  // The same without a copy: the file is served from the caller's bytes,
  // which must stay as they are while the environment lives.
  void PoeArquivoAlheio(std::string_view caminho, std::string_view bytes);

  // --- What the run left ---------------------------------------------------
  [[nodiscard]] const std::string& Pasta() const { return pasta_; }
  // The path of a file of the program's folder.
  [[nodiscard]] std::string NaPasta(std::string_view nome) const;
  // The bytes under the name now, or nothing; they live as long as the file
  // stays as it is. ...NaPasta: of a file of the program's folder, by name.
  [[nodiscard]] std::optional<std::string_view> Conteudo(std::string_view caminho) const;
  [[nodiscard]] std::optional<std::string_view> ConteudoNaPasta(std::string_view nome) const;
  // Every name that holds a file now, in order.
  [[nodiscard]] std::vector<std::string> Nomes() const;
  // What the file under the name held when the run last removed or replaced
  // it (deleted, created anew, renamed over), or nothing when it never did.
  [[nodiscard]] std::optional<std::string_view> Removido(std::string_view caminho) const;
  [[nodiscard]] std::optional<std::string_view> RemovidoNaPasta(std::string_view nome) const;
  // The message boxes shown, "caption: text" each.
  [[nodiscard]] const std::vector<std::string>& Avisos() const { return avisos_; }
  // Uses of the environment that no sound run makes, one text each (a value
  // of the progress bar outside 0 to 100 among them), and what the end of a
  // run must not show (a handle still open, the lock still held).
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
  // The bytes of one file: its own, or the caller's that PoeArquivoAlheio
  // lent.
  struct Bytes;

 private:
  // A name and what stands under it.
  struct Entrada {
    std::shared_ptr<Bytes> atual;     // null: no file under the name
    std::shared_ptr<Bytes> removido;  // what the run last removed from it
  };
  // Paths outside the program's own names.
  struct Outro {
    std::string caminho;
    Entrada entrada;
  };

  // The entry of the path, or null when the path never held a file.
  [[nodiscard]] Entrada* Procura(std::string_view caminho);
  [[nodiscard]] const Entrada* Procura(std::string_view caminho) const;
  // The entry of the path, made empty when it is new.
  Entrada& Obtem(std::string_view caminho);
  // The program's own name (its index in the fixed table) that the path
  // names, or none.
  [[nodiscard]] std::optional<std::size_t> IndiceNaPasta(std::string_view caminho) const;
  // The entry of the path, made empty when it is new; `indice`: the path's
  // IndiceNaPasta, found once by the caller.
  Entrada& Obtem(std::string_view caminho, std::optional<std::size_t> indice);
  // A change of the folder: it must name one of the program's own files
  // (`indice`, the path's IndiceNaPasta) and happen under the lock.
  void ConfereMudanca(std::string_view operacao, std::string_view caminho, std::optional<std::size_t> indice);
  void Remove(Entrada& entrada);

  std::string pasta_;
  std::size_t maximo_leitura_ = 0;
  // The program's own names, as the fixed table in memoria.cpp orders them,
  // then every other path in the order first used.
  static constexpr std::size_t kNomesDaPasta = 7;
  std::array<Entrada, kNomesDaPasta> da_pasta_;
  std::vector<Outro> outros_;
  std::vector<std::string> avisos_;
  std::shared_ptr<Estado> estado_;
};

}  // namespace fuzz
