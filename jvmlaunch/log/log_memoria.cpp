// The chunk pool of LogMemoria: one chain of chunks in message order, each
// message starting at a chunk that records its length, and a free list.
#include "jvmlaunch/log/log_memoria.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace jvmlaunch {

bool LogMemoria::Acrescenta(const char* texto, std::size_t tamanho) {
  const std::size_t precisa = PedacosDe(tamanho);
  if (precisa > kPedacos) return false;
  if (pool_ == nullptr) {
    pool_.reset(new (std::nothrow) Pedaco[kPedacos]);
    if (pool_ == nullptr) return false;
    for (std::size_t i = 0; i < kPedacos; ++i)
      pool_[i].proximo = i + 1 < kPedacos ? static_cast<std::int32_t>(i + 1) : -1;
    livre_ = 0;
    livres_ = kPedacos;
  }
  while (livres_ < precisa) DescartaPrimeira();

  const std::int32_t primeiro = livre_;
  std::int32_t p = primeiro;
  std::int32_t anterior = -1;
  for (std::size_t i = 0; i < precisa; ++i) {
    const std::size_t inicio = i * kTamanhoPedaco;
    const std::size_t n = std::min(kTamanhoPedaco, tamanho - inicio);
    if (n > 0) std::memcpy(Em(p).texto, texto + inicio, n);
    anterior = p;
    p = Em(p).proximo;
  }
  livre_ = p;
  livres_ -= precisa;
  Em(anterior).proximo = -1;
  Em(primeiro).tamanho = static_cast<std::uint32_t>(tamanho);

  if (ultima_ >= 0) Em(ultima_).proximo = primeiro;
  if (primeira_ < 0) primeira_ = primeiro;
  ultima_ = anterior;
  ++mensagens_;
  return true;
}

void LogMemoria::Libera(std::int32_t p) {
  Em(p).proximo = livre_;
  livre_ = p;
  ++livres_;
}

void LogMemoria::Avanca(std::int32_t proxima) {
  --mensagens_;
  if (mensagens_ == 0) {
    primeira_ = ultima_ = -1;
  } else {
    primeira_ = proxima;
  }
}

void LogMemoria::DescartaPrimeira() {
  RetiraPrimeira([](const char*, std::size_t) {});
}

void LogMemoria::Esvazia() {
  while (mensagens_ > 0) DescartaPrimeira();
}

}  // namespace jvmlaunch
