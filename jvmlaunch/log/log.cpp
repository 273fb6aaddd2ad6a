// The core of the log: where a message goes (file, history or nowhere), the
// banners, the lazy opening of the file and LigarLog. Nothing here needs
// start-up code (the level and the pointer to the state are constant-
// initialized, the state is created at its first use), so that the exported
// functions work even when jvmlaunch.exe is loaded as a module and its
// start-up code never runs.
#include "jvmlaunch/log/log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>

#include "common/cp1252.h"
#include "jvmlaunch/log/log_memoria.h"

namespace jvmlaunch {

constinit std::atomic<std::int16_t> NivelLog{0};

namespace {

constexpr const char kNomeEmbutido[] = "jvmlaunch";

// Everything the lock guards, and the lock itself. One for the process,
// created by the first call that needs it and never destroyed: a host thread,
// or a static destructor at exit, may still log while the process ends.
struct EstadoLog {
  std::mutex trava;
  std::int32_t NivelAnterior = -1;
  bool PrecisaAbrir = true;
  std::unique_ptr<plataforma::ArquivoLog> arquivo;  // null while the file is closed
  char caminho_log[kTamanhoCaminhoLog + 1] = {};
  char ultimo_caminho[kTamanhoCaminhoLog + 1] = {};
  char nome_programa[kTamanhoNomeDado + 1] = "jvmlaunch";
  char NomePrograma[kTamanhoNomePrograma + 1] = {};
  LogMemoria memoria;
};

constinit std::atomic<EstadoLog*> estado_criado{nullptr};

// Formats into a fixed buffer, cutting what does not fit. The length of the
// text; 0 when the format fails.
template <std::size_t N>
__attribute__((format(printf, 2, 0))) std::size_t Formata(char (&texto)[N], const char* formato, va_list args) {
  // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): every caller starts it
  const int n = std::vsnprintf(texto, N, formato, args);
  return n > 0 ? std::min(static_cast<std::size_t>(n), N - 1) : 0;
}

// A failure of the facility itself goes to the standard error stream, never
// to the log. The texts carry cp1252 bytes.
__attribute__((format(printf, 1, 2))) void AvisaErro(const char* formato, ...) {
  char texto[2048];
  va_list args;
  va_start(args, formato);
  const std::size_t n = Formata(texto, formato, args);
  va_end(args);
  if (n > 0) plataforma::EscreverErroPadrao({texto, n});
}

std::string TextoDe(const std::error_code& erro) { return cp1252::DeUtf8(erro.message()); }

// The state, created by the first caller that needs it; null when it cannot
// be, which is reported as a lock that could not be created.
EstadoLog* Estado() {
  EstadoLog* existente = estado_criado.load(std::memory_order_acquire);
  if (existente != nullptr) return existente;
  std::unique_ptr<EstadoLog> novo(new (std::nothrow) EstadoLog);
  if (novo == nullptr) {
    const std::error_code erro = std::make_error_code(std::errc::not_enough_memory);
    AvisaErro("E#C0506: Falhou CreateMutex: %d\n%s\n", erro.value(), TextoDe(erro).c_str());
    NivelLog = 0;
    return nullptr;
  }
  // Another thread may have created it first; then this one goes.
  if (!estado_criado.compare_exchange_strong(existente, novo.get(), std::memory_order_acq_rel)) return existente;
  return novo.release();
}

// The state with its lock held from construction to destruction, so that no
// return and no exception leaves the lock taken. The state is reached only
// through it. Failing to create the lock or to wait for it is reported and
// switches logging off; the guard is then empty and holds nothing.
class Travado {
 public:
  Travado() {
    EstadoLog* estado = Estado();
    if (estado == nullptr) return;
    std::unique_lock<std::mutex> trava(estado->trava, std::defer_lock);
    try {
      trava.lock();
    } catch (const std::system_error& e) {
      AvisaErro("E#C0507: Falhou WaitForSingleObject: %d\n%s\n", e.code().value(), TextoDe(e.code()).c_str());
      NivelLog = 0;
      return;
    }
    trava_ = std::move(trava);
    estado_ = estado;
  }
  Travado(const Travado&) = delete;
  Travado& operator=(const Travado&) = delete;

  explicit operator bool() const { return estado_ != nullptr; }
  EstadoLog& operator*() const { return *estado_; }
  EstadoLog* operator->() const { return estado_; }

 private:
  std::unique_lock<std::mutex> trava_;
  EstadoLog* estado_ = nullptr;
};

void Copia(char* destino, std::size_t capacidade, std::string_view origem) {
  const std::size_t n = std::min(origem.size(), capacidade - 1);
  std::memcpy(destino, origem.data(), n);
  destino[n] = '\0';
}

// Writes to the open file, every "\n" as CR LF; nothing while it is closed.
void EscreveArquivo(EstadoLog& log, const char* texto, std::size_t n) {
  if (log.arquivo == nullptr) return;
  char saida[4096];
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k + 2 > sizeof saida) {
      log.arquivo->Escrever(saida, k);
      k = 0;
    }
    if (texto[i] == '\n') saida[k++] = '\r';
    saida[k++] = texto[i];
  }
  if (k > 0) log.arquivo->Escrever(saida, k);
}

__attribute__((format(printf, 2, 3))) void EscreveFormatado(EstadoLog& log, const char* formato, ...) {
  char texto[256];
  va_list args;
  va_start(args, formato);
  const std::size_t n = Formata(texto, formato, args);
  va_end(args);
  if (n > 0) EscreveArquivo(log, texto, n);
}

// The base name of the program name: after the last folder separator, before
// the last ".".
void DefineNomePrograma(EstadoLog& log) {
  std::string_view nome = log.nome_programa;
  const std::size_t barra = nome.find_last_of("\\/");
  if (barra != std::string_view::npos) nome.remove_prefix(barra + 1);
  const std::size_t ponto = nome.rfind('.');
  if (ponto != std::string_view::npos) nome = nome.substr(0, ponto);
  Copia(log.NomePrograma, sizeof log.NomePrograma, nome);
}

// The folder of a log whose path nobody chose: DIRLOG, else the fixed
// temporary folder when it is there, else the system's, else the fixed one.
std::string PastaLog() {
  std::string pasta;
  if (plataforma::LerVariavel("DIRLOG", &pasta) && !pasta.empty()) return pasta;
  if (plataforma::EhPasta(plataforma::PastaTemporariaFixa())) return plataforma::PastaTemporariaFixa();
  if (plataforma::PastaTemporariaSistema(&pasta)) return pasta;
  return plataforma::PastaTemporariaFixa();
}

// AbreLog with the lock held.
int AbreLogTravado(EstadoLog& log) {
  log.PrecisaAbrir = false;
  if (log.NomePrograma[0] == '\0') DefineNomePrograma(log);
  if (log.caminho_log[0] == '\0') {
    const std::string pasta = PastaLog();
    std::snprintf(log.caminho_log, sizeof log.caminho_log, "%s/%s_%d", pasta.c_str(), log.NomePrograma,
                  static_cast<int>(plataforma::IdProcessoAtual()));
  }
  std::memcpy(log.ultimo_caminho, log.caminho_log, sizeof log.ultimo_caminho);
  log.arquivo.reset();

  const std::string nome_arquivo = std::string(log.caminho_log) + ".LOG";
  std::unique_ptr<plataforma::ArquivoLog> aberto;
  const plataforma::ResultadoSistema r = plataforma::AbrirArquivoLog(nome_arquivo.c_str(), &aberto);
  if (!r.ok) {
    // The words with a cp1252 letter go in as an argument: the format stays a
    // literal that the compiler checks.
    AvisaErro("E#C0503: %s: %s %s\n%s\n", log.nome_programa, "Não conseguiu abrir arquivo"_cp.data(),
              nome_arquivo.c_str(), r.texto.c_str());
    NivelLog = 0;
    return 1;
  }
  log.arquivo = std::move(aberto);
  return 0;
}

void EscreveMemoria(EstadoLog& log) {
  EscreveFormatado(log, "\n******** IMPRESSAO DE LOG EM MEMORIA %d mensagens ********\n\n",
                   static_cast<int>(log.memoria.Mensagens()));
  while (log.memoria.RetiraPrimeira([&log](const char* texto, std::size_t n) { EscreveArquivo(log, texto, n); })) {
  }
  EscreveFormatado(log, "\n******** Fim da IMPRESSAO DE LOG EM MEMORIA ********\n\n");
}

}  // namespace

void DefineCaminhoLog(std::string_view caminho) {
  const Travado log;
  if (log) Copia(log->caminho_log, sizeof log->caminho_log, caminho);
}

std::string CaminhoLog() {
  const Travado log;
  if (!log) return {};
  return log->caminho_log;
}

int AbreLog() {
  const Travado log;
  if (!log) return 1;
  return AbreLogTravado(*log);
}

bool PreparaLog(unsigned nivel) {
  const Travado log;
  if (!log) return false;
  const bool habilitado = static_cast<long long>(NivelLog.load()) >= static_cast<long long>(nivel);
  if (habilitado && (log->PrecisaAbrir || std::strcmp(log->caminho_log, log->ultimo_caminho) != 0))
    return AbreLogTravado(*log) == 0;
  return true;
}

void EscreveLog(unsigned nivel, const char* texto, std::size_t tamanho) {
  const Travado travado;
  if (!travado) return;
  EstadoLog& log = *travado;
  const long long n = NivelLog.load();
  const long long p = log.NivelAnterior;
  const long long l = nivel;

  char inicio[128];
  int tamanho_inicio = 0;
  if (n != p) {
    const plataforma::HoraLocal h = plataforma::AgoraLocal();
    if (n >= l) {
      tamanho_inicio =
          std::snprintf(inicio, sizeof inicio, "\nINICIO DO LOG nivel %d em %02d/%02d/%04d %2.2d:%2.2d:%2.2d\n\n",
                        static_cast<int>(n), h.dia, h.mes, h.ano, h.hora, h.minuto, h.segundo);
    } else if (p < 0) {
      // Nothing was recorded yet and nothing is written.
    } else if (p >= 1 && n == 0) {
      EscreveFormatado(log, "\nLOG FOI PARADO em %02d/%02d/%04d %2.2d:%2.2d:%2.2d\n\n\n\n\n\n", h.dia, h.mes, h.ano,
                       h.hora, h.minuto, h.segundo);
    } else {
      EscreveFormatado(log, "\nNIVEL DO LOG mudou de %d para %d em %02d/%02d/%04d %2.2d:%2.2d:%2.2d\n\n",
                       static_cast<int>(p), static_cast<int>(n), h.dia, h.mes, h.ano, h.hora, h.minuto, h.segundo);
    }
    log.NivelAnterior = static_cast<std::int32_t>(n);
  }

  if (n > 0 || l <= 0) {
    if (n < l) return;
    // The history is printed only into an open file; otherwise it is kept.
    if (log.memoria.Mensagens() > 0 && log.arquivo != nullptr) {
      const plataforma::ResultadoSistema r = log.arquivo->Estado();
      if (!r.ok) {
        AvisaErro("%s: Erro na execucao de fstat64() em %s.LOG!\n%s\n", log.NomePrograma, log.ultimo_caminho,
                  r.texto.c_str());
        return;
      }
      EscreveMemoria(log);
    }
    if (tamanho_inicio > 0) EscreveArquivo(log, inicio, static_cast<std::size_t>(tamanho_inicio));
    EscreveArquivo(log, texto, tamanho);
  } else if (l <= 7) {
    log.memoria.Acrescenta(texto, tamanho);
  }
}

void ReiniciaLog() {
  const Travado log;
  if (!log) return;
  log->arquivo.reset();
  NivelLog = 0;
  log->NivelAnterior = -1;
  log->PrecisaAbrir = true;
  log->caminho_log[0] = log->ultimo_caminho[0] = log->NomePrograma[0] = '\0';
  Copia(log->nome_programa, sizeof log->nome_programa, kNomeEmbutido);
  log->memoria.Esvazia();
}

}  // namespace jvmlaunch

int PLATAFORMA_STDCALL LigarLog(const char* nome, std::int16_t nivel) {
  using namespace jvmlaunch;  // NOLINT(google-build-using-namespace)
  plataforma::PreparaModuloCarregado();
  const Travado log;
  if (!log) return 0;
  if (NivelLog != 0) {
    NivelLog = 0;
    log->arquivo.reset();
  } else {
    // A negative level would silence even the errors: it counts as 0.
    NivelLog = std::max<std::int16_t>(nivel, 0);
    if (log->PrecisaAbrir) {
      if (nome != nullptr) Copia(log->nome_programa, sizeof log->nome_programa, nome);
    } else {
      log->PrecisaAbrir = true;
    }
  }
  return 0;
}
