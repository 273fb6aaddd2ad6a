// The collection loop of ExecutarComando: one wait covers both read ends,
// standard error is served first when both have data, and a stream is read
// to its end even after its buffer is full.
#include "jvmlaunch/launcher/executar.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "jvmlaunch/log/log.h"

namespace jvmlaunch {

namespace {

// One output stream of the child and the caller's buffer for it.
struct Fluxo {
  plataforma::Canal* canal = nullptr;
  char* buffer = nullptr;
  std::size_t capacidade = 0;  // bytes that may be stored, the final 0 not counted
  std::size_t guardados = 0;
  const char* nome = nullptr;  // for "leu %d bytes da ..."
  const char* falha_leitura = nullptr;
};

void Le(Fluxo& f) {
  plataforma::Canal& canal = *f.canal;
  std::size_t lidos = 0;
  plataforma::ResultadoSistema r;
  const std::size_t espaco = f.capacidade - f.guardados;
  if (espaco > 0) {
    char* destino = f.buffer + f.guardados;
    r = canal.Ler(destino, espaco, &lidos);
    if (r.ok && lidos > 0) {
      GravaLog(7, "    leu %d bytes da %s\n", static_cast<int>(lidos), f.nome);
      GravaLogHex(7, destino, lidos);
      f.guardados += lidos;
      f.buffer[f.guardados] = '\0';
    }
  } else {
    char descarte[4096];
    r = canal.Ler(descarte, sizeof descarte, &lidos);
  }
  if (!r.ok) {
    GravaLog(0, f.falha_leitura, static_cast<int>(canal.IdLeitura()), static_cast<int>(r.codigo), r.texto.c_str());
    canal.FecharLeitura();
  } else if (lidos == 0) {
    canal.FecharLeitura();
  }
}

std::int32_t Retorna(std::int32_t resultado) {
  GravaLog(3, "retorno ExecutarComando: %d\n", resultado);
  return resultado;
}

std::size_t Capacidade(char* buffer, int capacidade) {
  if (buffer == nullptr || capacidade < 1) return 0;
  buffer[0] = '\0';
  return static_cast<std::size_t>(capacidade) - 1;
}

}  // namespace

std::int32_t ExecutarComando(const char* comando, char* saida, int capacidade_saida, char* erro, int capacidade_erro) {
  return ExecutarComando(plataforma::Processos::Padrao(), comando, saida, capacidade_saida, erro, capacidade_erro);
}

std::int32_t ExecutarComando(plataforma::Processos& processos, const char* comando, char* saida, int capacidade_saida,
                             char* erro, int capacidade_erro) {
  GravaLog(3, "ExecutarComando(%s, %x, %d, %x, %d)\n", comando,
           static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(saida)), capacidade_saida,
           static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(erro)), capacidade_erro);
  std::unique_ptr<plataforma::Canal> canal_saida;
  std::unique_ptr<plataforma::Canal> canal_erro;
  if (!processos.CriarCanal(&canal_saida).ok) {
    GravaLog(0, "E#C6700: Nao conseguiu criar pipe de saida.\n");
    return Retorna(-1);
  }
  if (!processos.CriarCanal(&canal_erro).ok) {
    GravaLog(0, "E#C6701: Nao conseguiu criar pipe de saida.\n");
    return Retorna(-1);
  }

  // The child inherits PATH as the parent has it, whatever its length. The
  // variable is set to the value it already has: should that fail (only for
  // want of memory), PATH stays as it is and the child inherits it all the same.
  std::string path;
  if (plataforma::LerVariavel("PATH", &path)) (void)plataforma::DefinirVariavel("PATH", path.c_str());

  GravaLog(3, "  executando: %s\n", comando);
  const plataforma::ResultadoSistema r = processos.IniciarOculto(comando, *canal_saida, *canal_erro);
  if (!r.ok) {
    GravaLog(0, "E#C6702: Falhou CreateProcess() com erro: %d\n%s\n", static_cast<int>(r.codigo), r.texto.c_str());
    return Retorna(-1);
  }
  GravaLog(3, "  fechando %d\n", static_cast<int>(canal_saida->IdEscrita()));
  canal_saida->FecharEscrita();
  canal_erro->FecharEscrita();

  Fluxo fluxos[2] = {
      {canal_erro.get(), erro, Capacidade(erro, capacidade_erro), 0, "STDERR",
       "E#C6703: Falhou ReadFile(%d) com erro: %d\n%s\n"},
      {canal_saida.get(), saida, Capacidade(saida, capacidade_saida), 0, "STDOUT",
       "E#C6704: Falhou ReadFile(%d) com erro: %d\n%s\n"},
  };
  while (canal_erro->LeituraAberta() || canal_saida->LeituraAberta()) {
    int pronto = 0;
    const plataforma::ResultadoSistema espera = processos.AguardarCanais(*canal_erro, *canal_saida, &pronto);
    if (!espera.ok) {
      // The wait itself failed: give up the first stream still open, so the
      // loop always ends.
      Fluxo& f = canal_erro->LeituraAberta() ? fluxos[0] : fluxos[1];
      GravaLog(0, f.falha_leitura, static_cast<int>(f.canal->IdLeitura()), static_cast<int>(espera.codigo),
               espera.texto.c_str());
      f.canal->FecharLeitura();
      continue;
    }
    Le(fluxos[pronto]);
  }
  return Retorna(static_cast<std::int32_t>(fluxos[0].guardados + fluxos[1].guardados));
}

std::string ComoPrograma(std::string_view caminho) {
  if (caminho.starts_with('"') || caminho.find_first_of(" \t") == std::string_view::npos) return std::string(caminho);
  return "\"" + std::string(caminho) + "\"";
}

std::string ComoArgumento(std::string_view texto) {
  if (!texto.empty() && texto.find_first_of(" \t\"") == std::string_view::npos) return std::string(texto);
  std::string arg = "\"";
  std::size_t barras = 0;
  for (const char c : texto) {
    if (c == '\\') {
      ++barras;
      continue;
    }
    // Backslashes before a double quote are doubled, and the quote escaped.
    arg.append(c == '"' ? 2 * barras + 1 : barras, '\\');
    barras = 0;
    arg.push_back(c);
  }
  arg.append(2 * barras, '\\');
  arg.push_back('"');
  return arg;
}

}  // namespace jvmlaunch
