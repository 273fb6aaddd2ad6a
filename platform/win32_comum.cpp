// The conversions, error texts and the program's path that the Win32 files
// of the platform share.
#include "platform/win32_comum.h"

#include <memory>
#include <string>

#include "common/cp1252.h"

namespace plataforma::win32 {

std::wstring Utf8ParaUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring utf16(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), utf16.data(), n);
  return utf16;
}

std::string Utf16ParaUtf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::wstring Cp1252ParaUtf16(std::string_view cp1252) {
  const std::u16string utf16 = cp1252::ParaUtf16(cp1252);
  return {utf16.begin(), utf16.end()};
}

std::string Utf16ParaCp1252(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  constexpr UINT kCp1252 = 1252;
  const int n =
      ::WideCharToMultiByte(kCp1252, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, "?", nullptr);
  std::string texto(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(kCp1252, 0, utf16.data(), static_cast<int>(utf16.size()), texto.data(), n, "?", nullptr);
  return texto;
}

namespace {

struct LiberaLocal {
  void operator()(wchar_t* texto) const { ::LocalFree(texto); }
};

// The system's text for the code without its trailing line end; empty when
// the system has none.
std::wstring TextoDoErro(DWORD erro) {
  wchar_t* lido = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   erro, 0, reinterpret_cast<wchar_t*>(&lido), 0, nullptr);
  const std::unique_ptr<wchar_t, LiberaLocal> dono(lido);
  std::wstring texto = lido != nullptr ? lido : L"";
  while (!texto.empty() && (texto.back() == L'\n' || texto.back() == L'\r' || texto.back() == L' ')) texto.pop_back();
  return texto;
}

}  // namespace

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
  const std::wstring texto = TextoDoErro(erro);
  return Status::Erro(FalhaDe(erro), texto.empty() ? "error " + std::to_string(erro) : Utf16ParaUtf8(texto));
}

Status UltimoErro() { return ErroSistema(::GetLastError()); }

ResultadoSistema Falhou(DWORD erro) {
  const std::wstring texto = TextoDoErro(erro);
  ResultadoSistema r;
  r.ok = false;
  r.codigo = static_cast<long>(erro);
  r.texto = texto.empty() ? "erro " + std::to_string(erro) : Utf16ParaCp1252(texto);
  return r;
}

ResultadoSistema FalhouAgora() { return Falhou(::GetLastError()); }

DWORD CaminhoDoPrograma(std::wstring* caminho) {
  // No path of the system is longer: a buffer this long that is still cut
  // means the system cannot tell.
  constexpr std::size_t kMaiorCaminho = 0x10000;
  std::wstring lido(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, lido.data(), static_cast<DWORD>(lido.size()));
    if (n == 0) return ::GetLastError();
    // A result that fills the buffer was cut: read it again into a larger one.
    if (n < lido.size()) {
      lido.resize(n);
      break;
    }
    if (lido.size() >= kMaiorCaminho) return ERROR_INSUFFICIENT_BUFFER;
    lido.resize(lido.size() * 2);
  }
  *caminho = std::move(lido);
  return 0;
}

}  // namespace plataforma::win32
