// Ambiente on POSIX systems. Message boxes and the progress window become
// lines on the standard error stream.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/cp1252.h"
#include "platform/ambiente.h"
#include "platform/posix_comum.h"

namespace plataforma {

using posix::CaminhoInvalido;
using posix::CaminhoValido;
using posix::DescritorProprio;
using posix::ErroSistema;
using posix::Falhou;

namespace {

Status NaoRegular() { return Status::Erro(Falha::kNaoEncontrado, "not a regular file"); }
Status PastaNoNome(const std::string& caminho) {
  return Status::Erro(Falha::kOutra, "a folder stands under the name " + caminho);
}

// True when the name itself (not what a link names) is a folder.
bool EhPastaPropria(const std::string& caminho) {
  struct stat st {};
  return ::lstat(caminho.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when the name itself is neither a regular file nor a folder: a
// symbolic link, a FIFO, a socket or a device.
bool EhOutraCoisa(const std::string& caminho) {
  struct stat st {};
  return ::lstat(caminho.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

// The cp1252 text as UTF-8 for a terminal line: C0 controls, DEL and the five
// unassigned bytes (which would become C1 controls) are shown as '?', so that
// nothing in it can drive the terminal.
std::string ParaTerminal(std::string_view texto) {
  std::string limpo(texto);
  for (char& c : limpo) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b <= 0x9F && cp1252::CodigoDe(b) == 0)) c = '?';
  }
  return cp1252::ParaUtf8(limpo);
}

class LeituraPosix final : public ArquivoLeitura {
 public:
  explicit LeituraPosix(DescritorProprio fd) : fd_(std::move(fd)) {}

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    for (;;) {
      const ssize_t r = ::read(fd_.get(), buf, n);
      if (r >= 0) {
        *lidos = static_cast<std::size_t>(r);
        return Status::Ok();
      }
      if (errno != EINTR) return ErroSistema(errno);
    }
  }

  Status Tamanho(std::uint64_t* bytes) override {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) return ErroSistema(errno);
    *bytes = static_cast<std::uint64_t>(st.st_size);
    return Status::Ok();
  }

 private:
  DescritorProprio fd_;
};

class EscritaPosix final : public ArquivoEscrita {
 public:
  explicit EscritaPosix(DescritorProprio fd) : fd_(std::move(fd)) {}

  Status Escrever(std::string_view texto) override {
    while (!texto.empty()) {
      const ssize_t r = ::write(fd_.get(), texto.data(), texto.size());
      if (r < 0) {
        if (errno == EINTR) continue;
        return ErroSistema(errno);
      }
      texto.remove_prefix(static_cast<std::size_t>(r));
    }
    return Status::Ok();
  }

  Status Fechar() override {
    DescritorProprio fd = std::move(fd_);
    // fsync makes a full disk show here, before the file is renamed into place.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) return ErroSistema(errno);
    // The close is the file's last word: its failure is the file's.
    if (::close(fd.Libera()) != 0) return ErroSistema(errno);
    return Status::Ok();
  }

 private:
  DescritorProprio fd_;
};

class BibliotecaPosix final : public Biblioteca {
 public:
  explicit BibliotecaPosix(void* handle) : handle_(handle) {}
  ~BibliotecaPosix() override { ::dlclose(handle_); }

  Status Funcao(const std::string& nome, EnderecoFuncao* endereco) override {
    void* simbolo = ::dlsym(handle_, nome.c_str());
    if (simbolo == nullptr) return Status::Erro(Falha::kNaoEncontrado, "function " + nome + " not found");
    *endereco = reinterpret_cast<EnderecoFuncao>(simbolo);  // NOLINT: dlsym's contract
    return Status::Ok();
  }

 private:
  void* handle_;
};

// One line of progress on a terminal; nothing when the standard error is not one.
class ProgressoTerminal final : public JanelaProgresso {
 public:
  ProgressoTerminal() : terminal_(::isatty(STDERR_FILENO) == 1) {}
  ~ProgressoTerminal() override { Fecha(); }

  void DefineProgresso(int valor) override { progresso_ = valor; }
  void DefineContribuinte(std::string_view texto) override { contribuinte_ = ParaTerminal(texto); }
  void DefineVersao(std::string_view texto) override { versao_ = ParaTerminal(texto); }

  void Atualiza() override {
    if (!terminal_ || fechada_) return;
    std::string linha = "\r" + versao_ + "  Contribuinte: " + contribuinte_ + "  " + std::to_string(progresso_) + "%";
    if (linha == ultima_) return;
    ultima_ = linha;
    std::fputs((linha + "\x1b[K").c_str(), stderr);
    std::fflush(stderr);
  }

  void Fecha() override {
    if (terminal_ && !fechada_ && !ultima_.empty()) std::fputs("\r\x1b[K", stderr);
    fechada_ = true;
  }

 private:
  bool terminal_;
  bool fechada_ = false;
  int progresso_ = 0;
  std::string contribuinte_;
  std::string versao_;
  std::string ultima_;
};

// The exclusive flock of an open file; closing the file releases it.
class TravaPosix final : public Trava {
 public:
  explicit TravaPosix(DescritorProprio fd) : fd_(std::move(fd)) {}

 private:
  DescritorProprio fd_;
};

class AmbientePosix final : public Ambiente {
 public:
  AmbientePosix() {
    // A closed standard stream would lend its number to the next file opened,
    // and a message meant for the stream would land in that file.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
      if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) (void)::open("/dev/null", O_RDWR | O_CLOEXEC);
    // A standard error stream whose reader is gone fails its writes instead.
    (void)std::signal(SIGPIPE, SIG_IGN);
  }

  Status PastaPrograma(std::string* pasta) override {
    std::string caminho;
    if (const int erro = posix::CaminhoDoPrograma(&caminho); erro != 0)
      return Status::Erro(Falha::kOutra, std::string("/proc/self/exe: ") + std::strerror(erro));
    const auto barra = caminho.rfind('/');
    if (barra == std::string::npos) return Status::Erro(Falha::kOutra, "the program's path has no folder: " + caminho);
    *pasta = barra == 0 ? "/" : caminho.substr(0, barra);
    return Status::Ok();
  }

  Status AbrirLeitura(const std::string& caminho, std::unique_ptr<ArquivoLeitura>* arquivo) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    // What is not a regular file is refused before it is opened (opening a
    // device may act on it), and what was opened is tested again.
    struct stat st {};
    if (::stat(caminho.c_str(), &st) != 0) return ErroSistema(errno);
    if (!S_ISREG(st.st_mode)) return NaoRegular();
    // O_NONBLOCK: a FIFO put in its place meanwhile must not hold the open.
    DescritorProprio fd(::open(caminho.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valido()) return ErroSistema(errno);
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
      return S_ISREG(st.st_mode) ? ErroSistema(errno) : NaoRegular();
    // Reads of a regular file wait for the disk, as they should.
    const int modo = ::fcntl(fd.get(), F_GETFL);
    if (modo < 0 || ::fcntl(fd.get(), F_SETFL, modo & ~O_NONBLOCK) != 0) return ErroSistema(errno);
    *arquivo = std::make_unique<LeituraPosix>(std::move(fd));
    return Status::Ok();
  }

  Status CriarEscrita(const std::string& caminho, std::unique_ptr<ArquivoEscrita>* arquivo) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    // unlink removes a link itself, never what it names.
    if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) {
      const int erro = errno;
      if (EhPastaPropria(caminho)) return PastaNoNome(caminho);
      return ErroSistema(erro);
    }
    DescritorProprio fd(::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.Valido()) {
      if (errno == EEXIST) return Status::Erro(Falha::kOutra, "something took the name meanwhile: " + caminho);
      return ErroSistema(errno);
    }
    *arquivo = std::make_unique<EscritaPosix>(std::move(fd));
    return Status::Ok();
  }

  Status Renomear(const std::string& origem, const std::string& destino) override {
    if (!CaminhoValido(origem)) return CaminhoInvalido(origem);
    if (!CaminhoValido(destino)) return CaminhoInvalido(destino);
    if (::rename(origem.c_str(), destino.c_str()) != 0) return ErroSistema(errno);
    return Status::Ok();
  }

  Status Apagar(const std::string& caminho) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
    return Status::Ok();
  }

  Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<Biblioteca>* biblioteca) override {
    if (!CaminhoValido(nome)) return CaminhoInvalido(nome);
    std::string pasta;
    if (const Status s = PastaPrograma(&pasta); !s.ok()) return Status::Erro(Falha::kNaoEncontrado, s.mensagem());
    const std::string caminho = pasta + "/lib" + nome + ".so";
    void* handle = ::dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return Status::Erro(Falha::kNaoEncontrado, ::dlerror());
    *biblioteca = std::make_unique<BibliotecaPosix>(handle);
    return Status::Ok();
  }

  void MensagemAviso(std::string_view titulo, std::string_view texto) override {
    const std::string linha = ParaTerminal(titulo) + ": " + ParaTerminal(texto) + "\n";
    std::fputs(linha.c_str(), stderr);
    std::fflush(stderr);
  }

  std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() override { return std::make_unique<ProgressoTerminal>(); }

  Status Travar(const std::string& caminho, std::unique_ptr<Trava>* trava) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    // Another run may replace the name between the open and the lock (when
    // it removed what stood there): the lock counts only on the file that
    // the name still gives once it is held.
    constexpr int kTentativas = 16;
    for (int tentativa = 0; tentativa < kTentativas; ++tentativa) {
      DescritorProprio fd(
          ::open(caminho.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
      if (!fd.Valido()) {
        const int erro = errno;
        if (EhPastaPropria(caminho)) return PastaNoNome(caminho);
        // A symbolic link (ELOOP), a socket or a device that the open
        // refuses (ENXIO, ENODEV): removed, never followed nor used.
        if (!EhOutraCoisa(caminho)) return ErroSistema(erro);
        if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
        continue;
      }
      struct stat aberto {};
      if (::fstat(fd.get(), &aberto) != 0) return ErroSistema(errno);
      if (!S_ISREG(aberto.st_mode)) {
        fd.Fecha();
        if (S_ISDIR(aberto.st_mode)) return PastaNoNome(caminho);
        // A FIFO, a socket or a device cannot be the lock file: removed.
        if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
        continue;
      }
      while (::flock(fd.get(), LOCK_EX) != 0)
        if (errno != EINTR) return ErroSistema(errno);
      struct stat nome {};
      if (::lstat(caminho.c_str(), &nome) == 0 && nome.st_dev == aberto.st_dev && nome.st_ino == aberto.st_ino) {
        *trava = std::make_unique<TravaPosix>(std::move(fd));
        return Status::Ok();
      }
    }
    return Status::Erro(Falha::kOutra, "the lock file keeps being replaced: " + caminho);
  }

  Status CopiarPermissoes(const std::string& modelo, const std::string& caminho) override {
    if (!CaminhoValido(modelo)) return CaminhoInvalido(modelo);
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    struct stat st {};
    if (::stat(modelo.c_str(), &st) != 0) return ErroSistema(errno);
    const DescritorProprio fd(::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valido()) return ErroSistema(errno);
    struct stat destino {};
    if (::fstat(fd.get(), &destino) != 0 || !S_ISREG(destino.st_mode)) return NaoRegular();
    if (::fchmod(fd.get(), st.st_mode & 0777) != 0) return ErroSistema(errno);
    return Status::Ok();
  }
};

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbientePosix ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '/'; }

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: the environment, time, ids, folders, the log file and hidden
// child processes. Texts cross to the system as UTF-8; a command line is
// split by the Windows rules and started with posix_spawnp, never a shell.
// ===========================================================================
#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace plataforma {
namespace {
namespace jl {

void EscreveTudo(int fd, const char* dados, std::size_t n) {
  while (n > 0) {
    const ssize_t k = ::write(fd, dados, n);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return;
    dados += k;
    n -= static_cast<std::size_t>(k);
  }
}

class ArquivoLogPosix : public ArquivoLog {
 public:
  explicit ArquivoLogPosix(DescritorProprio fd) : fd_(std::move(fd)) {}
  void Escrever(const char* dados, std::size_t n) override { EscreveTudo(fd_.get(), dados, n); }
  ResultadoSistema Estado() override {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) return Falhou(errno);
    return {};
  }

 private:
  DescritorProprio fd_;
};

class CanalPosix : public Canal {
 public:
  CanalPosix(DescritorProprio leitura, DescritorProprio escrita)
      : leitura_(std::move(leitura)), escrita_(std::move(escrita)) {}
  [[nodiscard]] long IdEscrita() const override { return escrita_.get(); }
  [[nodiscard]] long IdLeitura() const override { return leitura_.get(); }
  void FecharEscrita() override { escrita_.Fecha(); }
  void FecharLeitura() override { leitura_.Fecha(); }
  [[nodiscard]] bool LeituraAberta() const override { return leitura_.Valido(); }
  ResultadoSistema Ler(char* dados, std::size_t n, std::size_t* lidos) override {
    for (;;) {
      const ssize_t k = ::read(leitura_.get(), dados, n);
      if (k >= 0) {
        *lidos = static_cast<std::size_t>(k);
        return {};
      }
      if (errno != EINTR) return Falhou(errno);
    }
  }
  [[nodiscard]] int leitura() const { return leitura_.get(); }
  [[nodiscard]] int escrita() const { return escrita_.get(); }

 private:
  DescritorProprio leitura_;
  DescritorProprio escrita_;
};

// The program name (argv[0]) takes no escapes: quotes only group.
std::size_t LeNomePrograma(std::string_view linha, std::size_t i, std::string* nome) {
  bool aspas = false;
  for (; i < linha.size(); ++i) {
    const char c = linha[i];
    if (c == '"') {
      aspas = !aspas;
    } else if ((c == ' ' || c == '\t') && !aspas) {
      break;
    } else {
      nome->push_back(c);
    }
  }
  return i;
}

std::size_t LeArgumento(std::string_view linha, std::size_t i, std::string* arg) {
  bool aspas = false;
  while (i < linha.size()) {
    const char c = linha[i];
    if (c == '\\') {
      std::size_t barras = 0;
      while (i < linha.size() && linha[i] == '\\') {
        ++barras;
        ++i;
      }
      if (i < linha.size() && linha[i] == '"') {
        arg->append(barras / 2, '\\');
        if (barras % 2 == 1) {
          arg->push_back('"');
          ++i;
        }
      } else {
        arg->append(barras, '\\');
      }
    } else if (c == '"') {
      if (aspas && i + 1 < linha.size() && linha[i + 1] == '"') {
        arg->push_back('"');
        i += 2;
      } else {
        aspas = !aspas;
        ++i;
      }
    } else if ((c == ' ' || c == '\t') && !aspas) {
      break;
    } else {
      arg->push_back(c);
      ++i;
    }
  }
  return i;
}

std::vector<std::string> DivideLinhaComando(std::string_view linha) {
  std::vector<std::string> args;
  auto pula_brancos = [&](std::size_t i) {
    while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
    return i;
  };
  std::size_t i = pula_brancos(0);
  if (i == linha.size()) return args;
  args.emplace_back();
  i = LeNomePrograma(linha, i, &args.back());
  for (i = pula_brancos(i); i < linha.size(); i = pula_brancos(i)) {
    args.emplace_back();
    i = LeArgumento(linha, i, &args.back());
  }
  return args;
}

// Children started and not yet reaped; each one is reaped as soon as it is
// found ended, so that none lingers as a zombie for long.
class Filhos {
 public:
  void Acrescenta(pid_t pid) {
    const std::lock_guard<std::mutex> trava(mutex_);
    pendentes_.push_back(pid);
  }
  void Colhe() {
    const std::lock_guard<std::mutex> trava(mutex_);
    std::erase_if(pendentes_, [](pid_t pid) {
      int estado = 0;
      return ::waitpid(pid, &estado, WNOHANG) != 0;
    });
  }

 private:
  std::mutex mutex_;
  std::vector<pid_t> pendentes_;
};

class ProcessosPosix : public Processos {
 public:
  ResultadoSistema CriarCanal(std::unique_ptr<Canal>* canal) override {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return Falhou(errno);
    *canal = std::make_unique<CanalPosix>(DescritorProprio(fds[0]), DescritorProprio(fds[1]));
    return {};
  }

  ResultadoSistema IniciarOculto(std::string_view linha, Canal& saida, Canal& erro) override {
    filhos_.Colhe();
    std::vector<std::string> args = DivideLinhaComando(linha);
    if (args.empty() || args[0].empty()) return Falhou(ENOENT);
    for (std::string& a : args) a = cp1252::ParaUtf8(a);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t acoes;
    posix_spawnattr_t atributos;
    ::posix_spawn_file_actions_init(&acoes);
    ::posix_spawnattr_init(&atributos);
    ::posix_spawn_file_actions_addopen(&acoes, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&acoes, static_cast<CanalPosix&>(saida).escrita(), 1);
    ::posix_spawn_file_actions_adddup2(&acoes, static_cast<CanalPosix&>(erro).escrita(), 2);
    // The child starts with no blocked signals and SIGPIPE at its default,
    // whatever the host had set.
    sigset_t vazio;
    sigset_t padrao;
    sigemptyset(&vazio);
    sigemptyset(&padrao);
    sigaddset(&padrao, SIGPIPE);
    ::posix_spawnattr_setsigmask(&atributos, &vazio);
    ::posix_spawnattr_setsigdefault(&atributos, &padrao);
    ::posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, argv[0], &acoes, &atributos, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&acoes);
    ::posix_spawnattr_destroy(&atributos);
    if (rc != 0) return Falhou(rc);
    filhos_.Acrescenta(pid);
    return {};
  }

  ResultadoSistema AguardarCanais(Canal& primeiro, Canal& segundo, int* pronto) override {
    CanalPosix* canais[2] = {&static_cast<CanalPosix&>(primeiro), &static_cast<CanalPosix&>(segundo)};
    pollfd fds[2] = {};
    for (int i = 0; i < 2; ++i) {
      fds[i].fd = canais[i]->leitura();  // a closed end (-1) is ignored by poll
      fds[i].events = POLLIN;
    }
    if (fds[0].fd < 0 && fds[1].fd < 0) return Falhou(EBADF);
    for (;;) {
      const int n = ::poll(fds, 2, -1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Falhou(errno);
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0) {
          *pronto = i;
          if ((fds[i].revents & POLLIN) == 0) filhos_.Colhe();
          return {};
        }
      }
    }
  }

 private:
  Filhos filhos_;
};

}  // namespace jl
}  // namespace

HoraLocal AgoraLocal() {
  timespec agora{};
  ::clock_gettime(CLOCK_REALTIME, &agora);
  tm local{};
  ::localtime_r(&agora.tv_sec, &local);
  HoraLocal h;
  h.ano = local.tm_year + 1900;
  h.mes = local.tm_mon + 1;
  h.dia = local.tm_mday;
  h.hora = local.tm_hour;
  h.minuto = local.tm_min;
  h.segundo = local.tm_sec;
  h.milissegundo = static_cast<int>(agora.tv_nsec / 1000000);
  return h;
}

long IdThreadAtual() {
#if defined(__linux__)
  return static_cast<long>(::gettid());
#else
  return static_cast<long>(reinterpret_cast<std::uintptr_t>(::pthread_self()));
#endif
}

long IdProcessoAtual() { return static_cast<long>(::getpid()); }

bool LerVariavel(const char* nome, std::string* valor) {
  const char* v = std::getenv(cp1252::ParaUtf8(nome).c_str());
  if (v == nullptr) return false;
  *valor = cp1252::DeUtf8(v);
  return true;
}

ResultadoSistema DefinirVariavel(const char* nome, const char* valor) {
  if (::setenv(cp1252::ParaUtf8(nome).c_str(), cp1252::ParaUtf8(valor).c_str(), 1) != 0) return Falhou(errno);
  return {};
}

ResultadoSistema CriarPasta(const char* caminho) {
  if (::mkdir(cp1252::ParaUtf8(caminho).c_str(), 0777) == 0) return {};
  const int erro = errno;
  if (erro == EEXIST && EhPasta(caminho)) return {};
  return Falhou(erro);
}

bool EhPasta(const char* caminho) {
  struct stat st {};
  return ::stat(cp1252::ParaUtf8(caminho).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PastaTemporariaSistema(std::string* pasta) {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string p = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  *pasta = cp1252::DeUtf8(p);
  return true;
}

const char* PastaTemporariaFixa() { return "/tmp"; }

void EscreverErroPadrao(std::string_view texto) {
  const std::string utf8 = cp1252::ParaUtf8(texto);
  jl::EscreveTudo(2, utf8.data(), utf8.size());
}

ResultadoSistema AbrirArquivoLog(const char* caminho, std::unique_ptr<ArquivoLog>* arquivo) {
  DescritorProprio fd(::open(cp1252::ParaUtf8(caminho).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.Valido()) return Falhou(errno);
  *arquivo = std::make_unique<jl::ArquivoLogPosix>(std::move(fd));
  return {};
}

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  void* h = ::dlopen(cp1252::ParaUtf8(caminho).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) {
    ResultadoSistema r;
    r.ok = false;
    r.codigo = ENOENT;
    r.texto = cp1252::DeUtf8(::dlerror());
    return r;
  }
  *modulo = std::make_unique<BibliotecaPosix>(h);
  return {};
}

Processos& Processos::Padrao() {
  static jl::ProcessosPosix processos;
  return processos;
}

}  // namespace plataforma

namespace plataforma {

// A shared library is always bound by the dynamic loader.
void PreparaModuloCarregado() {}

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: its own path and command line, folders, the current folder and
// message boxes.
// ===========================================================================
#include <dirent.h>
#include <fnmatch.h>

namespace plataforma {

namespace {

struct FechaPasta {
  void operator()(DIR* pasta) const { ::closedir(pasta); }
};

}  // namespace

ResultadoSistema CaminhoProprio(std::string* caminho) {
  std::string lido;
  if (const int erro = posix::CaminhoDoPrograma(&lido); erro != 0) return Falhou(erro);
  *caminho = cp1252::DeUtf8(lido);
  return {};
}

void LinhaDeComando(int argc, char** argv, std::string* argumentos, std::string* completa) {
  argumentos->clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argumentos->push_back(' ');
    argumentos->append(cp1252::DeUtf8(argv[i]));
  }
  *completa = argc > 0 && argv[0] != nullptr ? cp1252::DeUtf8(argv[0]) : std::string();
  if (argc > 1) *completa += " " + *argumentos;
}

const char* SufixoPrograma() { return ""; }

ResultadoSistema DefinirPastaAtual(const char* pasta) {
  if (::chdir(cp1252::ParaUtf8(pasta).c_str()) != 0) return Falhou(errno);
  return {};
}

bool EhArquivo(const char* caminho) {
  struct stat st {};
  return ::stat(cp1252::ParaUtf8(caminho).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

ResultadoSistema ListarEntradas(const char* padrao, std::vector<EntradaPasta>* entradas) {
  entradas->clear();
  const std::string p = cp1252::ParaUtf8(padrao);
  const std::size_t barra = p.rfind('/');
  const std::string pasta = barra == std::string::npos ? "." : barra == 0 ? "/" : p.substr(0, barra);
  const std::string nome = barra == std::string::npos ? p : p.substr(barra + 1);
  const std::unique_ptr<DIR, FechaPasta> d(::opendir(pasta.c_str()));
  if (d == nullptr) return Falhou(errno);
  const int fd = ::dirfd(d.get());
  for (;;) {
    errno = 0;
    const dirent* e = ::readdir(d.get());
    if (e == nullptr) break;
    if (::fnmatch(nome.c_str(), e->d_name, 0) != 0) continue;
    struct stat st {};
    const bool eh_pasta = ::fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    entradas->push_back({cp1252::DeUtf8(e->d_name), eh_pasta});
  }
  if (errno != 0) return Falhou(errno);
  return {};
}

void MensagemAtencao(std::string_view titulo, std::string_view texto) {
  std::string linha = std::string(titulo) + ": " + std::string(texto);
  for (char& c : linha)
    if (c == '\r' || c == '\n') c = ' ';
  linha.push_back('\n');
  EscreverErroPadrao(linha);
}

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: sockets.
// ===========================================================================
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace plataforma {
namespace {
namespace jl {

class SoquetePosix : public Soquete {
 public:
  explicit SoquetePosix(DescritorProprio fd) : fd_(std::move(fd)) {}
  [[nodiscard]] long Id() const override { return fd_.get(); }

  ResultadoSistema Conectar(std::uint32_t endereco, std::uint16_t porta) override {
    sockaddr_in destino{};
    destino.sin_family = AF_INET;
    destino.sin_port = htons(porta);
    destino.sin_addr.s_addr = htonl(endereco);
    if (::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&destino), sizeof destino) == 0) return {};
    return Falhou(errno);
  }

  ResultadoSistema Enviar(const char* dados, std::size_t n, std::size_t* enviados) override {
    for (;;) {
      const ssize_t k = ::send(fd_.get(), dados, n, MSG_NOSIGNAL);
      if (k >= 0) {
        *enviados = static_cast<std::size_t>(k);
        return {};
      }
      if (errno != EINTR) return Falhou(errno);
    }
  }

  ResultadoSistema EncerrarEnvio() override {
    if (::shutdown(fd_.get(), SHUT_WR) != 0) return Falhou(errno);
    return {};
  }

 private:
  DescritorProprio fd_;
};

class RedePosix : public Rede {
 public:
  ResultadoSistema Iniciar() override { return {}; }
  void Liberar() override {}
  ResultadoSistema CriarSoquete(std::unique_ptr<Soquete>* soquete) override {
    DescritorProprio fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valido()) return Falhou(errno);
    *soquete = std::make_unique<SoquetePosix>(std::move(fd));
    return {};
  }
};

}  // namespace jl
}  // namespace

Rede& Rede::Padrao() {
  static jl::RedePosix rede;
  return rede;
}

}  // namespace plataforma
