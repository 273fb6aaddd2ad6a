// One validation of the library, in C++: the settings, the result, and the
// three ways a declaration comes in (a file, bytes in memory, a stream fed in
// pieces). Every one runs valida::Main in an AmbienteValidacao, so that the
// findings, the report and the receipt are valida's own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace libvalida {

// What the C interface calls its errors (the same numbers).
enum class Estado { kSucesso = 0, kArgumento = 1, kTipo = 2, kLeitura = 3, kExecucao = 4, kOrdem = 5 };

// Texts in UTF-8.
struct Achado {
  std::string inscricao;
  std::string periodo;
  std::int64_t linha = 0;
  int coluna_inicial = 0;
  int coluna_final = 0;
  std::string catalogo;  // "GIA" or "GIAST"
  int codigo = 0;
  int campo = 0;
  std::string texto;
};

struct Declaracao {
  std::string inscricao;
  std::string periodo;
};

struct Resultado {
  Estado estado = Estado::kSucesso;
  std::string mensagem;  // UTF-8: the file and the reason of an error
  std::string tipo;
  bool aceito = false;
  std::vector<Achado> achados;
  std::vector<Declaracao> declaracoes;
  std::string relatorio_cp1252;
  std::string relatorio;  // UTF-8
};

struct Configuracao {
  // Empty: detected from the first record.
  std::string tipo;
  // The receipt's fields, cp1252, as param.txt would hold them.
  std::string email;
  std::string endereco;
  std::string orgao;
  std::string estado;
  std::function<void(const Achado&)> ao_achar;
  std::function<void(int)> ao_progredir;
};

// "GIA03" and the other kinds' names, or nullopt for a text that names none.
std::optional<std::string> NomeDoTipo(std::string_view texto);
// The kind whose first record the bytes begin with; empty when none.
std::string_view DetectaTipo(std::string_view inicio);

// A validation of the file at `caminho` (UTF-8) or of bytes in memory; `nome`
// names the declaration in messages.
Resultado ValidaArquivo(const Configuracao& configuracao, const std::string& caminho);
Resultado ValidaMemoria(const Configuracao& configuracao, std::string_view bytes, const std::string& nome);

// A declaration fed in pieces. Memory stays bounded: the pieces go to a run
// on a thread of its own, which reads each while Envia waits; a kind tested
// for its size whose total is not known is kept in an anonymous temporary
// file instead, and validated by Termina.
class Fluxo {
 public:
  // `total`: the length in bytes, or a negative number when not known.
  Fluxo(Configuracao configuracao, std::int64_t total, std::string nome);
  Fluxo(const Fluxo&) = delete;
  Fluxo& operator=(const Fluxo&) = delete;
  // Abandons a stream not ended: the run sees the end of its file.
  ~Fluxo();

  Estado Envia(std::string_view bytes, std::string* mensagem);
  Resultado Termina();

  struct Passagem;  // the hand-off of the pieces to the run's thread

 private:
  void Decide(bool fim);
  void Entrega(std::string_view bytes);

  Configuracao configuracao_;
  std::int64_t total_;
  std::string nome_;
  // Bytes kept until the kind is known from the first line.
  std::string inicio_;
  bool decidido_ = false;
  std::optional<Resultado> erro_;
  // Spooled: the temporary file and how much it holds.
  std::FILE* temporario_ = nullptr;
  std::uint64_t guardados_ = 0;
  // Streamed: the run's thread.
  std::shared_ptr<Passagem> passagem_;
  std::thread corrida_;
  Resultado resultado_;
};

}  // namespace libvalida
