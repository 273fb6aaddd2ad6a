// Ambiente on Windows: Win32 files, LoadLibrary, MessageBox and a real
// progress window. windows.h is included by the Win32 files alone.
// windows.h comes before the headers that build on it.
// clang-format off
#include "platform/win32_comum.h"
#include <commctrl.h>
// clang-format on

#include <string>

#include "platform/ambiente.h"

namespace plataforma {

using win32::BuscaPropria;
using win32::CaminhoInvalido;
using win32::CaminhoValido;
using win32::Cp1252ParaUtf16;
using win32::ErroSistema;
using win32::Falhou;
using win32::FalhouAgora;
using win32::HandleProprio;
using win32::UltimoErro;
using win32::Utf16ParaCp1252;
using win32::Utf16ParaUtf8;
using win32::Utf8ParaUtf16;

namespace {

class LeituraWin32 final : public ArquivoLeitura {
 public:
  explicit LeituraWin32(HandleProprio h) : h_(std::move(h)) {}

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    DWORD r = 0;
    const DWORD pedido = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    if (!::ReadFile(h_.get(), buf, pedido, &r, nullptr)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) {
        *lidos = 0;
        return Status::Ok();
      }
      return UltimoErro();
    }
    *lidos = r;
    return Status::Ok();
  }

  Status Tamanho(std::uint64_t* bytes) override {
    LARGE_INTEGER t{};
    if (!::GetFileSizeEx(h_.get(), &t)) return UltimoErro();
    *bytes = static_cast<std::uint64_t>(t.QuadPart);
    return Status::Ok();
  }

 private:
  HandleProprio h_;
};

class EscritaWin32 final : public ArquivoEscrita {
 public:
  explicit EscritaWin32(HandleProprio h) : h_(std::move(h)) {}

  Status Escrever(std::string_view texto) override {
    while (!texto.empty()) {
      DWORD escritos = 0;
      const DWORD pedido = texto.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(texto.size());
      if (!::WriteFile(h_.get(), texto.data(), pedido, &escritos, nullptr)) return UltimoErro();
      if (escritos == 0) return ErroSistema(ERROR_DISK_FULL);
      texto.remove_prefix(escritos);
    }
    return Status::Ok();
  }

  Status Fechar() override {
    HandleProprio h = std::move(h_);
    const bool descarregou = ::FlushFileBuffers(h.get()) != 0;
    const DWORD erro = descarregou ? 0 : ::GetLastError();
    h.Fecha();
    if (!descarregou && erro != ERROR_INVALID_HANDLE && erro != ERROR_INVALID_FUNCTION) return ErroSistema(erro);
    return Status::Ok();
  }

 private:
  HandleProprio h_;
};

class BibliotecaWin32 final : public Biblioteca {
 public:
  explicit BibliotecaWin32(HMODULE m) : m_(m) {}
  ~BibliotecaWin32() override { ::FreeLibrary(m_); }

  Status Funcao(const std::string& nome, EnderecoFuncao* endereco) override {
    FARPROC f = ::GetProcAddress(m_, nome.c_str());
    if (f == nullptr) return UltimoErro();
    *endereco = reinterpret_cast<EnderecoFuncao>(f);  // NOLINT: GetProcAddress's contract
    return Status::Ok();
  }

 private:
  HMODULE m_;
};

// The form "Validador": ProgressBar1, Label2 "Contribuinte:", contrib and ver.
// It has no message loop of its own: it paints only when Atualiza asks.
class JanelaWin32 final : public JanelaProgresso {
 public:
  JanelaWin32() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    RegistraClasse(inst);
    const DWORD estilo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, 420, 120};
    ::AdjustWindowRect(&r, estilo, FALSE);
    const int largura = r.right - r.left;
    const int altura = r.bottom - r.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - largura) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - altura) / 2;
    form_ = ::CreateWindowExW(0, kClasse, L"Validador", estilo, x, y, largura, altura, nullptr, nullptr, inst, nullptr);
    if (form_ == nullptr) return;
    HFONT fonte = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ver_ = Controle(L"STATIC", L"", SS_LEFT, 12, 10, 396, 18, fonte);
    Label2_ = Controle(L"STATIC", L"Contribuinte:", SS_LEFT, 12, 38, 80, 18, fonte);
    contrib_ = Controle(L"STATIC", L"", SS_LEFT, 96, 38, 312, 18, fonte);
    ProgressBar1_ = Controle(PROGRESS_CLASSW, L"", PBS_SMOOTH, 12, 72, 396, 22, fonte);
    ::SendMessageW(ProgressBar1_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::ShowWindow(form_, SW_SHOWNORMAL);
    // Let the system finish showing the new window before the run starts.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    Atualiza();
  }
  ~JanelaWin32() override { Fecha(); }

  void DefineProgresso(int valor) override {
    if (ProgressBar1_ == nullptr || valor == progresso_) return;
    progresso_ = valor;
    ::SendMessageW(ProgressBar1_, PBM_SETPOS, static_cast<WPARAM>(valor), 0);
    mudou_ = true;
  }
  void DefineContribuinte(std::string_view texto) override { DefineTexto(contrib_, texto_contrib_, texto); }
  void DefineVersao(std::string_view texto) override { DefineTexto(ver_, texto_ver_, texto); }

  // Paints what changed since the last refresh, and nothing else: the
  // window's paint messages are handled here, its input never is.
  void Atualiza() override {
    if (form_ == nullptr || !mudou_) return;
    mudou_ = false;
    ::RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pinta();
  }

  void Fecha() override {
    if (form_ == nullptr) return;
    ::ShowWindow(form_, SW_HIDE);
    ::DestroyWindow(form_);
    form_ = nullptr;
    ProgressBar1_ = Label2_ = contrib_ = ver_ = nullptr;
  }

 private:
  static constexpr const wchar_t* kClasse = L"ValidaFormValidador";

  static void RegistraClasse(HINSTANCE inst) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClasse;
    ::RegisterClassExW(&wc);  // a second registration fails harmlessly
  }

  HWND Controle(const wchar_t* classe, const wchar_t* texto, DWORD estilo, int x, int y, int w, int h, HFONT fonte) {
    HWND c = ::CreateWindowExW(0, classe, texto, WS_CHILD | WS_VISIBLE | estilo, x, y, w, h, form_, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (c != nullptr) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(fonte), FALSE);
    return c;
  }

  // Handles the paint messages queued for the window and its controls, so
  // that the system has shown what was drawn; input stays in the queue.
  static void Pinta() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageW(&msg);
  }

  void DefineTexto(HWND controle, std::string& atual, std::string_view texto) {
    if (controle == nullptr || atual == texto) return;
    atual = texto;
    ::SetWindowTextW(controle, Cp1252ParaUtf16(texto).c_str());
    mudou_ = true;
  }

  HWND form_ = nullptr;
  HWND ProgressBar1_ = nullptr;
  HWND Label2_ = nullptr;
  HWND contrib_ = nullptr;
  HWND ver_ = nullptr;
  int progresso_ = 0;
  std::string texto_contrib_;
  std::string texto_ver_;
  bool mudou_ = true;
};

// The exclusive lock of the whole lock file; released and closed on destruction.
class TravaWin32 final : public Trava {
 public:
  explicit TravaWin32(HandleProprio h) : h_(std::move(h)) {}
  ~TravaWin32() override {
    OVERLAPPED inicio{};
    ::UnlockFileEx(h_.get(), 0, MAXDWORD, MAXDWORD, &inicio);
  }

 private:
  HandleProprio h_;
};

class AmbienteWin32 final : public Ambiente {
 public:
  Status PastaPrograma(std::string* pasta) override {
    std::wstring caminho;
    if (const DWORD erro = win32::CaminhoDoPrograma(&caminho); erro != 0)
      return Status::Erro(Falha::kOutra, ErroSistema(erro).mensagem());
    const auto barra = caminho.find_last_of(L"\\/");
    if (barra == std::wstring::npos)
      return Status::Erro(Falha::kOutra, "the program's path has no folder: " + Utf16ParaUtf8(caminho));
    *pasta = Utf16ParaUtf8(caminho.substr(0, barra));
    return Status::Ok();
  }

  Status AbrirLeitura(const std::string& caminho, std::unique_ptr<ArquivoLeitura>* arquivo) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    HandleProprio h(::CreateFileW(Utf8ParaUtf16(caminho).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h.Valido()) {
      const DWORD erro = ::GetLastError();
      // CON and CONIN$ without a console to open: the name opens no file.
      if (erro == ERROR_INVALID_HANDLE) return Status::Erro(Falha::kNaoEncontrado, ErroSistema(erro).mensagem());
      return ErroSistema(erro);
    }
    // A console, a device (NUL, COM1) or a pipe is no file: reading it could wait forever.
    if (::GetFileType(h.get()) != FILE_TYPE_DISK) return Status::Erro(Falha::kNaoEncontrado, "not a disk file");
    *arquivo = std::make_unique<LeituraWin32>(std::move(h));
    return Status::Ok();
  }

  Status CriarEscrita(const std::string& caminho, std::unique_ptr<ArquivoEscrita>* arquivo) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    const std::wstring nome = Utf8ParaUtf16(caminho);
    HandleProprio h = CriaNovo(nome);
    if (!h.Valido()) {
      const DWORD erro = ::GetLastError();
      if (EhPastaPropria(nome)) return Status::Erro(Falha::kOutra, "a folder stands under the name " + caminho);
      if (erro != ERROR_FILE_EXISTS && erro != ERROR_ALREADY_EXISTS) return ErroSistema(erro);
      // The name is taken. Deleting it could reach what a link names (Wine
      // deletes a Unix link's target), so a new file made beside it is
      // renamed over it: the old entry goes, whatever it was, untouched.
      const std::wstring ao_lado = nome + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
      h = CriaNovo(ao_lado);
      if (!h.Valido()) {
        if (::GetLastError() == ERROR_FILE_EXISTS)
          return Status::Erro(Falha::kOutra, "something stands under the name " + Utf16ParaUtf8(ao_lado));
        return UltimoErro();
      }
      if (!::MoveFileExW(ao_lado.c_str(), nome.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const Status falha = UltimoErro();
        h.Fecha();
        // The new file beside the name is the call's own: it goes with the failure.
        (void)::DeleteFileW(ao_lado.c_str());
        return falha;
      }
    }
    *arquivo = std::make_unique<EscritaWin32>(std::move(h));
    return Status::Ok();
  }

  Status Renomear(const std::string& origem, const std::string& destino) override {
    if (!CaminhoValido(origem)) return CaminhoInvalido(origem);
    if (!CaminhoValido(destino)) return CaminhoInvalido(destino);
    if (!::MoveFileExW(Utf8ParaUtf16(origem).c_str(), Utf8ParaUtf16(destino).c_str(), MOVEFILE_REPLACE_EXISTING))
      return UltimoErro();
    return Status::Ok();
  }

  Status Apagar(const std::string& caminho) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    if (!::DeleteFileW(Utf8ParaUtf16(caminho).c_str())) {
      const DWORD erro = ::GetLastError();
      if (erro != ERROR_FILE_NOT_FOUND && erro != ERROR_PATH_NOT_FOUND) return ErroSistema(erro);
    }
    return Status::Ok();
  }

  Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<Biblioteca>* biblioteca) override {
    if (!CaminhoValido(nome)) return CaminhoInvalido(nome);
    // By name, as the system searches for it: the program's folder comes first.
    HMODULE m = ::LoadLibraryW(Utf8ParaUtf16(nome + ".dll").c_str());
    if (m == nullptr) return UltimoErro();
    *biblioteca = std::make_unique<BibliotecaWin32>(m);
    return Status::Ok();
  }

  void MensagemAviso(std::string_view titulo, std::string_view texto) override {
    ::MessageBoxW(nullptr, Cp1252ParaUtf16(texto).c_str(), Cp1252ParaUtf16(titulo).c_str(), MB_OK | MB_TASKMODAL);
  }

  std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() override { return std::make_unique<JanelaWin32>(); }

  Status Travar(const std::string& caminho, std::unique_ptr<Trava>* trava) override {
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    const std::wstring nome = Utf8ParaUtf16(caminho);
    // Every run opens the file (a link as a link, never what it names) and
    // shares it; the first to find it missing creates it. A name that the
    // open does not find and CREATE_NEW finds taken is another run's new
    // file, found at the next try; one that stays so is a link to nothing
    // (Wine), replaced by a new file as CriarEscrita replaces a name.
    constexpr int kTentativas = 16;
    constexpr DWORD kPartilha = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (int tentativa = 0; tentativa < kTentativas; ++tentativa) {
      HandleProprio h(::CreateFileW(nome.c_str(), GENERIC_READ, kPartilha, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      if (!h.Valido() && ::GetLastError() == ERROR_FILE_NOT_FOUND)
        h = HandleProprio(::CreateFileW(nome.c_str(), GENERIC_READ, kPartilha, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      if (!h.Valido()) {
        const DWORD erro = ::GetLastError();
        if (EhPastaPropria(nome)) return Status::Erro(Falha::kOutra, "a folder stands under the name " + caminho);
        if (erro != ERROR_FILE_EXISTS && erro != ERROR_ALREADY_EXISTS) return ErroSistema(erro);
        if (tentativa >= 2) {
          std::unique_ptr<ArquivoEscrita> novo;
          if (const Status s = CriarEscrita(caminho, &novo); !s.ok()) return s;
        }
        continue;
      }
      if (::GetFileType(h.get()) != FILE_TYPE_DISK)
        return Status::Erro(Falha::kOutra, "the lock file is not a disk file: " + caminho);
      OVERLAPPED inicio{};
      if (!::LockFileEx(h.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &inicio)) return UltimoErro();
      *trava = std::make_unique<TravaWin32>(std::move(h));
      return Status::Ok();
    }
    return Status::Erro(Falha::kOutra, "the lock file cannot be opened nor created: " + caminho);
  }

  Status CopiarPermissoes(const std::string& modelo, const std::string& caminho) override {
    if (!CaminhoValido(modelo)) return CaminhoInvalido(modelo);
    if (!CaminhoValido(caminho)) return CaminhoInvalido(caminho);
    return Status::Ok();
  }

 private:
  // A new file for writing, never through a link; others may read it and
  // rename it (CriarEscrita renames it into place while it is open).
  static HandleProprio CriaNovo(const std::wstring& nome) {
    return HandleProprio(::CreateFileW(nome.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  }

  // True when the name itself (not what a link names) is a folder.
  static bool EhPastaPropria(const std::wstring& nome) {
    const DWORD atributos = ::GetFileAttributesW(nome.c_str());
    return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (atributos & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
  }
};

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbienteWin32 ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '\\'; }

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: the environment, time, ids, folders, the log file and hidden
// child processes. Texts are Windows-1252 and cross to the system as UTF-16.
// The pipes are named pipes read with overlapped I/O, so that one wait covers
// both streams of a child.
// ===========================================================================
#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>

namespace plataforma {
namespace {
namespace jl {

class ArquivoLogWin32 : public ArquivoLog {
 public:
  explicit ArquivoLogWin32(HandleProprio h) : h_(std::move(h)) {}
  void Escrever(const char* dados, std::size_t n) override {
    while (n > 0) {
      DWORD escritos = 0;
      const DWORD parte = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
      if (::WriteFile(h_.get(), dados, parte, &escritos, nullptr) == 0 || escritos == 0) return;
      dados += escritos;
      n -= escritos;
    }
  }
  ResultadoSistema Estado() override {
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileInformationByHandle(h_.get(), &info) == 0) return FalhouAgora();
    return {};
  }

 private:
  HandleProprio h_;
};

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

}  // namespace jl
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

ResultadoSistema CriarPasta(const char* caminho) {
  if (::CreateDirectoryW(Cp1252ParaUtf16(caminho).c_str(), nullptr) != 0) return {};
  const DWORD erro = ::GetLastError();
  if (erro == ERROR_ALREADY_EXISTS && EhPasta(caminho)) return {};
  return Falhou(erro);
}

bool EhPasta(const char* caminho) {
  const DWORD atributos = ::GetFileAttributesW(Cp1252ParaUtf16(caminho).c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PastaTemporariaSistema(std::string* pasta) {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
  if (n == 0 || n > MAX_PATH + 1) return false;
  std::wstring p(buffer, n);
  while (p.size() > 3 && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
  *pasta = Utf16ParaCp1252(p);
  return true;
}

const char* PastaTemporariaFixa() { return "c:\\temp"; }

void EscreverErroPadrao(std::string_view texto) {
  HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD modo = 0;
  DWORD escritos = 0;
  if (::GetConsoleMode(h, &modo) != 0) {
    const std::wstring largo = Cp1252ParaUtf16(texto);
    ::WriteConsoleW(h, largo.data(), static_cast<DWORD>(largo.size()), &escritos, nullptr);
    return;
  }
  ::WriteFile(h, texto.data(), static_cast<DWORD>(texto.size()), &escritos, nullptr);
}

ResultadoSistema AbrirArquivoLog(const char* caminho, std::unique_ptr<ArquivoLog>* arquivo) {
  SECURITY_ATTRIBUTES nao_herdavel{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  HandleProprio h(::CreateFileW(Cp1252ParaUtf16(caminho).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &nao_herdavel,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valido()) return FalhouAgora();
  *arquivo = std::make_unique<jl::ArquivoLogWin32>(std::move(h));
  return {};
}

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  HMODULE m = ::LoadLibraryW(Cp1252ParaUtf16(caminho).c_str());
  if (m == nullptr) return FalhouAgora();
  *modulo = std::make_unique<BibliotecaWin32>(m);
  return {};
}

Processos& Processos::Padrao() {
  static jl::ProcessosWin32 processos;
  return processos;
}

}  // namespace plataforma

// ---------------------------------------------------------------------------
// Binding the imports of jvmlaunch.exe when a host loaded it as a module.
// Until the imports are bound no function of another module may be called,
// the C library's included: the code below walks the process's module list
// and the export table of kernel32 by hand.
// ---------------------------------------------------------------------------
#include <winternl.h>

extern "C" void _pei386_runtime_relocator();  // NOLINT(bugprone-reserved-identifier)

namespace plataforma {
namespace {
namespace jl {

using LoadLibraryAFuncao = HMODULE(WINAPI*)(LPCSTR);
using GetProcAddressFuncao = FARPROC(WINAPI*)(HMODULE, LPCSTR);

bool MesmoNome(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// True when the UTF-16 path ends with the ASCII name, ignoring case.
bool TerminaCom(const UNICODE_STRING& caminho, const char* nome) {
  std::size_t n = 0;
  while (nome[n] != '\0') ++n;
  const std::size_t total = caminho.Length / sizeof(wchar_t);
  if (caminho.Buffer == nullptr || total < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    wchar_t c = caminho.Buffer[total - n + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != static_cast<wchar_t>(nome[i])) return false;
  }
  return total == n || caminho.Buffer[total - n - 1] == L'\\' || caminho.Buffer[total - n - 1] == L'/';
}

const IMAGE_NT_HEADERS* Cabecalho(const void* base) {
  const auto* b = static_cast<const unsigned char*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(b + reinterpret_cast<const IMAGE_DOS_HEADER*>(b)->e_lfanew);
}

void* Exportada(void* modulo, const char* nome) {
  auto* b = static_cast<unsigned char*>(modulo);
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(b)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (d.VirtualAddress == 0) return nullptr;
  const auto* e = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(b + d.VirtualAddress);
  const auto* nomes = reinterpret_cast<const DWORD*>(b + e->AddressOfNames);
  const auto* ordinais = reinterpret_cast<const WORD*>(b + e->AddressOfNameOrdinals);
  const auto* funcoes = reinterpret_cast<const DWORD*>(b + e->AddressOfFunctions);
  for (DWORD i = 0; i < e->NumberOfNames; ++i)
    if (MesmoNome(reinterpret_cast<const char*>(b + nomes[i]), nome)) return b + funcoes[ordinais[i]];
  return nullptr;
}

void* Kernel32(const PEB* peb) {
  const LIST_ENTRY* cabeca = &peb->Ldr->InMemoryOrderModuleList;
  for (const LIST_ENTRY* l = cabeca->Flink; l != cabeca; l = l->Flink) {
    const auto* m = CONTAINING_RECORD(l, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    if (TerminaCom(m->FullDllName, "kernel32.dll")) return m->DllBase;
  }
  return nullptr;
}

// The module that holds this code, found by address: the linker's __ImageBase
// keeps the preferred base when the image is loaded elsewhere.
void* ModuloProprio(const PEB* peb) {
  const auto* aqui = reinterpret_cast<const unsigned char*>(&ModuloProprio);
  const LIST_ENTRY* cabeca = &peb->Ldr->InMemoryOrderModuleList;
  for (const LIST_ENTRY* l = cabeca->Flink; l != cabeca; l = l->Flink) {
    const auto* m = CONTAINING_RECORD(l, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    const auto* inicio = static_cast<const unsigned char*>(m->DllBase);
    if (inicio != nullptr && aqui >= inicio && aqui < inicio + Cabecalho(inicio)->OptionalHeader.SizeOfImage)
      return m->DllBase;
  }
  return nullptr;
}

using ProtegeFuncao = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

// An address that the base relocations keep up to date, when they are applied.
void* volatile const kEnderecoRelocado = reinterpret_cast<void*>(&ModuloProprio);

// Applies the base relocations when the loader mapped the image away from its
// preferred base without applying them (as Wine does for a program).
void Reloca(unsigned char* base, void* kernel32) {
  const std::intptr_t delta =
      reinterpret_cast<const unsigned char*>(&ModuloProprio) - static_cast<const unsigned char*>(kEnderecoRelocado);
  if (delta == 0) return;
  auto protege = reinterpret_cast<ProtegeFuncao>(Exportada(kernel32, "VirtualProtect"));
  const IMAGE_NT_HEADERS* nt = Cabecalho(base);
  const IMAGE_DATA_DIRECTORY& d = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  if (protege == nullptr || d.VirtualAddress == 0) return;
  DWORD antes = 0;
  protege(base, nt->OptionalHeader.SizeOfImage, PAGE_EXECUTE_READWRITE, &antes);
  const unsigned char* bloco = base + d.VirtualAddress;
  const unsigned char* fim = bloco + d.Size;
  while (bloco < fim) {
    const auto* b = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(bloco);
    if (b->SizeOfBlock < sizeof(IMAGE_BASE_RELOCATION)) break;
    const auto* item = reinterpret_cast<const WORD*>(b + 1);
    const std::size_t itens = (b->SizeOfBlock - sizeof(IMAGE_BASE_RELOCATION)) / sizeof(WORD);
    for (std::size_t i = 0; i < itens; ++i) {
      if ((item[i] >> 12) != IMAGE_REL_BASED_DIR64) continue;
      auto* alvo = reinterpret_cast<std::intptr_t*>(base + b->VirtualAddress + (item[i] & 0xFFF));
      *alvo += delta;
    }
    bloco += b->SizeOfBlock;
  }
  // Pages go back to what the sections ask for: code executable, data writable.
  const IMAGE_SECTION_HEADER* secao = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++secao) {
    const DWORD c = secao->Characteristics;
    const bool executa = (c & IMAGE_SCN_MEM_EXECUTE) != 0;
    const bool escreve = (c & IMAGE_SCN_MEM_WRITE) != 0;
    const DWORD modo =
        executa ? (escreve ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ) : (escreve ? PAGE_READWRITE : PAGE_READONLY);
    protege(base + secao->VirtualAddress, secao->Misc.VirtualSize, modo, &antes);
  }
}

void VinculaImportacoes() {
  const PEB* peb = NtCurrentTeb()->ProcessEnvironmentBlock;
  auto* base = static_cast<unsigned char*>(ModuloProprio(peb));
  if (base == nullptr || peb->Reserved3[1] == base) return;  // the process's own program: bound at its start
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (d.VirtualAddress == 0) return;
  void* kernel32 = Kernel32(peb);
  if (kernel32 == nullptr) return;
  auto carrega = reinterpret_cast<LoadLibraryAFuncao>(Exportada(kernel32, "LoadLibraryA"));
  auto procura = reinterpret_cast<GetProcAddressFuncao>(Exportada(kernel32, "GetProcAddress"));
  if (carrega == nullptr || procura == nullptr) return;
  Reloca(base, kernel32);
  bool vinculou = false;
  for (auto* i = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + d.VirtualAddress); i->Name != 0; ++i) {
    auto* tabela = reinterpret_cast<IMAGE_THUNK_DATA*>(base + i->FirstThunk);
    const auto* nomes = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (i->OriginalFirstThunk != 0 ? i->OriginalFirstThunk : i->FirstThunk));
    // An entry that still holds what the name table holds was never bound.
    if (tabela->u1.Function != nomes->u1.AddressOfData) continue;
    HMODULE m = carrega(reinterpret_cast<const char*>(base + i->Name));
    if (m == nullptr) continue;
    for (; nomes->u1.AddressOfData != 0; ++nomes, ++tabela) {
      const char* nome = IMAGE_SNAP_BY_ORDINAL(nomes->u1.Ordinal)
                             ? reinterpret_cast<const char*>(static_cast<ULONG_PTR>(IMAGE_ORDINAL(nomes->u1.Ordinal)))
                             : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + nomes->u1.AddressOfData)->Name;
      tabela->u1.Function = reinterpret_cast<ULONG_PTR>(procura(m, nome));
    }
    vinculou = true;
  }
  if (vinculou) _pei386_runtime_relocator();
}

constinit std::atomic<int> estado_modulo{0};  // 0 not yet, 1 binding, 2 done

}  // namespace jl
}  // namespace

void PreparaModuloCarregado() {
  int esperado = 0;
  if (jl::estado_modulo.load(std::memory_order_acquire) == 2) return;
  if (jl::estado_modulo.compare_exchange_strong(esperado, 1, std::memory_order_acq_rel)) {
    jl::VinculaImportacoes();
    jl::estado_modulo.store(2, std::memory_order_release);
    return;
  }
  while (jl::estado_modulo.load(std::memory_order_acquire) != 2) YieldProcessor();
}

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: its own path and command line, folders, the current folder and
// message boxes.
// ===========================================================================
namespace plataforma {

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

const char* SufixoPrograma() { return ".exe"; }

ResultadoSistema DefinirPastaAtual(const char* pasta) {
  if (::SetCurrentDirectoryW(Cp1252ParaUtf16(pasta).c_str()) == 0) return FalhouAgora();
  return {};
}

bool EhArquivo(const char* caminho) {
  const DWORD atributos = ::GetFileAttributesW(Cp1252ParaUtf16(caminho).c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ResultadoSistema ListarEntradas(const char* padrao, std::vector<EntradaPasta>* entradas) {
  entradas->clear();
  WIN32_FIND_DATAW dados{};
  const BuscaPropria busca(::FindFirstFileW(Cp1252ParaUtf16(padrao).c_str(), &dados));
  if (!busca.Valido()) {
    const DWORD erro = ::GetLastError();
    // The folder is there and nothing in it matches.
    if (erro == ERROR_FILE_NOT_FOUND || erro == ERROR_NO_MORE_FILES) return {};
    return Falhou(erro);
  }
  do {
    entradas->push_back({Utf16ParaCp1252(dados.cFileName), (dados.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(busca.get(), &dados) != 0);
  const DWORD erro = ::GetLastError();
  if (erro != ERROR_NO_MORE_FILES) return Falhou(erro);
  return {};
}

void MensagemAtencao(std::string_view titulo, std::string_view texto) {
  ::MessageBoxW(nullptr, Cp1252ParaUtf16(texto).c_str(), Cp1252ParaUtf16(titulo).c_str(),
                MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

}  // namespace plataforma

// ===========================================================================
// jvmlaunch: sockets, Windows Sockets 1.1.
// ===========================================================================
#include <winsock2.h>

namespace plataforma {
namespace {
namespace jl {

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

}  // namespace jl
}  // namespace

Rede& Rede::Padrao() {
  static jl::RedeWin32 rede;
  return rede;
}

}  // namespace plataforma
