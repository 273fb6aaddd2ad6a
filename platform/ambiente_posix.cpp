// Ambiente on POSIX systems. Message boxes and the progress window become
// lines on the standard error stream.
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  void DefineContribuinte(std::string_view texto) override { contribuinte_ = cp1252::ParaUtf8(texto); }
  void DefineVersao(std::string_view texto) override { versao_ = cp1252::ParaUtf8(texto); }

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

class AmbientePosix final : public Ambiente {
 public:
  std::string PastaPrograma() override {
    char caminho[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", caminho, PATH_MAX);
    if (n <= 0) return ".";
    std::string pasta(caminho, static_cast<std::size_t>(n));
    const auto barra = pasta.rfind('/');
    return barra == 0 ? "/" : pasta.substr(0, barra);
  }

  Status AbrirLeitura(const std::string& caminho, std::unique_ptr<ArquivoLeitura>* arquivo) override {
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ErroSistema(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      const int erro = S_ISDIR(st.st_mode) ? EISDIR : errno;
      ::close(fd);
      return ErroSistema(erro);
    }
    *arquivo = std::make_unique<LeituraPosix>(fd);
    return Status::Ok();
  }

  Status CriarEscrita(const std::string& caminho, std::unique_ptr<ArquivoEscrita>* arquivo) override {
    const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return ErroSistema(errno);
    *arquivo = std::make_unique<EscritaPosix>(fd);
    return Status::Ok();
  }

  Status Renomear(const std::string& origem, const std::string& destino) override {
    if (::rename(origem.c_str(), destino.c_str()) != 0) return ErroSistema(errno);
    return Status::Ok();
  }

  Status Apagar(const std::string& caminho) override {
    if (::unlink(caminho.c_str()) != 0 && errno != ENOENT) return ErroSistema(errno);
    return Status::Ok();
  }

  Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<Biblioteca>* biblioteca) override {
    const std::string caminho = PastaPrograma() + "/lib" + nome + ".so";
    void* handle = ::dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return Status::Erro(Falha::kNaoEncontrado, ::dlerror());
    *biblioteca = std::make_unique<BibliotecaPosix>(handle);
    return Status::Ok();
  }

  void MensagemAviso(std::string_view titulo, std::string_view texto) override {
    const std::string linha = cp1252::ParaUtf8(titulo) + ": " + cp1252::ParaUtf8(texto) + "\n";
    std::fputs(linha.c_str(), stderr);
    std::fflush(stderr);
  }

  std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() override { return std::make_unique<ProgressoTerminal>(); }
};

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbientePosix ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '/'; }

}  // namespace plataforma
