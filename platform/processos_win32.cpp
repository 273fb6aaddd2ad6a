// Processes on Windows: the environment, the clock and ids, the program's
// own path and command line, hidden children and their pipes, and Windows
// Sockets 1.1. Texts are Windows-1252 and cross to the system as UTF-16. The
// pipes are named pipes read with overlapped I/O, so that one wait covers
// both streams of a child.
// windows.h comes before the headers that build on it.
// clang-format off
#include "platform/win32_comum.h"
#include <winsock2.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "platform/ambiente.h"

namespace plataforma {

using win32::Cp1252ParaUtf16;
using win32::Falhou;
using win32::FalhouAgora;
using win32::HandleProprio;
using win32::Utf16ParaCp1252;

namespace {

constexpr DWORD kTamanhoPipe = 5120;

// The read end keeps one overlapped read in flight into its own buffer; what
// it brought is handed out by Ler.
class CanalWin32 : public Canal {
 public:
  CanalWin32(HandleProprio leitura, HandleProprio escrita, HandleProprio evento)
      : leitura_(std::move(leitura)), escrita_(std::move(escrita)), evento_(std::move(evento)) {}
  // The read in flight is cancelled before its buffer and its event go.
  ~CanalWin32() override {
    FecharEscrita();
    FecharLeitura();
  }
  [[nodiscard]] long IdEscrita() const override { return Id(escrita_); }
  [[nodiscard]] long IdLeitura() const override { return Id(leitura_); }
  void FecharEscrita() override { escrita_.Fecha(); }
  void FecharLeitura() override {
    if (pendente_) {
      DWORD n = 0;
      ::CancelIoEx(leitura_.get(), &ov_);
      ::GetOverlappedResult(leitura_.get(), &ov_, &n, TRUE);
      pendente_ = false;
    }
    leitura_.Fecha();
  }
  [[nodiscard]] bool LeituraAberta() const override { return leitura_.Valido(); }

  ResultadoSistema Ler(char* dados, std::size_t n, std::size_t* lidos) override {
    while (!Pronto()) {
      Inicia();
      if (pendente_) Conclui(true);
    }
    if (fim_ > inicio_) {
      const std::size_t k = std::min<std::size_t>(n, fim_ - inicio_);
      std::memcpy(dados, buffer_ + inicio_, k);
      inicio_ += static_cast<DWORD>(k);
      *lidos = k;
      return {};
    }
    if (terminou_) {
      *lidos = 0;
      return {};
    }
    return Falhou(erro_);
  }

  // Data, the end of the stream or a failure is there to be taken by Ler.
  [[nodiscard]] bool Pronto() const { return fim_ > inicio_ || terminou_ || erro_ != 0; }
  [[nodiscard]] bool pendente() const { return pendente_; }
  [[nodiscard]] HANDLE evento() const { return evento_.get(); }
  [[nodiscard]] HANDLE escrita() const { return escrita_.get(); }

  // Starts a read when none is in flight and nothing waits to be taken.
  void Inicia() {
    while (!Pronto() && !pendente_) {
      ::ResetEvent(evento_.get());
      ov_ = OVERLAPPED{};
      ov_.hEvent = evento_.get();
      DWORD n = 0;
      if (::ReadFile(leitura_.get(), buffer_, kTamanhoPipe, &n, &ov_) != 0) {
        inicio_ = 0;
        fim_ = n;  // a read of 0 bytes (an empty write) is no data: read again
        continue;
      }
      Anota(::GetLastError());
    }
  }

  // Takes the result of the read in flight; with esperar false, only when done.
  void Conclui(bool esperar) {
    DWORD n = 0;
    if (::GetOverlappedResult(leitura_.get(), &ov_, &n, esperar ? TRUE : FALSE) != 0) {
      pendente_ = false;
      inicio_ = 0;
      fim_ = n;
      return;
    }
    const DWORD erro = ::GetLastError();
    if (erro == ERROR_IO_INCOMPLETE) return;
    pendente_ = false;
    Anota(erro);
  }

 private:
  // The number by which the system knows the handle, for the log.
  static long Id(const HandleProprio& h) { return static_cast<long>(reinterpret_cast<std::intptr_t>(h.get())); }

  void Anota(DWORD erro) {
    if (erro == ERROR_IO_PENDING) {
      pendente_ = true;
    } else if (erro == ERROR_BROKEN_PIPE || erro == ERROR_HANDLE_EOF || erro == ERROR_PIPE_NOT_CONNECTED) {
      terminou_ = true;
    } else {
      erro_ = erro;
    }
  }

  HandleProprio leitura_;
  HandleProprio escrita_;
  HandleProprio evento_;
  OVERLAPPED ov_{};
  char buffer_[kTamanhoPipe]{};
  DWORD inicio_ = 0;
  DWORD fim_ = 0;
  bool pendente_ = false;
  bool terminou_ = false;
  DWORD erro_ = 0;
};

class ProcessosWin32 : public Processos {
 public:
  ResultadoSistema CriarCanal(std::unique_ptr<Canal>* canal) override {
    static std::atomic<unsigned> serie{0};
    wchar_t nome[96];
    std::swprintf(nome, 96, L"\\\\.\\pipe\\jvmlaunch.%lu.%lu.%u", ::GetCurrentProcessId(), ::GetCurrentThreadId(),
                  ++serie);
    SECURITY_ATTRIBUTES herdavel{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HandleProprio leitura(
        ::CreateNamedPipeW(nome, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                           PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                           kTamanhoPipe, kTamanhoPipe, 0, nullptr));
    if (!leitura.Valido()) return FalhouAgora();
    HandleProprio escrita(
        ::CreateFileW(nome, GENERIC_WRITE, 0, &herdavel, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!escrita.Valido()) return FalhouAgora();
    HandleProprio evento(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!evento.Valido()) return FalhouAgora();
    *canal = std::make_unique<CanalWin32>(std::move(leitura), std::move(escrita), std::move(evento));
    return {};
  }

  ResultadoSistema IniciarOculto(std::string_view linha, Canal& saida, Canal& erro) override {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = nullptr;
    si.hStdOutput = static_cast<CanalWin32&>(saida).escrita();
    si.hStdError = static_cast<CanalWin32&>(erro).escrita();
    SECURITY_ATTRIBUTES herdavel{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    std::wstring comando = Cp1252ParaUtf16(linha);
    if (comando.empty()) return Falhou(ERROR_FILE_NOT_FOUND);
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(nullptr, comando.data(), &herdavel, &herdavel, TRUE, 0, nullptr, nullptr, &si, &pi) == 0)
      return FalhouAgora();
    // The child is never waited for: its handles go at once.
    const HandleProprio processo(pi.hProcess);
    const HandleProprio thread_principal(pi.hThread);
    return {};
  }

  ResultadoSistema AguardarCanais(Canal& primeiro, Canal& segundo, int* pronto) override {
    CanalWin32* canais[2] = {&static_cast<CanalWin32&>(primeiro), &static_cast<CanalWin32&>(segundo)};
    for (;;) {
      HANDLE eventos[2];
      DWORD quantos = 0;
      for (int i = 0; i < 2; ++i) {
        if (!canais[i]->LeituraAberta()) continue;
        canais[i]->Inicia();
        if (canais[i]->Pronto()) {
          *pronto = i;
          return {};
        }
        eventos[quantos++] = canais[i]->evento();
      }
      if (quantos == 0) return Falhou(ERROR_INVALID_HANDLE);
      if (::WaitForMultipleObjects(quantos, eventos, FALSE, INFINITE) == WAIT_FAILED) return FalhouAgora();
      for (CanalWin32* c : canais)
        if (c->LeituraAberta() && c->pendente()) c->Conclui(false);
    }
  }
};

ResultadoSistema FalhouSoquete() { return Falhou(static_cast<DWORD>(::WSAGetLastError())); }

class SoqueteWin32 : public Soquete {
 public:
  explicit SoqueteWin32(SOCKET s) : s_(s) {}
  ~SoqueteWin32() override { ::closesocket(s_); }
  [[nodiscard]] long Id() const override { return static_cast<long>(s_); }

  ResultadoSistema Conectar(std::uint32_t endereco, std::uint16_t porta) override {
    sockaddr_in destino{};
    destino.sin_family = AF_INET;
    destino.sin_port = ::htons(porta);
    destino.sin_addr.s_addr = ::htonl(endereco);
    if (::connect(s_, reinterpret_cast<const sockaddr*>(&destino), sizeof destino) == 0) return {};
    return FalhouSoquete();
  }

  ResultadoSistema Enviar(const char* dados, std::size_t n, std::size_t* enviados) override {
    // One call takes at most INT_MAX bytes; the rest counts as not sent.
    const int pedido = n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
    const int k = ::send(s_, dados, pedido, 0);
    if (k == SOCKET_ERROR) return FalhouSoquete();
    *enviados = static_cast<std::size_t>(k);
    return {};
  }

  ResultadoSistema EncerrarEnvio() override {
    if (::shutdown(s_, SD_SEND) != 0) return FalhouSoquete();
    return {};
  }

 private:
  SOCKET s_;
};

class RedeWin32 : public Rede {
 public:
  ResultadoSistema Iniciar() override {
    WSADATA dados{};
    const int erro = ::WSAStartup(MAKEWORD(1, 1), &dados);
    if (erro != 0) return Falhou(static_cast<DWORD>(erro));
    return {};
  }
  void Liberar() override { ::WSACleanup(); }
  ResultadoSistema CriarSoquete(std::unique_ptr<Soquete>* soquete) override {
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return FalhouSoquete();
    // The client started later must not hold the connection open.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    *soquete = std::make_unique<SoqueteWin32>(s);
    return {};
  }
};

}  // namespace

HoraLocal AgoraLocal() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  HoraLocal h;
  h.ano = st.wYear;
  h.mes = st.wMonth;
  h.dia = st.wDay;
  h.hora = st.wHour;
  h.minuto = st.wMinute;
  h.segundo = st.wSecond;
  h.milissegundo = st.wMilliseconds;
  return h;
}

long IdThreadAtual() { return static_cast<long>(::GetCurrentThreadId()); }

long IdProcessoAtual() { return static_cast<long>(::GetCurrentProcessId()); }

bool LerVariavel(const char* nome, std::string* valor) {
  const std::wstring n = Cp1252ParaUtf16(nome);
  ::SetLastError(ERROR_SUCCESS);
  DWORD tamanho = ::GetEnvironmentVariableW(n.c_str(), nullptr, 0);
  if (tamanho == 0) {
    if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    valor->clear();
    return true;
  }
  std::wstring v(tamanho, L'\0');
  tamanho = ::GetEnvironmentVariableW(n.c_str(), v.data(), tamanho);
  v.resize(tamanho);
  *valor = Utf16ParaCp1252(v);
  return true;
}

ResultadoSistema DefinirVariavel(const char* nome, const char* valor) {
  if (::SetEnvironmentVariableW(Cp1252ParaUtf16(nome).c_str(), Cp1252ParaUtf16(valor).c_str()) == 0)
    return FalhouAgora();
  return {};
}

ResultadoSistema DefinirPastaAtual(const char* pasta) {
  if (::SetCurrentDirectoryW(Cp1252ParaUtf16(pasta).c_str()) == 0) return FalhouAgora();
  return {};
}

ResultadoSistema CaminhoProprio(std::string* caminho) {
  std::wstring lido;
  if (const DWORD erro = win32::CaminhoDoPrograma(&lido); erro != 0) return Falhou(erro);
  *caminho = Utf16ParaCp1252(lido);
  return {};
}

void LinhaDeComando(int /*argc*/, char** /*argv*/, std::string* argumentos, std::string* completa) {
  const wchar_t* linha = ::GetCommandLineW();
  *completa = Utf16ParaCp1252(linha != nullptr ? linha : L"");
  // The program name ends at the first blank or tab outside double quotes.
  std::size_t i = 0;
  bool aspas = false;
  for (; i < completa->size(); ++i) {
    const char c = (*completa)[i];
    if (c == '"') aspas = !aspas;
    if ((c == ' ' || c == '\t') && !aspas) break;
  }
  while (i < completa->size() && ((*completa)[i] == ' ' || (*completa)[i] == '\t')) ++i;
  *argumentos = completa->substr(i);
}

std::vector<std::string> ArgumentosUtf8(int argc, char** argv) {
  int n = 0;
  wchar_t** largos = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (largos == nullptr) return {argv, argv + argc};
  std::vector<std::string> argumentos;
  argumentos.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) argumentos.push_back(win32::Utf16ParaUtf8(largos[i]));
  ::LocalFree(static_cast<HLOCAL>(largos));
  return argumentos;
}

const char* SufixoPrograma() { return ".exe"; }

Processos& Processos::Padrao() {
  static ProcessosWin32 processos;
  return processos;
}

Rede& Rede::Padrao() {
  static RedeWin32 rede;
  return rede;
}

}  // namespace plataforma
