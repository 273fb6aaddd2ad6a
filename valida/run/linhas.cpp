// The line reader of the declaration file.
#include "valida/run/linhas.h"

#include "valida/run/execucao.h"
#include "valida/run/texto.h"

namespace valida {

LeitorLinhas::LeitorLinhas(plataforma::ArquivoLeitura& arquivo, std::string caminho, std::size_t maximo)
    : arquivo_(arquivo), caminho_(std::move(caminho)), maximo_(maximo) {
  // A size that cannot be told costs only the whole buffer.
  std::uint64_t tamanho = 0;
  capacidade_ = arquivo_.Tamanho(&tamanho).ok() ? BufferDeLeitura(tamanho) : kTamanhoBuffer;
  buffer_.reset(new char[capacidade_]);
  texto_.reserve(maximo_ + 1);
}

bool LeitorLinhas::Enche() {
  if (acabou_) return false;
  std::size_t lidos = 0;
  Exige(arquivo_.Ler(buffer_.get(), capacidade_, &lidos), caminho_);
  inicio_ = 0;
  fim_ = lidos;
  acabou_ = lidos == 0;
  return !acabou_;
}

void LeitorLinhas::Consome(std::size_t n) {
  inicio_ += n;
  posicao_ += n;
}

bool LeitorLinhas::Excedeu() {
  excedeu_ = texto_.size() > maximo_;
  return excedeu_;
}

bool LeitorLinhas::ProximaNoBuffer() {
  const char* p = buffer_.get() + inicio_;
  const std::size_t n = fim_ - inicio_;
  const char* cr = PrimeiroCR(p, n);
  if (cr == nullptr) return false;
  const auto i = static_cast<std::size_t>(cr - p);
  if (i + 1 == n || p[i + 1] != '\n' || i > maximo_) return false;
  linha_ = std::string_view(p, i);
  Consome(i + 2);
  return true;
}

bool LeitorLinhas::Proxima() {
  linha_ = {};
  if (excedeu_) return false;
  if (inicio_ != fim_ && ProximaNoBuffer()) return true;
  const bool leu = ProximaMontada();
  linha_ = texto_;
  return leu;
}

bool LeitorLinhas::ProximaMontada() {
  texto_.clear();
  bool leu_algo = false;
  // A CR that ended the previous buffer: the line ends only if LF follows.
  bool cr_pendente = false;
  for (;;) {
    if (inicio_ == fim_ && !Enche()) break;
    leu_algo = true;
    const char* p = buffer_.get() + inicio_;
    const std::size_t n = fim_ - inicio_;
    if (cr_pendente) {
      cr_pendente = false;
      if (p[0] == '\n') {
        Consome(1);
        return true;
      }
      texto_ += '\r';  // consumed with the previous buffer
      if (Excedeu()) return true;
    }
    const char* cr = PrimeiroCR(p, n);
    const std::size_t i = cr == nullptr ? n : static_cast<std::size_t>(cr - p);
    // The text before the CR, no further than one character past the most.
    const std::size_t cabe = maximo_ + 1 - texto_.size();
    if (i >= cabe) {
      texto_.append(p, cabe);
      Consome(cabe);
      excedeu_ = true;
      return true;
    }
    texto_.append(p, i);
    Consome(i);
    if (cr == nullptr) continue;
    if (i + 1 == n) {
      Consome(1);
      cr_pendente = true;
    } else if (p[i + 1] == '\n') {
      Consome(2);
      return true;
    } else {
      texto_ += '\r';  // a lone CR is text
      Consome(1);
      if (Excedeu()) return true;
    }
  }
  if (cr_pendente) {
    texto_ += '\r';
    (void)Excedeu();
  }
  return leu_algo;
}

}  // namespace valida
