// Files, folders, the lock file, message boxes and the progress window on
// Windows: Win32 files, MessageBox and a real progress window.
// windows.h comes before the headers that build on it.
// clang-format off
#include "platform/win32_comum.h"
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/ambiente.h"

namespace plataforma {

using win32::BuscaPropria;
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

  Status FecharTemporario() override {
    HandleProprio h = std::move(h_);
    h.Fecha();
    return Status::Ok();
  }

 private:
  HandleProprio h_;
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
    // A system colour plus one stands for its brush, as RegisterClass takes it.
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // NOLINT(performance-no-int-to-ptr)
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
        Status falha = UltimoErro();
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
    const std::wstring de = Utf8ParaUtf16(origem);
    const std::wstring para = Utf8ParaUtf16(destino);
    // A file cannot be replaced while it is open: another run reads its
    // param.txt before it waits for the folder's lock, and a program that
    // looks at the results or a virus scanner opens them too, each for a
    // moment. The rename is tried again for half a second before it fails.
    constexpr int kTentativas = 20;
    constexpr DWORD kEsperaMs = 25;
    for (int tentativa = 1;; ++tentativa) {
      if (::MoveFileExW(de.c_str(), para.c_str(), MOVEFILE_REPLACE_EXISTING)) return Status::Ok();
      const DWORD erro = ::GetLastError();
      if ((erro != ERROR_SHARING_VIOLATION && erro != ERROR_ACCESS_DENIED) || tentativa == kTentativas)
        return ErroSistema(erro);
      ::Sleep(kEsperaMs);
    }
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
    return win32::CarregaBiblioteca(Utf8ParaUtf16(nome + ".dll"), biblioteca);
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
          if (Status s = CriarEscrita(caminho, &novo); !s.ok()) return s;
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

}  // namespace

Ambiente& Ambiente::Padrao() {
  static AmbienteWin32 ambiente;
  return ambiente;
}

char Ambiente::Separador() { return '\\'; }

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

bool EhArquivo(const char* caminho) {
  const DWORD atributos = ::GetFileAttributesW(Cp1252ParaUtf16(caminho).c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) == 0;
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

ResultadoSistema AbrirArquivoLog(const char* caminho, std::unique_ptr<ArquivoLog>* arquivo) {
  SECURITY_ATTRIBUTES nao_herdavel{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
  HandleProprio h(::CreateFileW(Cp1252ParaUtf16(caminho).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &nao_herdavel,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valido()) return FalhouAgora();
  *arquivo = std::make_unique<ArquivoLogWin32>(std::move(h));
  return {};
}

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

ResultadoSistema LerEntradaPadrao(char* dados, std::size_t n, std::size_t* lidos) {
  *lidos = 0;
  HANDLE h = ::GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return {};
  DWORD lido = 0;
  if (::ReadFile(h, dados, static_cast<DWORD>(std::min<std::size_t>(n, 1U << 30)), &lido, nullptr) == 0) {
    const DWORD erro = ::GetLastError();
    // The writer of a pipe has closed it: the end of the input.
    if (erro == ERROR_BROKEN_PIPE || erro == ERROR_HANDLE_EOF) return {};
    return Falhou(erro);
  }
  *lidos = lido;
  return {};
}

ResultadoSistema EscreverSaidaPadrao(std::string_view bytes) {
  HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return {};
  while (!bytes.empty()) {
    DWORD escritos = 0;
    if (::WriteFile(h, bytes.data(), static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30)), &escritos,
                    nullptr) == 0)
      return FalhouAgora();
    bytes.remove_prefix(escritos);
  }
  return {};
}

bool ErroPadraoEhTerminal() {
  DWORD modo = 0;
  HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
  return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &modo) != 0;
}

void MensagemAtencao(std::string_view titulo, std::string_view texto) {
  ::MessageBoxW(nullptr, Cp1252ParaUtf16(texto).c_str(), Cp1252ParaUtf16(titulo).c_str(),
                MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

}  // namespace plataforma
