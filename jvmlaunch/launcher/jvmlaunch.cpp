// The entry point of jvmlaunch: a desktop program without a window of its
// own, which also exports LigarLog and EventoLog to host processes.
#include <string>

#include "jvmlaunch/launcher/lancador.h"
#include "platform/ambiente.h"

int main(int argc, char** argv) {
  std::string argumentos;
  std::string completa;
  plataforma::LinhaDeComando(argc, argv, &argumentos, &completa);
  jvmlaunch::Recursos recursos;
  return jvmlaunch::Lancador(recursos, argumentos, completa);
}
