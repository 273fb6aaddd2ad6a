// A stand-in for what the launcher starts: the command interpreter asked for
// the association of Java archives, a Java runtime asked for its version, and
// the runtime running the client. One program, copied under the names it
// plays (cmd.exe, java, java.exe); it answers from files in its own folder
// and records every run there.
//
// By its arguments:
//   /C ...        interpreter: prints ftype.saida to the standard output and
//                 ftype.erro to the standard error; when renomeia.txt holds
//                 two lines, renames the first path to the second
//   ... -version  runtime probe: prints versao.erro to the standard error and
//                 versao.saida to the standard output; when some.txt is there,
//                 then renames itself away, so that it cannot be started again
//   otherwise     the client: prints cliente.saida and cliente.erro
// Every run appends to registro.txt one line: the role, then each argument
// as <argument>, the current folder as [folder] and DIRLOG as {value} ({-}
// when it is not set).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/ambiente.h"

namespace {

std::string Pasta() {
  std::string pasta;
  if (!plataforma::Ambiente::Padrao().PastaPrograma(&pasta).ok()) std::abort();
  return pasta;
}

std::string Caminho(const std::string& nome) { return Pasta() + plataforma::Ambiente::Separador() + nome; }

bool Le(const std::string& nome, std::string* conteudo) {
  std::ifstream f(Caminho(nome), std::ios::binary);
  if (!f) return false;
  conteudo->assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

void Imprime(const std::string& nome, std::FILE* destino) {
  std::string conteudo;
  if (!Le(nome, &conteudo)) return;
  std::fwrite(conteudo.data(), 1, conteudo.size(), destino);
  std::fflush(destino);
}

}  // namespace

int main(int argc, char** argv) {
  std::string papel = "cliente";
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "-version") papel = "versao";
  if (argc > 1 && std::string(argv[1]) == "/C") papel = "ftype";

  std::string linha = papel;
  for (int i = 1; i < argc; ++i) linha += "<" + std::string(argv[i]) + ">";
  const char* dirlog = std::getenv("DIRLOG");
  linha += "[" + std::filesystem::current_path().string() + "]{" + (dirlog != nullptr ? dirlog : "-") + "}\n";
  std::ofstream(Caminho("registro.txt"), std::ios::binary | std::ios::app) << linha;

  Imprime(papel + ".saida", stdout);
  Imprime(papel + ".erro", stderr);

  std::string renomeia;
  if (papel == "ftype" && Le("renomeia.txt", &renomeia)) {
    const auto fim = renomeia.find('\n');
    std::filesystem::rename(renomeia.substr(0, fim), renomeia.substr(fim + 1));
  }
  std::string some;
  std::string eu;
  if (papel == "versao" && Le("some.txt", &some) && plataforma::CaminhoProprio(&eu).ok)
    std::filesystem::rename(eu, eu + ".velho");
  return 0;
}
