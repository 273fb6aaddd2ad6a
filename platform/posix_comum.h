// What the POSIX files of the platform share, and nobody else includes: the
// system's errors as the layer reports them, the program's own path, the
// loading of a library and the owner of a file descriptor (a Posse of
// comum.h).
#pragma once

#include <memory>
#include <string>

#include "platform/ambiente.h"
#include "platform/comum.h"

namespace plataforma::posix {

// The failure kind of an errno value, as the programs tell them apart.
Falha FalhaDe(int erro);

// A Status of the error's kind with the system's text (UTF-8).
Status ErroSistema(int erro);

// A ResultadoSistema with the code and the system's text (cp1252).
ResultadoSistema Falhou(int erro);

// The full path of the running program (the link /proc/self/exe), whole
// whatever its length; 0, or the errno of the failure.
int CaminhoDoPrograma(std::string* caminho);

// Loads the library at the path (modulos_posix.cpp); kNaoEncontrado, with
// the loader's text, when it cannot.
Status CarregaBiblioteca(const std::string& caminho, std::unique_ptr<Biblioteca>* biblioteca);

// File descriptors, for Posse: -1 holds none.
struct Descritor {
  using Tipo = int;
  static int Nenhum() { return -1; }
  static bool Valido(int fd) { return fd >= 0; }
  static void Fecha(int fd);
};
using DescritorProprio = Posse<Descritor>;

}  // namespace plataforma::posix
