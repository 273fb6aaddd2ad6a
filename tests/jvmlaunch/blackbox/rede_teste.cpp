// Runs a program in a private network namespace, so that port 8020 of the
// loopback address is the test's own, optionally with a server listening
// there that records what it receives. Linux only; needs the right to make
// namespaces (root).
//
//   rede_teste [-e RELATORIO] [-s PASTA] [-m ORIGEM:DESTINO]... -- PROGRAMA ARGS...
//
//   -e RELATORIO  listen on 127.0.0.1:8020; RELATORIO receives the bytes of
//                 the first connection, RELATORIO.fim how its stream ended:
//                 "fim" (the peer shut down its sending side), "erro N"
//                 (reset or another failure) or "nenhuma" (no connection)
//   -s PASTA      a private empty folder (tmpfs) in place of PASTA, so that
//                 a program that meets its server there (Wine: the folder
//                 that the prefix's file "wineserver" names) starts its own
//                 inside the namespace; afterwards, WINESERVER (from the
//                 environment) -k ends that server
//   -m O:D        bind-mount folder O on folder D inside the namespace
//
// The program inherits the standard streams and the current folder. Exit
// status: the program's (128 + signal when it was killed); 77 when the
// namespace cannot be made, with the reason on the standard output.
#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kNaoHaNamespace = 77;

[[noreturn]] void Desiste(const std::string& motivo) {
  std::printf("%s: %s\n", motivo.c_str(), std::strerror(errno));
  std::fflush(stdout);
  std::exit(kNaoHaNamespace);
}

void LigaLoopback() {
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (s < 0) Desiste("socket");
  ifreq ifr{};
  std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
  if (::ioctl(s, SIOCGIFFLAGS, &ifr) != 0) Desiste("SIOCGIFFLAGS lo");
  ifr.ifr_flags = static_cast<short>(ifr.ifr_flags | IFF_UP | IFF_RUNNING);
  if (::ioctl(s, SIOCSIFFLAGS, &ifr) != 0) Desiste("SIOCSIFFLAGS lo");
  ::close(s);
}

int Escuta() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) Desiste("socket");
  const int sim = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &sim, sizeof sim);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(8020);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) Desiste("bind 127.0.0.1:8020");
  if (::listen(s, 4) != 0) Desiste("listen");
  return s;
}

int Status(int estado) { return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado); }

// Serves the first connection while the program runs: every byte until the
// stream ends. Returns how it ended.
std::string Atende(int servidor, pid_t filho, std::string* recebido, int* estado, bool* terminou) {
  for (;;) {
    pollfd p{servidor, POLLIN, 0};
    if (::poll(&p, 1, 50) > 0) break;
    if (::waitpid(filho, estado, WNOHANG) == filho) {
      *terminou = true;
      // A connection made just before the end is still served.
      if (::poll(&p, 1, 0) <= 0) return "nenhuma";
      break;
    }
  }
  const int c = ::accept4(servidor, nullptr, nullptr, SOCK_CLOEXEC);
  if (c < 0) return "erro " + std::to_string(errno);
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(c, buf, sizeof buf);
    if (n > 0) {
      recebido->append(buf, static_cast<std::size_t>(n));
      continue;
    }
    const int erro = errno;
    ::close(c);
    if (n == 0) return "fim";
    if (erro == EINTR) continue;
    return "erro " + std::to_string(erro);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string relatorio;
  std::string pasta_servidor;
  std::vector<std::pair<std::string, std::string>> montagens;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (i + 1 >= argc) return 2;
    const std::string opcao = argv[i++];
    const std::string valor = argv[i];
    if (opcao == "-e") {
      relatorio = valor;
    } else if (opcao == "-s") {
      pasta_servidor = valor;
    } else if (opcao == "-m") {
      const auto dois_pontos = valor.find(':');
      montagens.emplace_back(valor.substr(0, dois_pontos), valor.substr(dois_pontos + 1));
    } else {
      return 2;
    }
  }
  if (i + 1 >= argc) return 2;
  char** programa = argv + i + 1;

  if (::unshare(CLONE_NEWNET | CLONE_NEWNS) != 0) Desiste("unshare(CLONE_NEWNET | CLONE_NEWNS)");
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) Desiste("mount --make-rprivate /");
  LigaLoopback();
  if (!pasta_servidor.empty()) {
    ::mkdir(pasta_servidor.c_str(), 0700);
    if (::mount("tmpfs", pasta_servidor.c_str(), "tmpfs", 0, "mode=0700") != 0) Desiste("tmpfs " + pasta_servidor);
  }
  for (const auto& [origem, destino] : montagens) {
    if (::mount(origem.c_str(), destino.c_str(), nullptr, MS_BIND, nullptr) != 0) Desiste("bind " + destino);
  }
  const int servidor = relatorio.empty() ? -1 : Escuta();

  pid_t filho = 0;
  if (::posix_spawnp(&filho, programa[0], nullptr, nullptr, programa, environ) != 0) {
    std::printf("cannot start %s\n", programa[0]);
    return 127;
  }
  int estado = 0;
  bool terminou = false;
  if (servidor >= 0) {
    std::string recebido;
    const std::string fim = Atende(servidor, filho, &recebido, &estado, &terminou);
    std::ofstream(relatorio, std::ios::binary) << recebido;
    std::ofstream(relatorio + ".fim", std::ios::binary) << fim;
  }
  if (!terminou) ::waitpid(filho, &estado, 0);
  if (!pasta_servidor.empty()) {
    const char* wineserver = std::getenv("WINESERVER");
    if (wineserver != nullptr) {
      char* args[] = {const_cast<char*>(wineserver), const_cast<char*>("-k"), nullptr};
      pid_t w = 0;
      int e = 0;
      if (::posix_spawn(&w, wineserver, nullptr, nullptr, args, environ) == 0) ::waitpid(w, &e, 0);
    }
  }
  return Status(estado);
}
