// Processes on POSIX systems: the environment, the clock and ids, the
// program's own path and command line, hidden children and their pipes, and
// sockets. Texts cross to the system as UTF-8; a command line is split by the
// Windows rules and started with posix_spawnp, never a shell.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "platform/ambiente.h"
#include "platform/posix_comum.h"

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace plataforma {

using posix::DescritorProprio;
using posix::Falhou;

namespace {

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

ResultadoSistema DefinirPastaAtual(const char* pasta) {
  if (::chdir(cp1252::ParaUtf8(pasta).c_str()) != 0) return Falhou(errno);
  return {};
}

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

std::vector<std::string> ArgumentosUtf8(int argc, char** argv) { return {argv, argv + argc}; }

const char* SufixoPrograma() { return ""; }

Processos& Processos::Padrao() {
  static ProcessosPosix processos;
  return processos;
}

Rede& Rede::Padrao() {
  static RedePosix rede;
  return rede;
}

}  // namespace plataforma
