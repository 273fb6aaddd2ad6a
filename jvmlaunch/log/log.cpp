// The core of the log: where a message goes (file, history or nowhere), the
// banners, the lazy opening of the file and LigarLog. All process-wide state
// is constant-initialized, so that the exported functions work even when
// jvmlaunch.exe is loaded as a module and its start-up code never runs.
#include "jvmlaunch/log/log.h"

#include <algorithm>
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

// The lock is created at the first use, so that it needs no start-up code;
// everything below it is guarded by it.
constinit std::atomic<std::mutex*> trava_criada{nullptr};
constinit std::int32_t NivelAnterior = -1;
constinit bool PrecisaAbrir = true;
constinit plataforma::ArquivoLog* arquivo = nullptr;
constinit char caminho_log[kTamanhoCaminhoLog + 1] = {};
constinit char ultimo_caminho[kTamanhoCaminhoLog + 1] = {};
constinit char nome_programa[kTamanhoNomeDado + 1] = "jvmlaunch";
constinit char NomePrograma[kTamanhoNomePrograma + 1] = {};
// Never destroyed: a host thread may still log while the process ends.
union MemoriaPermanente {
  constexpr MemoriaPermanente() : log() {}
  ~MemoriaPermanente() {}  // NOLINT(modernize-use-equals-default)
  LogMemoria log;
};
constinit MemoriaPermanente memoria_permanente;
LogMemoria& memoria = memoria_permanente.log;

// The texts that reach the standard error stream carry cp1252 bytes; a _cp
// literal is terminated by a 0 byte, so its data() serves as a format.
template <typename... Args>
void AvisaErro(const char* formato, Args... args) {
  char texto[2048];
  const int n = std::snprintf(texto, sizeof texto, formato, args...);
  if (n > 0) plataforma::EscreverErroPadrao({texto, std::min(static_cast<std::size_t>(n), sizeof texto - 1)});
}

void AvisaFalhaTrava(const char* formato, const std::error_code& erro) {
  const std::string texto = cp1252::DeUtf8(erro.message());
  AvisaErro(formato, erro.value(), texto.c_str());
  NivelLog = 0;
}

// The lock, created by the first caller that needs it; null when it cannot be.
std::mutex* Mutex() {
  std::mutex* existente = trava_criada.load(std::memory_order_acquire);
  if (existente != nullptr) return existente;
  auto* nova = new (std::nothrow) std::mutex;
  if (nova == nullptr) {
    AvisaFalhaTrava("E#C0506: Falhou CreateMutex: %d\n%s\n", std::make_error_code(std::errc::not_enough_memory));
    return nullptr;
  }
  if (!trava_criada.compare_exchange_strong(existente, nova, std::memory_order_acq_rel)) {
    delete nova;  // another thread created it first
    return existente;
  }
  return nova;
}

// Takes the lock. Failing to create or to wait for it is reported and
// switches logging off.
bool Trava() {
  std::mutex* m = Mutex();
  if (m == nullptr) return false;
  try {
    m->lock();
    return true;
  } catch (const std::system_error& e) {
    AvisaFalhaTrava("E#C0507: Falhou WaitForSingleObject: %d\n%s\n", e.code());
    return false;
  }
}

void Destrava() { trava_criada.load(std::memory_order_acquire)->unlock(); }

// Releases the lock at the end of a scope.
struct Destravador {
  Destravador() = default;
  Destravador(const Destravador&) = delete;
  Destravador& operator=(const Destravador&) = delete;
  ~Destravador() { Destrava(); }
};

void Copia(char* destino, std::size_t capacidade, std::string_view origem) {
  const std::size_t n = std::min(origem.size(), capacidade - 1);
  std::memcpy(destino, origem.data(), n);
  destino[n] = '\0';
}

// Writes to the open file, every "\n" as CR LF; nothing while it is closed.
void EscreveArquivo(const char* texto, std::size_t n) {
  if (arquivo == nullptr) return;
  char saida[4096];
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k + 2 > sizeof saida) {
      arquivo->Escrever(saida, k);
      k = 0;
    }
    if (texto[i] == '\n') saida[k++] = '\r';
    saida[k++] = texto[i];
  }
  if (k > 0) arquivo->Escrever(saida, k);
}

template <typename... Args>
void EscreveFormatado(const char* formato, Args... args) {
  char texto[256];
  const int n = std::snprintf(texto, sizeof texto, formato,
                              args...);  // NOLINT(clang-diagnostic-format-security): fixed formats only
  if (n > 0) EscreveArquivo(texto, std::min(static_cast<std::size_t>(n), sizeof texto - 1));
}

// The base name of the program name: after the last folder separator, before
// the last ".".
void DefineNomePrograma() {
  std::string_view nome = nome_programa;
  const std::size_t barra = nome.find_last_of("\\/");
  if (barra != std::string_view::npos) nome.remove_prefix(barra + 1);
  const std::size_t ponto = nome.rfind('.');
  if (ponto != std::string_view::npos) nome = nome.substr(0, ponto);
  Copia(NomePrograma, sizeof NomePrograma, nome);
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

// AbreLog with trava held.
int AbreLogTravado() {
  PrecisaAbrir = false;
  if (NomePrograma[0] == '\0') DefineNomePrograma();
  if (caminho_log[0] == '\0') {
    const std::string pasta = PastaLog();
    std::snprintf(caminho_log, sizeof caminho_log, "%s/%s_%d", pasta.c_str(), NomePrograma,
                  static_cast<int>(plataforma::IdProcessoAtual()));
  }
  std::memcpy(ultimo_caminho, caminho_log, sizeof ultimo_caminho);
  delete arquivo;
  arquivo = nullptr;

  const std::string nome_arquivo = std::string(caminho_log) + ".LOG";
  std::unique_ptr<plataforma::ArquivoLog> aberto;
  const plataforma::ResultadoSistema r = plataforma::AbrirArquivoLog(nome_arquivo.c_str(), &aberto);
  if (!r.ok) {
    AvisaErro("E#C0503: %s: Não conseguiu abrir arquivo %s\n%s\n"_cp.data(), nome_programa, nome_arquivo.c_str(),
              r.texto.c_str());
    NivelLog = 0;
    return 1;
  }
  arquivo = aberto.release();
  return 0;
}

void EscreveMemoria() {
  EscreveFormatado("\n******** IMPRESSAO DE LOG EM MEMORIA %d mensagens ********\n\n",
                   static_cast<int>(memoria.Mensagens()));
  while (memoria.RetiraPrimeira(EscreveArquivo)) {
  }
  EscreveFormatado("\n******** Fim da IMPRESSAO DE LOG EM MEMORIA ********\n\n");
}

}  // namespace

void DefineCaminhoLog(std::string_view caminho) {
  if (!Trava()) return;
  Copia(caminho_log, sizeof caminho_log, caminho);
  Destrava();
}

std::string CaminhoLog() {
  if (!Trava()) return {};
  std::string caminho = caminho_log;
  Destrava();
  return caminho;
}

int AbreLog() {
  if (!Trava()) return 1;
  const int r = AbreLogTravado();
  Destrava();
  return r;
}

bool PreparaLog(unsigned nivel) {
  if (!Trava()) return false;
  const bool habilitado = static_cast<long long>(NivelLog.load()) >= static_cast<long long>(nivel);
  bool ok = true;
  if (habilitado && (PrecisaAbrir || std::strcmp(caminho_log, ultimo_caminho) != 0)) ok = AbreLogTravado() == 0;
  Destrava();
  return ok;
}

void EscreveLog(unsigned nivel, const char* texto, std::size_t tamanho) {
  if (!Trava()) return;
  const Destravador destrava;
  const long long n = NivelLog.load();
  const long long p = NivelAnterior;
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
      EscreveFormatado("\nLOG FOI PARADO em %02d/%02d/%04d %2.2d:%2.2d:%2.2d\n\n\n\n\n\n", h.dia, h.mes, h.ano, h.hora,
                       h.minuto, h.segundo);
    } else {
      EscreveFormatado("\nNIVEL DO LOG mudou de %d para %d em %02d/%02d/%04d %2.2d:%2.2d:%2.2d\n\n",
                       static_cast<int>(p), static_cast<int>(n), h.dia, h.mes, h.ano, h.hora, h.minuto, h.segundo);
    }
    NivelAnterior = static_cast<std::int32_t>(n);
  }

  if (n > 0 || l <= 0) {
    if (n < l) return;
    // The history is printed only into an open file; otherwise it is kept.
    if (memoria.Mensagens() > 0 && arquivo != nullptr) {
      const plataforma::ResultadoSistema r = arquivo->Estado();
      if (!r.ok) {
        AvisaErro("%s: Erro na execucao de fstat64() em %s.LOG!\n%s\n", NomePrograma, ultimo_caminho, r.texto.c_str());
        return;
      }
      EscreveMemoria();
    }
    if (tamanho_inicio > 0) EscreveArquivo(inicio, static_cast<std::size_t>(tamanho_inicio));
    EscreveArquivo(texto, tamanho);
  } else if (l <= 7) {
    memoria.Acrescenta(texto, tamanho);
  }
}

void ReiniciaLog() {
  if (!Trava()) return;
  delete arquivo;
  arquivo = nullptr;
  NivelLog = 0;
  NivelAnterior = -1;
  PrecisaAbrir = true;
  caminho_log[0] = ultimo_caminho[0] = NomePrograma[0] = '\0';
  Copia(nome_programa, sizeof nome_programa, kNomeEmbutido);
  memoria.Esvazia();
  Destrava();
}

}  // namespace jvmlaunch

int PLATAFORMA_STDCALL LigarLog(const char* nome, std::int16_t nivel) {
  using namespace jvmlaunch;  // NOLINT(google-build-using-namespace)
  plataforma::PreparaModuloCarregado();
  if (!Trava()) return 0;
  if (NivelLog != 0) {
    NivelLog = 0;
    delete arquivo;
    arquivo = nullptr;
  } else {
    // A negative level would silence even the errors: it counts as 0.
    NivelLog = std::max<std::int16_t>(nivel, 0);
    if (PrecisaAbrir) {
      if (nome != nullptr) Copia(nome_programa, sizeof nome_programa, nome);
    } else {
      PrecisaAbrir = true;
    }
  }
  Destrava();
  return 0;
}
