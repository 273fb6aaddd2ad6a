// The line reader of the declaration file.
#include "valida/run/linhas.h"

#include <algorithm>
#include <cstring>

#include "valida/run/execucao.h"

namespace valida {

LeitorLinhas::LeitorLinhas(plataforma::ArquivoLeitura& arquivo, std::string caminho, std::size_t limite)
    : arquivo_(arquivo), caminho_(std::move(caminho)), limite_(limite), buffer_(new char[kTamanhoBuffer]) {
  texto_.reserve(limite_);
}

bool LeitorLinhas::Enche() {
  if (acabou_) return false;
  std::size_t lidos = 0;
  Exige(arquivo_.Ler(buffer_.get(), kTamanhoBuffer, &lidos), caminho_);
  inicio_ = 0;
  fim_ = lidos;
  acabou_ = lidos == 0;
  return !acabou_;
}

void LeitorLinhas::Guarda(const char* p, std::size_t n) {
  comprimento_ += n;
  if (texto_.size() < limite_) texto_.append(p, std::min(n, limite_ - texto_.size()));
}

bool LeitorLinhas::Proxima() {
  texto_.clear();
  comprimento_ = 0;
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
        ++inicio_;
        ++posicao_;
        return true;
      }
      Guarda("\r", 1);
    }
    const void* cr = std::memchr(p, '\r', n);
    const std::size_t i = cr == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(cr) - p);
    Guarda(p, i);
    if (cr == nullptr) {
      inicio_ = fim_;
      posicao_ += n;
    } else if (i + 1 == n) {
      cr_pendente = true;
      inicio_ = fim_;
      posicao_ += n;
    } else if (p[i + 1] == '\n') {
      inicio_ += i + 2;
      posicao_ += i + 2;
      return true;
    } else {
      Guarda(p + i, 1);  // a lone CR is text
      inicio_ += i + 1;
      posicao_ += i + 1;
    }
  }
  if (cr_pendente) Guarda("\r", 1);
  return leu_algo;
}

}  // namespace valida
