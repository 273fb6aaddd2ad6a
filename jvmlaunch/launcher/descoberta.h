// The search for a Java runtime that runs as a 32-bit virtual machine of
// version 1.7 or later: the program associated with Java archives, the jre
// folders of the program-files folders, then the Java home variables. Every
// candidate is run and must answer the version question.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ambiente.h"

namespace jvmlaunch {

// The command that asks the command interpreter for the association of Java
// archives.
inline constexpr const char* kComandoAssociacao = "cmd.exe /C \"ftype jarfile\"";

// The runtime to start the client with (the association's candidate keeps
// its quotes). None after it has told the user, in a message box, that none
// could be found or that the association could not be asked for; the
// launcher then ends.
std::optional<std::string> ProcuraJava(plataforma::Processos& processos);

// The candidate of the association's answer (what "ftype jarfile" printed):
// the text between its first "=" and its first " -jar", with the windowed
// runtime program (javaw) turned into the console one: the first lower-case
// "w" after the candidate's last folder separator becomes the program
// suffix and, when the candidate is a quoted path, the closing double quote;
// the candidate ends there. None when the answer has no "=" or no " -jar".
std::optional<std::string> CandidatoDaAssociacao(std::string_view resposta);

// True when the runtime, run with "-d32 -version", reports on its standard
// error a version of 1.7 or later ("java version \"...\""); false for a 64-bit
// runtime that cannot run as 32-bit, an older or unknown version, and a
// runtime that cannot be started (after the message box of internal error 2).
bool EhJava32bits(plataforma::Processos& processos, const std::string& java);

// The first runtime below pasta, in the folders named jre* of its Java folder
// in the order the file system lists them, whose java program is there and
// is accepted by EhJava32bits.
std::optional<std::string> TemJRE(plataforma::Processos& processos, const std::string& pasta);

}  // namespace jvmlaunch
