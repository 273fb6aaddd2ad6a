// The in-memory Ambiente of the fuzz targets.
#include "fuzz/memoria.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "DllInscE32/DllInscE32.h"

namespace fuzz {

using plataforma::Falha;
using plataforma::Status;

namespace {

// The program's own names in its folder. The run may create, replace or
// delete the first six (its results, their temporaries and its work files);
// the lock file is created by Travar alone.
constexpr std::array<std::string_view, 7> kNomesDoPrograma = {
    "param.txt", "saida.txt", "param.txt.novo", "saida.txt.novo", "aux00001.txt", "aux00002.txt", "valida.lck"};
constexpr std::size_t kMudaveis = 6;
constexpr std::size_t kIndiceTrava = 6;

// Equal texts, compared here rather than by memcmp: paths are short, and the
// sanitizer's interception of every memcmp costs more than the comparison.
bool Igual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = a.size(); i-- > 0;)  // names differ most at their end
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace

struct AmbienteMemoria::Bytes {
  std::string proprios;
  std::optional<std::string_view> alheios;
  [[nodiscard]] std::string_view Ver() const { return alheios ? *alheios : std::string_view(proprios); }
};

struct AmbienteMemoria::Estado {
  int leituras_abertas = 0;
  int escritas_abertas = 0;
  int bibliotecas_abertas = 0;
  bool travado = false;
  std::string pasta;
  std::vector<std::string> violacoes;
};

namespace {

class LeituraMemoria final : public plataforma::ArquivoLeitura {
 public:
  LeituraMemoria(std::shared_ptr<const AmbienteMemoria::Bytes> bytes, std::size_t maximo,
                 std::shared_ptr<AmbienteMemoria::Estado> estado)
      : bytes_(std::move(bytes)), maximo_(maximo), estado_(std::move(estado)) {
    ++estado_->leituras_abertas;
  }
  ~LeituraMemoria() override { --estado_->leituras_abertas; }

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    // The file may grow while it is read (a work file named as the
    // declaration): what is there now is served.
    const std::string_view bytes = bytes_->Ver();
    std::size_t quantos = bytes.size() > posicao_ ? std::min(n, bytes.size() - posicao_) : 0;
    if (maximo_ > 0) quantos = std::min(quantos, maximo_);
    std::copy_n(bytes.data() + posicao_, quantos, buf);
    posicao_ += quantos;
    *lidos = quantos;
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = bytes_->Ver().size();
    return Status::Ok();
  }

 private:
  std::shared_ptr<const AmbienteMemoria::Bytes> bytes_;
  std::size_t maximo_;
  std::size_t posicao_ = 0;
  std::shared_ptr<AmbienteMemoria::Estado> estado_;
};

class EscritaMemoria final : public plataforma::ArquivoEscrita {
 public:
  // `nome`: the program's own name of the file, else empty and `caminho`
  // holds its path.
  EscritaMemoria(std::shared_ptr<AmbienteMemoria::Bytes> bytes, std::string_view nome, std::string caminho,
                 std::shared_ptr<AmbienteMemoria::Estado> estado)
      : bytes_(std::move(bytes)), nome_(nome), caminho_(std::move(caminho)), estado_(std::move(estado)) {
    ++estado_->escritas_abertas;
  }
  ~EscritaMemoria() override {
    if (!fechado_) --estado_->escritas_abertas;
  }

  Status Escrever(std::string_view texto) override {
    if (fechado_) {
      estado_->violacoes.push_back("write after the close of " + Caminho());
      return Status::Erro(Falha::kOutra, "closed");
    }
    bytes_->proprios.append(texto);
    return Status::Ok();
  }
  Status Fechar() override {
    if (fechado_) {
      estado_->violacoes.push_back("second close of " + Caminho());
      return Status::Erro(Falha::kOutra, "closed");
    }
    fechado_ = true;
    --estado_->escritas_abertas;
    return Status::Ok();
  }

 private:
  [[nodiscard]] std::string Caminho() const {
    return nome_.empty() ? caminho_ : estado_->pasta + plataforma::Ambiente::Separador() + std::string(nome_);
  }

  std::shared_ptr<AmbienteMemoria::Bytes> bytes_;
  std::string_view nome_;
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

// The window notes a value of its bar outside 0 to 100.
class JanelaMemoria final : public plataforma::JanelaProgresso {
 public:
  explicit JanelaMemoria(std::shared_ptr<AmbienteMemoria::Estado> estado) : estado_(std::move(estado)) {}

  void DefineProgresso(int valor) override {
    if (valor < 0 || valor > 100) estado_->violacoes.push_back("the progress bar was set to " + std::to_string(valor));
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
  static_assert(kNomesDoPrograma.size() == kNomesDaPasta);
  estado_->pasta = pasta_;
}

AmbienteMemoria::~AmbienteMemoria() = default;

std::optional<std::size_t> AmbienteMemoria::IndiceNaPasta(std::string_view caminho) const {
  if (caminho.size() <= pasta_.size() || caminho[pasta_.size()] != Separador() ||
      !Igual(caminho.substr(0, pasta_.size()), pasta_))
    return std::nullopt;
  const std::string_view nome = caminho.substr(pasta_.size() + 1);
  for (std::size_t i = 0; i < kNomesDoPrograma.size(); ++i)
    if (Igual(kNomesDoPrograma[i], nome)) return i;
  return std::nullopt;
}

AmbienteMemoria::Entrada* AmbienteMemoria::Procura(std::string_view caminho) {
  if (const auto i = IndiceNaPasta(caminho)) return &da_pasta_[*i];
  for (auto& o : outros_)
    if (Igual(o.caminho, caminho)) return &o.entrada;
  return nullptr;
}

const AmbienteMemoria::Entrada* AmbienteMemoria::Procura(std::string_view caminho) const {
  return const_cast<AmbienteMemoria*>(this)->Procura(caminho);  // NOLINT: the same search, read only
}

AmbienteMemoria::Entrada& AmbienteMemoria::Obtem(std::string_view caminho) {
  return Obtem(caminho, IndiceNaPasta(caminho));
}

AmbienteMemoria::Entrada& AmbienteMemoria::Obtem(std::string_view caminho, std::optional<std::size_t> indice) {
  if (indice) return da_pasta_[*indice];
  for (auto& o : outros_)
    if (Igual(o.caminho, caminho)) return o.entrada;
  return outros_.emplace_back(Outro{std::string(caminho), {}}).entrada;
}

void AmbienteMemoria::PoeArquivo(std::string_view caminho, std::string bytes) {
  auto b = std::make_shared<Bytes>();
  b->proprios = std::move(bytes);
  Obtem(caminho).atual = std::move(b);
}

void AmbienteMemoria::PoeArquivoAlheio(std::string_view caminho, std::string_view bytes) {
  auto b = std::make_shared<Bytes>();
  b->alheios = bytes;
  Obtem(caminho).atual = std::move(b);
}

std::string AmbienteMemoria::NaPasta(std::string_view nome) const {
  std::string caminho = pasta_;
  caminho += Separador();
  caminho += nome;
  return caminho;
}

namespace {

std::optional<std::string_view> Ver(const std::shared_ptr<AmbienteMemoria::Bytes>& bytes) {
  if (bytes == nullptr) return std::nullopt;
  return bytes->Ver();
}

}  // namespace

std::optional<std::string_view> AmbienteMemoria::Conteudo(std::string_view caminho) const {
  const Entrada* e = Procura(caminho);
  return e == nullptr ? std::nullopt : Ver(e->atual);
}

std::optional<std::string_view> AmbienteMemoria::ConteudoNaPasta(std::string_view nome) const {
  for (std::size_t i = 0; i < kNomesDoPrograma.size(); ++i)
    if (Igual(kNomesDoPrograma[i], nome)) return Ver(da_pasta_[i].atual);
  return Conteudo(NaPasta(nome));
}

std::vector<std::string> AmbienteMemoria::Nomes() const {
  std::vector<std::string> nomes;
  for (std::size_t i = 0; i < kNomesDoPrograma.size(); ++i)
    if (da_pasta_[i].atual != nullptr) nomes.push_back(NaPasta(kNomesDoPrograma[i]));
  for (const auto& o : outros_)
    if (o.entrada.atual != nullptr) nomes.push_back(o.caminho);
  std::sort(nomes.begin(), nomes.end());
  return nomes;
}

std::optional<std::string_view> AmbienteMemoria::Removido(std::string_view caminho) const {
  const Entrada* e = Procura(caminho);
  return e == nullptr ? std::nullopt : Ver(e->removido);
}

std::optional<std::string_view> AmbienteMemoria::RemovidoNaPasta(std::string_view nome) const {
  for (std::size_t i = 0; i < kNomesDoPrograma.size(); ++i)
    if (Igual(kNomesDoPrograma[i], nome)) return Ver(da_pasta_[i].removido);
  return Removido(NaPasta(nome));
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

void AmbienteMemoria::ConfereMudanca(std::string_view operacao, std::string_view caminho,
                                     std::optional<std::size_t> indice) {
  if (!indice || *indice >= kMudaveis)
    estado_->violacoes.push_back(std::string(operacao) + " of a file not the program's own: " + std::string(caminho));
  if (!estado_->travado)
    estado_->violacoes.push_back(std::string(operacao) + " without the folder's lock: " + std::string(caminho));
}

void AmbienteMemoria::Remove(Entrada& entrada) {
  if (entrada.atual == nullptr) return;
  // Kept as it was at this moment: a handle still open on the file (no sound
  // run leaves one) could change it later, so then it is copied.
  if (entrada.atual.use_count() == 1) {
    entrada.removido = std::move(entrada.atual);
  } else {
    entrada.removido = std::make_shared<Bytes>(*entrada.atual);
    entrada.atual.reset();
  }
}

Status AmbienteMemoria::PastaPrograma(std::string* pasta) {
  *pasta = pasta_;
  return Status::Ok();
}

Status AmbienteMemoria::AbrirLeitura(const std::string& caminho, std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) {
  const Entrada* e = Procura(caminho);
  if (e == nullptr || e->atual == nullptr) return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  *arquivo = std::make_unique<LeituraMemoria>(e->atual, maximo_leitura_, estado_);
  return Status::Ok();
}

Status AmbienteMemoria::CriarEscrita(const std::string& caminho, std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) {
  const auto i = IndiceNaPasta(caminho);
  ConfereMudanca("creation", caminho, i);
  Entrada& e = Obtem(caminho, i);
  Remove(e);
  e.atual = std::make_shared<Bytes>();
  *arquivo = i ? std::make_unique<EscritaMemoria>(e.atual, kNomesDoPrograma[*i], std::string(), estado_)
               : std::make_unique<EscritaMemoria>(e.atual, std::string_view(), caminho, estado_);
  return Status::Ok();
}

Status AmbienteMemoria::Renomear(const std::string& origem, const std::string& destino) {
  const auto i_origem = IndiceNaPasta(origem);
  const auto i_destino = IndiceNaPasta(destino);
  ConfereMudanca("rename", origem, i_origem);
  ConfereMudanca("rename", destino, i_destino);
  Entrada* de = i_origem ? &da_pasta_[*i_origem] : Procura(origem);
  if (de == nullptr || de->atual == nullptr) return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  if (origem == destino) return Status::Ok();
  auto bytes = std::move(de->atual);
  Entrada& para = Obtem(destino, i_destino);
  Remove(para);
  para.atual = std::move(bytes);
  return Status::Ok();
}

Status AmbienteMemoria::Apagar(const std::string& caminho) {
  const auto i = IndiceNaPasta(caminho);
  ConfereMudanca("deletion", caminho, i);
  if (Entrada* e = i ? &da_pasta_[*i] : Procura(caminho)) Remove(*e);
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
  if (IndiceNaPasta(caminho) != kIndiceTrava)
    estado_->violacoes.push_back("lock of a file not the program's own: " + caminho);
  if (estado_->travado) {
    // A real second lock in one process would wait for ever.
    estado_->violacoes.push_back("the folder's lock taken twice");
    return Status::Erro(Falha::kOutra, "already locked");
  }
  Entrada& e = Obtem(caminho);
  if (e.atual == nullptr) e.atual = std::make_shared<Bytes>();
  *trava = std::make_unique<TravaMemoria>(estado_);
  return Status::Ok();
}

Status AmbienteMemoria::CopiarPermissoes(const std::string& modelo, const std::string& caminho) {
  if (!Conteudo(modelo) || !Conteudo(caminho)) return Status::Erro(Falha::kNaoEncontrado, "No such file or directory");
  return Status::Ok();
}

}  // namespace fuzz
