// What the POSIX and the Win32 files of the platform share, nobody else
// includes, and needs no system header: the owner of a resource of the
// system, and the refusal of a path that holds a NUL byte.
#pragma once

#include <string>
#include <utility>

#include "platform/ambiente.h"

namespace plataforma {

// The one owner of a resource of the system (a file descriptor, a handle):
// releases it when it goes, or at Fecha. The policy names the type, the
// value that holds none, which values hold one and how one is released:
//   struct Politica {
//     using Tipo = ...;
//     static Tipo Nenhum();
//     static bool Valido(Tipo);
//     static void Fecha(Tipo);  // a failure then is lost
//   };
template <typename Politica>
class Posse {
 public:
  using Tipo = typename Politica::Tipo;

  Posse() = default;
  explicit Posse(Tipo valor) : valor_(valor) {}
  Posse(Posse&& outra) noexcept : valor_(outra.Libera()) {}
  Posse& operator=(Posse&& outra) noexcept {
    if (this != &outra) {
      Fecha();
      valor_ = outra.Libera();
    }
    return *this;
  }
  Posse(const Posse&) = delete;
  Posse& operator=(const Posse&) = delete;
  ~Posse() { Fecha(); }

  [[nodiscard]] Tipo get() const { return valor_; }
  [[nodiscard]] bool Valido() const { return Politica::Valido(valor_); }
  // Releases the resource now, when there is one.
  void Fecha() {
    if (Valido()) Politica::Fecha(valor_);
    valor_ = Politica::Nenhum();
  }
  // Hands the resource over to the caller, who releases it.
  [[nodiscard]] Tipo Libera() { return std::exchange(valor_, Politica::Nenhum()); }

 private:
  Tipo valor_ = Politica::Nenhum();
};

// A path with a NUL byte would reach the system cut short, naming another
// file; such a path is refused as not found.
inline bool CaminhoValido(const std::string& caminho) { return caminho.find('\0') == std::string::npos; }
inline Status CaminhoInvalido(const std::string& caminho) {
  return Status::Erro(Falha::kNaoEncontrado, "the path holds a NUL byte: " + caminho.substr(0, caminho.find('\0')));
}

}  // namespace plataforma
