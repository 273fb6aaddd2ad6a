// Ambiente on Windows: Win32 files, LoadLibrary, MessageBox and a real
// progress window. windows.h is included here and nowhere else.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/cp1252.h"
#include "platform/ambiente.h"

namespace plataforma {

namespace {

std::wstring Largo(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring largo(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), largo.data(), n);
  return largo;
}

std::string Estreito(std::wstring_view largo) {
  if (largo.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, largo.data(), static_cast<int>(largo.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, largo.data(), static_cast<int>(largo.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::wstring LargoCp1252(std::string_view texto) {
  const std::u16string u16 = cp1252::ParaUtf16(texto);
  return {u16.begin(), u16.end()};
}

Falha FalhaDe(DWORD erro) {
  switch (erro) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_MOD_NOT_FOUND:
    case ERROR_PROC_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return Falha::kNaoEncontrado;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NETPATH:
      return Falha::kDispositivoIndisponivel;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NOT_ENOUGH_QUOTA:
      return Falha::kDiscoCheio;
    default:
      return Falha::kOutra;
  }
}

Status ErroSistema(DWORD erro) {
  wchar_t* texto = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   erro, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
  std::string mensagem = texto != nullptr ? Estreito(texto) : "error " + std::to_string(erro);
  if (texto != nullptr) ::LocalFree(texto);
  while (!mensagem.empty() && (mensagem.back() == '\n' || mensagem.back() == '\r' || mensagem.back() == ' '))
    mensagem.pop_back();
  return Status::Erro(FalhaDe(erro), mensagem);
}

Status UltimoErro() { return ErroSistema(::GetLastError()); }

class LeituraWin32 final : public ArquivoLeitura {
 public:
  explicit LeituraWin32(HANDLE h) : h_(h) {}
  ~LeituraWin32() override { ::CloseHandle(h_); }

  Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    DWORD r = 0;
    const DWORD pedido = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    if (!::ReadFile(h_, buf, pedido, &r, nullptr)) {
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
    if (!::GetFileSizeEx(h_, &t)) return UltimoErro();
    *bytes = static_cast<std::uint64_t>(t.QuadPart);
    return Status::Ok();
  }

 private:
  HANDLE h_;
};

class EscritaWin32 final : public ArquivoEscrita {
 public:
  explicit EscritaWin32(HANDLE h) : h_(h) {}
  ~EscritaWin32() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }

  Status Escrever(std::string_view texto) override {
    while (!texto.empty()) {
      DWORD escritos = 0;
      const DWORD pedido = texto.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(texto.size());
      if (!::WriteFile(h_, texto.data(), pedido, &escritos, nullptr)) return UltimoErro();
      if (escritos == 0) return ErroSistema(ERROR_DISK_FULL);
      texto.remove_prefix(escritos);
    }
    return Status::Ok();
  }

  Status Fechar() override {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    const bool descarregou = ::FlushFileBuffers(h) != 0;
    const DWORD erro = descarregou ? 0 : ::GetLastError();
    ::CloseHandle(h);
    if (!descarregou && erro != ERROR_INVALID_HANDLE && erro != ERROR_INVALID_FUNCTION) return ErroSistema(erro);
    return Status::Ok();
  }

 private:
  HANDLE h_;
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
    const DWORD estilo = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
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
    Atualiza();
  }
  ~JanelaWin32() override { Fecha(); }

  void DefineProgresso(int valor) override {
    if (ProgressBar1_ != nullptr) ::SendMessageW(ProgressBar1_, PBM_SETPOS, static_cast<WPARAM>(valor), 0);
  }
  void DefineContribuinte(std::string_view texto) override { DefineTexto(contrib_, texto); }
  void DefineVersao(std::string_view texto) override { DefineTexto(ver_, texto); }

  void Atualiza() override {
    if (form_ == nullptr) return;
    ::RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
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

  static void DefineTexto(HWND controle, std::string_view texto) {
    if (controle != nullptr) ::SetWindowTextW(controle, LargoCp1252(texto).c_str());
  }

  HWND form_ = nullptr;
  HWND ProgressBar1_ = nullptr;
  HWND Label2_ = nullptr;
  HWND contrib_ = nullptr;
  HWND ver_ = nullptr;
};

class AmbienteWin32 final : public Ambiente {
 public:
  std::string PastaPrograma() override {
    std::wstring caminho(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = ::GetModuleFileNameW(nullptr, caminho.data(), static_cast<DWORD>(caminho.size()));
      if (n < caminho.size()) {
        caminho.resize(n);
        break;
      }
      caminho.resize(caminho.size() * 2);
    }
    const auto barra = caminho.find_last_of(L"\\/");
    return Estreito(barra == std::wstring::npos ? L"." : caminho.substr(0, barra));
  }

  Status AbrirLeitura(const std::string& caminho, std::unique_ptr<ArquivoLeitura>* arquivo) override {
    HANDLE h = ::CreateFileW(Largo(caminho).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return UltimoErro();
    *arquivo = std::make_unique<LeituraWin32>(h);
    return Status::Ok();
  }

  Status CriarEscrita(const std::string& caminho, std::unique_ptr<ArquivoEscrita>* arquivo) override {
    HANDLE h = ::CreateFileW(Largo(caminho).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return UltimoErro();
    *arquivo = std::make_unique<EscritaWin32>(h);
    return Status::Ok();
  }

  Status Renomear(const std::string& origem, const std::string& destino) override {
    if (!::MoveFileExW(Largo(origem).c_str(), Largo(destino).c_str(), MOVEFILE_REPLACE_EXISTING)) return UltimoErro();
    return Status::Ok();
  }

  Status Apagar(const std::string& caminho) override {
    if (!::DeleteFileW(Largo(caminho).c_str())) {
      const DWORD erro = ::GetLastError();
      if (erro != ERROR_FILE_NOT_FOUND && erro != ERROR_PATH_NOT_FOUND) return ErroSistema(erro);
    }
    return Status::Ok();
  }

  Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<Biblioteca>* biblioteca) override {
    // By name, as the system searches for it: the program's folder comes first.
    HMODULE m = ::LoadLibraryW(Largo(nome + ".dll").c_str());
    if (m == nullptr) return UltimoErro();
    *biblioteca = std::make_unique<BibliotecaWin32>(m);
    return Status::Ok();
  }

  void MensagemAviso(std::string_view titulo, std::string_view texto) override {
    ::MessageBoxW(nullptr, LargoCp1252(texto).c_str(), LargoCp1252(titulo).c_str(), MB_OK | MB_TASKMODAL);
  }

  std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() override { return std::make_unique<JanelaWin32>(); }
};

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbienteWin32 ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '\\'; }

}  // namespace plataforma
