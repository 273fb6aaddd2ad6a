// The buffered writer of the work files: what it writes does not depend on how
// its buffer grows, no write is larger than the buffer (but a longer line's
// own), and a copy reads a work file whole whatever size the file reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "valida/run/execucao.h"

namespace {

// Keeps every write of its files, apart, and serves reads of files put in it.
class AmbienteDeEscrita : public plataforma::AmbienteIntermediario {
 public:
  AmbienteDeEscrita() : AmbienteIntermediario(plataforma::Ambiente::Padrao()) {}

  class Escrita : public plataforma::ArquivoEscrita {
   public:
    explicit Escrita(std::vector<std::string>& escritas) : escritas_(escritas) {}
    plataforma::Status Escrever(std::string_view texto) override {
      escritas_.emplace_back(texto);
      return plataforma::Status::Ok();
    }
    plataforma::Status Fechar() override { return plataforma::Status::Ok(); }

   private:
    std::vector<std::string>& escritas_;
  };

  // Serves its bytes, and reports the size `tamanho` (or fails to tell it).
  class Leitura : public plataforma::ArquivoLeitura {
   public:
    Leitura(std::string bytes, std::optional<std::uint64_t> tamanho, std::size_t& maior_pedido)
        : bytes_(std::move(bytes)), tamanho_(tamanho), maior_pedido_(maior_pedido) {}
    plataforma::Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
      maior_pedido_ = std::max(maior_pedido_, n);
      *lidos = std::min(n, bytes_.size() - posicao_);
      std::copy_n(bytes_.data() + posicao_, *lidos, buf);
      posicao_ += *lidos;
      return plataforma::Status::Ok();
    }
    plataforma::Status Tamanho(std::uint64_t* bytes) override {
      if (!tamanho_) return plataforma::Status::Erro(plataforma::Falha::kOutra, "no size");
      *bytes = *tamanho_;
      return plataforma::Status::Ok();
    }

   private:
    std::string bytes_;
    std::size_t posicao_ = 0;
    std::optional<std::uint64_t> tamanho_;
    std::size_t& maior_pedido_;
  };

  plataforma::Status CriarEscrita(const std::string& /*caminho*/,
                                  std::unique_ptr<plataforma::ArquivoEscrita>* arquivo) override {
    *arquivo = std::make_unique<Escrita>(escritas);
    return plataforma::Status::Ok();
  }
  plataforma::Status AbrirLeitura(const std::string& /*caminho*/,
                                  std::unique_ptr<plataforma::ArquivoLeitura>* arquivo) override {
    *arquivo = std::make_unique<Leitura>(origem, tamanho_origem, maior_pedido);
    return plataforma::Status::Ok();
  }

  [[nodiscard]] std::string Escrito() const {
    std::string tudo;
    for (const auto& e : escritas) tudo += e;
    return tudo;
  }

  std::vector<std::string> escritas;
  std::string origem;
  std::optional<std::uint64_t> tamanho_origem;
  std::size_t maior_pedido = 0;
};

TEST(ArquivoTexto, WritesTheSameBytesHoweverItsBufferGrows) {
  const std::string longa(valida::kTamanhoBuffer + 10, 'L');
  const struct {
    const char* regra;
    std::vector<std::string> linhas;
  } casos[] = {
      {"no line", {}},
      {"one short line", {"abc"}},
      {"an empty line", {""}},
      {"lines that take the buffer through every size", std::vector<std::string>(3000, std::string(70, 'r'))},
      {"a line that fills the buffer to its last byte", {std::string(valida::kTamanhoBuffer - 2, 'c'), "d"}},
      {"a line one byte too long for the buffer", {std::string(valida::kTamanhoBuffer - 1, 'c'), "d"}},
      {"a line longer than the buffer between short ones", {"a", longa, "b"}},
      {"control characters become '?'", {std::string("\x01\x1F \x7F\x80\xFF\t", 7)}},
  };
  for (const auto& c : casos) {
    AmbienteDeEscrita ambiente;
    valida::ArquivoTexto arquivo;
    arquivo.Cria(ambiente, "saida.txt", valida::ArquivoTexto::Uso::kResultado);
    std::string esperado;
    for (const auto& l : c.linhas) {
      arquivo.EscreveLinha(l);
      esperado += valida::Imprimivel(l) + "\r\n";
    }
    arquivo.Fecha();
    EXPECT_EQ(ambiente.Escrito(), esperado) << c.regra;
    // A line that does not fit the buffer with its end is written alone.
    for (const auto& e : ambiente.escritas)
      EXPECT_TRUE(e.size() <= valida::kTamanhoBuffer ||
                  std::any_of(c.linhas.begin(), c.linhas.end(), [&](const std::string& l) { return e == l + "\r\n"; }))
          << c.regra << ": a write of " << e.size() << " bytes";
  }
}

TEST(ArquivoTexto, CopiesAWorkFileWholeWhateverSizeItReports) {
  const std::string linhas = [] {
    std::string s;
    for (int i = 0; i < 2000; ++i) s += "linha " + std::to_string(i) + "\r\n";
    return s;
  }();
  const struct {
    const char* regra;
    std::string origem;
    std::optional<std::uint64_t> tamanho;
    std::size_t maior_leitura;  // the largest read the copy may ask for
  } casos[] = {
      {"an empty file", "", 0, 1024},
      {"a small file: a small buffer", "ab\r\n", 4, 1024},
      {"a file of a few KiB: its size and one", linhas.substr(0, 5000), 5000, 5001},
      {"a file that grew after its size was taken", linhas, 10, 1024},
      {"a file larger than the buffer", linhas + std::string(70000, 'x'), linhas.size() + 70000,
       valida::kTamanhoBuffer},
      {"a size that cannot be told: the whole buffer", linhas, std::nullopt, valida::kTamanhoBuffer},
  };
  for (const auto& c : casos) {
    AmbienteDeEscrita ambiente;
    ambiente.origem = c.origem;
    ambiente.tamanho_origem = c.tamanho;
    valida::ArquivoTexto arquivo;
    arquivo.Cria(ambiente, "saida.txt", valida::ArquivoTexto::Uso::kResultado);
    arquivo.EscreveLinha("antes");
    arquivo.Copia(ambiente, "aux00001.txt");
    arquivo.Fecha();
    EXPECT_EQ(ambiente.Escrito(), "antes\r\n" + c.origem) << c.regra;
    EXPECT_EQ(ambiente.maior_pedido, c.maior_leitura) << c.regra;
  }
}

}  // namespace
