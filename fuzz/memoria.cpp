// The in-memory Ambiente of the fuzz targets.
#include "fuzz/memoria.h"

#include <algorithm>
#include <array>
#include <utility>

#include "DllInscE32/DllInscE32.h"

namespace fuzz {

using plataforma::Falha;
using plataforma::Status;

namespace {

// The only files a run may create, replace or delete: its results, their
// temporaries and its work files. The lock file is created by Travar alone.
constexpr std::array<std::string_view, 6> kArquivosDoPrograma = {"param.txt",      "saida.txt",    "param.txt.novo",
                                                                 "saida.txt.novo", "aux00001.txt", "aux00002.txt"};
constexpr std::string_view kTrava = "valida.lck";

}  // namespace

struct AmbienteMemoria::Estado {
  int leituras_abertas = 0;
  int escritas_abertas = 0;
  int bibliotecas_abertas = 0;
  bool travado = false;
  std::vector<std::string> violacoes;
  std::vector<int>* progressos = nullptr;
};

namespace {

class LeituraMemoria final : public plataforma::ArquivoLeitura {
 public:
  LeituraMemoria(std::shared_ptr<const std::string> bytes, std::size_t maximo,
                 std::shared_ptr<AmbienteMemoria::Estado> estado)
      : bytes_(std::move(bytes)), maximo_(maximo), estado_(std::move(estado)) {
    ++estado_->leituras_abertas;
  }
  ~LeituraMemoria() override { --estado_->leituras_abertas; }

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    // The file may grow while it is read (a work file named as the
    // declaration): what is there now is served.
    std::size_t quantos = bytes_->size() > posicao_ ? std::min(n, bytes_->size() - posicao_) : 0;
    if (maximo_ > 0) quantos = std::min(quantos, maximo_);
    std::copy_n(bytes_->data() + posicao_, quantos, buf);
    posicao_ += quantos;
    *lidos = quantos;
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = bytes_->size();
    return Status::Ok();
  }

 private:
  std::shared_ptr<const std::string> bytes_;
  std::size_t maximo_;
  std::size_t posicao_ = 0;
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

class EscritaMemoria final : public plataforma::ArquivoEscrita {
 public:
  EscritaMemoria(std::shared_ptr<std::string> bytes, std::string caminho,
                 std::shared_ptr<AmbienteMemoria::Estado> estado)
      : bytes_(std::move(bytes)), caminho_(std::move(caminho)), estado_(std::move(estado)) {
    ++estado_->escritas_abertas;
  }
  ~EscritaMemoria() override {
    if (!fechado_) --estado_->escritas_abertas;
  }

  Status Escrever(std::string_view texto) override {
    if (fechado_) {
      estado_->violacoes.push_back("write after the close of " + caminho_);
      return Status::Erro(Falha::kOutra, "closed");
    }
    bytes_->append(texto);
    return Status::Ok();
  }
  Status Fechar() override {
    if (fechado_) {
      estado_->violacoes.push_back("second close of " + caminho_);
      return Status::Erro(Falha::kOutra, "closed");
    }
    fechado_ = true;
    --estado_->escritas_abertas;
    return Status::Ok();
  }

 private:
  std::shared_ptr<std::string> bytes_;
  std::string caminho_;
  bool fechado_ = false;
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

class TravaMemoria final : public plataforma::Trava {
 public:
  explicit TravaMemoria(std::shared_ptr<AmbienteMemoria::Estado> estado) : estado_(std::move(estado)) {
    estado_->travado = true;
  }
  ~TravaMemoria() override { estado_->travado = false; }

 private:
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

// The registration library linked into the program: the real check.
class BibliotecaMemoria final : public plataforma::Biblioteca {
 public:
  explicit BibliotecaMemoria(std::shared_ptr<AmbienteMemoria::Estado> estado) : estado_(std::move(estado)) {
    ++estado_->bibliotecas_abertas;
  }
  ~BibliotecaMemoria() override { --estado_->bibliotecas_abertas; }

  Status Funcao(const std::string& nome, plataforma::EnderecoFuncao* endereco) override {
    if (nome != "ConsisteInscricaoEstadual") return Status::Erro(Falha::kNaoEncontrado, "no function " + nome);
    *endereco = reinterpret_cast<plataforma::EnderecoFuncao>(&::ConsisteInscricaoEstadual);  // NOLINT: by name
    return Status::Ok();
  }

 private:
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

// The window notes the values of its bar.
class JanelaMemoria final : public plataforma::JanelaProgresso {
 public:
  explicit JanelaMemoria(std::shared_ptr<AmbienteMemoria::Estado> estado) : estado_(std::move(estado)) {}

  void DefineProgresso(int valor) override {
    if (estado_->progressos != nullptr) estado_->progressos->push_back(valor);
  }
  void DefineContribuinte(std::string_view /*texto*/) override {}
  void DefineVersao(std::string_view /*texto*/) override {}
  void Atualiza() override {}
  void Fecha() override {}

 private:
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

}  // namespace

AmbienteMemoria::AmbienteMemoria(std::string pasta) : pasta_(std::move(pasta)), estado_(std::make_shared<Estado>()) {
  estado_->progressos = &progressos_;
  for (const std::string_view nome : kArquivosDoPrograma) do_programa_.push_back(NaPasta(nome));
}

AmbienteMemoria::~AmbienteMemoria() { estado_->progressos = nullptr; }

void AmbienteMemoria::PoeArquivo(const std::string& caminho, std::string bytes) {
  arquivos_[caminho] = std::make_shared<std::string>(std::move(bytes));
}

std::string AmbienteMemoria::NaPasta(std::string_view nome) const { return pasta_ + Separador() + std::string(nome); }

const std::string* AmbienteMemoria::Conteudo(const std::string& caminho) const {
  const auto it = arquivos_.find(caminho);
  return it == arquivos_.end() ? nullptr : it->second.get();
}

std::vector<std::string> AmbienteMemoria::Nomes() const {
  std::vector<std::string> nomes;
  nomes.reserve(arquivos_.size());
  for (const auto& [nome, bytes] : arquivos_) nomes.push_back(nome);
  return nomes;
}

const std::string* AmbienteMemoria::Removido(const std::string& caminho) const {
  const auto it = removidos_.find(caminho);
  return it == removidos_.end() ? nullptr : &it->second;
}

std::vector<std::string> AmbienteMemoria::Violacoes() const {
  std::vector<std::string> v = estado_->violacoes;
  if (estado_->leituras_abertas != 0)
    v.push_back(std::to_string(estado_->leituras_abertas) + " file(s) left open for reading");
  if (estado_->escritas_abertas != 0)
    v.push_back(std::to_string(estado_->escritas_abertas) + " file(s) left open for writing");
  if (estado_->bibliotecas_abertas != 0) v.push_back("the registration library left loaded");
  if (estado_->travado) v.push_back("the folder's lock still held");
  return v;
}

void AmbienteMemoria::ConfereMudanca(std::string_view operacao, const std::string& caminho) {
  const bool do_programa = std::find(do_programa_.begin(), do_programa_.end(), caminho) != do_programa_.end();
  if (!do_programa)
    estado_->violacoes.push_back(std::string(operacao) + " of a file not the program's own: " + caminho);
  if (!estado_->travado) estado_->violacoes.push_back(std::string(operacao) + " without the folder's lock: " + caminho);
}

void AmbienteMemoria::Remove(const std::string& caminho) {
  const auto it = arquivos_.find(caminho);
  if (it == arquivos_.end()) return;
  removidos_[caminho] = *it->second;
  arquivos_.erase(it);
}

Status AmbienteMemoria::PastaPrograma(std::string* pasta) {
  *pasta = pasta_;
  return Status::Ok();
}

Status AmbienteMemoria::AbrirLeitura(const std::string& caminho, std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) {
  const auto it = arquivos_.find(caminho);
  if (it == arquivos_.end()) return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  *arquivo = std::make_unique<LeituraMemoria>(it->second, maximo_leitura_, estado_);
  return Status::Ok();
}

Status AmbienteMemoria::CriarEscrita(const std::string& caminho, std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) {
  ConfereMudanca("creation", caminho);
  Remove(caminho);
  auto bytes = std::make_shared<std::string>();
  arquivos_[caminho] = bytes;
  *arquivo = std::make_unique<EscritaMemoria>(std::move(bytes), caminho, estado_);
  return Status::Ok();
}

Status AmbienteMemoria::Renomear(const std::string& origem, const std::string& destino) {
  ConfereMudanca("rename", origem);
  ConfereMudanca("rename", destino);
  const auto it = arquivos_.find(origem);
  if (it == arquivos_.end()) return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  if (origem == destino) return Status::Ok();
  auto bytes = it->second;
  arquivos_.erase(it);
  Remove(destino);
  arquivos_[destino] = std::move(bytes);
  return Status::Ok();
}

Status AmbienteMemoria::Apagar(const std::string& caminho) {
  ConfereMudanca("deletion", caminho);
  Remove(caminho);
  return Status::Ok();
}

Status AmbienteMemoria::CarregarBiblioteca(const std::string& nome,
                                           std::unique_ptr<plataforma::Biblioteca>* biblioteca) {
  if (nome != "DllInscE32") return Status::Erro(Falha::kNaoEncontrado, "no library " + nome);
  *biblioteca = std::make_unique<BibliotecaMemoria>(estado_);
  return Status::Ok();
}

void AmbienteMemoria::MensagemAviso(std::string_view titulo, std::string_view texto) {
  avisos_.push_back(std::string(titulo) + ": " + std::string(texto));
}

std::unique_ptr<plataforma::JanelaProgresso> AmbienteMemoria::CriarJanelaProgresso() {
  return std::make_unique<JanelaMemoria>(estado_);
}

Status AmbienteMemoria::Travar(const std::string& caminho, std::unique_ptr<plataforma::Trava>* trava) {
  if (caminho != NaPasta(kTrava)) estado_->violacoes.push_back("lock of a file not the program's own: " + caminho);
  if (estado_->travado) {
    // A real second lock in one process would wait for ever.
    estado_->violacoes.push_back("the folder's lock taken twice");
    return Status::Erro(Falha::kOutra, "already locked");
  }
  if (arquivos_.find(caminho) == arquivos_.end()) arquivos_[caminho] = std::make_shared<std::string>();
  *trava = std::make_unique<TravaMemoria>(estado_);
  return Status::Ok();
}

Status AmbienteMemoria::CopiarPermissoes(const std::string& modelo, const std::string& caminho) {
  if (arquivos_.find(modelo) == arquivos_.end() || arquivos_.find(caminho) == arquivos_.end())
    return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  return Status::Ok();
}

}  // namespace fuzz
