// The run object and the buffered writer of the work files.
#include "valida/run/execucao.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace valida {

void Exige(const plataforma::Status& status, const std::string& arquivo) {
  if (!status.ok()) throw FalhaExecucao(status, arquivo);
}

namespace {

// Sixteen bytes as one value (the compiler's vector extension: one SSE2
// register on x86-64).
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Whether any of the sixteen bytes at p is below 0x20 or is 0x7F. Every
// finding line passes here, and nearly all are printable throughout.
bool TemControle(const char* p) {
  Bytes16 x;
  std::memcpy(&x, p, sizeof x);
  const auto controle = (x < 0x20) | (x == 0x7F);
  std::array<std::uint64_t, 2> metades{};
  std::memcpy(metades.data(), &controle, sizeof controle);
  return (metades[0] | metades[1]) != 0;
}

bool EhControle(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

void TrocaControles(char* inicio, char* fim) {
  for (char* p = inicio; p != fim; ++p)
    if (EhControle(*p)) *p = '?';
}

// Control characters and DEL become '?': sixteen bytes at a time, the last
// sixteen overlapping the ones before (a byte made printable stays so).
void TornaImprimivel(char* inicio, char* fim) {
  constexpr std::ptrdiff_t kPasso = sizeof(Bytes16);
  if (fim - inicio < kPasso) {
    TrocaControles(inicio, fim);
    return;
  }
  for (char* p = inicio;; p += kPasso) {
    if (fim - p < kPasso) p = fim - kPasso;
    if (TemControle(p)) TrocaControles(p, p + kPasso);
    if (p + kPasso == fim) return;
  }
}

}  // namespace

std::string Imprimivel(std::string_view texto) {
  std::string linha(texto);
  TornaImprimivel(linha.data(), linha.data() + linha.size());
  return linha;
}

ArquivoTexto::~ArquivoTexto() { Abandona(); }

void ArquivoTexto::Cria(plataforma::Ambiente& ambiente, std::string caminho, Uso uso) {
  Abandona();
  caminho_ = std::move(caminho);
  uso_ = uso;
  Exige(ambiente.CriarEscrita(caminho_, &arquivo_), caminho_);
}

void ArquivoTexto::EscreveLinha(std::string_view linha) {
  if (linha.size() + 2 > kTamanhoBuffer) {
    Acrescenta(Imprimivel(linha) + "\r\n");
    return;
  }
  // The usual line goes straight into the buffer, with its end, and is made
  // printable there.
  AbreEspaco(linha.size() + 2);
  buffer_ += linha;
  TornaImprimivel(buffer_.data() + buffer_.size() - linha.size(), buffer_.data() + buffer_.size());
  buffer_ += "\r\n";
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
  // What would fill the buffer whole (a piece of a work file being copied)
  // is written as it stands.
  if (bytes.size() >= kTamanhoBuffer) {
    AbreEspaco(kTamanhoBuffer);
    Exige(arquivo_->Escrever(bytes), caminho_);
    return;
  }
  AbreEspaco(bytes.size());
  buffer_ += bytes;
}

void ArquivoTexto::AbreEspaco(std::size_t n) {
  if (arquivo_ == nullptr)
    Exige(plataforma::Status::Erro(plataforma::Falha::kOutra, "write to a closed file"), caminho_);
  if (buffer_.size() + n <= capacidade_) return;
  // The buffer grows with what is written, so that a short file never takes
  // the whole of it: its capacity doubles, in powers of two (which the string
  // takes exactly), from 4 KiB (a report of some dozen findings at once) up
  // to kTamanhoBuffer, and stays there. It is written out before it grows,
  // so that growing copies nothing.
  Descarrega();
  if (capacidade_ < kTamanhoBuffer) {
    constexpr std::size_t kMenor = 4 * 1024;
    buffer_.reserve(std::min(kTamanhoBuffer, std::bit_ceil(std::max({n, 2 * capacidade_, kMenor}))));
    capacidade_ = std::min(kTamanhoBuffer, buffer_.capacity());
  }
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
  const plataforma::Status status = uso_ == Uso::kTrabalho ? arquivo_->FecharTemporario() : arquivo_->Fechar();
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
  // A taxpayer is printable as it stands, the usual case, or made so.
  if (std::none_of(texto.begin(), texto.end(), EhControle))
    janela->DefineContribuinte(texto);
  else
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
