// The line reader of the declaration file, fed by a fake file that serves its
// bytes in pieces of a chosen size, down to one byte at a time.
#include "valida/run/linhas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "valida/run/execucao.h"

namespace {

// Serves `dados` in pieces of at most `pedaco` bytes; fails with `falha` once
// `falha_em` bytes have been served.
class ArquivoDeTeste : public plataforma::ArquivoLeitura {
 public:
  ArquivoDeTeste(std::string dados, std::size_t pedaco, std::size_t falha_em = SIZE_MAX,
                 plataforma::Falha falha = plataforma::Falha::kDispositivoIndisponivel)
      : dados_(std::move(dados)), pedaco_(pedaco), falha_em_(falha_em), falha_(falha) {}

  plataforma::Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    if (posicao_ >= falha_em_) return plataforma::Status::Erro(falha_, "device not ready");
    const std::size_t quantos = std::min({n, pedaco_, dados_.size() - posicao_, falha_em_ - posicao_});
    std::copy_n(dados_.data() + posicao_, quantos, buf);
    posicao_ += quantos;
    *lidos = quantos;
    return plataforma::Status::Ok();
  }
  plataforma::Status Tamanho(std::uint64_t* bytes) override {
    *bytes = dados_.size();
    return plataforma::Status::Ok();
  }

 private:
  std::string dados_;
  std::size_t pedaco_;
  std::size_t posicao_ = 0;
  std::size_t falha_em_;
  plataforma::Falha falha_;
};

struct Lida {
  std::string texto;
  std::uint64_t comprimento;
  std::uint64_t posicao;
  bool operator==(const Lida&) const = default;
};

void PrintTo(const Lida& l, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(l.texto) << ", " << l.comprimento << ", " << l.posicao << "}";
}

std::vector<Lida> LeTudo(const std::string& dados, std::size_t pedaco, std::size_t limite = 1024) {
  ArquivoDeTeste arquivo(dados, pedaco);
  valida::LeitorLinhas leitor(arquivo, "gia.txt", limite);
  std::vector<Lida> lidas;
  while (leitor.Proxima()) lidas.push_back({std::string(leitor.Texto()), leitor.Comprimento(), leitor.Posicao()});
  EXPECT_FALSE(leitor.Proxima()) << "the end stays the end";
  return lidas;
}

constexpr std::size_t kPedacos[] = {1, 2, 3, 7, 64 * 1024};
constexpr std::size_t kBuffer = 64 * 1024;

TEST(LeitorLinhas, ALineEndsAtCRLFOnly) {
  const struct {
    const char* regra;
    std::string dados;
    std::vector<Lida> linhas;
  } casos[] = {
      {"an empty file has no line", "", {}},
      {"one line", "abc\r\n", {{"abc", 3, 5}}},
      {"two lines", "abc\r\nde\r\n", {{"abc", 3, 5}, {"de", 2, 9}}},
      {"text after the last CR LF is a last line", "abc\r\nde", {{"abc", 3, 5}, {"de", 2, 7}}},
      {"a file without any line end is one line", "abc", {{"abc", 3, 3}}},
      {"an empty line", "\r\n", {{"", 0, 2}}},
      {"two empty lines", "\r\n\r\n", {{"", 0, 2}, {"", 0, 4}}},
      {"a lone LF is text", "a\nb\r\n", {{"a\nb", 3, 5}}},
      {"a lone CR is text", "a\rb\r\n", {{"a\rb", 3, 5}}},
      {"CR CR LF: the first CR is text", "a\r\r\n", {{"a\r", 2, 4}}},
      {"LF CR LF: the LF is text", "a\n\r\n", {{"a\n", 2, 4}}},
      {"a CR at the very end is text", "abc\r", {{"abc\r", 4, 4}}},
      {"an LF at the very end is text", "abc\n", {{"abc\n", 4, 4}}},
      {"a file of one CR", "\r", {{"\r", 1, 1}}},
      {"LF-only line ends make one line", "ab\ncd\n", {{"ab\ncd\n", 6, 6}}},
      {"a CR after the last CR LF", "a\r\n\r", {{"a", 1, 3}, {"\r", 1, 4}}},
      {"CR, CR LF, LF", "\r\r\n\n", {{"\r", 1, 3}, {"\n", 1, 4}}},
      {"LF CR is no line end", "a\n\rb", {{"a\n\rb", 4, 4}}},
      {"NUL and high bytes are text", std::string("a\0b\xFF\r\n", 6), {{std::string("a\0b\xFF", 4), 4, 6}}},
  };
  for (const auto& c : casos)
    for (const std::size_t pedaco : kPedacos)
      EXPECT_EQ(LeTudo(c.dados, pedaco), c.linhas) << c.regra << ", pieces of " << pedaco;
}

TEST(LeitorLinhas, LineEndsAcrossTheBufferBoundary) {
  const std::string antes(kBuffer - 1, 'a');  // the CR is the buffer's last byte
  const std::string cheio(kBuffer, 'b');      // the CR is the next buffer's first byte
  const struct {
    const char* regra;
    std::string dados;
    std::vector<Lida> linhas;
  } casos[] = {
      {"CR ends a buffer, LF starts the next",
       antes + "\r\nnext\r\n",
       {{antes, kBuffer - 1, kBuffer + 1}, {"next", 4, kBuffer + 7}}},
      {"CR ends a buffer, a letter follows", antes + "\rx\r\n", {{antes + "\rx", kBuffer + 1, kBuffer + 3}}},
      {"CR ends a buffer, CR LF follows", antes + "\r\r\n", {{antes + "\r", kBuffer, kBuffer + 2}}},
      {"CR ends the buffer and the file", antes + "\r", {{antes + "\r", kBuffer, kBuffer}}},
      {"CR LF just after a full buffer", cheio + "\r\nz", {{cheio, kBuffer, kBuffer + 2}, {"z", 1, kBuffer + 3}}},
  };
  for (const auto& c : casos)
    for (const std::size_t pedaco : {std::size_t{1}, kBuffer, kBuffer - 1, kBuffer + 1})
      EXPECT_EQ(LeTudo(c.dados, pedaco, 2 * kBuffer), c.linhas) << c.regra << ", pieces of " << pedaco;
}

TEST(LeitorLinhas, ALineLongerThanTheMostEndsTheReading) {
  const std::string dez(10, 'a');
  const struct {
    const char* regra;
    std::string dados;
    std::vector<Lida> linhas;
  } casos[] = {
      {"a line of the most is whole", dez + "\r\nbc\r\n", {{dez, 10, 12}, {"bc", 2, 16}}},
      {"one character more ends the reading", dez + "a\r\nbc\r\n", {{dez + "a", 11, 11}}},
      {"a long line comes with the most and one more", std::string(200000, 'a') + "\r\nbc\r\n", {{dez + "a", 11, 11}}},
      {"after shorter lines", "bc\r\n" + std::string(200000, 'a'), {{"bc", 2, 4}, {dez + "a", 11, 15}}},
      {"a lone CR as the character too many", dez + "\rb\r\n", {{dez + "\r", 11, 11}}},
      {"a CR at the end of the file as the character too many", dez + "\r", {{dez + "\r", 11, 11}}},
      {"a lone LF as the character too many", dez + "\nb\r\n", {{dez + "\n", 11, 11}}},
  };
  for (const auto& c : casos)
    for (const std::size_t pedaco : kPedacos)
      EXPECT_EQ(LeTudo(c.dados, pedaco, 10), c.linhas) << c.regra << ", pieces of " << pedaco;
}

// A file without end, such as a device that is never exhausted.
class ArquivoSemFim : public plataforma::ArquivoLeitura {
 public:
  plataforma::Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    std::fill_n(buf, n, '\0');
    servidos += n;
    *lidos = n;
    return plataforma::Status::Ok();
  }
  plataforma::Status Tamanho(std::uint64_t* bytes) override {
    *bytes = 0;
    return plataforma::Status::Ok();
  }
  std::uint64_t servidos = 0;
};

TEST(LeitorLinhas, AnEndlessFileWithoutLineEndsIsNotReadOn) {
  ArquivoSemFim arquivo;
  valida::LeitorLinhas leitor(arquivo, "sem-fim", 812);
  ASSERT_TRUE(leitor.Proxima());
  EXPECT_EQ(leitor.Comprimento(), 813U);
  EXPECT_EQ(leitor.Texto(), std::string(813, '\0'));
  EXPECT_FALSE(leitor.Proxima());
  EXPECT_LE(arquivo.servidos, kBuffer) << "one buffer at most";
}

// Serves `dados` whole, but reports the size `tamanho` (or none): a file that
// grew, or shrank, after its size was taken. Notes the largest read asked.
class ArquivoDeOutroTamanho : public ArquivoDeTeste {
 public:
  ArquivoDeOutroTamanho(std::string dados, std::optional<std::uint64_t> tamanho)
      : ArquivoDeTeste(std::move(dados), SIZE_MAX), tamanho_(tamanho) {}
  plataforma::Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    maior_pedido = std::max(maior_pedido, n);
    return ArquivoDeTeste::Ler(buf, n, lidos);
  }
  plataforma::Status Tamanho(std::uint64_t* bytes) override {
    if (!tamanho_) return plataforma::Status::Erro(plataforma::Falha::kOutra, "no size");
    *bytes = *tamanho_;
    return plataforma::Status::Ok();
  }
  std::size_t maior_pedido = 0;

 private:
  std::optional<std::uint64_t> tamanho_;
};

TEST(LeitorLinhas, ReadsThroughABufferOfTheFilesSizeAndReadsAFileThatGrew) {
  std::string dados;
  for (int i = 0; i < 300; ++i) dados += std::string(40 + i % 7, static_cast<char>('a' + i % 26)) + "\r\n";
  const struct {
    const char* regra;
    std::optional<std::uint64_t> tamanho;
    std::size_t maior_leitura;
  } casos[] = {
      {"the size as it is: the file and one byte", dados.size(), dados.size() + 1},
      {"a file that was empty when its size was taken", 0, 1024},
      {"a file that grew after its size was taken", 1500, 1501},
      {"a file that shrank after its size was taken", 2 * dados.size(), 2 * dados.size() + 1},
      {"a size that cannot be told: the whole buffer", std::nullopt, kBuffer},
      {"a size beyond the buffer: the whole buffer", 10 * kBuffer, kBuffer},
  };
  for (const auto& c : casos) {
    ArquivoDeOutroTamanho arquivo(dados, c.tamanho);
    valida::LeitorLinhas leitor(arquivo, "gia.txt", 1024);
    std::vector<Lida> lidas;
    while (leitor.Proxima()) lidas.push_back({std::string(leitor.Texto()), leitor.Comprimento(), leitor.Posicao()});
    EXPECT_EQ(lidas, LeTudo(dados, kBuffer)) << c.regra;
    EXPECT_EQ(arquivo.maior_pedido, c.maior_leitura) << c.regra;
  }
}

TEST(LeitorLinhas, AFailedReadNamesTheFileAndItsKind) {
  for (const auto falha : {plataforma::Falha::kDispositivoIndisponivel, plataforma::Falha::kOutra}) {
    ArquivoDeTeste arquivo(std::string(3000, 'x'), 512, 1000, falha);
    valida::LeitorLinhas leitor(arquivo, "/media/gia.txt", 1024);
    try {
      (void)leitor.Proxima();
      ADD_FAILURE() << "no failure";
    } catch (const valida::FalhaExecucao& f) {
      EXPECT_EQ(f.falha(), falha);
      EXPECT_EQ(f.arquivo(), "/media/gia.txt");
    }
  }
  // A failure after the first lines: those were served whole.
  ArquivoDeTeste arquivo("ab\r\ncd\r\nef\r\n", 1, 6);
  valida::LeitorLinhas leitor(arquivo, "gia.txt", 1024);
  ASSERT_TRUE(leitor.Proxima());
  EXPECT_EQ(leitor.Texto(), "ab");
  EXPECT_THROW((void)leitor.Proxima(), valida::FalhaExecucao);
}

}  // namespace
