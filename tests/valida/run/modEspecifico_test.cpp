// Main driven through an Ambiente that breaks chosen calls: full disks, lost
// devices, vanishing files, failing renames; the progress window seen by a
// fake; and runs on several threads at once.
#include "valida/run/modEspecifico.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "platform/ambiente.h"
#include "tests/geradores/gia03.h"
#include "tests/geradores/giast01.h"
#include "tests/geradores/giast02.h"
#include "tests/valida/biblioteca_teste.h"

namespace {

using plataforma::Falha;
using plataforma::Status;
using valida::Desfecho;

namespace fs = std::filesystem;

const std::string kDiscoCheio(std::string("Disco Cheio. Não é possível Executar Validador."_cp));
const std::string kSemParametros(std::string("Arquivo de Parâmetros não Encontrado"_cp));
const std::string kRejeitado = "ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:";
const std::string kHifens73(73, '-');
const std::string kTitulosCGCTE(std::string("CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp));

bool Termina(std::string_view caminho, std::string_view nome) {
  return caminho.size() >= nome.size() && caminho.substr(caminho.size() - nome.size()) == nome;
}

// The progress window as a list of what it was told.
class JanelaDeTeste : public plataforma::JanelaProgresso {
 public:
  explicit JanelaDeTeste(std::vector<std::string>* eventos) : eventos_(eventos) {}
  void DefineProgresso(int valor) override { eventos_->push_back("progresso " + std::to_string(valor)); }
  void DefineContribuinte(std::string_view texto) override { eventos_->push_back("contrib " + std::string(texto)); }
  void DefineVersao(std::string_view texto) override { eventos_->push_back("ver " + std::string(texto)); }
  void Atualiza() override { eventos_->push_back("atualiza"); }
  void Fecha() override { eventos_->push_back("fecha"); }

 private:
  std::vector<std::string>* eventos_;
};

// Writes through to the real file, counting every call in the Ambiente.
class EscritaContada : public plataforma::ArquivoEscrita {
 public:
  EscritaContada(std::unique_ptr<plataforma::ArquivoEscrita> alvo, std::string caminho,
                 std::function<Status(const std::string&, bool)> antes)
      : alvo_(std::move(alvo)), caminho_(std::move(caminho)), antes_(std::move(antes)) {}
  Status Escrever(std::string_view texto) override {
    Status s = antes_(caminho_, false);
    return s.ok() ? alvo_->Escrever(texto) : s;
  }
  Status Fechar() override {
    Status s = antes_(caminho_, true);
    const Status fechado = alvo_->Fechar();
    return s.ok() ? fechado : s;
  }
  Status FecharTemporario() override {
    Status s = antes_(caminho_ + kSemEspera, true);
    const Status fechado = alvo_->FecharTemporario();
    return s.ok() ? fechado : s;
  }
  // Marks the path of a close that does not wait for the disk.
  static constexpr const char* kSemEspera = " (temporary)";

 private:
  std::unique_ptr<plataforma::ArquivoEscrita> alvo_;
  std::string caminho_;
  std::function<Status(const std::string&, bool)> antes_;
};

// Reads the real file; fails with `falha` once `falha_em` bytes were served.
class LeituraComFalha : public plataforma::ArquivoLeitura {
 public:
  LeituraComFalha(std::unique_ptr<plataforma::ArquivoLeitura> alvo, std::size_t falha_em, Falha falha)
      : alvo_(std::move(alvo)), falha_em_(falha_em), falha_(falha) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    if (lidos_ >= falha_em_) {
      // No failure: the file ends there, as if it had been cut while read.
      *lidos = 0;
      return falha_ == Falha::kNenhuma ? Status::Ok() : Status::Erro(falha_, "injected read failure");
    }
    const Status s = alvo_->Ler(buf, std::min(n, falha_em_ - lidos_), lidos);
    lidos_ += *lidos;
    return s;
  }
  Status Tamanho(std::uint64_t* bytes) override { return alvo_->Tamanho(bytes); }

 private:
  std::unique_ptr<plataforma::ArquivoLeitura> alvo_;
  std::size_t falha_em_;
  std::size_t lidos_ = 0;
  Falha falha_;
};

// A declaration without end: `inicio`, then zeros for ever; its length is
// whatever the test says.
class LeituraSemFim : public plataforma::ArquivoLeitura {
 public:
  LeituraSemFim(std::string inicio, std::uint64_t tamanho, std::uint64_t* servidos)
      : inicio_(std::move(inicio)), tamanho_(tamanho), servidos_(servidos) {}
  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    for (std::size_t i = 0; i < n; ++i, ++*servidos_)
      buf[i] = *servidos_ < inicio_.size() ? inicio_[static_cast<std::size_t>(*servidos_)] : '0';
    *lidos = n;
    return Status::Ok();
  }
  Status Tamanho(std::uint64_t* bytes) override {
    *bytes = tamanho_;
    return Status::Ok();
  }

 private:
  std::string inicio_;
  std::uint64_t tamanho_;
  std::uint64_t* servidos_;
};

// The fault injector: each hook is off until a test sets it.
class AmbienteDeFalhas : public plataforma::AmbienteIntermediario {
 public:
  AmbienteDeFalhas() : AmbienteIntermediario(plataforma::Ambiente::Padrao()) {}

  Status PastaPrograma(std::string* pasta) override {
    if (!falha_pasta.ok()) return falha_pasta;
    return alvo().PastaPrograma(pasta);
  }

  Status AbrirLeitura(const std::string& caminho, std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override {
    chamadas.push_back("abre " + Nome(caminho));
    if (!sem_memoria_abrindo.empty() && Termina(caminho, sem_memoria_abrindo)) throw std::bad_alloc();
    if (!sem_fim_inicio.empty() && Termina(caminho, "gia.txt")) {
      *arquivo = std::make_unique<LeituraSemFim>(sem_fim_inicio, sem_fim_tamanho, &sem_fim_servidos);
      return Status::Ok();
    }
    for (const auto& [nome, falha] : falha_abertura)
      if (Termina(caminho, nome)) return Status::Erro(falha, "injected open failure");
    Status s = alvo().AbrirLeitura(caminho, arquivo);
    if (s.ok())
      for (const auto& [nome, quando] : falha_leitura)
        if (Termina(caminho, nome))
          *arquivo = std::make_unique<LeituraComFalha>(std::move(*arquivo), quando.first, quando.second);
    return s;
  }

  Status CriarEscrita(const std::string& caminho, std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) override {
    chamadas.push_back("cria " + Nome(caminho));
    if (++criacoes == falha_criacao_n) return Status::Erro(Falha::kDiscoCheio, "too many open files");
    Status s = alvo().CriarEscrita(caminho, arquivo);
    if (s.ok())
      *arquivo = std::make_unique<EscritaContada>(
          std::move(*arquivo), caminho,
          [this](const std::string& c, bool fechando) { return AntesDeEscrever(c, fechando); });
    return s;
  }

  Status Renomear(const std::string& origem, const std::string& destino) override {
    chamadas.push_back("renomeia " + Nome(origem));
    ++renomeacoes;
    if (renomeacoes == falha_renomear_n) return Status::Erro(falha_renomear, "injected rename failure");
    return alvo().Renomear(origem, destino);
  }

  Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<plataforma::Biblioteca>* b) override {
    bibliotecas.push_back(nome);
    *b = std::make_unique<valida::teste::BibliotecaDeInscricoes>();
    return Status::Ok();
  }

  Status Apagar(const std::string& caminho) override {
    chamadas.push_back("apaga " + Nome(caminho));
    return alvo().Apagar(caminho);
  }

  Status Travar(const std::string& caminho, std::unique_ptr<plataforma::Trava>* trava) override {
    chamadas.push_back("trava " + Nome(caminho));
    if (falha_trava != Falha::kNenhuma) return Status::Erro(falha_trava, "injected lock failure");
    return alvo().Travar(caminho, trava);
  }

  void MensagemAviso(std::string_view titulo, std::string_view texto) override {
    avisos.emplace_back(std::string(titulo), std::string(texto));
  }

  std::unique_ptr<plataforma::JanelaProgresso> CriarJanelaProgresso() override {
    eventos.push_back("cria");
    return std::make_unique<JanelaDeTeste>(&eventos);
  }

  // Hooks.
  std::vector<std::pair<std::string, Falha>> falha_abertura;  // by the end of the path
  std::vector<std::pair<std::string, std::pair<std::size_t, Falha>>> falha_leitura;
  int falha_escrita_n = 0;                           // the n-th Escrever (1-based) fails with disk full
  int falha_fechar_n = 0;                            // the n-th Fechar fails with disk full
  int falha_criacao_n = 0;                           // the n-th CriarEscrita fails with no more files
  std::string falha_escrita_em;                      // every write to a path ending so fails ...
  Falha falha_escrita_em_tipo = Falha::kDiscoCheio;  // ... with this
  int falha_renomear_n = 0;
  Falha falha_renomear = Falha::kOutra;
  Status falha_pasta;                   // PastaPrograma fails so
  Falha falha_trava = Falha::kNenhuma;  // Travar fails so
  std::string sem_memoria_abrindo;      // opening a path ending so runs out of memory
  int sem_memoria_escrita_n = 0;        // the n-th Escrever runs out of memory
  std::string sem_fim_inicio;           // "gia.txt" is endless, starting so
  std::uint64_t sem_fim_tamanho = 0;    // ... with this length

  // What happened.
  int escritas = 0;
  int fechamentos = 0;
  int criacoes = 0;
  int renomeacoes = 0;
  std::vector<std::string> bibliotecas;
  std::vector<std::pair<std::string, std::string>> avisos;
  std::vector<std::string> eventos;
  std::vector<std::string> chamadas;  // the file calls, each with the file's name
  std::vector<std::string> fechados;  // the files closed, in order
  std::uint64_t sem_fim_servidos = 0;

 private:
  static std::string Nome(const std::string& caminho) { return fs::path(caminho).filename().string(); }

  Status AntesDeEscrever(const std::string& caminho, bool fechando) {
    if (fechando) {
      fechados.push_back(Nome(caminho));
      if (++fechamentos == falha_fechar_n) return Status::Erro(Falha::kDiscoCheio, "no space left on device");
      return Status::Ok();
    }
    if (escritas + 1 == sem_memoria_escrita_n) {
      ++escritas;
      throw std::bad_alloc();
    }
    if (++escritas == falha_escrita_n) return Status::Erro(Falha::kDiscoCheio, "no space left on device");
    if (!falha_escrita_em.empty() && Termina(caminho, falha_escrita_em))
      return Status::Erro(falha_escrita_em_tipo, "injected write failure");
    return Status::Ok();
  }
};

std::string Le(const fs::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Linhas(const std::string& texto) {
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const auto fim = texto.find("\r\n", inicio);
    linhas.push_back(texto.substr(inicio, fim - inicio));
    if (fim == std::string::npos) break;
    inicio = fim + 2;
  }
  return linhas;
}

// A run's folder with "param.txt" and the declaration "gia.txt".
class Pasta {
 public:
  Pasta() {
    static std::atomic<int> contador{0};
    caminho_ =
        fs::temp_directory_path() / ("valida-main-" + std::to_string(::getpid()) + "-" + std::to_string(++contador));
    fs::create_directories(caminho_);
  }
  Pasta(const Pasta&) = delete;
  Pasta& operator=(const Pasta&) = delete;
  ~Pasta() {
    std::error_code ec;
    fs::remove_all(caminho_, ec);
  }

  [[nodiscard]] std::string Caminho() const { return caminho_.string(); }
  [[nodiscard]] std::string Declaracao() const { return (caminho_ / "gia.txt").string(); }

  // param.txt for the kind and the declaration in this folder, with a second
  // line of the caller's that the verdict replaces.
  void Parametros(std::string_view tipo) const {
    std::string linha(388, ' ');
    linha.replace(0, 5, "PARAM");
    linha.replace(8, tipo.size(), tipo);
    linha.replace(20, Declaracao().size(), Declaracao());
    linha.replace(148, 27, "contribuinte@exemplo.com.br");
    Escreve("param.txt", linha + "\r\nlinha do chamador\r\n");
  }
  void Escreve(const std::string& nome, std::string_view bytes) const {
    std::ofstream(caminho_ / nome, std::ios::binary) << bytes;
  }
  [[nodiscard]] std::string Le(const std::string& nome) const { return ::Le(caminho_ / nome); }
  [[nodiscard]] bool Existe(const std::string& nome) const { return fs::exists(caminho_ / nome); }
  [[nodiscard]] std::vector<std::string> Saida() const { return Linhas(Le("saida.txt")); }
  [[nodiscard]] std::vector<std::string> Arquivos() const {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(caminho_)) nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
  }

 private:
  fs::path caminho_;
};

// `quantas` valid GIA 3 declarations, one record each.
std::string GIA03Valida(int quantas, std::uint64_t semente = 7) {
  geradores::GeradorGIA03 gerador(semente);
  std::vector<geradores::DeclaracaoGerada> declaracoes;
  for (int i = 0; i < quantas; ++i) declaracoes.push_back(gerador.Proxima());
  return geradores::Arquivo(declaracoes);
}

// A GIA 3 file whose second record has a letter in an amount: one finding.
std::string GIA03ComAchado() {
  std::string segundo = geradores::RegistroGIA03Zerado();
  geradores::Poe(segundo, 84, "A");
  return geradores::RegistroGIA03Zerado() + "\r\n" + segundo + "\r\n";
}

std::string Achado(std::string_view linha, std::string_view texto) {
  return std::string(15, ' ') + "00/0000 " + std::string(linha) + " 000 000 " + std::string(texto);
}

// ---------------------------------------------------------------------------
// A full disk, wherever it strikes, ends the run with its message box and
// leaves the caller's "param.txt" as it was, with no "saida.txt".

struct Declaracao {
  const char* nome;
  std::string conteudo;
};

std::vector<Declaracao> Declaracoes() { return {{"a receipt", GIA03Valida(4)}, {"a report", GIA03ComAchado()}}; }

void ExigeDiscoCheio(const Pasta& pasta, const AmbienteDeFalhas& ambiente, Desfecho desfecho,
                     const std::string& parametros, const std::string& caso) {
  EXPECT_EQ(desfecho, Desfecho::kSemRelatorio) << caso;
  EXPECT_EQ(ambiente.avisos, (std::vector<std::pair<std::string, std::string>>{{"AVISO", kDiscoCheio}})) << caso;
  EXPECT_EQ(pasta.Le("param.txt"), parametros) << caso;
  EXPECT_FALSE(pasta.Existe("saida.txt")) << caso;
  EXPECT_FALSE(pasta.Existe("saida.txt.novo")) << caso;
  EXPECT_FALSE(pasta.Existe("param.txt.novo")) << caso;
}

TEST(Main, TheNthWriteFailingWithAFullDisk) {
  for (const auto& declaracao : Declaracoes()) {
    int total = 0;
    {
      Pasta pasta;
      pasta.Parametros("GIA03");
      pasta.Escreve("gia.txt", declaracao.conteudo);
      AmbienteDeFalhas ambiente;
      ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio) << declaracao.nome;
      EXPECT_EQ(Linhas(pasta.Le("param.txt")).at(1), std::string_view(declaracao.nome) == "a receipt" ? "OK" : "NOK");
      total = ambiente.escritas;
      ASSERT_GT(total, 4) << declaracao.nome;
    }
    for (int n = 1; n <= total; ++n) {
      Pasta pasta;
      pasta.Parametros("GIA03");
      pasta.Escreve("gia.txt", declaracao.conteudo);
      const std::string parametros = pasta.Le("param.txt");
      AmbienteDeFalhas ambiente;
      ambiente.falha_escrita_n = n;
      const Desfecho desfecho = valida::Main(ambiente, pasta.Caminho(), false);
      ExigeDiscoCheio(pasta, ambiente, desfecho, parametros,
                      std::string(declaracao.nome) + ", write " + std::to_string(n) + " of " + std::to_string(total));
    }
  }
}

TEST(Main, TheNthCloseOrCreationFailingWithAFullDisk) {
  for (const auto& declaracao : Declaracoes()) {
    // Four files are written: the two work files, param.txt and saida.txt.
    for (int n = 1; n <= 4; ++n) {
      for (const bool criacao : {false, true}) {
        Pasta pasta;
        pasta.Parametros("GIA03");
        pasta.Escreve("gia.txt", declaracao.conteudo);
        const std::string parametros = pasta.Le("param.txt");
        AmbienteDeFalhas ambiente;
        (criacao ? ambiente.falha_criacao_n : ambiente.falha_fechar_n) = n;
        const Desfecho desfecho = valida::Main(ambiente, pasta.Caminho(), false);
        ExigeDiscoCheio(pasta, ambiente, desfecho, parametros,
                        std::string(declaracao.nome) + (criacao ? ", creation " : ", close ") + std::to_string(n));
      }
    }
  }
}

// The results wait for the disk before they are renamed into place; the work
// files, read back and deleted by the run, do not.
TEST(Main, OnlyTheResultsWaitForTheDiskWhenClosed) {
  for (const auto& declaracao : Declaracoes()) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", declaracao.conteudo);
    AmbienteDeFalhas ambiente;
    ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio) << declaracao.nome;
    EXPECT_EQ(ambiente.fechados, (std::vector<std::string>{"aux00001.txt (temporary)", "aux00002.txt (temporary)",
                                                           "saida.txt.novo", "param.txt.novo"}))
        << declaracao.nome;
  }
}

// ---------------------------------------------------------------------------
// Failures of the declaration file become findings.

TEST(Main, AnUnreadableDeclarationIsAFinding) {
  const std::string k28(std::string("Não pode ler unidade informada"_cp));
  const std::string k19(std::string("Arquivo não encontrado"_cp));
  const struct {
    const char* regra;
    Falha falha_abertura;       // kNenhuma: the file opens
    std::size_t falha_leitura;  // bytes served before a read fails
    Falha falha;
    std::string achado;
  } casos[] = {
      {"the device is not ready at the opening", Falha::kDispositivoIndisponivel, 0, Falha::kNenhuma,
       Achado("000", k28)},
      {"the file is not there at the opening", Falha::kNaoEncontrado, 0, Falha::kNenhuma, Achado("000", k19)},
      {"the device goes away at the first read", Falha::kNenhuma, 0, Falha::kDispositivoIndisponivel,
       Achado("000", k28)},
      {"the device goes away after two lines", Falha::kNenhuma, 2 * 900 + 100, Falha::kDispositivoIndisponivel,
       Achado("002", k28)},
      {"the file vanishes after its size was taken", Falha::kNenhuma, 0, Falha::kNaoEncontrado, Achado("000", k19)},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03Valida(3));
    const std::string linha_parametros = Linhas(pasta.Le("param.txt"))[0];
    AmbienteDeFalhas ambiente;
    if (c.falha_abertura != Falha::kNenhuma) ambiente.falha_abertura.emplace_back("gia.txt", c.falha_abertura);
    if (c.falha != Falha::kNenhuma) ambiente.falha_leitura.push_back({"gia.txt", {c.falha_leitura, c.falha}});
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio) << c.regra;
    EXPECT_TRUE(ambiente.avisos.empty()) << c.regra;
    EXPECT_EQ(pasta.Saida(), (std::vector<std::string>{kRejeitado, kHifens73, kTitulosCGCTE, kHifens73, c.achado}))
        << c.regra;
    EXPECT_EQ(pasta.Le("param.txt"), linha_parametros + "\r\nNOK\r\n") << c.regra;
    EXPECT_EQ(pasta.Arquivos(), (std::vector<std::string>{"gia.txt", "param.txt", "saida.txt", "valida.lck"}))
        << c.regra;
  }
}

TEST(Main, APathWithANulByteNamesNoFile) {
  Pasta pasta;
  pasta.Escreve("gia.txt", GIA03Valida(2));
  std::string linha(388, ' ');
  linha.replace(0, 5, "PARAM");
  linha.replace(8, 5, "GIA03");
  const std::string caminho = pasta.Declaracao() + std::string(1, '\0') + "resto";
  linha.replace(20, caminho.size(), caminho);
  linha.replace(148, 5, "a@b.c");
  pasta.Escreve("param.txt", linha + "\r\n");
  EXPECT_EQ(valida::Main(plataforma::Ambiente::Padrao(), pasta.Caminho(), false), Desfecho::kRelatorio);
  const auto saida = pasta.Saida();
  ASSERT_EQ(saida.size(), 5U);
  EXPECT_EQ(saida[4], Achado("000", std::string("Arquivo não encontrado"_cp)));
}

TEST(Main, AFileCutWhileItIsReadIsNotAccepted) {
  for (const std::size_t corte : {std::size_t{0}, std::size_t{900}}) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03Valida(3));
    AmbienteDeFalhas ambiente;
    ambiente.falha_leitura.push_back({"gia.txt", {corte, Falha::kNenhuma}});
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio) << corte;
    const auto saida = pasta.Saida();
    ASSERT_EQ(saida.size(), 5U) << corte;
    EXPECT_EQ(saida[4].substr(15), (corte == 0 ? "00/0000 000" : "00/0000 001") + std::string(" 000 000 ") +
                                       std::string("Arquivo a ser validado não é GIA"_cp));
  }
}

// ---------------------------------------------------------------------------
// Failures that end the run with a message box and no report.

TEST(Main, MissingParametersEndWithTheirMessageBox) {
  for (const bool injetada : {false, true}) {
    Pasta pasta;
    AmbienteDeFalhas ambiente;
    if (injetada) {
      pasta.Parametros("GIA03");
      ambiente.falha_abertura.emplace_back("param.txt", Falha::kNaoEncontrado);  // access refused
    }
    const std::string antes = injetada ? pasta.Le("param.txt") : "";
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio);
    EXPECT_EQ(ambiente.avisos, (std::vector<std::pair<std::string, std::string>>{{"AVISO", kSemParametros}}));
    EXPECT_FALSE(pasta.Existe("saida.txt"));
    EXPECT_EQ(pasta.Existe("param.txt"), injetada);
    if (injetada) {
      EXPECT_EQ(pasta.Le("param.txt"), antes);
    }
  }
}

TEST(Main, OtherFailuresNameTheFileInTheirMessageBox) {
  const struct {
    const char* regra;
    std::string arquivo;  // opening fails
    Falha falha;
  } casos[] = {
      {"param.txt refused for another reason", "param.txt", Falha::kOutra},
      {"param.txt on a device that is not ready", "param.txt", Falha::kDispositivoIndisponivel},
      {"the declaration refused for another reason", "gia.txt", Falha::kOutra},
      {"the work files' copy for the report", "aux00001.txt", Falha::kOutra},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03ComAchado());
    const std::string antes = pasta.Le("param.txt");
    AmbienteDeFalhas ambiente;
    ambiente.falha_abertura.emplace_back(c.arquivo, c.falha);
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio) << c.regra;
    ASSERT_EQ(ambiente.avisos.size(), 1U) << c.regra;
    EXPECT_EQ(ambiente.avisos[0].first, "AVISO") << c.regra;
    EXPECT_NE(ambiente.avisos[0].second.find(cp1252::DeUtf8(pasta.Caminho() + "/" + c.arquivo)), std::string::npos)
        << c.regra << ": " << ambiente.avisos[0].second;
    EXPECT_NE(ambiente.avisos[0].second.find("injected open failure"), std::string::npos) << c.regra;
    EXPECT_EQ(pasta.Le("param.txt"), antes) << c.regra;
    EXPECT_FALSE(pasta.Existe("saida.txt")) << c.regra;
  }
}

TEST(Main, AFailureWhileTheFailurePathWritesTheReport) {
  const struct {
    const char* regra;
    Falha falha;
  } casos[] = {{"a full disk", Falha::kDiscoCheio}, {"another failure", Falha::kOutra}};
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIA03");  // and no declaration: GIA code 19, then the report
    const std::string antes = pasta.Le("param.txt");
    AmbienteDeFalhas ambiente;
    ambiente.falha_escrita_em = "saida.txt.novo";
    ambiente.falha_escrita_em_tipo = c.falha;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio) << c.regra;
    ASSERT_EQ(ambiente.avisos.size(), 1U) << c.regra;
    if (c.falha == Falha::kDiscoCheio) {
      EXPECT_EQ(ambiente.avisos[0], (std::pair<std::string, std::string>{"AVISO", kDiscoCheio}));
    } else {
      EXPECT_NE(ambiente.avisos[0].second.find("saida.txt"), std::string::npos) << ambiente.avisos[0].second;
    }
    EXPECT_EQ(pasta.Le("param.txt"), antes) << c.regra;
    EXPECT_FALSE(pasta.Existe("saida.txt")) << c.regra;
  }
}

TEST(Main, AFailedRenameOfTheResults) {
  for (const int n : {1, 2}) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03Valida(2));
    const std::string antes = pasta.Le("param.txt");
    AmbienteDeFalhas ambiente;
    ambiente.falha_renomear_n = n;
    ambiente.falha_renomear = Falha::kOutra;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio) << "rename " << n;
    ASSERT_EQ(ambiente.avisos.size(), 1U) << "rename " << n;
    EXPECT_NE(ambiente.avisos[0].second.find("injected rename failure"), std::string::npos);
    EXPECT_EQ(pasta.Le("param.txt"), antes) << "rename " << n;
    EXPECT_FALSE(pasta.Existe("param.txt.novo")) << "rename " << n;
    EXPECT_FALSE(pasta.Existe("saida.txt.novo")) << "rename " << n;
    if (n == 1) {
      EXPECT_FALSE(pasta.Existe("saida.txt"));
    }
  }
}

// A result refused as not found while it is written can no longer become a
// finding (the error list is closed): the run ends with a box naming the file
// and the caller's parameters as they were, never with an empty report.
TEST(Main, ARenameRefusedAsNotFoundEndsWithoutAReport) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  pasta.Escreve("gia.txt", GIA03Valida(2));
  const std::string antes = pasta.Le("param.txt");
  AmbienteDeFalhas ambiente;
  ambiente.falha_renomear_n = 1;
  ambiente.falha_renomear = Falha::kNaoEncontrado;
  EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio);
  ASSERT_EQ(ambiente.avisos.size(), 1U);
  EXPECT_NE(ambiente.avisos[0].second.find("saida.txt"), std::string::npos);
  EXPECT_EQ(pasta.Le("param.txt"), antes);
  EXPECT_FALSE(pasta.Existe("saida.txt"));
}

// ---------------------------------------------------------------------------
// The progress window.

std::vector<int> Progressos(const std::vector<std::string>& eventos) {
  std::vector<int> valores;
  for (const auto& e : eventos)
    if (e.rfind("progresso ", 0) == 0) valores.push_back(std::stoi(e.substr(10)));
  return valores;
}

TEST(Main, TheProgressGrowsToAFullBarAndNeverBeyond) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  pasta.Escreve("gia.txt", GIA03Valida(6));
  AmbienteDeFalhas ambiente;
  ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio);
  const std::vector<int> valores = Progressos(ambiente.eventos);
  ASSERT_EQ(valores.size(), 6U) << "one value a line";
  EXPECT_TRUE(std::is_sorted(valores.begin(), valores.end()));
  EXPECT_GE(valores.front(), 0);
  EXPECT_EQ(valores.back(), 100);
  EXPECT_EQ(ambiente.eventos.front(), "cria");
  EXPECT_EQ(ambiente.eventos.back(), "fecha");
}

TEST(Main, ADivisorOfZeroOrLessShowsAFullBarAndTheRunGoesOn) {
  // Annex records with no declaration before them are rejected at the end.
  const std::string a1 = "A1" + std::string(48, '0');
  const struct {
    const char* regra;
    std::string conteudo;
    std::vector<int> progresso;
    bool aceito;
  } casos[] = {
      {"one record without its line end: divisor 0", geradores::RegistroA0Zerado(), {100}, true},
      {"a record cut short: divisor below 0", a1.substr(0, 30), {100}, false},
      {"two records: 100 x 52 / 54 rounds to 96, then capped", a1 + "\r\n" + a1 + "\r\n", {96, 100}, false},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIAST02");
    pasta.Escreve("gia.txt", c.conteudo);
    AmbienteDeFalhas ambiente;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio) << c.regra;
    EXPECT_EQ(Progressos(ambiente.eventos), c.progresso) << c.regra;
    EXPECT_EQ(Linhas(pasta.Le("param.txt")).at(1), c.aceito ? "OK" : "NOK") << c.regra;
  }
}

// A record of `tamanho` characters that passes the driver's header test of its kind.
std::string Cabecalho(std::string_view tipo) {
  if (tipo == "GIA03") return geradores::RegistroGIA03Zerado();
  if (tipo == "GIAST01") return geradores::RegistroGIAST01Zerado();
  if (tipo == "GIAST02") return geradores::RegistroA0Zerado();
  std::string r(898, '0');
  geradores::Poe(r, 1, tipo == "GIA04" ? "****04" : "****05");
  geradores::Poe(r, 36, "0001ABC ");
  return r;
}

TEST(Main, TheVersionCaptionOfEachKind) {
  const struct {
    const char* tipo;
    std::string legenda;
  } casos[] = {
      {"GIA03", std::string("Validando GIA Versão 3"_cp)},      {"GIA04", std::string("Validando GIA Versão 4"_cp)},
      {"GIA05", std::string("Validando GIA Versão 5"_cp)},      {"GIAST01", std::string("Validando GIA Versão ST"_cp)},
      {"GIAST02", std::string("Validando GIA ST Versão 2"_cp)},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros(c.tipo);
    pasta.Escreve("gia.txt", Cabecalho(c.tipo) + "\r\n");
    AmbienteDeFalhas ambiente;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio) << c.tipo;
    const auto ver = std::find(ambiente.eventos.begin(), ambiente.eventos.end(), "ver " + c.legenda);
    ASSERT_NE(ver, ambiente.eventos.end()) << c.tipo;
    // The window is refreshed before the caption is set for the line.
    ASSERT_NE(ver, ambiente.eventos.begin());
    EXPECT_EQ(*(ver - 1), "atualiza") << c.tipo;
  }
}

TEST(Main, TheTaxpayerCaptionIsRefreshedAtOnce) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  geradores::GeradorGIA03 gerador(11);
  const auto d1 = gerador.Proxima();
  const auto d2 = gerador.Proxima();
  pasta.Escreve("gia.txt", geradores::Arquivo({d1, d2}));
  AmbienteDeFalhas ambiente;
  ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio);
  std::vector<std::string> contribuintes;
  for (auto e = ambiente.eventos.begin(); e != ambiente.eventos.end(); ++e) {
    if (e->rfind("contrib ", 0) != 0) continue;
    contribuintes.push_back(e->substr(8));
    ASSERT_NE(e + 1, ambiente.eventos.end());
    EXPECT_EQ(*(e + 1), "atualiza") << *e;
  }
  EXPECT_EQ(contribuintes, (std::vector<std::string>{d1.cgcte.substr(0, 3) + "/" + d1.cgcte.substr(3),
                                                     d2.cgcte.substr(0, 3) + "/" + d2.cgcte.substr(3)}));
}

TEST(Main, ARunThatNeverChecksARegistrationNeverLoadsTheLibrary) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  pasta.Escreve("gia.txt", GIA03Valida(2));
  AmbienteDeFalhas ambiente;
  ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio);
  EXPECT_TRUE(ambiente.bibliotecas.empty());
}

// ---------------------------------------------------------------------------
// A folder shared by several runs: the lock.

std::size_t Posicao(const std::vector<std::string>& chamadas, const std::string& chamada) {
  return static_cast<std::size_t>(std::find(chamadas.begin(), chamadas.end(), chamada) - chamadas.begin());
}

TEST(Main, TheLockIsTakenAfterTheParametersAreReadAndBeforeAnyWorkFile) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  pasta.Escreve("gia.txt", GIA03ComAchado());
  AmbienteDeFalhas ambiente;
  ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio);
  const auto& c = ambiente.chamadas;
  ASSERT_LT(Posicao(c, "trava valida.lck"), c.size());
  EXPECT_EQ(Posicao(c, "abre param.txt"), 0U) << "the caller's parameters are read first";
  EXPECT_EQ(Posicao(c, "trava valida.lck"), 1U);
  EXPECT_EQ(Posicao(c, "cria aux00001.txt"), 2U);
  EXPECT_EQ(std::count(c.begin(), c.end(), "trava valida.lck"), 1);
}

TEST(Main, ALockThatCannotBeTakenEndsTheRunWithoutAReport) {
  const struct {
    const char* regra;
    Falha falha;
    std::string aviso;  // empty: the box names the lock file
  } casos[] = {
      {"a folder or anything else under the name", Falha::kOutra, ""},
      {"a full disk", Falha::kDiscoCheio, kDiscoCheio},
      {"refused access to the folder", Falha::kNaoEncontrado, kSemParametros},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03ComAchado());
    const std::string antes = pasta.Le("param.txt");
    AmbienteDeFalhas ambiente;
    ambiente.falha_trava = c.falha;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio) << c.regra;
    ASSERT_EQ(ambiente.avisos.size(), 1U) << c.regra;
    if (c.aviso.empty()) {
      EXPECT_NE(ambiente.avisos[0].second.find("valida.lck: injected lock failure"), std::string::npos)
          << c.regra << ": " << ambiente.avisos[0].second;
    } else {
      EXPECT_EQ(ambiente.avisos[0].second, c.aviso) << c.regra;
    }
    EXPECT_EQ(pasta.Le("param.txt"), antes) << c.regra;
    EXPECT_EQ(pasta.Arquivos(), (std::vector<std::string>{"gia.txt", "param.txt"})) << c.regra;
  }
}

// ---------------------------------------------------------------------------
// The program's folder.

TEST(MainPrograma, AFolderThePlatformCannotTellEndsTheRunAndWritesNothing) {
  AmbienteDeFalhas ambiente;
  ambiente.falha_pasta = Status::Erro(Falha::kOutra, "/proc/self/exe: File name too long");
  EXPECT_EQ(valida::MainPrograma(ambiente), Desfecho::kSemRelatorio);
  EXPECT_EQ(ambiente.avisos, (std::vector<std::pair<std::string, std::string>>{
                                 {"AVISO", "Erro no arquivo param.txt: /proc/self/exe: File name too long"}}));
  EXPECT_TRUE(ambiente.chamadas.empty()) << "no file is opened, created, locked or removed";
  EXPECT_TRUE(ambiente.eventos.empty()) << "no window";
}

// ---------------------------------------------------------------------------
// Memory exhausted anywhere ends the run as any other failure does.

TEST(Main, MemoryExhaustedAnywhereEndsTheRunWithItsMessage) {
  int escritas = 0;
  {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03ComAchado());
    AmbienteDeFalhas ambiente;
    ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kRelatorio);
    escritas = ambiente.escritas;
  }
  struct Caso {
    std::string regra;
    std::string abrindo;  // opening this runs out of memory
    int escrita;          // or this write
    std::string arquivo;  // the file the box names
  };
  std::vector<Caso> casos = {
      {"reading the parameters", "param.txt", 0, "param.txt"},
      {"opening the declaration", "gia.txt", 0, "gia.txt"},
      {"copying the error list into the report", "aux00001.txt", 0, "gia.txt"},
  };
  for (int n = 1; n <= escritas; ++n)
    casos.push_back({"write " + std::to_string(n) + " of " + std::to_string(escritas), "", n, "gia.txt"});
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros("GIA03");
    pasta.Escreve("gia.txt", GIA03ComAchado());
    const std::string antes = pasta.Le("param.txt");
    AmbienteDeFalhas ambiente;
    ambiente.sem_memoria_abrindo = c.abrindo;
    ambiente.sem_memoria_escrita_n = c.escrita;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), false), Desfecho::kSemRelatorio) << c.regra;
    ASSERT_EQ(ambiente.avisos.size(), 1U) << c.regra;
    EXPECT_EQ(ambiente.avisos[0].second.rfind(std::string("Erro no arquivo "_cp), 0), 0U) << c.regra;
    EXPECT_TRUE(Termina(ambiente.avisos[0].second, c.arquivo + ": not enough memory"))
        << c.regra << ": " << ambiente.avisos[0].second;
    EXPECT_EQ(pasta.Le("param.txt"), antes) << c.regra;
    EXPECT_FALSE(pasta.Existe("saida.txt")) << c.regra;
    EXPECT_FALSE(pasta.Existe("saida.txt.novo")) << c.regra;
    EXPECT_FALSE(pasta.Existe("param.txt.novo")) << c.regra;
  }
}

// ---------------------------------------------------------------------------
// A line longer than any record of its kind.

TEST(Main, ALineLongerThanAnyRecordOfTheKindEndsTheReadingAtOnce) {
  const struct {
    const char* tipo;
    std::string inicio;
    std::uint64_t tamanho;  // what the size test sees
  } casos[] = {
      {"GIA03", "****03", 900 * 1000},  {"GIA04", "****04", 900 * 1000}, {"GIA05", "****05", 900 * 1000},
      {"GIAST01", "GST01", 756 * 1000}, {"GIAST02", "A0GST02", 0},
  };
  for (const auto& c : casos) {
    Pasta pasta;
    pasta.Parametros(c.tipo);
    pasta.Escreve("gia.txt", "");
    AmbienteDeFalhas ambiente;
    ambiente.sem_fim_inicio = c.inicio;
    ambiente.sem_fim_tamanho = c.tamanho;
    EXPECT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio) << c.tipo;
    const auto saida = pasta.Saida();
    ASSERT_EQ(saida.size(), 5U) << c.tipo;
    EXPECT_EQ(saida[4], Achado("001", std::string("Arquivo a ser validado não é GIA"_cp))) << c.tipo;
    EXPECT_LE(ambiente.sem_fim_servidos, 64U * 1024U) << c.tipo << ": one buffer at most";
  }
}

// ---------------------------------------------------------------------------
// Control characters on the progress display.

TEST(Main, TheTaxpayerCaptionShowsControlCharactersAsQuestionMarks) {
  Pasta pasta;
  pasta.Parametros("GIA03");
  std::string registro = geradores::RegistroGIA03Zerado();
  geradores::Poe(registro, 26,
                 std::string("12\x1b[2J\n\r\0"
                             "7",
                             10));
  pasta.Escreve("gia.txt", registro + "\r\n");
  AmbienteDeFalhas ambiente;
  ASSERT_EQ(valida::Main(ambiente, pasta.Caminho(), true), Desfecho::kRelatorio);
  EXPECT_NE(std::find(ambiente.eventos.begin(), ambiente.eventos.end(), "contrib 12?[2J???7"), ambiente.eventos.end());
  for (const auto& e : ambiente.eventos)
    for (const char ch : e) EXPECT_FALSE(static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) << e;
}

// ---------------------------------------------------------------------------
// Runs share nothing: several at once give what each gives alone.

struct Resultado {
  Desfecho desfecho;
  std::string saida;
  std::string parametros;
  bool operator==(const Resultado&) const = default;
};

Resultado Executa(const std::string& tipo, const std::string& conteudo) {
  Pasta pasta;
  pasta.Parametros(tipo);
  pasta.Escreve("gia.txt", conteudo);
  const Desfecho desfecho = valida::Main(plataforma::Ambiente::Padrao(), pasta.Caminho(), false);
  std::string parametros = pasta.Le("param.txt");
  // The declaration's path names the folder: compare without it.
  const std::string pasta_texto = pasta.Caminho();
  // (the folders' names differ in length, and so does the padding after them).
  for (auto p = parametros.find(pasta_texto); p != std::string::npos; p = parametros.find(pasta_texto))
    parametros.replace(p, pasta_texto.size(), "#");
  parametros = std::regex_replace(parametros, std::regex(" +"), " ");
  return {desfecho, pasta.Le("saida.txt"), parametros};
}

TEST(Main, RunsOnSeveralThreadsAtOnceShareNothing) {
  const std::vector<std::pair<std::string, std::string>> runs = {
      {"GIA03", GIA03Valida(40, 1)},
      {"GIA03", GIA03ComAchado()},
      {"GIAST01", geradores::RegistroGIAST01Zerado() + "\r\n"},
      {"GIA03", GIA03Valida(40, 2) + "x"},
  };
  std::vector<Resultado> sozinhos;
  for (const auto& [tipo, conteudo] : runs) sozinhos.push_back(Executa(tipo, conteudo));
  EXPECT_NE(sozinhos[0].saida, sozinhos[1].saida);

  for (int rodada = 0; rodada < 3; ++rodada) {
    std::vector<Resultado> juntos(runs.size(), Resultado{Desfecho::kSemRelatorio, "", ""});
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < runs.size(); ++i)
      threads.emplace_back([&, i] { juntos[i] = Executa(runs[i].first, runs[i].second); });
    for (auto& t : threads) t.join();
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(juntos[i].desfecho, sozinhos[i].desfecho) << "run " << i << ", round " << rodada;
      EXPECT_EQ(juntos[i].saida, sozinhos[i].saida) << "run " << i << ", round " << rodada;
      EXPECT_EQ(juntos[i].parametros, sozinhos[i].parametros) << "run " << i << ", round " << rodada;
    }
  }
}

}  // namespace
