// The environment of one validation of the library: the program folder in
// memory, the declaration from its source, the registration check linked in.
#include "libvalida/ambiente_validacao.h"

#include <algorithm>
#include <utility>

#include "DllInscE32/DllInscE32.h"

namespace libvalida {

using plataforma::Falha;
using plataforma::Status;

namespace {

class LeituraMemoria final : public plataforma::ArquivoLeitura {
 public:
  explicit LeituraMemoria(std::string_view bytes) : bytes_(bytes) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    const std::size_t quantos = std::min(n, bytes_.size() - posicao_);
    std::copy_n(bytes_.data() + posicao_, quantos, buf);
    posicao_ += quantos;
    *lidos = quantos;
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = bytes_.size();
    return Status::Ok();
  }

 private:
  std::string_view bytes_;
  std::size_t posicao_ = 0;
};

// A file of the program folder; it keeps the bytes it opened.
class LeituraPasta final : public plataforma::ArquivoLeitura {
 public:
  explicit LeituraPasta(std::shared_ptr<const std::string> bytes) : bytes_(std::move(bytes)), leitor_(*bytes_) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override { return leitor_.Ler(buf, n, lidos); }
  Status Tamanho(std::uint64_t* bytes) override { return leitor_.Tamanho(bytes); }

 private:
  std::shared_ptr<const std::string> bytes_;
  LeituraMemoria leitor_;
};

// The declaration as the run reads it: the first failure is noted, so that
// the library can tell a file that could not be read from a rejected one.
class LeituraNotada final : public plataforma::ArquivoLeitura {
 public:
  LeituraNotada(std::unique_ptr<plataforma::ArquivoLeitura> arquivo, std::shared_ptr<Status> falha)
      : arquivo_(std::move(arquivo)), falha_(std::move(falha)) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override { return Nota(arquivo_->Ler(buf, n, lidos)); }
  Status Tamanho(std::uint64_t* bytes) override { return Nota(arquivo_->Tamanho(bytes)); }

 private:
  Status Nota(Status status) {
    if (!status.ok() && falha_->ok()) *falha_ = status;
    return status;
  }
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo_;
  std::shared_ptr<Status> falha_;
};

class EscritaPasta final : public plataforma::ArquivoEscrita {
 public:
  explicit EscritaPasta(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  Status Escrever(std::string_view texto) override {
    bytes_->append(texto);
    return Status::Ok();
  }
  Status Fechar() override { return Status::Ok(); }

 private:
  std::shared_ptr<std::string> bytes_;
};

// One validation at a time runs in its environment: the lock has nothing to
// keep out.
class TravaPropria final : public plataforma::Trava {};

// The registration check, linked into the library: nothing is loaded.
class BibliotecaInscricao final : public plataforma::Biblioteca {
 public:
  Status Funcao(const std::string& nome, plataforma::EnderecoFuncao* endereco) override {
    if (nome != "ConsisteInscricaoEstadual") return Status::Erro(Falha::kNaoEncontrado, "no function " + nome);
    *endereco = reinterpret_cast<plataforma::EnderecoFuncao>(&::ConsisteInscricaoEstadual);  // NOLINT: by name
    return Status::Ok();
  }
};

class JanelaRetorno final : public plataforma::JanelaProgresso {
 public:
  explicit JanelaRetorno(const std::function<void(int)>& progresso) : progresso_(progresso) {}
  void DefineProgresso(int valor) override {
    if (progresso_ && valor != ultimo_) progresso_(valor);
    ultimo_ = valor;
  }
  void DefineContribuinte(std::string_view /*texto*/) override {}
  void DefineVersao(std::string_view /*texto*/) override {}
  void Atualiza() override {}
  void Fecha() override {}

 private:
  const std::function<void(int)>& progresso_;
  int ultimo_ = -1;
};

Status ForaDaPasta(const std::string& caminho) {
  return Status::Erro(Falha::kNaoEncontrado, "not a file of the validation: " + caminho);
}

}  // namespace

Status FonteArquivo::Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) {
  return plataforma::Ambiente::Padrao().AbrirLeitura(caminho_, arquivo);
}

Status FonteMemoria::Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) {
  *arquivo = std::make_unique<LeituraMemoria>(bytes_);
  return Status::Ok();
}

Status LePrimeiraLinha(Fonte& fonte, std::size_t maximo, std::string* linha) {
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo;
  if (Status s = fonte.Abrir(&arquivo); !s.ok()) return s;
  linha->clear();
  std::string lido(maximo + 2, '\0');
  std::size_t total = 0;
  while (total < lido.size()) {
    std::size_t n = 0;
    if (Status s = arquivo->Ler(lido.data() + total, lido.size() - total, &n); !s.ok()) return s;
    if (n == 0) break;
    total += n;
    if (std::string_view(lido.data(), total).find("\r\n") != std::string_view::npos) break;
  }
  lido.resize(total);
  *linha = lido.substr(0, std::min(lido.find("\r\n"), maximo));
  return Status::Ok();
}

AmbienteValidacao::AmbienteValidacao(Fonte& fonte, std::function<void(int)> progresso)
    : fonte_(fonte), progresso_(std::move(progresso)), falha_fonte_(std::make_shared<Status>()) {}

AmbienteValidacao::~AmbienteValidacao() = default;

bool AmbienteValidacao::NaPasta(const std::string& caminho) {
  return caminho.size() > kPasta.size() && caminho.starts_with(kPasta) && caminho[kPasta.size()] == Separador();
}

void AmbienteValidacao::PoeArquivo(std::string_view nome, std::string bytes) {
  arquivos_[std::string(kPasta) + Separador() + std::string(nome)] = std::make_shared<std::string>(std::move(bytes));
}

const std::string* AmbienteValidacao::Conteudo(std::string_view nome) const {
  const auto it = arquivos_.find(std::string(kPasta) + Separador() + std::string(nome));
  return it == arquivos_.end() ? nullptr : it->second.get();
}

Status AmbienteValidacao::PastaPrograma(std::string* pasta) {
  *pasta = kPasta;
  return Status::Ok();
}

Status AmbienteValidacao::AbrirLeitura(const std::string& caminho,
                                       std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) {
  if (caminho == kDeclaracao) {
    std::unique_ptr<plataforma::ArquivoLeitura> aberto;
    Status status = fonte_.Abrir(&aberto);
    if (!status.ok()) {
      if (falha_fonte_->ok()) *falha_fonte_ = status;
      return status;
    }
    *arquivo = std::make_unique<LeituraNotada>(std::move(aberto), falha_fonte_);
    return Status::Ok();
  }
  const auto it = arquivos_.find(caminho);
  if (it == arquivos_.end()) return ForaDaPasta(caminho);
  *arquivo = std::make_unique<LeituraPasta>(it->second);
  return Status::Ok();
}

Status AmbienteValidacao::CriarEscrita(const std::string& caminho,
                                       std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) {
  if (!NaPasta(caminho)) return ForaDaPasta(caminho);
  auto bytes = std::make_shared<std::string>();
  arquivos_[caminho] = bytes;
  *arquivo = std::make_unique<EscritaPasta>(std::move(bytes));
  return Status::Ok();
}

Status AmbienteValidacao::Renomear(const std::string& origem, const std::string& destino) {
  const auto it = arquivos_.find(origem);
  if (it == arquivos_.end() || !NaPasta(destino)) return ForaDaPasta(origem);
  auto bytes = it->second;
  arquivos_.erase(it);
  arquivos_[destino] = std::move(bytes);
  return Status::Ok();
}

Status AmbienteValidacao::Apagar(const std::string& caminho) {
  if (!NaPasta(caminho)) return ForaDaPasta(caminho);
  arquivos_.erase(caminho);
  return Status::Ok();
}

Status AmbienteValidacao::CarregarBiblioteca(const std::string& nome,
                                             std::unique_ptr<plataforma::Biblioteca>* biblioteca) {
  if (nome != "DllInscE32") return Status::Erro(Falha::kNaoEncontrado, "no library " + nome);
  *biblioteca = std::make_unique<BibliotecaInscricao>();
  return Status::Ok();
}

void AmbienteValidacao::MensagemAviso(std::string_view /*titulo*/, std::string_view texto) { aviso_ = texto; }

std::unique_ptr<plataforma::JanelaProgresso> AmbienteValidacao::CriarJanelaProgresso() {
  return std::make_unique<JanelaRetorno>(progresso_);
}

Status AmbienteValidacao::Travar(const std::string& caminho, std::unique_ptr<plataforma::Trava>* trava) {
  if (!NaPasta(caminho)) return ForaDaPasta(caminho);
  *trava = std::make_unique<TravaPropria>();
  return Status::Ok();
}

Status AmbienteValidacao::CopiarPermissoes(const std::string& /*modelo*/, const std::string& /*caminho*/) {
  return Status::Ok();
}

}  // namespace libvalida
