// The black-box harness of jvmlaunch: the tree, the fakes, the environment
// of a run and the run itself through the namespace runner.
#include "pasta_lancador.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

#include "auxiliar.h"

extern char** environ;

namespace lancador {

namespace {

std::string Ambiente(const char* nome) {
  const char* valor = std::getenv(nome);
  return valor == nullptr ? std::string() : std::string(valor);
}

std::filesystem::path Exige(const char* nome) {
  const std::string valor = Ambiente(nome);
  if (valor.empty()) throw std::runtime_error(std::string(nome) + " is not set");
  return valor;
}

// The folder of this test program.
std::filesystem::path PastaTeste() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

std::filesystem::path Rede() { return PastaTeste() / "rede_teste"; }

std::filesystem::path ProgramaFalso() {
  const std::filesystem::path programa = Exige("JVMLAUNCH_PROGRAMA");
  return programa.parent_path() / ("programa_falso" + programa.extension().string());
}

std::filesystem::path Wine() {
  const std::string wine = Ambiente("JVMLAUNCH_WINE");
  return wine.empty() ? "/usr/lib/wine/wine64" : wine;
}

std::filesystem::path PrefixoWine() {
  const std::string prefixo = Ambiente("WINEPREFIX");
  return prefixo.empty() ? PastaTeste() / "wineprefix" : std::filesystem::path(prefixo);
}

// Seconds after which a run counts as hung.
constexpr int kLimiteSegundos = 300;

// The variables a run starts without, unless the test sets them.
const char* const kControladas[] = {"DIRLOG",       "JAVA_HOME",    "JDK_HOME",
                                    "JRE_HOME",     "ProgramFiles", "ProgramFiles(x86)",
                                    "ProgramW6432", "DISPLAY",      "WAYLAND_DISPLAY"};

// The prefix's program-files folder of index i under Wine.
std::filesystem::path ProgramFilesWine(int i) {
  return PrefixoWine() / "drive_c" / (i == 1 ? "Program Files (x86)" : "Program Files");
}

// Runs argv from pasta with the environment; standard output and error to
// files. Returns the exit status (-1 after a time-out).
int Roda(const std::vector<std::string>& argumentos, const std::vector<std::string>& ambiente,
         const std::filesystem::path& pasta, const std::filesystem::path& saida, const std::filesystem::path& erro) {
  std::vector<char*> argv;
  argv.reserve(argumentos.size() + 1);
  for (const std::string& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  envp.reserve(ambiente.size() + 1);
  for (const std::string& e : ambiente) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  posix_spawn_file_actions_addopen(&acoes, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acoes, STDOUT_FILENO, saida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&acoes, STDERR_FILENO, erro.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
  pid_t pid = 0;
  const int r = posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&acoes);
  if (r != 0) throw std::runtime_error("cannot start " + argumentos[0]);
  int estado = 0;
  for (int esperado = 0;; ++esperado) {
    if (::waitpid(pid, &estado, WNOHANG) == pid) break;
    if (esperado > kLimiteSegundos * 20) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &estado, 0);
      return -1;
    }
    ::usleep(50 * 1000);
  }
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
}

std::vector<std::string> AmbienteAtual() {
  std::vector<std::string> ambiente;
  for (char** e = environ; *e != nullptr; ++e) ambiente.emplace_back(*e);
  return ambiente;
}

}  // namespace

PastaLancador::PastaLancador(std::string app) : app_(std::move(app)) {
  static int contador = 0;
  raiz_ = std::filesystem::temp_directory_path() /
          ("jvmlaunch-" + std::to_string(::getpid()) + "-" + std::to_string(++contador));
  std::filesystem::remove_all(raiz_);
  for (const char* pasta : {"chamador", "bin", "pf0", "pf1", "pf2"}) std::filesystem::create_directories(raiz_ / pasta);
  std::filesystem::create_directories(App());
  const std::filesystem::path programa = Exige("JVMLAUNCH_PROGRAMA");
  std::filesystem::copy_file(programa, App() / programa.filename());
  Escreve(App() / "vek.jar", "");
}

PastaLancador::~PastaLancador() {
  std::error_code ec;
  if (Ambiente("JVMLAUNCH_MANTEM_PASTAS").empty()) std::filesystem::remove_all(raiz_, ec);
}

bool PastaLancador::SobWine() { return std::filesystem::path(Ambiente("JVMLAUNCH_PROGRAMA")).extension() == ".exe"; }

std::string PastaLancador::SemNamespace() {
  static const std::string motivo = [] {
    const std::filesystem::path pasta = std::filesystem::temp_directory_path();
    const std::string base = "jvmlaunch-ns-" + std::to_string(::getpid());
    const int r = Roda({Rede().string(), "--", "/bin/true"}, AmbienteAtual(), pasta, pasta / (base + ".out"),
                       pasta / (base + ".err"));
    std::string texto = r == 0 ? "" : "rede_teste: " + Le(pasta / (base + ".out")) + Le(pasta / (base + ".err"));
    if (r != 0 && texto.size() <= 13) texto += "exit status " + std::to_string(r);
    std::filesystem::remove(pasta / (base + ".out"));
    std::filesystem::remove(pasta / (base + ".err"));
    return texto;
  }();
  return motivo;
}

std::string PastaLancador::Visto(const std::filesystem::path& caminho) {
  if (!SobWine()) return caminho.string();
  std::string windows = "Z:" + caminho.string();
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

std::string PastaLancador::ProgramFilesVisto(int i) {
  if (SobWine()) return i == 1 ? "C:\\Program Files (x86)" : "C:\\Program Files";
  return "";  // natively the test knows the folder itself
}

std::filesystem::path PastaLancador::Falso(const std::filesystem::path& pasta, const std::string& nome) const {
  std::filesystem::create_directories(pasta);
  std::filesystem::path destino = pasta / nome;
  std::filesystem::copy_file(ProgramaFalso(), destino, std::filesystem::copy_options::overwrite_existing);
  return destino;
}

void PastaLancador::Escreve(const std::filesystem::path& caminho, std::string_view conteudo) {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
  if (!f) throw std::runtime_error("cannot write " + caminho.string());
}

std::string PastaLancador::Le(const std::filesystem::path& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::filesystem::path PastaLancador::Associacao(std::string_view saida, std::string_view erro) {
  std::filesystem::path pasta = SobWine() ? App() : raiz_ / "bin";
  Falso(pasta, "cmd.exe");
  Escreve(pasta / "ftype.saida", saida);
  Escreve(pasta / "ftype.erro", erro);
  return pasta;
}

std::filesystem::path PastaLancador::Runtime(const std::filesystem::path& home, std::string_view versao) const {
  std::filesystem::path bin = home / "bin";
  Falso(bin, "java" + Sufixo());
  Escreve(bin / "versao.erro", versao);
  return bin;
}

PastaLancador::Resultado PastaLancador::Executa(const std::vector<std::string>& argumentos, bool escuta) {
  std::vector<std::string> ambiente;
  for (std::string& e : AmbienteAtual()) {
    const std::string nome = e.substr(0, e.find('='));
    const bool controlada = std::find(std::begin(kControladas), std::end(kControladas), nome) != std::end(kControladas);
    if (!controlada && nome != "PATH") ambiente.push_back(e);
  }
  std::map<std::string, std::string> variaveis;
  variaveis["PATH"] = (raiz_ / "bin").string() + ":" + Ambiente("PATH");
  if (!SobWine()) {
    variaveis["ProgramFiles"] = ProgramFiles(0).string();
    variaveis["ProgramFiles(x86)"] = ProgramFiles(1).string();
    variaveis["ProgramW6432"] = ProgramFiles(2).string();
  } else {
    variaveis["WINEPREFIX"] = PrefixoWine().string();
    variaveis["WINESERVER"] = (Wine().parent_path() / "wineserver").string();
    variaveis["WINEDEBUG"] = "-all";
    variaveis["WINEDLLOVERRIDES"] = "mscoree,mshtml=";
  }
  for (const auto& [nome, valor] : variaveis_) variaveis[nome] = valor;
  for (const std::string& nome : removidas_) variaveis.erase(nome);
  for (const auto& [nome, valor] : variaveis) ambiente.emplace_back(nome + "=").append(valor);

  std::vector<std::string> comando = {Rede().string()};
  const std::filesystem::path recebido = raiz_ / "recebido";
  if (escuta) comando.insert(comando.end(), {"-e", recebido.string()});
  for (const std::string& m : montagens_) comando.insert(comando.end(), {"-m", m});
  if (SobWine()) {
    // A wineserver of its own, inside the namespace: Wine's sockets are made
    // by the server. The prefix names the folder (below TMPDIR) where its
    // clients meet the server; an empty one in its place makes a new server.
    std::string pasta_servidor = Le(PrefixoWine() / "wineserver");
    if (pasta_servidor.empty()) throw std::runtime_error("the Wine prefix has not been prepared");
    const std::string tmpdir = Ambiente("TMPDIR");
    comando.insert(comando.end(),
                   {"-s", (std::filesystem::path(tmpdir.empty() ? "/tmp" : tmpdir) / pasta_servidor).string()});
    for (int i = 0; i < 2; ++i) {
      const std::filesystem::path java = ProgramFilesWine(i) / "Java";
      std::filesystem::create_directories(java);
      std::filesystem::create_directories(ProgramFiles(i) / "Java");
      comando.insert(comando.end(), {"-m", (ProgramFiles(i) / "Java").string() + ":" + java.string()});
    }
    comando.insert(comando.end(), {"--", Wine().string()});
  } else {
    comando.emplace_back("--");
  }
  const std::filesystem::path programa = Exige("JVMLAUNCH_PROGRAMA");
  comando.push_back((App() / programa.filename()).string());
  comando.insert(comando.end(), argumentos.begin(), argumentos.end());

  std::filesystem::remove(recebido);
  std::filesystem::remove(recebido.string() + ".fim");
  Resultado r;
  r.codigo = Roda(comando, ambiente, raiz_ / "chamador", raiz_ / "rede.out", raiz_ / "erro.txt");
  r.erro = Le(raiz_ / "erro.txt");
  r.recebido = Le(recebido);
  r.fim = Le(recebido.string() + ".fim");
  return r;
}

std::vector<std::string> PastaLancador::ArquivosLog() const {
  std::vector<std::string> nomes;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(App() / "Log", ec))
    nomes.push_back(e.path().filename().string());
  std::sort(nomes.begin(), nomes.end());
  return nomes;
}

std::string PastaLancador::Log() const {
  const std::vector<std::string> nomes = ArquivosLog();
  if (nomes.size() != 1) return {};
  return Le(App() / "Log" / nomes[0]);
}

std::vector<std::string> LinhasDoLog(const std::string& log) {
  static const std::regex executar(R"(ExecutarComando\((.*), [0-9a-f]+, (\d+), [0-9a-f]+, (\d+)\))");
  static const std::regex fechando(R"(fechando -?\d+)");
  static const std::regex send(R"(send\(-?\d+\))");
  static const std::regex inicio_mensagem(R"(^<(\d+)>)");
  std::string texto = teste::Mascara(log);
  texto = std::regex_replace(texto, executar, "ExecutarComando($1, <end>, $2, <end>, $3)");
  texto = std::regex_replace(texto, fechando, "fechando <id>");
  texto = std::regex_replace(texto, send, "send(<id>)");

  std::vector<std::string> linhas;
  bool detalhe = false;
  std::size_t i = 0;
  while (i < texto.size()) {
    std::size_t fim = texto.find("\r\n", i);
    if (fim == std::string::npos) fim = texto.size();
    const std::string linha = texto.substr(i, fim - i);
    i = fim + 2;
    std::smatch m;
    if (std::regex_search(linha, m, inicio_mensagem)) {
      detalhe = m[1] == "7";
    } else if (linha.starts_with("INICIO DO LOG") || linha.starts_with("NIVEL DO LOG") ||
               linha.starts_with("LOG FOI PARADO") || linha.starts_with("******** ")) {
      detalhe = false;
    }
    if (!detalhe && !linha.empty()) linhas.push_back(linha);
  }
  return linhas;
}

}  // namespace lancador
