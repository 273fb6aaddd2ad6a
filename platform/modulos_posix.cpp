// Modules on POSIX systems: shared libraries loaded with dlopen. The dynamic
// loader binds every module it loads, so nothing is left to prepare.
#include <dlfcn.h>

#include <cerrno>
#include <memory>
#include <string>

#include "common/cp1252.h"
#include "platform/ambiente.h"
#include "platform/posix_comum.h"

namespace plataforma {

namespace {

class BibliotecaPosix final : public Biblioteca {
 public:
  explicit BibliotecaPosix(void* handle) : handle_(handle) {}
  ~BibliotecaPosix() override { ::dlclose(handle_); }

  Status Funcao(const std::string& nome, EnderecoFuncao* endereco) override {
    void* simbolo = ::dlsym(handle_, nome.c_str());
    if (simbolo == nullptr) return Status::Erro(Falha::kNaoEncontrado, "function " + nome + " not found");
    *endereco = reinterpret_cast<EnderecoFuncao>(simbolo);  // NOLINT: dlsym's contract
    return Status::Ok();
  }

 private:
  void* handle_;
};

}  // namespace

namespace posix {

Status CarregaBiblioteca(const std::string& caminho, std::unique_ptr<Biblioteca>* biblioteca) {
  void* handle = ::dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return Status::Erro(Falha::kNaoEncontrado, ::dlerror());
  *biblioteca = std::make_unique<BibliotecaPosix>(handle);
  return Status::Ok();
}

}  // namespace posix

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  void* h = ::dlopen(cp1252::ParaUtf8(caminho).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (h == nullptr) {
    ResultadoSistema r;
    r.ok = false;
    r.codigo = ENOENT;
    r.texto = cp1252::DeUtf8(::dlerror());
    return r;
  }
  *modulo = std::make_unique<BibliotecaPosix>(h);
  return {};
}

// A shared library is always bound by the dynamic loader.
void PreparaModuloCarregado() {}

}  // namespace plataforma
