// What the Win32 files of the platform share, and nobody else includes:
// windows.h, the conversions between the programs' texts and the system's
// UTF-16, the system's error texts as the layer reports them, the program's
// own path, the loading of a library and the owner of a handle.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ambiente.h"

namespace plataforma::win32 {

// The paths of Ambiente are UTF-8; a malformed sequence becomes U+FFFD.
std::wstring Utf8ParaUtf16(std::string_view utf8);
std::string Utf16ParaUtf8(std::wstring_view utf16);
// The texts of jvmlaunch and of the windows are Windows-1252; a character
// that Windows-1252 lacks comes back as the system's best fit or '?'.
std::wstring Cp1252ParaUtf16(std::string_view cp1252);
std::string Utf16ParaCp1252(std::wstring_view utf16);

// The failure kind of a system error code, as the programs tell them apart.
Falha FalhaDe(DWORD erro);

// A Status of the error's kind with the system's text (UTF-8).
Status ErroSistema(DWORD erro);
// The same for GetLastError().
Status UltimoErro();

// A ResultadoSistema with the code and the system's text (cp1252).
ResultadoSistema Falhou(DWORD erro);
// The same for GetLastError().
ResultadoSistema FalhouAgora();

// A path with a NUL byte would reach the system cut short, naming another
// file; such a path is refused as not found.
bool CaminhoValido(const std::string& caminho);
Status CaminhoInvalido(const std::string& caminho);

// The full path of the running program, whole whatever its length; 0, or
// the system's error code.
DWORD CaminhoDoPrograma(std::wstring* caminho);

// Loads the library by its name as the system searches for it
// (modulos_win32.cpp); the system's error when it cannot.
Status CarregaBiblioteca(const std::wstring& nome, std::unique_ptr<Biblioteca>* biblioteca);

// How each kind of handle is released.
struct FechaHandle {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct FechaBusca {
  void operator()(HANDLE h) const { ::FindClose(h); }
};

// The one owner of a handle: releases it when it goes, or at Fecha. Both
// nullptr and INVALID_HANDLE_VALUE mean no handle (the calls return one or
// the other when they fail).
template <typename Fechador>
class Posse {
 public:
  Posse() = default;
  explicit Posse(HANDLE h) : h_(h) {}
  Posse(Posse&& outra) noexcept : h_(outra.Libera()) {}
  Posse& operator=(Posse&& outra) noexcept {
    if (this != &outra) {
      Fecha();
      h_ = outra.Libera();
    }
    return *this;
  }
  Posse(const Posse&) = delete;
  Posse& operator=(const Posse&) = delete;
  ~Posse() { Fecha(); }

  [[nodiscard]] HANDLE get() const { return h_; }
  [[nodiscard]] bool Valido() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  // Releases the handle now, when there is one; a failure then is lost.
  void Fecha() {
    if (Valido()) Fechador{}(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  // Hands the handle over to the caller, who releases it.
  [[nodiscard]] HANDLE Libera() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

// A file, pipe, event, process or thread handle.
using HandleProprio = Posse<FechaHandle>;
// A search of FindFirstFile.
using BuscaPropria = Posse<FechaBusca>;

}  // namespace plataforma::win32
