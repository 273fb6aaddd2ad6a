// The main flow of jvmlaunch: hand the command line to a client that is
// already running (it accepts a connection on 127.0.0.1, port 8020), or find
// a Java runtime, start the client vek.jar with it from the program's folder,
// wait until it ends and log what it printed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ambiente.h"

namespace jvmlaunch {

// Where a running client listens.
inline constexpr std::uint32_t kEnderecoCliente = 0x7F000001;  // 127.0.0.1
inline constexpr std::uint16_t kPortaCliente = 8020;

// Exit codes: handed over or the client ran; any failure; the program's own
// path could not be had.
inline constexpr int kSaidaConcluida = 1;
inline constexpr int kSaidaFalha = 0;
inline constexpr int kSaidaSemCaminho = -1;

// The system as the main flow reaches it; tests replace single pieces.
struct Recursos {
  plataforma::Processos& processos = plataforma::Processos::Padrao();
  plataforma::Rede& rede = plataforma::Rede::Padrao();
};

// The text handed to a running client or passed on to a new one: the
// argument text; but from the second of two double quotes in a row of the
// full command line to its end when it holds such a pair.
std::string NovaLinhaDeComando(std::string_view argumentos, std::string_view completa);

// The command that starts the client with the runtime java, the log folder
// and NovaLinhaDeComando: the SSL debugging form when the text holds
// "-debugssl"; then each token of the text (cut at blanks and tabs) after a
// blank, the token "-debugssl" as "-l 7".
std::string ComandoCliente(std::string_view java, std::string_view pasta_log, std::string_view nova);

// The whole run; argumentos and completa as plataforma::LinhaDeComando gives
// them. Returns the exit code.
int Lancador(Recursos& recursos, std::string_view argumentos, std::string_view completa);

}  // namespace jvmlaunch
