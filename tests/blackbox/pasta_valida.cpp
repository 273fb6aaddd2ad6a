// The black-box harness: folders, parameter lines and program runs.
#include "pasta_valida.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/cp1252.h"

extern char** environ;

namespace blackbox {

namespace {

std::string Ambiente(const char* nome) {
  const char* valor = std::getenv(nome);
  return valor == nullptr ? std::string() : std::string(valor);
}

std::filesystem::path Programa() {
  const std::string programa = Ambiente("VALIDA_PROGRAMA");
  if (programa.empty()) throw std::runtime_error("VALIDA_PROGRAMA is not set");
  return programa;
}

std::string Preenche(std::string texto, std::size_t largura) {
  if (texto.size() < largura) texto.resize(largura, ' ');
  return texto;
}

}  // namespace

std::string Parametros::Linha() const {
  return Preenche(identificador, 8) + Preenche(tipo, 12) + Preenche(arquivo, 128) + Preenche(email, 70) +
         Preenche(endereco, 70) + Preenche(orgao, 70) + Preenche(estado, 30);
}

std::vector<std::string> Linhas(std::string_view texto) {
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const auto fim = texto.find("\r\n", inicio);
    if (fim == std::string_view::npos) {
      linhas.emplace_back(texto.substr(inicio));
      break;
    }
    linhas.emplace_back(texto.substr(inicio, fim - inicio));
    inicio = fim + 2;
  }
  return linhas;
}

std::string Texto(const std::vector<std::string>& linhas) {
  std::string texto;
  for (const auto& l : linhas) texto += l + "\r\n";
  return texto;
}

PastaValida::PastaValida() {
  static int contador = 0;
  pasta_ = std::filesystem::temp_directory_path() /
           ("valida-" + std::to_string(::getpid()) + "-" + std::to_string(++contador));
  std::filesystem::remove_all(pasta_);
  std::filesystem::create_directories(pasta_);
  const std::filesystem::path origem = Programa();
  programa_ = pasta_ / origem.filename();
  std::filesystem::copy_file(origem, programa_);
  // The registration library travels with the program, as it ships: the
  // program's own build puts it beside the program.
  const char* biblioteca = SobWine() ? "DllInscE32.dll" : "libDllInscE32.so";
  std::filesystem::copy_file(origem.parent_path() / biblioteca, pasta_ / biblioteca);
}

PastaValida::~PastaValida() {
  std::error_code ec;
  if (Ambiente("VALIDA_MANTEM_PASTAS").empty()) std::filesystem::remove_all(pasta_, ec);
}

bool PastaValida::SobWine() { return Programa().extension() == ".exe"; }

void PastaValida::EscreveArquivo(const std::string& nome, std::string_view bytes) const {
  std::ofstream out(pasta_ / nome, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + nome);
}

void PastaValida::EscreveParametros(std::string_view tipo, std::string_view arquivo) const {
  Parametros p;
  p.tipo = tipo;
  p.arquivo = arquivo;
  EscreveParametros(p);
}

void PastaValida::EscreveParametros(const Parametros& parametros) const {
  EscreveArquivo("param.txt", parametros.Linha() + "\r\n");
}

std::string PastaValida::CaminhoDoPrograma(const std::filesystem::path& caminho) {
  if (!SobWine()) return caminho.string();
  std::string windows = "Z:" + caminho.string();
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

int PastaValida::Executa(const Opcoes& opcoes) { return Espera(Inicia(opcoes)); }

PastaValida::Processo PastaValida::Inicia(const Opcoes& opcoes) {
  std::vector<std::string> argumentos;
  if (SobWine()) {
    std::string wine = Ambiente("VALIDA_WINE");
    if (wine.empty()) wine = "/usr/lib/wine/wine64";
    argumentos = {wine, opcoes.programa.empty() ? programa_.string() : opcoes.programa};
    // The prefix made for the run beside the Windows build, unless the caller chose one.
    if (Ambiente("WINEPREFIX").empty()) {
      const auto prefixo = Programa().parent_path().parent_path() / "wineprefix";
      ::setenv("WINEPREFIX", prefixo.c_str(), 1);
    }
    ::setenv("WINEDEBUG", "-all", 1);
  } else {
    argumentos = {opcoes.programa.empty() ? programa_.string() : opcoes.programa};
  }
  if (opcoes.memoria_kb > 0)
    argumentos.insert(argumentos.begin(),
                      {"/bin/sh", "-c", "ulimit -v " + std::to_string(opcoes.memoria_kb) + " && exec \"$@\"", "sh"});
  std::vector<char*> argv;
  for (auto& a : argumentos) argv.push_back(a.data());
  argv.push_back(nullptr);

  static int serie = 0;
  Processo processo;
  processo.limite_segundos = opcoes.limite_segundos;
  processo.arquivo_erro =
      pasta_.parent_path() / (pasta_.filename().string() + "." + std::to_string(++serie) + ".stderr");
  const std::filesystem::path atual = opcoes.pasta_atual.empty() ? pasta_ : opcoes.pasta_atual;
  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  if (opcoes.entrada >= 0) {
    posix_spawn_file_actions_adddup2(&acoes, opcoes.entrada, STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&acoes, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  if (opcoes.erro_fechado) {
    posix_spawn_file_actions_addclose(&acoes, STDERR_FILENO);
  } else if (opcoes.erro >= 0) {
    posix_spawn_file_actions_adddup2(&acoes, opcoes.erro, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&acoes, STDERR_FILENO, processo.arquivo_erro.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  posix_spawn_file_actions_addchdir_np(&acoes, atual.c_str());
  pid_t pid = 0;
  const int r = posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acoes);
  if (r != 0) throw std::runtime_error("cannot start " + argumentos[0]);
  processo.pid = pid;
  return processo;
}

int PastaValida::Espera(const Processo& processo) {
  int status = 0;
  int esperado = 0;
  for (;;) {
    const pid_t w = ::waitpid(processo.pid, &status, WNOHANG);
    if (w == processo.pid) break;
    if (++esperado > processo.limite_segundos * 100) {
      ::kill(processo.pid, SIGKILL);
      ::waitpid(processo.pid, &status, 0);
      return -1;
    }
    ::usleep(10 * 1000);
  }
  std::ifstream in(processo.arquivo_erro, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  erro_ = ss.str();
  std::error_code ec;
  std::filesystem::remove(processo.arquivo_erro, ec);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> PastaValida::ExecutaComRelatorio(std::string_view veredito) {
  EXPECT_EQ(Executa(), 0) << Erro();
  const std::vector<std::string> parametros = LinhasParametros();
  EXPECT_EQ(parametros.size(), 2U);
  if (parametros.size() == 2) {
    EXPECT_EQ(parametros[1], veredito);
  }
  EXPECT_FALSE(Existe("aux00001.txt"));
  EXPECT_FALSE(Existe("aux00002.txt"));
  return LinhasSaida();
}

bool PastaValida::Existe(const std::string& nome) const { return std::filesystem::exists(pasta_ / nome); }

std::string PastaValida::Le(const std::string& nome) const {
  std::ifstream in(pasta_ / nome, std::ios::binary);
  if (!in) return {};
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> PastaValida::Arquivos() const {
  std::vector<std::string> nomes;
  for (const auto& e : std::filesystem::directory_iterator(pasta_)) {
    const std::string nome = e.path().filename().string();
    if (e.path() != programa_ && nome != "libDllInscE32.so" && nome != "DllInscE32.dll") nomes.push_back(nome);
  }
  std::sort(nomes.begin(), nomes.end());
  return nomes;
}

std::vector<std::string> Valida(std::string_view tipo, const std::string& nome, std::string_view conteudo,
                                std::string_view veredito) {
  PastaValida pasta;
  pasta.EscreveArquivo(nome, conteudo);
  pasta.EscreveParametros(tipo, PastaValida::CaminhoDoPrograma(pasta.Caminho() / nome));
  return pasta.ExecutaComRelatorio(veredito);
}

namespace {

// The wordings of the receipt: GIA files and GIA ST 1, or GIA ST 2.
struct Redacao {
  std::string_view seguranca;
  std::string_view remetidas;
  std::string_view titulo;
  std::string_view colunas;
  std::string_view representativo;
  std::string_view entrega;
};

std::vector<std::string> Recibo(const Redacao& r, std::string_view tipo, const std::vector<std::string>& lista,
                                int quantas) {
  const std::string hifens(70, '-');
  std::vector<std::string> linhas = {
      std::string("                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp),
      std::string(29, ' ') + "ORBELANDA" + std::string(31, ' '),
      std::string(30, ' ') + "VALDORIA" + std::string(23, ' '),
      "",
      "  Nro Protocolo:                Data:              Hora:",
      "  Documento    :" + Preenche(std::string(tipo), 12) + "    Chave:",
      "  E-Mail       :" + Preenche(Parametros{}.email, 70),
      "",
      "  Apontamos  o  recebimento  do  arquivo  descrito  acima.   Para  sua",
      std::string(r.seguranca),
      std::string("verificar  na  caixa postal  que V.Sa. escolheu  quando da transmissão"_cp),
      std::string(r.remetidas),
      "",
      std::string(r.titulo),
      hifens,
      std::string(r.colunas),
      hifens,
  };
  linhas.insert(linhas.end(), lista.begin(), lista.end());
  char numero[16];
  std::snprintf(numero, sizeof numero, "%03d", quantas);
  linhas.insert(linhas.end(), {"", "",
                               std::string("Comprovante de transmissão representativo de   "_cp) + numero +
                                   std::string(r.representativo),
                               std::string("fiscal). Este comprovante será substituído pelo  recibo definitivo  da"_cp),
                               std::string(r.entrega)});
  return linhas;
}

}  // namespace

std::vector<std::string> ReciboGIA(std::string_view tipo, const std::vector<std::string>& lista, int quantas) {
  static constexpr Redacao kGIA = {
      "maior  segurança   quanto  à  entrega  de  suas   GIAs,   recomendamos"_cp,
      "do arquivo, os  recibos  definitivos  das  GIAs  remetidas.",
      "GIA(s) TRANSMITIDAS(s)",
      "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER",
      "   GIAs  (sem  valor",
      "entrega da(s) GIA(s) após o processamento das informações."_cp,
  };
  return Recibo(kGIA, tipo, lista, quantas);
}

std::vector<std::string> ReciboST(const std::vector<std::string>& lista, int quantas) {
  static constexpr Redacao kST = {
      "maior  segurança  quanto  à  entrega  de  suas  GIAs ST,  recomendamos"_cp,
      "do arquivo,  os  recibos  definitivos  das  GIAs ST  remetidas.",
      "GIA(s) ST TRANSMITIDAS(s)",
      "INSCRIÇÃO      REFER    INSCRIÇÃO      REFER    INSCRIÇÃO      REFER"_cp,
      "  GIAs ST (sem valor",
      "entrega da(s) GIA(s) ST após o processamento das informações."_cp,
  };
  return Recibo(kST, "GIAST02", lista, quantas);
}

const std::string kCabecalhoCGCTE(std::string("CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp));
const std::string kCabecalhoInscricao(std::string("Inscrição      Período Lin Ini Fim Descrição do Erro"_cp));

std::vector<std::string> Relatorio(const std::string& cabecalho, const std::vector<std::string>& achados) {
  const std::string hifens(73, '-');
  std::vector<std::string> linhas = {"ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:", hifens, cabecalho,
                                     hifens};
  linhas.insert(linhas.end(), achados.begin(), achados.end());
  return linhas;
}

std::string Achado(std::string_view contribuinte_periodo, int linha, int primeira, int ultima, std::string_view texto) {
  char numeros[48];
  std::snprintf(numeros, sizeof numeros, " %03d %03d %03d ", linha, primeira, ultima);
  return std::string(contribuinte_periodo) + numeros + std::string(texto);
}

}  // namespace blackbox
