// Helpers of the platform's contract tests.
#include "contrato.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

namespace contrato {

Pasta::Pasta(const std::string& nome) {
  static std::atomic<int> serie{0};
  const auto pasta =
      std::filesystem::temp_directory_path() /
      ("plataforma_" + nome + "_" + std::to_string(plataforma::IdProcessoAtual()) + "_" + std::to_string(++serie));
  std::filesystem::remove_all(pasta);
  std::filesystem::create_directories(pasta);
  caminho_ = pasta.string();
}

Pasta::~Pasta() {
  std::error_code erro;
  std::filesystem::remove_all(caminho_, erro);
}

std::string Pasta::operator/(std::string_view nome) const {
  std::string caminho = caminho_ + plataforma::Ambiente::Separador();
  for (const char c : nome) caminho.push_back(c == '/' ? plataforma::Ambiente::Separador() : c);
  return caminho;
}

bool Existe(const std::string& caminho) {
  std::error_code erro;
  return std::filesystem::exists(std::filesystem::symlink_status(caminho, erro));
}

std::string Le(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void Grava(const std::string& caminho, std::string_view conteudo) {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
}

std::string LinhaFilho(const std::string& argumentos) {
  std::string programa;
  const plataforma::ResultadoSistema r = plataforma::CaminhoProprio(&programa);
  EXPECT_TRUE(r.ok) << r.texto;
  return "\"" + programa + "\" " + std::string(kModoFilho) + " " + argumentos;
}

Saidas ExecutaFilho(const std::string& argumentos) {
  plataforma::Processos& processos = plataforma::Processos::Padrao();
  std::unique_ptr<plataforma::Canal> canais[2];
  Saidas saidas;
  if (!processos.CriarCanal(&canais[0]).ok || !processos.CriarCanal(&canais[1]).ok) {
    ADD_FAILURE() << "no pipes";
    return saidas;
  }
  if (!processos.IniciarOculto(LinhaFilho(argumentos), *canais[0], *canais[1]).ok) return saidas;
  saidas.iniciou = true;
  // The child holds the write ends now: each stream ends when it ends.
  canais[0]->FecharEscrita();
  canais[1]->FecharEscrita();
  std::string* destinos[2] = {&saidas.saida, &saidas.erro};
  while (canais[0]->LeituraAberta() || canais[1]->LeituraAberta()) {
    int pronto = -1;
    const plataforma::ResultadoSistema espera = processos.AguardarCanais(*canais[0], *canais[1], &pronto);
    if (!espera.ok || (pronto != 0 && pronto != 1)) {
      ADD_FAILURE() << "the wait failed: " << espera.texto;
      break;
    }
    char dados[4096];
    std::size_t lidos = 0;
    const plataforma::ResultadoSistema leitura = canais[pronto]->Ler(dados, sizeof dados, &lidos);
    if (!leitura.ok) ADD_FAILURE() << "a read failed: " << leitura.texto;
    if (!leitura.ok || lidos == 0) {
      canais[pronto]->FecharLeitura();
      continue;
    }
    destinos[pronto]->append(dados, lidos);
  }
  return saidas;
}

}  // namespace contrato
