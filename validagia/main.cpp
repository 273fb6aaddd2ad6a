// validagia: validates GIA declaration files at the command line, with
// libvalida (the validation of valida itself), several files in parallel, and
// prints each outcome in the order the files were named.
//   validagia [opções] ARQUIVO...
// Exit status: 0 every file accepted, 1 some file rejected, 2 a usage error or
// a file that could not be validated.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/cp1252.h"
#include "libvalida/libvalida.hpp"
#include "platform/ambiente.h"
#include "validagia/formatos.h"

namespace {

constexpr int kAceitos = 0;
constexpr int kRejeitado = 1;
constexpr int kErro = 2;

// Work this large (bytes of the files named) shows a progress bar, when the
// standard error stream is a terminal.
constexpr std::uint64_t kTrabalhoGrande = 16ULL * 1024 * 1024;
constexpr std::size_t kPedacoEntrada = 64 * 1024;

const std::vector<std::string> kTipos = {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"};

// A message on the standard error stream (the texts are UTF-8).
void Mensagem(const std::string& texto) {
  plataforma::EscreverErroPadrao(cp1252::DeUtf8("validagia: " + texto + "\n"));
}

int ErroDeUso(const std::string& texto) {
  Mensagem(texto);
  Mensagem("use --help para ver as opções");
  return kErro;
}

std::string Juntos(const std::vector<std::string>& nomes) {
  std::string texto;
  for (std::size_t i = 0; i < nomes.size(); ++i)
    texto += (i == 0 ? "" : i + 1 == nomes.size() ? " ou " : ", ") + nomes[i];
  return texto;
}

struct Opcoes {
  std::string tipo;
  std::string formato = "texto";
  int jobs = 0;
  std::string saida;
  bool quieto = false;
  bool cp1252 = false;
  bool versao = false;
  std::vector<std::string> arquivos;
};

// One file's outcome: its result, or the message of what stopped it.
struct Desfecho {
  std::optional<validagia::Relato> relato;
  std::string erro;
};

// The standard input, fed to the library as a stream of unknown length.
lv::Resultado ValidaEntrada(lv::Validador& validador, std::atomic<int>& progresso) {
  validador.inicia(-1, "-");
  std::string pedaco(kPedacoEntrada, '\0');
  for (;;) {
    std::size_t lidos = 0;
    const plataforma::ResultadoSistema r = plataforma::LerEntradaPadrao(pedaco.data(), pedaco.size(), &lidos);
    if (!r.ok) {
      (void)validador.termina();  // the stream is abandoned
      throw lv::Erro(LV_ERRO_LEITURA, "-: a entrada padrão não pode ser lida (" + cp1252::ParaUtf8(r.texto) + ")");
    }
    if (lidos == 0) break;
    validador.envia(std::string_view(pedaco.data(), lidos));
  }
  progresso = 100;
  return validador.termina();
}

Desfecho ValidaUm(const Opcoes& opcoes, const std::string& arquivo, std::atomic<int>& progresso) {
  Desfecho d;
  try {
    lv::Validador validador;
    if (!opcoes.tipo.empty()) validador.tipo(opcoes.tipo);
    validador.ao_progredir([&progresso](int p) { progresso = p; });
    lv::Resultado r = arquivo == "-" ? ValidaEntrada(validador, progresso) : validador.arquivo(arquivo);
    if (!r.ok()) {
      d.erro = r.mensagem();
    } else {
      d.relato = validagia::Relato{arquivo, std::move(r)};
    }
  } catch (const lv::Erro& e) {
    d.erro = e.what();
  } catch (const std::exception& e) {
    d.erro = arquivo + ": " + e.what();
  }
  progresso = 100;
  return d;
}

// The output: the file of -o, or the standard output, byte for byte.
class Saida {
 public:
  explicit Saida(const std::string& caminho) : usa_arquivo_(!caminho.empty()) {
    if (!usa_arquivo_) return;
    arquivo_.open(std::filesystem::path(std::u8string(caminho.begin(), caminho.end())),
                  std::ios::binary | std::ios::trunc);
  }
  [[nodiscard]] bool Aberta() const { return !usa_arquivo_ || arquivo_.is_open(); }
  bool Escreve(const std::string& bytes) {
    if (bytes.empty()) return true;
    if (arquivo_.is_open()) {
      arquivo_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      arquivo_.flush();
      return static_cast<bool>(arquivo_);
    }
    return plataforma::EscreverSaidaPadrao(bytes).ok;
  }

 private:
  bool usa_arquivo_;
  std::ofstream arquivo_;
};

// The bar on the standard error stream: the share of the bytes of the files
// named that is done.
class Barra {
 public:
  Barra(const std::vector<std::string>& arquivos, bool mostra) : mostra_(mostra) {
    std::uint64_t total = 0;
    for (const auto& a : arquivos) {
      std::error_code ec;
      const std::uint64_t t = a == "-" ? 0 : std::filesystem::file_size(std::filesystem::path(a), ec);
      tamanhos_.push_back(ec ? 0 : t);
      total += tamanhos_.back();
    }
    total_ = total;
    mostra_ = mostra_ && total_ >= kTrabalhoGrande;
  }
  void Mostra(const std::vector<std::atomic<int>>& progresso, std::size_t prontos) {
    if (!mostra_) return;
    double feito = 0;
    for (std::size_t i = 0; i < tamanhos_.size(); ++i)
      feito += static_cast<double>(tamanhos_[i]) * progresso[i].load() / 100.0;
    const int pct = static_cast<int>(100.0 * feito / static_cast<double>(total_));
    constexpr int kLargura = 30;
    const int cheios = pct * kLargura / 100;
    const std::string linha = "\r[" + std::string(static_cast<std::size_t>(cheios), '#') +
                              std::string(static_cast<std::size_t>(kLargura - cheios), '.') + "] " +
                              std::to_string(pct) + "% (" + std::to_string(prontos) + "/" +
                              std::to_string(tamanhos_.size()) + " arquivos)";
    plataforma::EscreverErroPadrao(linha);
    desenhada_ = true;
  }
  void Apaga() {
    if (desenhada_) plataforma::EscreverErroPadrao("\r" + std::string(60, ' ') + "\r");
    desenhada_ = false;
  }

 private:
  bool mostra_;
  bool desenhada_ = false;
  std::vector<std::uint64_t> tamanhos_;
  std::uint64_t total_ = 0;
};

int Executa(const Opcoes& opcoes) {
  const std::size_t n = opcoes.arquivos.size();
  validagia::OpcoesSaida os{opcoes.quieto, opcoes.cp1252, n};
  const std::unique_ptr<validagia::Formatador> formatador = validagia::CriaFormatador(opcoes.formato, os);
  Saida saida(opcoes.saida);
  if (!saida.Aberta()) {
    Mensagem(opcoes.saida + ": o arquivo de saída não pode ser criado");
    return kErro;
  }

  std::vector<Desfecho> desfechos(n);
  std::vector<bool> pronto(n, false);
  std::vector<std::atomic<int>> progresso(n);
  std::mutex mutex;
  std::condition_variable cv;
  std::atomic<std::size_t> proximo{0};
  const auto trabalhador = [&] {
    for (std::size_t i = proximo++; i < n; i = proximo++) {
      Desfecho d = ValidaUm(opcoes, opcoes.arquivos[i], progresso[i]);
      const std::lock_guard trava(mutex);
      desfechos[i] = std::move(d);
      pronto[i] = true;
      cv.notify_all();
    }
  };
  const std::size_t jobs = std::min<std::size_t>(static_cast<std::size_t>(opcoes.jobs), n);
  std::vector<std::thread> threads;
  for (std::size_t j = 0; j < jobs; ++j) threads.emplace_back(trabalhador);

  Barra barra(opcoes.arquivos, plataforma::ErroPadraoEhTerminal());
  int status = kAceitos;
  bool escrita_ok = saida.Escreve(formatador->Inicio());
  for (std::size_t i = 0; i < n; ++i) {
    Desfecho d;
    {
      std::unique_lock trava(mutex);
      while (!cv.wait_for(trava, std::chrono::milliseconds(200), [&] { return pronto[i]; })) {
        trava.unlock();
        barra.Mostra(progresso, i);
        trava.lock();
      }
      d = std::move(desfechos[i]);
    }
    barra.Apaga();
    if (!d.relato) {
      Mensagem(d.erro);
      status = kErro;
      continue;
    }
    if (!d.relato->resultado.aceito() && status == kAceitos) status = kRejeitado;
    escrita_ok = escrita_ok && saida.Escreve(formatador->Arquivo(*d.relato, i));
    barra.Mostra(progresso, i + 1);
  }
  for (auto& t : threads) t.join();
  barra.Apaga();
  escrita_ok = escrita_ok && saida.Escreve(formatador->Fim());
  if (!escrita_ok) {
    Mensagem((opcoes.saida.empty() ? std::string("a saída padrão") : opcoes.saida) + ": não pode ser escrita");
    return kErro;
  }
  return status;
}

int Principal(int argc, char** argv) {
  Opcoes opcoes;
  CLI::App app{
      "Valida arquivos de declaração GIA (GIA 3, 4 e 5; GIA ST 1 e 2) como o validador valida:\n"
      "o mesmo relatório de erros ou comprovante de transmissão, para cada arquivo, na ordem dada.\n"
      "Status de saída: 0 todos aceitos, 1 algum rejeitado, 2 erro de uso ou arquivo ilegível.",
      "validagia"};
  app.get_formatter()->label("Usage", "Uso");
  app.get_formatter()->label("OPTIONS", "OPÇÕES");
  app.get_formatter()->label("Options", "Opções");
  app.get_formatter()->label("Positionals", "Argumentos");
  app.get_formatter()->label("REQUIRED", "OBRIGATÓRIO");
  app.get_formatter()->label("TEXT", "TEXTO");
  app.get_formatter()->label("INT", "N");
  app.get_formatter()->column_width(26);
  app.option_defaults()->group("Opções");
  app.set_help_flag("--help", "Mostra esta ajuda e termina");
  app.add_option("-t,--tipo", opcoes.tipo,
                 "Tipo dos arquivos: " + Juntos(kTipos) + " (sem esta opção, reconhecido pelo primeiro registro)")
      ->type_name("TIPO");
  app.add_option("-f,--formato", opcoes.formato,
                 "Formato da saída: " + Juntos(validagia::NomesFormatos()) + " (padrão: texto)")
      ->type_name("FORMATO");
  app.add_option("-j,--jobs", opcoes.jobs, "Arquivos validados em paralelo (padrão: o número de núcleos)")
      ->type_name("N");
  app.add_option("-o,--saida", opcoes.saida, "Escreve a saída neste arquivo, não na saída padrão")
      ->type_name("ARQUIVO");
  app.add_flag("-q,--quieto", opcoes.quieto, "Mostra só o veredito (OK ou NOK) de cada arquivo");
  app.add_flag("--cp1252", opcoes.cp1252,
               "Formato texto: o relatório nos bytes Windows-1252 do saida.txt, não convertido para UTF-8");
  app.add_flag("--version", opcoes.versao, "Mostra a versão e termina");
  app.add_option("ARQUIVO", opcoes.arquivos, "Arquivos a validar; \"-\" é a entrada padrão")->type_name("");

  try {
    // File names reach the library as UTF-8, on Windows too.
    std::vector<std::string> argumentos = plataforma::ArgumentosUtf8(argc, argv);
    std::vector<char*> ponteiros;
    for (auto& a : argumentos) ponteiros.push_back(a.data());
    app.parse(static_cast<int>(ponteiros.size()), ponteiros.data());
  } catch (const CLI::CallForHelp&) {
    return plataforma::EscreverSaidaPadrao(app.help()).ok ? 0 : kErro;
  } catch (const CLI::ExtrasError&) {
    std::string extras;
    for (const auto& x : app.remaining()) extras += (extras.empty() ? "" : " ") + x;
    return ErroDeUso("opção ou argumento desconhecido: " + extras);
  } catch (const CLI::ConversionError&) {
    return ErroDeUso("valor inválido para --jobs: use um número inteiro maior que zero");
  } catch (const CLI::ArgumentMismatch&) {
    return ErroDeUso("falta o valor de uma opção");
  } catch (const CLI::ParseError& e) {
    return ErroDeUso(std::string("uso incorreto: ") + e.what());
  }
  if (opcoes.versao) {
    return plataforma::EscreverSaidaPadrao(std::string("validagia ") + lv_versao() + "\n").ok ? 0 : kErro;
  }
  if (!opcoes.tipo.empty() && std::find(kTipos.begin(), kTipos.end(), opcoes.tipo) == kTipos.end())
    return ErroDeUso("tipo inválido: \"" + opcoes.tipo + "\" (use " + Juntos(kTipos) + ")");
  const auto formatos = validagia::NomesFormatos();
  if (std::find(formatos.begin(), formatos.end(), opcoes.formato) == formatos.end())
    return ErroDeUso("formato inválido: \"" + opcoes.formato + "\" (use " + Juntos(formatos) + ")");
  if (app.count("--jobs") > 0 && opcoes.jobs < 1)
    return ErroDeUso("valor inválido para --jobs: use um número inteiro maior que zero");
  if (opcoes.jobs < 1) opcoes.jobs = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  if (opcoes.arquivos.empty()) return ErroDeUso("nenhum arquivo informado");
  if (std::count(opcoes.arquivos.begin(), opcoes.arquivos.end(), "-") > 1)
    return ErroDeUso("a entrada padrão (\"-\") só pode ser dada uma vez");
  return Executa(opcoes);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Principal(argc, argv);
  } catch (const std::bad_alloc&) {
    Mensagem("memória insuficiente");
  } catch (const std::exception& e) {
    Mensagem(std::string("erro interno: ") + e.what());
  }
  return kErro;
}
