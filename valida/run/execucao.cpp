// The run object and the buffered writer of the work files.
#include "valida/run/execucao.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace valida {

void Exige(const plataforma::Status& status, const std::string& arquivo) {
  if (!status.ok()) throw FalhaExecucao(status, arquivo);
}

namespace {

// Whether any of the eight bytes may be below 0x20 or be 0x7F: never false
// when one is (it may be true when none is). Every finding line passes here,
// and nearly all are printable throughout.
bool TalvezControle(std::uint64_t x) {
  constexpr std::uint64_t kUns = 0x0101010101010101ULL;
  constexpr std::uint64_t kAltos = 0x8080808080808080ULL;
  const std::uint64_t del = x ^ (0x7F * kUns);
  return (((x - 0x20 * kUns) & ~x) | ((del - kUns) & ~del)) & kAltos;
}

// Control characters and DEL become '?'.
void TornaImprimivel(char* inicio, char* fim) {
  char* p = inicio;
  for (; fim - p >= 8; p += 8) {
    std::uint64_t x = 0;
    std::memcpy(&x, p, 8);
    if (!TalvezControle(x)) continue;
    for (char* q = p; q != p + 8; ++q)
      if (static_cast<unsigned char>(*q) < 0x20 || *q == 0x7F) *q = '?';
  }
  for (; p != fim; ++p)
    if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) *p = '?';
}

}  // namespace

std::string Imprimivel(std::string_view texto) {
  std::string linha(texto);
  TornaImprimivel(linha.data(), linha.data() + linha.size());
  return linha;
}

ArquivoTexto::~ArquivoTexto() { Abandona(); }

void ArquivoTexto::Cria(plataforma::Ambiente& ambiente, std::string caminho) {
  Abandona();
  caminho_ = std::move(caminho);
  Exige(ambiente.CriarEscrita(caminho_, &arquivo_), caminho_);
}

void ArquivoTexto::EscreveLinha(std::string_view linha) {
  if (linha.size() + 2 > kTamanhoBuffer) {
    Acrescenta(Imprimivel(linha) + "\r\n");
    return;
  }
  // The usual line goes straight into the buffer and is made printable there.
  Acrescenta(linha);
  TornaImprimivel(buffer_.data() + buffer_.size() - linha.size(), buffer_.data() + buffer_.size());
  Acrescenta("\r\n");
}

void ArquivoTexto::Copia(plataforma::Ambiente& ambiente, const std::string& origem) {
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo;
  Exige(ambiente.AbrirLeitura(origem, &arquivo), origem);
  // A size that cannot be told costs only the whole buffer.
  std::uint64_t tamanho = 0;
  const std::size_t capacidade = arquivo->Tamanho(&tamanho).ok() ? BufferDeLeitura(tamanho) : kTamanhoBuffer;
  const std::unique_ptr<char[]> pedaco(new char[capacidade]);
  for (;;) {
    std::size_t lidos = 0;
    Exige(arquivo->Ler(pedaco.get(), capacidade, &lidos), origem);
    if (lidos == 0) return;
    Acrescenta(std::string_view(pedaco.get(), lidos));
  }
}

void ArquivoTexto::Acrescenta(std::string_view bytes) {
  if (arquivo_ == nullptr)
    Exige(plataforma::Status::Erro(plataforma::Falha::kOutra, "write to a closed file"), caminho_);
  // The buffer grows with what is written, so that a short file never takes
  // the whole of it: its capacity doubles, in powers of two (which the string
  // takes exactly), from 4 KiB (a report of some dozen findings at once) up
  // to kTamanhoBuffer, and stays there. It is written out before it grows,
  // so that growing copies nothing.
  if (buffer_.size() + bytes.size() > capacidade_) {
    Descarrega();
    if (bytes.size() > kTamanhoBuffer) {
      Exige(arquivo_->Escrever(bytes), caminho_);
      return;
    }
    if (capacidade_ < kTamanhoBuffer) {
      constexpr std::size_t kMenor = 4 * 1024;
      buffer_.reserve(std::min(kTamanhoBuffer, std::bit_ceil(std::max({bytes.size(), 2 * capacidade_, kMenor}))));
      capacidade_ = std::min(kTamanhoBuffer, buffer_.capacity());
    }
  }
  buffer_ += bytes;
}

void ArquivoTexto::Descarrega() {
  if (buffer_.empty()) return;
  const plataforma::Status status = arquivo_->Escrever(buffer_);
  buffer_.clear();
  Exige(status, caminho_);
}

void ArquivoTexto::Fecha() {
  if (arquivo_ == nullptr) return;
  try {
    Descarrega();
  } catch (...) {
    arquivo_.reset();
    throw;
  }
  const plataforma::Status status = arquivo_->Fechar();
  arquivo_.reset();
  Exige(status, caminho_);
}

void ArquivoTexto::Abandona() {
  buffer_.clear();
  arquivo_.reset();
}

namespace {

// The path of `nome` in the folder, then `sufixo`, in one allocation.
std::string Caminho(std::string_view pasta, std::string_view nome, std::string_view sufixo = {}) {
  const bool separa = !pasta.empty() && pasta.back() != plataforma::Ambiente::Separador();
  std::string caminho;
  caminho.reserve(pasta.size() + (separa ? 1 : 0) + nome.size() + sufixo.size());
  caminho += pasta;
  if (separa) caminho += plataforma::Ambiente::Separador();
  caminho += nome;
  caminho += sufixo;
  return caminho;
}

}  // namespace

std::string CaminhoNaPasta(std::string_view pasta, std::string_view nome) { return Caminho(pasta, nome); }

CaminhosDaPasta::CaminhosDaPasta(std::string_view pasta)
    : Parametros(Caminho(pasta, kArquivoParametros)),
      ParametrosNovo(Caminho(pasta, kArquivoParametros, kSufixoNovo)),
      Saida(Caminho(pasta, kArquivoSaida)),
      SaidaNovo(Caminho(pasta, kArquivoSaida, kSufixoNovo)),
      ListaErros(Caminho(pasta, kArquivoListaErros)),
      ListaRecibo(Caminho(pasta, kArquivoListaRecibo)),
      Trava(Caminho(pasta, kArquivoTrava)) {}

Execucao::Execucao(plataforma::Ambiente& ambiente_, std::string pasta_)
    : ambiente(ambiente_), pasta(std::move(pasta_)), caminhos(pasta) {}

Execucao::~Execucao() = default;

std::string Execucao::CaminhoNaPasta(std::string_view nome) const { return valida::CaminhoNaPasta(pasta, nome); }

void Execucao::MostraContribuinte(std::string_view texto) {
  if (janela == nullptr) return;
  janela->DefineContribuinte(Imprimivel(texto));
  janela->Atualiza();
}

void Execucao::AcrescentaRecibo(std::string_view entrada) {
  static constexpr std::size_t kLinhaCheia = 70;
  if (observador != nullptr)
    observador->Declaracao(entrada.substr(0, kContribuinteRecibo), entrada.substr(kContribuinteRecibo));
  // Room for the three entries of a line at once; the buffer is kept for the
  // next line.
  LinhaRecibo.reserve(3 * kEntradaRecibo);
  LinhaRecibo += entrada;
  if (LinhaRecibo.size() >= kLinhaCheia) {
    ListaRecibo.EscreveLinha(LinhaRecibo);
    LinhaRecibo.clear();
  }
}

std::size_t BufferDeLeitura(std::uint64_t tamanho) {
  constexpr std::uint64_t kMenor = 1024;
  return static_cast<std::size_t>(std::clamp<std::uint64_t>(tamanho + 1, kMenor, kTamanhoBuffer));
}

}  // namespace valida
