// Reading a text file as a stream of lines, with memory that does not grow
// with the file: a line ends at CR LF; a lone CR or LF is part of the line;
// text after the last CR LF is a last line. A line longer than the most that
// the reader takes ends the reading at once, without reading to its end, so
// that neither a file without line ends nor an endless device costs time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ambiente.h"
#include "valida/run/execucao.h"

namespace valida {

class LeitorLinhas {
 public:
  // Every failure of `arquivo` throws FalhaExecucao naming `caminho`. No line
  // is longer than `maximo` characters for the reader's caller.
  LeitorLinhas(plataforma::ArquivoLeitura& arquivo, std::string caminho, std::size_t maximo);

  // The next line, or false at the end of the file. A line longer than
  // `maximo` comes with its first maximo + 1 characters only, and is the
  // last: nothing after them is read.
  bool Proxima();

  // Text of the line read last, without its end; it lasts until the next
  // call of Proxima.
  [[nodiscard]] std::string_view Texto() const { return linha_; }
  // Its length in characters; maximo + 1 for any line longer than maximo.
  [[nodiscard]] std::uint64_t Comprimento() const { return linha_.size(); }
  // Bytes consumed so far, line ends included.
  [[nodiscard]] std::uint64_t Posicao() const { return posicao_; }

 private:
  // The usual line: wholly in the buffer, ended by CR LF, no CR within and
  // no longer than maximo_. Its text is then a view of the buffer.
  bool ProximaNoBuffer();
  // Any other line, its text put together in texto_ across buffers.
  bool ProximaMontada();
  bool Enche();
  void Consome(std::size_t n);
  // True once the line is longer than maximo_: the reading ends with it.
  bool Excedeu();

  plataforma::ArquivoLeitura& arquivo_;
  std::string caminho_;
  std::size_t maximo_;
  // No larger than the file needs (BufferDeLeitura of its size at the start).
  std::size_t capacidade_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::size_t inicio_ = 0;
  std::size_t fim_ = 0;
  bool acabou_ = false;
  bool excedeu_ = false;
  // The text of a line that is not wholly in the buffer, put together.
  std::string texto_;
  // The line read last: a view of buffer_ or of texto_.
  std::string_view linha_;
  std::uint64_t posicao_ = 0;
};

}  // namespace valida
