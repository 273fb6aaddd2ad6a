// Helpers of the platform's contract tests: a fresh folder per test, whole
// files read and written byte for byte, and this test program started again
// as a child that writes what it is asked to (see principal.cpp).
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "platform/ambiente.h"

namespace contrato {

// The texts the child shows (cp1252): a letter beyond ASCII, a control
// character and a line end inside.
inline constexpr std::string_view kTituloAviso = "Título"_cp;
inline constexpr std::string_view kTextoAviso =
    "Ação\x01"
    "feita\r\nfim"_cp;
inline constexpr std::string_view kTextoErroPadrao = "Atenção"_cp;

// The first argument that makes this program a child instead of a test run.
inline constexpr std::string_view kModoFilho = "--filho";

// Runs the child's part; its exit status.
int Filho(int argc, char** argv);

// A new empty folder under the system's temporary folder, without a trailing
// separator; removed with what it holds when the test ends.
class Pasta {
 public:
  explicit Pasta(const std::string& nome);
  Pasta(const Pasta&) = delete;
  Pasta& operator=(const Pasta&) = delete;
  ~Pasta();

  // The path of a name inside the folder ("a/b.txt" for one below).
  [[nodiscard]] std::string operator/(std::string_view nome) const;
  [[nodiscard]] const std::string& caminho() const { return caminho_; }

 private:
  std::string caminho_;
};

bool Existe(const std::string& caminho);
std::string Le(const std::string& caminho);
void Grava(const std::string& caminho, std::string_view conteudo);

// What a child wrote to its two streams, read through the platform's pipes
// until both ended.
struct Saidas {
  bool iniciou = false;
  std::string saida;
  std::string erro;
};

// Starts this program as a child with the arguments after kModoFilho (a
// command-line text, Windows rules) and collects both of its streams.
Saidas ExecutaFilho(const std::string& argumentos);

// The child's command line for the arguments: this program, quoted.
std::string LinhaFilho(const std::string& argumentos);

}  // namespace contrato

namespace plataforma {

// The kind's name in the messages of failed expectations.
inline void PrintTo(Falha falha, std::ostream* os) {
  static constexpr const char* kNomes[] = {"kNenhuma", "kNaoEncontrado", "kDispositivoIndisponivel", "kDiscoCheio",
                                           "kOutra"};
  *os << kNomes[static_cast<int>(falha)];
}

}  // namespace plataforma
