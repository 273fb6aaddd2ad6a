// ExecutarComando: runs a command line as a hidden child process and collects
// what it writes to its standard output and standard error until the child
// has closed both streams. The launcher runs the command interpreter, the Java
// runtime probes and the desktop client itself through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ambiente.h"

namespace jvmlaunch {

// Runs comando (an 8-bit command line, never handed to a shell) with no
// standard input and reads both output streams as data arrives, so the child
// never stalls on a full pipe. Each buffer receives at most capacity - 1 bytes
// followed by a 0 byte; what does not fit is read and discarded. Returns the
// bytes stored in both buffers together, or -1 when a pipe or the process
// could not be created (logged at level 0 as E#C6700, E#C6701 or E#C6702).
std::int32_t ExecutarComando(const char* comando, char* saida, int capacidade_saida, char* erro, int capacidade_erro);

// The same through the given Processos (tests break single calls with it).
std::int32_t ExecutarComando(plataforma::Processos& processos, const char* comando, char* saida, int capacidade_saida,
                             char* erro, int capacidade_erro);

// A path as the program name of a command line: in double quotes when it
// holds a blank or a tab (so that it is one name, never cut at the blank),
// unchanged otherwise and when it is quoted already.
std::string ComoPrograma(std::string_view caminho);

// A text as one argument of a command line by the rules by which the child
// splits its command line: unchanged when it is not empty and holds no
// blank, tab or double quote; otherwise in double quotes, with a double
// quote inside written as \" and the backslashes before a double quote (and
// before the closing one) doubled.
std::string ComoArgumento(std::string_view texto);

}  // namespace jvmlaunch
