// The environment of one validation of the library: valida's own run
// (valida::Main), whose program folder lives in memory ("param.txt" made by
// the library, the work files, the results) and whose declaration comes from
// a Fonte: a file of the real file system, bytes in memory or a stream. Every
// other name is refused: a run of the library touches nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ambiente.h"

namespace libvalida {

// Where the declaration's bytes come from. Abrir is called at most once per
// run (the driver opens the declaration once).
class Fonte {
 public:
  Fonte() = default;
  Fonte(const Fonte&) = delete;
  Fonte& operator=(const Fonte&) = delete;
  virtual ~Fonte() = default;
  virtual plataforma::Status Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) = 0;
};

// A file of the platform's file system, opened as valida opens one.
class FonteArquivo final : public Fonte {
 public:
  explicit FonteArquivo(std::string caminho) : caminho_(std::move(caminho)) {}
  plataforma::Status Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override;

 private:
  std::string caminho_;
};

// Bytes that the caller keeps for the whole run.
class FonteMemoria final : public Fonte {
 public:
  explicit FonteMemoria(std::string_view bytes) : bytes_(bytes) {}
  plataforma::Status Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override;

 private:
  std::string_view bytes_;
};

// The first line of what the source gives (at most `maximo` bytes, without
// its CR LF), for the detection of the kind; the source is opened and closed.
plataforma::Status LePrimeiraLinha(Fonte& fonte, std::size_t maximo, std::string* linha);

class AmbienteValidacao final : public plataforma::Ambiente {
 public:
  // The program folder, and the name under which param.txt names the
  // declaration: both are the library's own and never reach the system.
  static constexpr std::string_view kPasta = "<libvalida>";
  static constexpr std::string_view kDeclaracao = "<libvalida>/declaracao";

  // `progresso`, when set, receives the values of the progress bar.
  AmbienteValidacao(Fonte& fonte, std::function<void(int)> progresso);
  ~AmbienteValidacao() override;

  // Puts a file into the program folder, as a caller would before the run.
  void PoeArquivo(std::string_view nome, std::string bytes);
  // The bytes of a file of the program folder now, or null.
  [[nodiscard]] const std::string* Conteudo(std::string_view nome) const;
  // The first failure of the declaration's source (open, size or read); ok
  // when it gave every byte asked of it.
  [[nodiscard]] const plataforma::Status& FalhaDaFonte() const { return *falha_fonte_; }
  // The text (cp1252) of the last message box the run showed; empty when none.
  [[nodiscard]] const std::string& Aviso() const { return aviso_; }

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

 private:
  [[nodiscard]] static bool NaPasta(const std::string& caminho);

  Fonte& fonte_;
  std::function<void(int)> progresso_;
  std::map<std::string, std::shared_ptr<std::string>, std::less<>> arquivos_;
  // Shared with the reader of the declaration, which notes its failures.
  std::shared_ptr<plataforma::Status> falha_fonte_;
  std::string aviso_;
};

}  // namespace libvalida
