// Files, folders, the lock file, message boxes and the progress window on
// POSIX systems. Message boxes and the progress window become lines on the
// standard error stream.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "platform/ambiente.h"
#include "platform/posix_comum.h"

namespace plataforma {

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
    return Fecha(fd);
  }

  Status FecharTemporario() override {
    DescritorProprio fd = std::move(fd_);
    return Fecha(fd);
  }

 private:
  // The close is the file's last word: its failure is the file's.
  static Status Fecha(DescritorProprio& fd) {
    if (::close(fd.Libera()) != 0) return ErroSistema(errno);
    return Status::Ok();
  }

  DescritorProprio fd_;
};

// One line of progress on a terminal; nothing when the standard error is not one.
class ProgressoTerminal final : public JanelaProgresso {
 public:
  ProgressoTerminal() : terminal_(::isatty(STDERR_FILENO) == 1) {}
  ~ProgressoTerminal() override { Fecha(); }

  void DefineProgresso(int valor) override { progresso_ = valor; }
  // The driver sets the captions for every line: a caption is converted only
  // when it changes, and never without a terminal.
  void DefineContribuinte(std::string_view texto) override { Converte(texto, contribuinte_original_, contribuinte_); }
  void DefineVersao(std::string_view texto) override { Converte(texto, versao_original_, versao_); }

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
  void Converte(std::string_view texto, std::string& original, std::string& convertido) const {
    if (!terminal_ || texto == original) return;
    original = texto;
    convertido = ParaTerminal(texto);
  }

  bool terminal_;
  bool fechada_ = false;
  int progresso_ = 0;
  std::string contribuinte_original_;
  std::string contribuinte_;
  std::string versao_original_;
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
    return posix::CarregaBiblioteca(pasta + "/lib" + nome + ".so", biblioteca);
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

struct FechaPasta {
  void operator()(DIR* pasta) const { ::closedir(pasta); }
};

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbientePosix ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '/'; }

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

bool EhArquivo(const char* caminho) {
  struct stat st {};
  return ::stat(cp1252::ParaUtf8(caminho).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PastaTemporariaSistema(std::string* pasta) {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string p = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  *pasta = cp1252::DeUtf8(p);
  return true;
}

const char* PastaTemporariaFixa() { return "/tmp"; }

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

ResultadoSistema AbrirArquivoLog(const char* caminho, std::unique_ptr<ArquivoLog>* arquivo) {
  DescritorProprio fd(::open(cp1252::ParaUtf8(caminho).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.Valido()) return Falhou(errno);
  *arquivo = std::make_unique<ArquivoLogPosix>(std::move(fd));
  return {};
}

void EscreverErroPadrao(std::string_view texto) {
  const std::string utf8 = cp1252::ParaUtf8(texto);
  EscreveTudo(2, utf8.data(), utf8.size());
}

ResultadoSistema LerEntradaPadrao(char* dados, std::size_t n, std::size_t* lidos) {
  for (;;) {
    const ssize_t r = ::read(STDIN_FILENO, dados, n);
    if (r >= 0) {
      *lidos = static_cast<std::size_t>(r);
      return {};
    }
    if (errno == EINTR) continue;
    if (errno == EBADF) {
      *lidos = 0;
      return {};
    }
    return Falhou(errno);
  }
}

ResultadoSistema EscreverSaidaPadrao(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t r = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno == EBADF) return {};
      return Falhou(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(r));
  }
  return {};
}

bool ErroPadraoEhTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void MensagemAtencao(std::string_view titulo, std::string_view texto) {
  std::string linha = std::string(titulo) + ": " + std::string(texto);
  for (char& c : linha)
    if (c == '\r' || c == '\n') c = ' ';
  linha.push_back('\n');
  EscreverErroPadrao(linha);
}

}  // namespace plataforma
