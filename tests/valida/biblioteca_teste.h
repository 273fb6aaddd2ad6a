// A stand-in for the registration library in unit tests: it accepts every
// registration but those the test refuses, and remembers what it was asked.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ambiente.h"

namespace valida::teste {

// The library itself, for an environment of the tests to hand out. Runs on
// other threads may call it at once.
class BibliotecaDeInscricoes : public plataforma::Biblioteca {
 public:
  // Registrations (as passed, trailing blanks included) the library refuses.
  static inline std::set<std::string> recusadas;
  static inline std::mutex trava;
  // Every call: the registration and the UF.
  static inline std::vector<std::pair<std::string, std::string>> chamadas;

  plataforma::Status Funcao(const std::string& /*nome*/, plataforma::EnderecoFuncao* endereco) override {
    *endereco = reinterpret_cast<plataforma::EnderecoFuncao>(&Consiste);  // NOLINT: an exported function
    return plataforma::Status::Ok();
  }

 private:
  static std::int16_t PLATAFORMA_STDCALL Consiste(const char* inscricao, const char* uf) {
    const std::lock_guard<std::mutex> guarda(trava);
    chamadas.emplace_back(inscricao, uf);
    return recusadas.count(inscricao) > 0 ? 1 : 0;
  }
};

// An environment whose registration library is the stand-in, fresh for each
// test.
class InscricoesDeTeste : public plataforma::AmbienteIntermediario {
 public:
  InscricoesDeTeste() : AmbienteIntermediario(plataforma::Ambiente::Padrao()) {
    BibliotecaDeInscricoes::recusadas.clear();
    BibliotecaDeInscricoes::chamadas.clear();
  }

  plataforma::Status CarregarBiblioteca(const std::string& /*nome*/,
                                        std::unique_ptr<plataforma::Biblioteca>* biblioteca) override {
    *biblioteca = std::make_unique<BibliotecaDeInscricoes>();
    return plataforma::Status::Ok();
  }

  std::set<std::string>& recusadas = BibliotecaDeInscricoes::recusadas;
  const std::vector<std::pair<std::string, std::string>>& chamadas = BibliotecaDeInscricoes::chamadas;
};

}  // namespace valida::teste
