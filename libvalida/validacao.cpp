// One validation of the library: "param.txt" made from the settings, valida's
// run in its environment, and the result read back from what the run wrote
// and told its observer.
#include "libvalida/validacao.h"

#include <algorithm>
#include <utility>

#include "common/cp1252.h"
#include "libvalida/ambiente_validacao.h"
#include "valida/run/execucao.h"
#include "valida/run/modEspecifico.h"
#include "valida/run/texto.h"
#include "valida/validators/tipos.h"

namespace libvalida {

using plataforma::Status;

namespace {

// The longest record of any kind, and its line end: the first line is known
// within these bytes.
constexpr std::size_t kMaiorPrimeiraLinha = 898;

std::string_view SemBrancosAFinal(std::string_view texto) {
  const auto fim = texto.find_last_not_of(' ');
  return fim == std::string_view::npos ? std::string_view() : texto.substr(0, fim + 1);
}

// A text of the report as the report prints it, in UTF-8.
std::string Impresso(std::string_view cp1252) { return cp1252::ParaUtf8(valida::Imprimivel(SemBrancosAFinal(cp1252))); }

// The first line of "param.txt": the kind, the declaration under the
// environment's own name, the receipt's fields.
std::string LinhaParametros(const Configuracao& c, std::string_view tipo) {
  using valida::Ajusta;
  return Ajusta("PARAM", 8) + Ajusta(tipo, 12) + Ajusta(AmbienteValidacao::kDeclaracao, 128) +
         Ajusta(c.email.empty() ? std::string("não informado"_cp) : c.email, 70) + Ajusta(c.endereco, 70) +
         Ajusta(c.orgao, 70) + Ajusta(c.estado, 30);
}

class Coletor final : public valida::Observador {
 public:
  Coletor(Resultado& resultado, const Configuracao& configuracao)
      : resultado_(resultado), configuracao_(configuracao) {}

  void Achado(const valida::AchadoRegistrado& a) override {
    libvalida::Achado achado{Impresso(a.inscricao),
                             Impresso(a.periodo),
                             a.linha,
                             a.primeira,
                             a.ultima,
                             a.catalogo_st ? "GIAST" : "GIA",
                             a.codigo,
                             a.campo,
                             cp1252::ParaUtf8(valida::Imprimivel(a.texto))};
    if (configuracao_.ao_achar) configuracao_.ao_achar(achado);
    resultado_.achados.push_back(std::move(achado));
  }
  void Declaracao(std::string_view inscricao, std::string_view periodo) override {
    resultado_.declaracoes.push_back({Impresso(inscricao), Impresso(periodo)});
  }

 private:
  Resultado& resultado_;
  const Configuracao& configuracao_;
};

Resultado Erro(Estado estado, std::string mensagem, std::string tipo = {}) {
  Resultado r;
  r.estado = estado;
  r.mensagem = std::move(mensagem);
  r.tipo = std::move(tipo);
  return r;
}

Resultado ErroDeTipo(const std::string& nome) {
  return Erro(Estado::kTipo, nome +
                                 ": o primeiro registro não é de nenhum tipo de declaração conhecido (GIA03, GIA04, "
                                 "GIA05, GIAST01, GIAST02)");
}

Resultado ErroDeLeitura(const std::string& nome, const Status& status, std::string tipo = {}) {
  return Erro(Estado::kLeitura, nome + ": não pode ser lido (" + status.mensagem() + ")", std::move(tipo));
}

// The run of one declaration of the kind `tipo` from the source.
Resultado Corre(const Configuracao& configuracao, Fonte& fonte, const std::string& nome, std::string_view tipo) {
  Resultado resultado;
  resultado.tipo = tipo;
  AmbienteValidacao ambiente(fonte, configuracao.ao_progredir);
  ambiente.PoeArquivo(valida::kArquivoParametros, LinhaParametros(configuracao, tipo) + "\r\n");
  Coletor coletor(resultado, configuracao);
  const valida::Desfecho desfecho = valida::Main(ambiente, std::string(AmbienteValidacao::kPasta), true, &coletor);
  if (!ambiente.FalhaDaFonte().ok()) return ErroDeLeitura(nome, ambiente.FalhaDaFonte(), std::string(tipo));
  const std::string* saida = ambiente.Conteudo(valida::kArquivoSaida);
  const std::string* parametros = ambiente.Conteudo(valida::kArquivoParametros);
  if (desfecho != valida::Desfecho::kRelatorio || saida == nullptr || parametros == nullptr) {
    std::string aviso = cp1252::ParaUtf8(ambiente.Aviso());
    if (const auto onde = aviso.find(AmbienteValidacao::kDeclaracao); onde != std::string::npos)
      aviso.replace(onde, AmbienteValidacao::kDeclaracao.size(), nome);
    return Erro(Estado::kExecucao, nome + ": a validação não terminou (" + aviso + ")", std::string(tipo));
  }
  resultado.aceito = parametros->ends_with("\r\nOK\r\n");
  resultado.relatorio_cp1252 = *saida;
  resultado.relatorio = cp1252::ParaUtf8(*saida);
  return resultado;
}

// The kind of the settings, or the one detected from the source's first line.
Resultado ValidaFonte(const Configuracao& configuracao, Fonte& fonte, const std::string& nome) {
  std::string tipo = configuracao.tipo;
  if (tipo.empty()) {
    std::string linha;
    if (const Status s = LePrimeiraLinha(fonte, kMaiorPrimeiraLinha, &linha); !s.ok()) return ErroDeLeitura(nome, s);
    tipo = DetectaTipo(linha);
    if (tipo.empty()) return ErroDeTipo(nome);
  }
  return Corre(configuracao, fonte, nome, tipo);
}

}  // namespace

std::optional<std::string> NomeDoTipo(std::string_view texto) {
  const valida::TipoDeclaracao* tipo = valida::ProcuraTipo(texto);
  if (tipo == nullptr) return std::nullopt;
  return std::string(tipo->nome);
}

std::string_view DetectaTipo(std::string_view inicio) {
  const valida::TipoDeclaracao* tipo = valida::TipoPelaMarca(inicio);
  return tipo == nullptr ? std::string_view() : tipo->nome;
}

Resultado ValidaArquivo(const Configuracao& configuracao, const std::string& caminho) {
  FonteArquivo fonte(caminho);
  return ValidaFonte(configuracao, fonte, caminho);
}

Resultado ValidaMemoria(const Configuracao& configuracao, std::string_view bytes, const std::string& nome) {
  FonteMemoria fonte(bytes);
  return ValidaFonte(configuracao, fonte, nome);
}

// --- Streams ---------------------------------------------------------------

// The pieces go from Envia to the run's reader one at a time: Envia waits
// until the reader has taken the whole piece (or the run has stopped reading),
// so nothing is copied aside and memory stays that of one piece.
struct Fluxo::Passagem {
  std::mutex mutex;
  std::condition_variable cv;
  std::string_view pendente;
  bool fim = false;         // no more pieces
  bool parou = false;       // the run no longer reads
  std::uint64_t total = 0;  // the length the reader reports
};

namespace {

class LeituraFluxo final : public plataforma::ArquivoLeitura {
 public:
  // A run that stops reading before the end keeps Envia waiting until it has
  // ended: its last findings are still made while the caller is inside the
  // library, as the callbacks' contract says.
  explicit LeituraFluxo(std::shared_ptr<Fluxo::Passagem> p) : p_(std::move(p)) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    std::unique_lock trava(p_->mutex);
    p_->cv.wait(trava, [&] { return !p_->pendente.empty() || p_->fim; });
    const std::size_t quantos = std::min(n, p_->pendente.size());
    std::copy_n(p_->pendente.data(), quantos, buf);
    p_->pendente.remove_prefix(quantos);
    if (p_->pendente.empty()) p_->cv.notify_all();
    *lidos = quantos;
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = p_->total;
    return Status::Ok();
  }

 private:
  std::shared_ptr<Fluxo::Passagem> p_;
};

class FonteFluxo final : public Fonte {
 public:
  explicit FonteFluxo(std::shared_ptr<Fluxo::Passagem> p) : p_(std::move(p)) {}
  Status Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override {
    *arquivo = std::make_unique<LeituraFluxo>(p_);
    return Status::Ok();
  }

 private:
  std::shared_ptr<Fluxo::Passagem> p_;
};

class LeituraTemporario final : public plataforma::ArquivoLeitura {
 public:
  LeituraTemporario(std::FILE* arquivo, std::uint64_t tamanho) : arquivo_(arquivo), tamanho_(tamanho) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    *lidos = std::fread(buf, 1, n, arquivo_);
    if (*lidos == 0 && std::ferror(arquivo_) != 0)
      return Status::Erro(plataforma::Falha::kOutra, "the temporary file cannot be read");
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = tamanho_;
    return Status::Ok();
  }

 private:
  std::FILE* arquivo_;
  std::uint64_t tamanho_;
};

class FonteTemporario final : public Fonte {
 public:
  FonteTemporario(std::FILE* arquivo, std::uint64_t tamanho) : arquivo_(arquivo), tamanho_(tamanho) {}
  Status Abrir(std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override {
    std::rewind(arquivo_);
    *arquivo = std::make_unique<LeituraTemporario>(arquivo_, tamanho_);
    return Status::Ok();
  }

 private:
  std::FILE* arquivo_;
  std::uint64_t tamanho_;
};

}  // namespace

Fluxo::Fluxo(Configuracao configuracao, std::int64_t total, std::string nome)
    : configuracao_(std::move(configuracao)), total_(total), nome_(std::move(nome)) {}

Fluxo::~Fluxo() {
  if (passagem_ != nullptr) {
    {
      const std::lock_guard trava(passagem_->mutex);
      passagem_->fim = true;
      passagem_->cv.notify_all();
    }
    if (corrida_.joinable()) corrida_.join();
  }
  if (temporario_ != nullptr) std::fclose(temporario_);
}

// Once the first line is there (or the stream has ended): the kind, then
// either the run's thread or the temporary file.
void Fluxo::Decide(bool fim) {
  std::string tipo = configuracao_.tipo;
  if (tipo.empty()) {
    const auto fim_linha = inicio_.find("\r\n");
    if (!fim && fim_linha == std::string::npos && inicio_.size() < kMaiorPrimeiraLinha + 2) return;
    tipo = DetectaTipo(std::string_view(inicio_).substr(0, std::min(fim_linha, kMaiorPrimeiraLinha)));
    if (tipo.empty()) {
      decidido_ = true;
      erro_ = ErroDeTipo(nome_);
      return;
    }
  }
  decidido_ = true;
  configuracao_.tipo = tipo;
  const valida::TipoDeclaracao* linha = valida::ProcuraTipo(tipo);
  if (total_ < 0 && linha != nullptr && linha->testa_tamanho) {
    temporario_ = std::tmpfile();
    if (temporario_ == nullptr) {
      erro_ = Erro(Estado::kExecucao, nome_ + ": não há arquivo temporário para guardar a declaração", tipo);
      return;
    }
  } else {
    passagem_ = std::make_shared<Passagem>();
    passagem_->total = total_ < 0 ? 0 : static_cast<std::uint64_t>(total_);
    corrida_ = std::thread([this, p = passagem_] {
      FonteFluxo fonte(p);
      Resultado r;
      try {
        r = Corre(configuracao_, fonte, nome_, configuracao_.tipo);
      } catch (...) {
        r = Erro(Estado::kExecucao, nome_ + ": a validação não terminou (memória esgotada)", configuracao_.tipo);
      }
      const std::lock_guard trava(p->mutex);
      resultado_ = std::move(r);
      p->parou = true;
      p->cv.notify_all();
    });
  }
  const std::string inicio = std::move(inicio_);
  inicio_.clear();
  Entrega(inicio);
}

void Fluxo::Entrega(std::string_view bytes) {
  if (bytes.empty() || erro_) return;
  if (temporario_ != nullptr) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), temporario_) != bytes.size())
      erro_ = Erro(Estado::kExecucao, nome_ + ": o arquivo temporário não pode ser escrito", configuracao_.tipo);
    guardados_ += bytes.size();
    return;
  }
  std::unique_lock trava(passagem_->mutex);
  if (passagem_->parou) return;
  passagem_->pendente = bytes;
  passagem_->cv.notify_all();
  passagem_->cv.wait(trava, [&] { return passagem_->pendente.empty() || passagem_->parou; });
  passagem_->pendente = {};
}

Estado Fluxo::Envia(std::string_view bytes, std::string* mensagem) {
  if (!decidido_) {
    inicio_ += bytes;
    Decide(false);
  } else {
    Entrega(bytes);
  }
  if (erro_ && erro_->estado == Estado::kExecucao) {
    *mensagem = erro_->mensagem;
    return Estado::kExecucao;
  }
  return Estado::kSucesso;
}

Resultado Fluxo::Termina() {
  if (!decidido_) Decide(true);
  if (erro_) return *erro_;
  if (temporario_ != nullptr) {
    if (std::fflush(temporario_) != 0)
      return Erro(Estado::kExecucao, nome_ + ": o arquivo temporário não pode ser escrito", configuracao_.tipo);
    FonteTemporario fonte(temporario_, guardados_);
    return Corre(configuracao_, fonte, nome_, configuracao_.tipo);
  }
  {
    const std::lock_guard trava(passagem_->mutex);
    passagem_->fim = true;
    passagem_->cv.notify_all();
  }
  corrida_.join();
  return std::move(resultado_);
}

}  // namespace libvalida
