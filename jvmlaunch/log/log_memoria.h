// LogMemoria: the first-in first-out queue of whole messages kept while
// logging is off. Its storage is one pool of 81920 chunks of 64 bytes,
// allocated the first time a chunk is needed and never per message; when the
// pool is full the oldest messages make room.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace jvmlaunch {

class LogMemoria {
 public:
  static constexpr std::size_t kPedacos = 81920;
  static constexpr std::size_t kTamanhoPedaco = 64;

  constexpr LogMemoria() = default;
  LogMemoria(const LogMemoria&) = delete;
  LogMemoria& operator=(const LogMemoria&) = delete;

  // Appends a copy of the message, first dropping the oldest messages while
  // the free chunks do not suffice. False when it is dropped itself: the pool
  // block cannot be allocated, or the message is larger than the whole pool.
  bool Acrescenta(const char* texto, std::size_t tamanho);

  [[nodiscard]] std::size_t Mensagens() const { return mensagens_; }

  // Removes the oldest message, handing its text to escreve(dados, n) chunk
  // by chunk in order. False when the queue is empty.
  template <class Escreve>
  bool RetiraPrimeira(Escreve&& escreve) {
    if (mensagens_ == 0) return false;
    std::size_t resta = Em(primeira_).tamanho;
    std::int32_t p = primeira_;
    do {
      const std::size_t n = resta < kTamanhoPedaco ? resta : kTamanhoPedaco;
      escreve(Em(p).texto, n);
      resta -= n;
      const std::int32_t proximo = Em(p).proximo;
      Libera(p);
      p = proximo;
    } while (resta > 0);
    Avanca(p);
    return true;
  }

  // Drops every message; the pool block is kept.
  void Esvazia();

 private:
  struct Pedaco {
    std::int32_t proximo;   // next chunk of the queue (of this or the next message), or of the free list
    std::uint32_t tamanho;  // first chunk of a message: the length of the whole message
    char texto[kTamanhoPedaco];
  };

  // The chunk at index p of the pool (the chains hold signed indices, -1 for none).
  [[nodiscard]] Pedaco& Em(std::int32_t p) const { return pool_[static_cast<std::size_t>(p)]; }
  static std::size_t PedacosDe(std::size_t tamanho) {
    return tamanho == 0 ? 1 : (tamanho + kTamanhoPedaco - 1) / kTamanhoPedaco;
  }
  void Libera(std::int32_t p);
  void Avanca(std::int32_t proxima);
  void DescartaPrimeira();

  // One block, allocated when the first chunk is needed and kept as long as
  // the queue (the log's lives for the whole process).
  std::unique_ptr<Pedaco[]> pool_;
  std::int32_t livre_ = -1;
  std::size_t livres_ = 0;
  std::int32_t primeira_ = -1;  // first chunk of the oldest message
  std::int32_t ultima_ = -1;    // last chunk of the newest message
  std::size_t mensagens_ = 0;
};

}  // namespace jvmlaunch
