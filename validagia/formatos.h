// The output formats of validagia, one row each: a format turns the outcome
// of each file into bytes of the output, in the order the files were named.
// Adding a format is adding a Formatador and its row in formatos.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "libvalida/libvalida.hpp"

namespace validagia {

// How the outcome of the files is shown.
struct OpcoesSaida {
  bool quieto = false;       // only the verdicts
  bool cp1252 = false;       // the report in its own Windows-1252 bytes (text format)
  std::size_t arquivos = 1;  // how many files were named
};

// One file validated: its name as given, and the library's result.
struct Relato {
  std::string arquivo;
  lv::Resultado resultado;
};

class Formatador {
 public:
  Formatador() = default;
  Formatador(const Formatador&) = delete;
  Formatador& operator=(const Formatador&) = delete;
  virtual ~Formatador() = default;
  // Before the first file, and after the last (a document's frame).
  virtual std::string Inicio() { return {}; }
  virtual std::string Fim() { return {}; }
  // One file that was validated (never one that could not be read).
  // `indice` counts from 0 in the order the files were named.
  virtual std::string Arquivo(const Relato& relato, std::size_t indice) = 0;
};

// The names of the formats, for --help and the error message.
std::vector<std::string> NomesFormatos();

// The format named, or null.
std::unique_ptr<Formatador> CriaFormatador(std::string_view nome, const OpcoesSaida& opcoes);

}  // namespace validagia
