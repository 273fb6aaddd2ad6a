// The state of one validation run: the parameters, the work files and every
// variable that the driver, the recorders and the validators share. One
// Execucao per run and nothing global, so that a process can validate many
// files at once.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/ambiente.h"
#include "valida/run/parametros.h"

namespace valida {

// The files of the program's folder.
inline constexpr std::string_view kArquivoParametros = "param.txt";
inline constexpr std::string_view kArquivoSaida = "saida.txt";
inline constexpr std::string_view kArquivoListaErros = "aux00001.txt";
inline constexpr std::string_view kArquivoListaRecibo = "aux00002.txt";
// Locked by every run of the folder, from before the work files are created
// to its end; created when missing, never deleted.
inline constexpr std::string_view kArquivoTrava = "valida.lck";
// The results are written aside under their name and this suffix, then
// renamed into place.
inline constexpr std::string_view kSufixoNovo = ".novo";

// A receipt entry: the taxpayer part, then the period part.
inline constexpr std::size_t kEntradaRecibo = 24;
inline constexpr std::size_t kContribuinteRecibo = 15;

// Files are read and written through buffers of at most this size.
inline constexpr std::size_t kTamanhoBuffer = 64 * 1024;

// The buffer for reading a file that holds `tamanho` bytes: the whole file
// and one byte more (the read that finds its end), at least 1 KiB and at most
// kTamanhoBuffer. A file that grows while it is read only takes more reads.
std::size_t BufferDeLeitura(std::uint64_t tamanho);

// A failure of the run: what the driver's failure handler acts on. Thrown by
// every routine of the run (the recorders and writers included) and caught
// only by Main.
class FalhaExecucao : public std::runtime_error {
 public:
  FalhaExecucao(plataforma::Status status, std::string arquivo)
      : std::runtime_error(status.mensagem()), status_(std::move(status)), arquivo_(std::move(arquivo)) {}
  [[nodiscard]] plataforma::Falha falha() const { return status_.falha(); }
  [[nodiscard]] const plataforma::Status& status() const { return status_; }
  // Path (UTF-8) of the file or library concerned.
  [[nodiscard]] const std::string& arquivo() const { return arquivo_; }

 private:
  plataforma::Status status_;
  std::string arquivo_;
};

// Throws FalhaExecucao for a failed status.
void Exige(const plataforma::Status& status, const std::string& arquivo);

// The text as a line of the report shows it: every byte below 0x20, and
// 0x7F, becomes '?', so that a line ends only at its CR LF and nothing in it
// can drive a terminal. Declaration fields and parameters are printed as
// they stand and may hold any byte.
std::string Imprimivel(std::string_view texto);

// A text file of the report (the work files and "saida.txt") written line by
// line, each line made Imprimivel and ended with CR LF, through a buffer that
// grows with what is written up to kTamanhoBuffer. Every failure throws
// FalhaExecucao.
class ArquivoTexto {
 public:
  ArquivoTexto() = default;
  ArquivoTexto(const ArquivoTexto&) = delete;
  ArquivoTexto& operator=(const ArquivoTexto&) = delete;
  ~ArquivoTexto();

  // A result reaches the disk before Fecha returns; a work file, which the
  // run reads back and deletes, is closed without waiting for it.
  enum class Uso { kResultado, kTrabalho };
  void Cria(plataforma::Ambiente& ambiente, std::string caminho, Uso uso);
  void EscreveLinha(std::string_view linha);
  // Appends the whole file `origem`, a work file whose lines EscreveLinha
  // wrote, as it is.
  void Copia(plataforma::Ambiente& ambiente, const std::string& origem);
  void Fecha();
  // Closes without reporting a failure (for the failure paths).
  void Abandona();
  [[nodiscard]] bool Aberto() const { return arquivo_ != nullptr; }
  [[nodiscard]] const std::string& Caminho() const { return caminho_; }

 private:
  void Acrescenta(std::string_view bytes);
  // Room in the buffer for n more bytes (at most kTamanhoBuffer): written
  // out, or grown, when they would not fit.
  void AbreEspaco(std::size_t n);
  void Descarrega();
  std::unique_ptr<plataforma::ArquivoEscrita> arquivo_;
  std::string caminho_;
  Uso uso_ = Uso::kResultado;
  std::string buffer_;
  // What the buffer holds before it must grow or be written out: its
  // capacity, never above kTamanhoBuffer.
  std::size_t capacidade_ = 0;
};

// What a validator keeps between the lines of a run: each kind that keeps
// something derives its state from this.
struct EstadoValidador {
  EstadoValidador() = default;
  EstadoValidador(const EstadoValidador&) = default;
  EstadoValidador& operator=(const EstadoValidador&) = default;
  virtual ~EstadoValidador() = default;
};

// One finding as its report line prints it, handed to an Observador at the
// moment the line is written. Texts are cp1252, as in the line (control
// characters not yet made '?'); they live only for the call.
struct AchadoRegistrado {
  std::string_view inscricao;  // the 15-character taxpayer part, padding included
  std::string_view periodo;    // the period part ("05/2005", "00/0000", or the text as it stood)
  std::int64_t linha = 0;
  int primeira = 0;  // first and last column as printed (0 for the whole file)
  int ultima = 0;
  bool catalogo_st = false;  // the GIA ST catalogue (RegistraErroST), else the GIA one
  int codigo = 0;
  int campo = 0;  // the field number of a GIA ST finding; 0 otherwise
  std::string_view texto;
};

// What a program that embeds the validation learns of a run as it goes: the
// recorders call Achado when they write a finding's line, the receipt list
// calls Declaracao for each declaration's entry. Neither may throw but
// FalhaExecucao or std::bad_alloc, which end the run as any failure does.
class Observador {
 public:
  Observador() = default;
  Observador(const Observador&) = delete;
  Observador& operator=(const Observador&) = delete;
  virtual ~Observador() = default;
  virtual void Achado(const AchadoRegistrado& achado) = 0;
  // The two parts of the 24-character receipt entry (cp1252, padding included).
  virtual void Declaracao(std::string_view inscricao, std::string_view periodo) = 0;
};

// The state-registration check of the library DllInscE32, bound at its first call.
using FuncaoConsisteInscricao = std::int16_t(PLATAFORMA_STDCALL*)(const char* inscricao, const char* uf);

// The first columns of a finding line, taxpayer and period, and what they
// were printed from: the findings of one record or declaration share them.
struct ColunasDoAchado {
  std::string tipo_documento;
  std::string inscricao;
  std::string periodo;
  std::string texto;
  std::size_t inicio_periodo = 0;  // where the period's columns begin in texto
};

// The paths of the program's files in its folder.
struct CaminhosDaPasta {
  explicit CaminhosDaPasta(std::string_view pasta);
  std::string Parametros;      // param.txt
  std::string ParametrosNovo;  // param.txt.novo
  std::string Saida;           // saida.txt
  std::string SaidaNovo;       // saida.txt.novo
  std::string ListaErros;      // aux00001.txt
  std::string ListaRecibo;     // aux00002.txt
  std::string Trava;           // valida.lck
};

// Path of the file `nome` in the folder `pasta`.
std::string CaminhoNaPasta(std::string_view pasta, std::string_view nome);

struct Execucao {
  Execucao(plataforma::Ambiente& ambiente, std::string pasta);
  Execucao(const Execucao&) = delete;
  Execucao& operator=(const Execucao&) = delete;
  ~Execucao();

  // Path of a file of the program's folder.
  [[nodiscard]] std::string CaminhoNaPasta(std::string_view nome) const;

  // The taxpayer caption of the progress window, refreshed at once.
  void MostraContribuinte(std::string_view texto);
  // Appends one 24-character entry to LinhaRecibo and writes the line to
  // ListaRecibo once it holds three entries.
  void AcrescentaRecibo(std::string_view entrada);

  // The state that the validator of the run's kind keeps between lines,
  // made for it at the first use (the driver makes it from the kind's row).
  template <typename Estado>
  Estado& EstadoDoValidador() {
    if (estado_validador == nullptr) estado_validador = std::make_unique<Estado>();
    return static_cast<Estado&>(*estado_validador);
  }
  // The same to read; before the first use, the state as it starts.
  template <typename Estado>
  const Estado& EstadoDoValidador() const {
    static const Estado kInicial{};
    return estado_validador == nullptr ? kInicial : static_cast<const Estado&>(*estado_validador);
  }

  plataforma::Ambiente& ambiente;
  const std::string pasta;
  // Made once, with the run: every stage names these files.
  const CaminhosDaPasta caminhos;
  // Null when the run has no window (tests); set by Main.
  plataforma::JanelaProgresso* janela = nullptr;
  // Null when nobody embeds the run (valida itself); set by Main.
  Observador* observador = nullptr;

  // Parameters and work files.
  std::string LinhaParametros;
  Parametros parametros;
  std::string EtapaExecucao;
  // The lock of the program's folder (valida.lck), held from before the work
  // files are created to the end of the run.
  std::unique_ptr<plataforma::Trava> trava;
  ArquivoTexto ListaErros;   // aux00001.txt
  ArquivoTexto ListaRecibo;  // aux00002.txt

  // Driver state.
  // The line being validated, without its line end: the line reader's own
  // text, not a copy, so empty outside the reading.
  std::string_view LinhaAtual;
  std::int64_t NumeroLinha = 0;
  int TamanhoRegistro = 0;
  bool CabecalhoLido = false;
  std::string VersaoArquivo;
  std::string VersaoInicial;
  std::string LinhaRecibo;
  // The receipt entry being built (its buffer kept for the next one).
  std::string EntradaRecibo;
  std::int64_t QtdGIAs = 0;

  // Context of the findings.
  std::string InscricaoAtual;
  std::string PeriodoAtual;
  std::string InscricaoGIA;
  std::string PeriodoGIA;
  std::int64_t LinhaGIA = 0;
  std::int64_t LinhaA0 = 0;
  std::int64_t LinhaX03A = 0;
  std::int64_t LinhaX05AB = 0;
  std::int64_t LinhaX07AB = 0;
  std::int64_t LinhaX07 = 0;
  std::int64_t LinhaCFOP = 0;
  int ValorCFOP = 0;
  bool HouveErro = false;
  // The finding line being built (its buffer kept for the next one).
  std::string LinhaErro;
  // Its first columns as the last finding printed them.
  ColunasDoAchado ColunasErro;
  // The text of a GIA ST finding being built (likewise kept).
  std::string TextoErro;

  // Declaration state of the validator of the run's kind, when it keeps one.
  std::unique_ptr<EstadoValidador> estado_validador;

  // DllInscE32, loaded at the first state-registration check.
  std::unique_ptr<plataforma::Biblioteca> DllInscE32;
  FuncaoConsisteInscricao ConsisteInscricaoEstadual = nullptr;
};

}  // namespace valida
