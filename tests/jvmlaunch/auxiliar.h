// Helpers of the jvmlaunch tests: a fresh folder per test, whole files read
// byte for byte, and log texts with their time stamps masked.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "platform/ambiente.h"

namespace teste {

// A new empty folder under the system's temporary folder.
inline std::string PastaNova(const std::string& nome) {
  static std::atomic<int> serie{0};
  const auto pasta =
      std::filesystem::temp_directory_path() /
      ("jl_" + nome + "_" + std::to_string(plataforma::IdProcessoAtual()) + "_" + std::to_string(++serie));
  std::filesystem::remove_all(pasta);
  std::filesystem::create_directories(pasta);
  return pasta.string();
}

inline bool Existe(const std::string& caminho) { return std::filesystem::exists(caminho); }

inline std::string Le(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The line prefix "dd/mm hh:mm:ss.mmm[thread.level]:" becomes "<level>", a
// banner's date and time "<data>".
inline std::string Mascara(const std::string& log) {
  static const std::regex prefixo(R"(\d\d/\d\d \d\d:\d\d:\d\d\.\d\d\d\[\d+\.(-?\d+)\]:)");
  static const std::regex data(R"(\d\d/\d\d/\d\d\d\d \d\d:\d\d:\d\d)");
  return std::regex_replace(std::regex_replace(log, prefixo, "<$1>"), data, "<data>");
}

// Lines without their CR LF; a text whose lines do not all end in CR LF gives
// a last line "<sem CR LF>".
inline std::vector<std::string> Linhas(const std::string& texto) {
  std::vector<std::string> linhas;
  std::size_t i = 0;
  while (i < texto.size()) {
    const std::size_t fim = texto.find("\r\n", i);
    if (fim == std::string::npos) {
      linhas.emplace_back("<sem CR LF>");
      break;
    }
    linhas.push_back(texto.substr(i, fim - i));
    i = fim + 2;
  }
  return linhas;
}

}  // namespace teste
