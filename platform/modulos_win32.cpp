// Modules on Windows: libraries and programs loaded with LoadLibrary. The
// preparation of this program's own image when a host loaded it is the
// loader's, in carregador_win32.cpp.
#include <memory>
#include <string>

#include "platform/ambiente.h"
#include "platform/win32_comum.h"

namespace plataforma {

using win32::Cp1252ParaUtf16;
using win32::FalhouAgora;
using win32::UltimoErro;

namespace {

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

}  // namespace

namespace win32 {

Status CarregaBiblioteca(const std::wstring& nome, std::unique_ptr<Biblioteca>* biblioteca) {
  HMODULE m = ::LoadLibraryW(nome.c_str());
  if (m == nullptr) return UltimoErro();
  *biblioteca = std::make_unique<BibliotecaWin32>(m);
  return Status::Ok();
}

}  // namespace win32

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  HMODULE m = ::LoadLibraryW(Cp1252ParaUtf16(caminho).c_str());
  if (m == nullptr) return FalhouAgora();
  *modulo = std::make_unique<BibliotecaWin32>(m);
  return {};
}

}  // namespace plataforma
