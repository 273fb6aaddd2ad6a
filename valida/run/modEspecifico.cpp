// Main: one validation run, from "param.txt" to the report, with the run's
// one failure handler.
#include "valida/run/modEspecifico.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "valida/checks/erros.h"
#include "valida/output/saida.h"
#include "valida/run/execucao.h"
#include "valida/run/linhas.h"
#include "valida/run/texto.h"
#include "valida/validators/tipos.h"

namespace valida {

namespace {

constexpr std::string_view kTituloAviso = "AVISO";

// The first line of "param.txt" is read no further than this: a longer one
// is a failure, and memory stays bounded whatever the file is.
constexpr std::size_t kMaiorLinhaParametros = 64 * 1024;

// The first line of "param.txt": it ends at the first CR or LF, and the rest
// of the file is never read.
std::string LePrimeiraLinha(Execucao& run, const std::string& caminho) {
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo;
  Exige(run.ambiente.AbrirLeitura(caminho, &arquivo), caminho);
  // Room at once for a line of every parameter (388 columns); a longer one
  // grows as it is read.
  constexpr std::size_t kLinhaUsual = 512;
  std::string linha;
  linha.reserve(kLinhaUsual);
  char buffer[4096];
  for (;;) {
    std::size_t lidos = 0;
    Exige(arquivo->Ler(buffer, sizeof buffer, &lidos), caminho);
    if (lidos == 0) return linha;
    const std::string_view pedaco(buffer, lidos);
    // One search for each end rather than a test of every byte against both.
    const auto fim = std::min(pedaco.find('\r'), pedaco.find('\n'));
    linha += pedaco.substr(0, fim);
    if (linha.size() > kMaiorLinhaParametros)
      Exige(plataforma::Status::Erro(plataforma::Falha::kOutra, "the first line is longer than " +
                                                                    std::to_string(kMaiorLinhaParametros) + " bytes"),
            caminho);
    if (fim != std::string_view::npos) return linha;
  }
}

// round(100 x position / (L - record length)), never above 100; a divisor of
// zero or less shows a full bar.
int Progresso(std::uint64_t posicao, std::uint64_t tamanho, int registro) {
  const auto divisor = static_cast<double>(tamanho) - registro;
  if (divisor <= 0) return 100;
  return static_cast<int>(std::min(100.0, std::round(100.0 * static_cast<double>(posicao) / divisor)));
}

// Steps 6 to 11: the declaration file from its opening to the closing of its
// last declaration.
void ValidaArquivo(Execucao& run) {
  const TipoDeclaracao& tipo = TipoDe(run.parametros.TipoDocumento);
  if (tipo.CriaEstado != nullptr) run.estado_validador = tipo.CriaEstado();
  // The padding blanks are not part of the path; the path is cp1252 text.
  const std::string caminho = cp1252::ParaUtf8(Apara(run.parametros.ArquivoDeclaracao));
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo;
  Exige(run.ambiente.AbrirLeitura(caminho, &arquivo), caminho);

  run.TamanhoRegistro = tipo.registro;
  std::uint64_t tamanho = 0;
  Exige(arquivo->Tamanho(&tamanho), caminho);
  const bool tamanho_correto =
      !tipo.testa_tamanho || (tamanho > 0 && tamanho % static_cast<std::uint64_t>(run.TamanhoRegistro + 2) == 0);

  if (!tamanho_correto) {
    RegistraErroGIA(run, 21, 0, 0);
  } else {
    LeitorLinhas leitor(*arquivo, caminho, static_cast<std::size_t>(tipo.maior_registro));
    bool cortado = false;
    while (leitor.Proxima()) {
      run.LinhaAtual = leitor.Texto();
      ++run.NumeroLinha;
      if (tipo.TamanhoPorTipo != nullptr) tipo.TamanhoPorTipo(run, leitor.Comprimento());
      if (run.janela != nullptr) run.janela->DefineProgresso(Progresso(leitor.Posicao(), tamanho, run.TamanhoRegistro));
      if (leitor.Comprimento() != static_cast<std::uint64_t>(run.TamanhoRegistro)) {
        RegistraErroGIA(run, 21, 0, 0);
        cortado = true;
        break;
      }
      if (!tipo.Cabecalho(run)) {
        cortado = true;
        break;
      }
      if (run.janela != nullptr) {
        run.janela->Atualiza();
        run.janela->DefineVersao(tipo.legenda);
      }
      tipo.Valida(run, run.LinhaAtual);
    }
    run.LinhaAtual = {};  // the reader's text ends with it
    // A file cut short while it was read is not the file whose size passed.
    if (!cortado && tipo.testa_tamanho && leitor.Posicao() != tamanho) RegistraErroGIA(run, 21, 0, 0);
  }

  // End of the file.
  if (run.LinhaRecibo.size() > 1) run.ListaRecibo.EscreveLinha(run.LinhaRecibo);
  if (tipo.FechaUltima != nullptr) tipo.FechaUltima(run);
}

void FechaListas(Execucao& run) {
  run.ListaErros.Fecha();
  run.ListaRecibo.Fecha();
}

void Aviso(Execucao& run, std::string_view texto) { run.ambiente.MensagemAviso(kTituloAviso, texto); }

// A failure that the table does not name: its file and the system's text.
std::string TextoFalha(const std::string& arquivo, const plataforma::Status& status) {
  return std::string("Erro no arquivo "_cp) + cp1252::DeUtf8(arquivo) + ": " + cp1252::DeUtf8(status.mensagem());
}

void AvisoFalha(Execucao& run, const FalhaExecucao& falha) { Aviso(run, TextoFalha(falha.arquivo(), falha.status())); }

// A failure that is not the platform's (memory exhausted, above all) names
// the file that the stage of the run handles.
FalhaExecucao FalhaDaEtapa(const Execucao& run, std::string mensagem) {
  const std::string arquivo =
      run.EtapaExecucao == "GIA" ? cp1252::ParaUtf8(Apara(run.parametros.ArquivoDeclaracao)) : run.caminhos.Parametros;
  return {plataforma::Status::Erro(plataforma::Falha::kOutra, std::move(mensagem)), arquivo};
}

void AvisoDiscoCheio(Execucao& run) { Aviso(run, "Disco Cheio. Não é possível Executar Validador."_cp); }

// The run's failure handler. A failure while it writes the report ends the
// run with a message box: the caller's "param.txt" stays as it was.
Desfecho TrataFalha(Execucao& run, const FalhaExecucao& falha) {
  using plataforma::Falha;
  const bool etapa_gia = run.EtapaExecucao == "GIA";
  // Once the error list is closed the results are being written: a failure
  // there can no longer become a finding of the report.
  const bool registravel = run.ListaErros.Aberto();
  int codigo = 0;
  if (falha.falha() == Falha::kDiscoCheio) {
    AvisoDiscoCheio(run);
    return Desfecho::kSemRelatorio;
  }
  if (falha.falha() == Falha::kNaoEncontrado) {
    if (!etapa_gia) {
      Aviso(run, std::string("Arquivo de "_cp) + run.EtapaExecucao + std::string(" não Encontrado"_cp));
      return Desfecho::kSemRelatorio;
    }
    codigo = 19;
  } else if (falha.falha() == Falha::kDispositivoIndisponivel && etapa_gia) {
    codigo = 28;
  }
  if (codigo == 0 || !registravel) {
    AvisoFalha(run, falha);
    return Desfecho::kSemRelatorio;
  }
  try {
    RegistraErroGIA(run, codigo, 0, 0);
    FechaListas(run);
    GeraSaida(run, run.LinhaParametros);
    return Desfecho::kRelatorio;
  } catch (const FalhaExecucao& segunda) {
    if (segunda.falha() == Falha::kDiscoCheio) {
      AvisoDiscoCheio(run);
    } else {
      AvisoFalha(run, segunda);
    }
    return Desfecho::kSemRelatorio;
  }
}

Desfecho Executa(Execucao& run) {
  try {
    run.EtapaExecucao = "Parâmetros"_cp;
    // The parameters are read as the caller left them, before this run waits
    // for another in the same folder (which rewrites "param.txt" at its end):
    // each run validates what its own caller asked for.
    run.LinhaParametros = LePrimeiraLinha(run, run.caminhos.Parametros);
    run.parametros = LeParametros(run.LinhaParametros);
    Exige(run.ambiente.Travar(run.caminhos.Trava, &run.trava), run.caminhos.Trava);
    run.ListaErros.Cria(run.ambiente, run.caminhos.ListaErros, ArquivoTexto::Uso::kTrabalho);
    run.ListaRecibo.Cria(run.ambiente, run.caminhos.ListaRecibo, ArquivoTexto::Uso::kTrabalho);
    if (!ParametrosValidos(run.parametros)) {
      RegistraErroGIA(run, 18, 0, 0);
    } else {
      run.EtapaExecucao = "GIA";
      ValidaArquivo(run);
    }
    FechaListas(run);
    GeraSaida(run, run.LinhaParametros);
    return Desfecho::kRelatorio;
  } catch (const FalhaExecucao& falha) {
    return TrataFalha(run, falha);
  } catch (const std::bad_alloc&) {
    return TrataFalha(run, FalhaDaEtapa(run, "not enough memory"));
  } catch (const std::exception& e) {
    return TrataFalha(run, FalhaDaEtapa(run, e.what()));
  }
}

}  // namespace

Desfecho Main(plataforma::Ambiente& ambiente, const std::string& pasta, bool janela, Observador* observador) {
  Execucao run(ambiente, pasta);
  run.observador = observador;
  std::unique_ptr<plataforma::JanelaProgresso> form;
  if (janela) {
    form = ambiente.CriarJanelaProgresso();
    run.janela = form.get();
  }
  const Desfecho desfecho = Executa(run);
  if (form != nullptr) form->Fecha();
  return desfecho;
}

Desfecho MainPrograma(plataforma::Ambiente& ambiente, bool janela) {
  std::string pasta;
  const plataforma::Status status = ambiente.PastaPrograma(&pasta);
  if (!status.ok()) {
    // Without its folder the program knows where none of its files are, and
    // writes nothing anywhere.
    ambiente.MensagemAviso(kTituloAviso, TextoFalha(std::string(kArquivoParametros), status));
    return Desfecho::kSemRelatorio;
  }
  return Main(ambiente, pasta, janela);
}

}  // namespace valida
