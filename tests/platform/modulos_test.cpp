// The contract of the platform's modules, as platform/ambiente.h states it:
// a module loaded by its name or path and its functions found by name, a
// library of the project that is not there, and the preparation of the
// running program's own image; POSIX natively, Win32 under Wine.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contrato.h"
#include "platform/ambiente.h"

namespace contrato {
namespace {

using plataforma::Falha;

#ifdef _WIN32
constexpr const char* kModuloDoSistema = "kernel32.dll";
constexpr const char* kFuncaoDoSistema = "GetCurrentProcessId";
// A library of the system as a library of the project would be named.
constexpr const char* kBaseDoSistema = "kernel32";
#else
constexpr const char* kModuloDoSistema = "libc.so.6";
constexpr const char* kFuncaoDoSistema = "getpid";
constexpr const char* kBaseDoSistema = "c";
#endif

TEST(Modulos, AModuleIsLoadedByNameAndItsFunctionsFoundByName) {
  std::unique_ptr<plataforma::Biblioteca> modulo;
  const plataforma::ResultadoSistema r = plataforma::CarregarModulo(kModuloDoSistema, &modulo);
  ASSERT_TRUE(r.ok) << r.texto;
  const struct {
    const char* regra;
    const char* nome;
    Falha esperada;
  } casos[] = {
      {"a function the module exports", kFuncaoDoSistema, Falha::kNenhuma},
      {"a function it does not export is not found", "FuncaoQueNaoHa", Falha::kNaoEncontrado},
      {"names are exact", "", Falha::kNaoEncontrado},
  };
  for (const auto& c : casos) {
    plataforma::EnderecoFuncao endereco = nullptr;
    const plataforma::Status s = modulo->Funcao(c.nome, &endereco);
    EXPECT_EQ(s.falha(), c.esperada) << c.regra << ": " << s.mensagem();
    EXPECT_EQ(endereco != nullptr, s.ok()) << c.regra;
  }
}

TEST(Modulos, AModuleThatIsNotThereFailsWithTheSystemsText) {
  const Pasta pasta("modulos");
  Grava(pasta / "falso.dll", "not a module");
  for (const std::string& caminho : {pasta / "nada.dll", pasta / "falso.dll"}) {
    std::unique_ptr<plataforma::Biblioteca> modulo;
    const plataforma::ResultadoSistema r = plataforma::CarregarModulo(caminho.c_str(), &modulo);
    EXPECT_FALSE(r.ok) << caminho;
    EXPECT_NE(r.codigo, 0) << caminho;
    EXPECT_FALSE(r.texto.empty()) << caminho;
  }
}

TEST(Modulos, ALibraryOfTheProjectThatIsNotThereIsNotFound) {
  const struct {
    const char* regra;
    std::string nome;
  } casos[] = {
      {"a name that no file in the program's folder bears", "BibliotecaQueNaoHa"},
      // Cut at the NUL the name would be the system's own library.
      {"a name holding a NUL byte", kBaseDoSistema + std::string("\0x", 2)},
  };
  for (const auto& c : casos) {
    std::unique_ptr<plataforma::Biblioteca> biblioteca;
    const plataforma::Status s = plataforma::Ambiente::Padrao().CarregarBiblioteca(c.nome, &biblioteca);
    EXPECT_EQ(s.falha(), Falha::kNaoEncontrado) << c.regra << ": " << s.mensagem();
  }
}

TEST(Modulos, TheRunningProgramNeedsNoPreparation) {
  // The process's own program was bound at its start: nothing is done, as
  // often as it is asked.
  plataforma::PreparaModuloCarregado();
  plataforma::PreparaModuloCarregado();
  std::unique_ptr<plataforma::Biblioteca> modulo;
  EXPECT_TRUE(plataforma::CarregarModulo(kModuloDoSistema, &modulo).ok);
}

}  // namespace
}  // namespace contrato
