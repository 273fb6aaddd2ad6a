// Reading a text file as a stream of lines, with memory that does not grow
// with the file: a line ends at CR LF; a lone CR or LF is part of the line;
// text after the last CR LF is a last line. A line longer than the limit
// keeps only its first characters, but its true length is counted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ambiente.h"

namespace valida {

class LeitorLinhas {
 public:
  // Every failure of `arquivo` throws FalhaExecucao naming `caminho`.
  LeitorLinhas(plataforma::ArquivoLeitura& arquivo, std::string caminho, std::size_t limite);

  // The next line, or false at the end of the file.
  bool Proxima();

  // Text of the line read last (at most `limite` characters), without its end.
  [[nodiscard]] const std::string& Texto() const { return texto_; }
  // Its true length in characters.
  [[nodiscard]] std::uint64_t Comprimento() const { return comprimento_; }
  // Bytes consumed so far, line ends included.
  [[nodiscard]] std::uint64_t Posicao() const { return posicao_; }

 private:
  bool Enche();
  void Guarda(const char* p, std::size_t n);

  static constexpr std::size_t kTamanhoBuffer = 64 * 1024;
  plataforma::ArquivoLeitura& arquivo_;
  std::string caminho_;
  std::size_t limite_;
  std::unique_ptr<char[]> buffer_;
  std::size_t inicio_ = 0;
  std::size_t fim_ = 0;
  bool acabou_ = false;
  std::string texto_;
  std::uint64_t comprimento_ = 0;
  std::uint64_t posicao_ = 0;
};

}  // namespace valida
