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

namespace plataforma {

namespace {

Falha FalhaDe(int erro) {
  switch (erro) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return Falha::kNaoEncontrado;
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
    case EIO:
      return Falha::kDispositivoIndisponivel;
    case ENOSPC:
    case EDQUOT:
    case EMFILE:
    case ENFILE:
      return Falha::kDiscoCheio;
    default:
      return Falha::kOutra;
  }
}

Status ErroSistema(int erro) { return Status::Erro(FalhaDe(erro), std::strerror(erro)); }

// A path with a NUL byte would reach the system cut short, naming another file.
bool CaminhoValido(const std::string& caminho) { return caminho.find('\0') == std::string::npos; }
Status CaminhoInvalido(const std::string& caminho) {
  return Status::Erro(Falha::kNaoEncontrado, "the path holds a NUL byte: " + caminho.substr(0, caminho.find('\0')));
}

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
  explicit LeituraPosix(int fd) : fd_(fd) {}
  ~LeituraPosix() override { ::close(fd_); }

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    for (;;) {
      const ssize_t r = ::read(fd_, buf, n);
      if (r >= 0) {
        *lidos = static_cast<std::size_t>(r);
        return Status::Ok();
      }
      if (errno != EINTR) return ErroSistema(errno);
    }
  }

  Status Tamanho(std::uint64_t* bytes) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return ErroSistema(errno);
    *bytes = static_cast<std::uint64_t>(st.st_size);
    return Status::Ok();
  }

 private:
  int fd_;
};

class EscritaPosix final : public ArquivoEscrita {
 public:
  explicit EscritaPosix(int fd) : fd_(fd) {}
  ~EscritaPosix() override {
    if (fd_ >= 0) ::close(fd_);
  }

  Status Escrever(std::string_view texto) override {
    while (!texto.empty()) {
      const ssize_t r = ::write(fd_, texto.data(), texto.size());
      if (r < 0) {
        if (errno == EINTR) continue;
        return ErroSistema(errno);
      }
      texto.remove_prefix(static_cast<std::size_t>(r));
    }
    return Status::Ok();
  }

  Status Fechar() override {
    const int fd = fd_;
    fd_ = -1;
    // fsync makes a full disk show here, before the file is renamed into place.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
      const int erro = errno;
      ::close(fd);
      return ErroSistema(erro);
    }
    if (::close(fd) != 0) return ErroSistema(errno);
    return Status::Ok();
  }

 private:
  int fd_;
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
  explicit TravaPosix(int fd) : fd_(fd) {}
  ~TravaPosix() override { ::close(fd_); }

 private:
  int fd_;
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
    std::string caminho(256, '\0');
    for (;;) {
      const ssize_t n = ::readlink("/proc/self/exe", caminho.data(), caminho.size());
      if (n < 0) return Status::Erro(Falha::kOutra, std::string("/proc/self/exe: ") + std::strerror(errno));
      if (static_cast<std::size_t>(n) < caminho.size()) {
        caminho.resize(static_cast<std::size_t>(n));
        break;
      }
      caminho.resize(caminho.size() * 2);  // the path may have been cut: read it again
    }
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
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ErroSistema(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      const int erro = errno;
      ::close(fd);
      return S_ISREG(st.st_mode) ? ErroSistema(erro) : NaoRegular();
    }
    // Reads of a regular file wait for the disk, as they should.
    const int modo = ::fcntl(fd, F_GETFL);
    if (modo < 0 || ::fcntl(fd, F_SETFL, modo & ~O_NONBLOCK) != 0) {
      const int erro = errno;
      ::close(fd);
      return ErroSistema(erro);
    }
    *arquivo = std::make_unique<LeituraPosix>(fd);
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
    const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) return Status::Erro(Falha::kOutra, "something took the name meanwhile: " + caminho);
      return ErroSistema(errno);
    }
    *arquivo = std::make_unique<EscritaPosix>(fd);
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
      const int fd = ::open(caminho.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
      if (fd < 0) {
        const int erro = errno;
        if (EhPastaPropria(caminho)) return PastaNoNome(caminho);
        // A symbolic link (ELOOP), a socket or a device that the open
        // refuses (ENXIO, ENODEV): removed, never followed nor used.
        if (!EhOutraCoisa(caminho)) return ErroSistema(erro);
        if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
        continue;
      }
      struct stat aberto {};
      if (::fstat(fd, &aberto) != 0) {
        const int erro = errno;
        ::close(fd);
        return ErroSistema(erro);
      }
      if (!S_ISREG(aberto.st_mode)) {
        ::close(fd);
        if (S_ISDIR(aberto.st_mode)) return PastaNoNome(caminho);
        // A FIFO, a socket or a device cannot be the lock file: removed.
        if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
        continue;
      }
      while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int erro = errno;
        ::close(fd);
        return ErroSistema(erro);
      }
      struct stat nome {};
      if (::lstat(caminho.c_str(), &nome) == 0 && nome.st_dev == aberto.st_dev && nome.st_ino == aberto.st_ino) {
        *trava = std::make_unique<TravaPosix>(fd);
        return Status::Ok();
      }
      ::close(fd);
    }
    return Status::Erro(Falha::kOutra, "the lock file keeps being replaced: " + caminho);
  }

  Status CopiarPermissoes(const std::string& modelo, const std::string& caminho) override {
    if (!CaminhoValido(modelo)) return CaminhoInvalido(modelo);
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    struct stat st {};
    if (::stat(modelo.c_str(), &st) != 0) return ErroSistema(errno);
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ErroSistema(errno);
    struct stat destino {};
    const bool regular = ::fstat(fd, &destino) == 0 && S_ISREG(destino.st_mode);
    const int erro = regular && ::fchmod(fd, st.st_mode & 0777) != 0 ? errno : 0;
    ::close(fd);
    if (!regular) return NaoRegular();
    return erro == 0 ? Status::Ok() : ErroSistema(erro);
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

ResultadoSistema Falhou(int erro) {
  ResultadoSistema r;
  r.ok = false;
  r.codigo = erro;
  r.texto = cp1252::DeUtf8(std::strerror(erro));
  return r;
}

std::string ParaSistema(std::string_view texto) { return cp1252::ParaUtf8(texto); }

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
  explicit ArquivoLogPosix(int fd) : fd_(fd) {}
  ~ArquivoLogPosix() override { ::close(fd_); }
  void Escrever(const char* dados, std::size_t n) override { EscreveTudo(fd_, dados, n); }
  ResultadoSistema Estado() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return Falhou(errno);
    return {};
  }

 private:
  int fd_;
};

class BibliotecaModulo : public Biblioteca {
 public:
  explicit BibliotecaModulo(void* h) : h_(h) {}
  ~BibliotecaModulo() override { ::dlclose(h_); }
  Status Funcao(const std::string& nome, EnderecoFuncao* endereco) override {
    void* f = ::dlsym(h_, nome.c_str());
    if (f == nullptr) return Status::Erro(Falha::kNaoEncontrado, "no function " + nome);
    *endereco = reinterpret_cast<EnderecoFuncao>(f);  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    return Status::Ok();
  }

 private:
  void* h_;
};

class CanalPosix : public Canal {
 public:
  CanalPosix(int leitura, int escrita) : leitura_(leitura), escrita_(escrita) {}
  ~CanalPosix() override {
    FecharEscrita();
    FecharLeitura();
  }
  [[nodiscard]] long IdEscrita() const override { return escrita_; }
  [[nodiscard]] long IdLeitura() const override { return leitura_; }
  void FecharEscrita() override { Fecha(&escrita_); }
  void FecharLeitura() override { Fecha(&leitura_); }
  [[nodiscard]] bool LeituraAberta() const override { return leitura_ >= 0; }
  ResultadoSistema Ler(char* dados, std::size_t n, std::size_t* lidos) override {
    for (;;) {
      const ssize_t k = ::read(leitura_, dados, n);
      if (k >= 0) {
        *lidos = static_cast<std::size_t>(k);
        return {};
      }
      if (errno != EINTR) return Falhou(errno);
    }
  }
  [[nodiscard]] int leitura() const { return leitura_; }
  [[nodiscard]] int escrita() const { return escrita_; }

 private:
  static void Fecha(int* fd) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  int leitura_;
  int escrita_;
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
    *canal = std::make_unique<CanalPosix>(fds[0], fds[1]);
    return {};
  }

  ResultadoSistema IniciarOculto(std::string_view linha, Canal& saida, Canal& erro) override {
    filhos_.Colhe();
    std::vector<std::string> args = DivideLinhaComando(linha);
    if (args.empty() || args[0].empty()) return Falhou(ENOENT);
    for (std::string& a : args) a = ParaSistema(a);
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
  const char* v = std::getenv(jl::ParaSistema(nome).c_str());
  if (v == nullptr) return false;
  *valor = cp1252::DeUtf8(v);
  return true;
}

ResultadoSistema DefinirVariavel(const char* nome, const char* valor) {
  if (::setenv(jl::ParaSistema(nome).c_str(), jl::ParaSistema(valor).c_str(), 1) != 0) return jl::Falhou(errno);
  return {};
}

ResultadoSistema CriarPasta(const char* caminho) {
  if (::mkdir(jl::ParaSistema(caminho).c_str(), 0777) == 0) return {};
  const int erro = errno;
  if (erro == EEXIST && EhPasta(caminho)) return {};
  return jl::Falhou(erro);
}

bool EhPasta(const char* caminho) {
  struct stat st {};
  return ::stat(jl::ParaSistema(caminho).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
  const int fd = ::open(jl::ParaSistema(caminho).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return jl::Falhou(errno);
  *arquivo = std::make_unique<jl::ArquivoLogPosix>(fd);
  return {};
}

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  void* h = ::dlopen(jl::ParaSistema(caminho).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) {
    ResultadoSistema r;
    r.ok = false;
    r.codigo = ENOENT;
    r.texto = cp1252::DeUtf8(::dlerror());
    return r;
  }
  *modulo = std::make_unique<jl::BibliotecaModulo>(h);
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

ResultadoSistema CaminhoProprio(std::string* caminho) {
  std::string lido(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", lido.data(), lido.size());
    if (n < 0) return jl::Falhou(errno);
    // A result that fills the buffer may have been cut: try a larger one.
    if (static_cast<std::size_t>(n) < lido.size()) {
      lido.resize(static_cast<std::size_t>(n));
      break;
    }
    lido.resize(lido.size() * 2);
  }
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
  if (::chdir(jl::ParaSistema(pasta).c_str()) != 0) return jl::Falhou(errno);
  return {};
}

bool EhArquivo(const char* caminho) {
  struct stat st {};
  return ::stat(jl::ParaSistema(caminho).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

ResultadoSistema ListarEntradas(const char* padrao, std::vector<EntradaPasta>* entradas) {
  entradas->clear();
  const std::string p = jl::ParaSistema(padrao);
  const std::size_t barra = p.rfind('/');
  const std::string pasta = barra == std::string::npos ? "." : barra == 0 ? "/" : p.substr(0, barra);
  const std::string nome = barra == std::string::npos ? p : p.substr(barra + 1);
  DIR* d = ::opendir(pasta.c_str());
  if (d == nullptr) return jl::Falhou(errno);
  const int fd = ::dirfd(d);
  for (;;) {
    errno = 0;
    const dirent* e = ::readdir(d);
    if (e == nullptr) break;
    if (::fnmatch(nome.c_str(), e->d_name, 0) != 0) continue;
    struct stat st {};
    const bool eh_pasta = ::fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    entradas->push_back({cp1252::DeUtf8(e->d_name), eh_pasta});
  }
  const int erro = errno;
  ::closedir(d);
  if (erro != 0) return jl::Falhou(erro);
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
  explicit SoquetePosix(int fd) : fd_(fd) {}
  ~SoquetePosix() override { ::close(fd_); }
  [[nodiscard]] long Id() const override { return fd_; }

  ResultadoSistema Conectar(std::uint32_t endereco, std::uint16_t porta) override {
    sockaddr_in destino{};
    destino.sin_family = AF_INET;
    destino.sin_port = htons(porta);
    destino.sin_addr.s_addr = htonl(endereco);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&destino), sizeof destino) == 0) return {};
    return Falhou(errno);
  }

  ResultadoSistema Enviar(const char* dados, std::size_t n, std::size_t* enviados) override {
    for (;;) {
      const ssize_t k = ::send(fd_, dados, n, MSG_NOSIGNAL);
      if (k >= 0) {
        *enviados = static_cast<std::size_t>(k);
        return {};
      }
      if (errno != EINTR) return Falhou(errno);
    }
  }

  ResultadoSistema EncerrarEnvio() override {
    if (::shutdown(fd_, SHUT_WR) != 0) return Falhou(errno);
    return {};
  }

 private:
  int fd_;
};

class RedePosix : public Rede {
 public:
  ResultadoSistema Iniciar() override { return {}; }
  void Liberar() override {}
  ResultadoSistema CriarSoquete(std::unique_ptr<Soquete>* soquete) override {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Falhou(errno);
    *soquete = std::make_unique<SoquetePosix>(fd);
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
