// What the POSIX files of the platform share, and nobody else includes: the
// system's errors as the layer reports them, the program's own path, the
// loading of a library and the owner of a file descriptor.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/ambiente.h"

namespace plataforma::posix {

// The failure kind of an errno value, as the programs tell them apart.
Falha FalhaDe(int erro);

// A Status of the error's kind with the system's text (UTF-8).
Status ErroSistema(int erro);

// A ResultadoSistema with the code and the system's text (cp1252).
ResultadoSistema Falhou(int erro);

// A path with a NUL byte would reach the system cut short, naming another
// file; such a path is refused as not found.
bool CaminhoValido(const std::string& caminho);
Status CaminhoInvalido(const std::string& caminho);

// The full path of the running program (the link /proc/self/exe), whole
// whatever its length; 0, or the errno of the failure.
int CaminhoDoPrograma(std::string* caminho);

// Loads the library at the path (modulos_posix.cpp); kNaoEncontrado, with
// the loader's text, when it cannot.
Status CarregaBiblioteca(const std::string& caminho, std::unique_ptr<Biblioteca>* biblioteca);

// The one owner of a file descriptor: closes it when it goes, or at Fecha.
class DescritorProprio {
 public:
  DescritorProprio() = default;
  explicit DescritorProprio(int fd) : fd_(fd) {}
  DescritorProprio(DescritorProprio&& outro) noexcept : fd_(outro.Libera()) {}
  DescritorProprio& operator=(DescritorProprio&& outro) noexcept {
    if (this != &outro) {
      Fecha();
      fd_ = outro.Libera();
    }
    return *this;
  }
  DescritorProprio(const DescritorProprio&) = delete;
  DescritorProprio& operator=(const DescritorProprio&) = delete;
  ~DescritorProprio() { Fecha(); }

  [[nodiscard]] int get() const { return fd_; }
  [[nodiscard]] bool Valido() const { return fd_ >= 0; }
  // Closes the descriptor now, when there is one; a failure then is lost.
  void Fecha();
  // Hands the descriptor over to the caller, who closes it.
  [[nodiscard]] int Libera() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

}  // namespace plataforma::posix
