// The errors, the program's path and the descriptor owner that the POSIX
// files of the platform share.
#include "platform/posix_comum.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/cp1252.h"

namespace plataforma::posix {

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

ResultadoSistema Falhou(int erro) {
  ResultadoSistema r;
  r.ok = false;
  r.codigo = erro;
  r.texto = cp1252::DeUtf8(std::strerror(erro));
  return r;
}

int CaminhoDoPrograma(std::string* caminho) {
  std::string lido(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", lido.data(), lido.size());
    if (n < 0) return errno;
    // A result that fills the buffer may have been cut: read it again into a larger one.
    if (static_cast<std::size_t>(n) < lido.size()) {
      lido.resize(static_cast<std::size_t>(n));
      break;
    }
    lido.resize(lido.size() * 2);
  }
  *caminho = std::move(lido);
  return 0;
}

void Descritor::Fecha(int fd) { ::close(fd); }

}  // namespace plataforma::posix
