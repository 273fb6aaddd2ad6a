// What the Win32 files of the platform share, and nobody else includes:
// windows.h, the conversions between the programs' texts and the system's
// UTF-16, the system's error texts as the layer reports them, the program's
// own path, the loading of a library and the owners of handles (a Posse of
// comum.h).
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

#include "platform/ambiente.h"
#include "platform/comum.h"

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

// The full path of the running program, whole whatever its length; 0, or
// the system's error code.
DWORD CaminhoDoPrograma(std::wstring* caminho);

// Loads the library by its name as the system searches for it
// (modulos_win32.cpp); the system's error when it cannot.
Status CarregaBiblioteca(const std::wstring& nome, std::unique_ptr<Biblioteca>* biblioteca);

// Handles, for Posse: both nullptr and INVALID_HANDLE_VALUE hold none (the
// calls return one or the other when they fail).
struct Handle {
  using Tipo = HANDLE;
  static HANDLE Nenhum() { return INVALID_HANDLE_VALUE; }
  static bool Valido(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Fecha(HANDLE h) { ::CloseHandle(h); }
};
// The handle of a search of FindFirstFile.
struct Busca : Handle {
  static void Fecha(HANDLE h) { ::FindClose(h); }
};

// A file, pipe, event, process or thread handle.
using HandleProprio = Posse<Handle>;
// A search of FindFirstFile.
using BuscaPropria = Posse<Busca>;

}  // namespace plataforma::win32
