// validagia as a user runs it, beside valida on the same files: the same
// verdict, findings and report; the JSON field by field against the text;
// the kind detected; the standard input; -j 4 as -j 1; bad input.
// VALIDA_PROGRAMA names the built valida; validagia and gera_gia are compiled in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "blackbox/pasta_valida.h"
#include "common/cp1252.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kTipos = {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"};

// The program named by the variable, or the one the build compiled in.
std::string Variavel(const char* nome) {
  const char* v = std::getenv(nome);
  if (v != nullptr) return v;
  if (std::string_view(nome) == "VALIDAGIA_PROGRAMA") return VALIDAGIA_PROGRAMA;
  if (std::string_view(nome) == "GERA_GIA") return GERA_GIA;
  throw std::runtime_error(std::string(nome) + " is not set");
}

std::string Le(const fs::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Escreve(const fs::path& caminho, std::string_view bytes) {
  std::ofstream(caminho, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Execucao {
  int status = -1;
  std::string saida;
  std::string erro;
};

// Runs the program in `pasta` with the arguments; `entrada` is the standard input.
Execucao Roda(const fs::path& pasta, std::vector<std::string> argumentos, const std::string& entrada = {}) {
  const fs::path in = pasta / ".entrada", out = pasta / ".saida", err = pasta / ".erro";
  Escreve(in, entrada);
  std::vector<char*> argv;
  for (auto& a : argumentos) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  posix_spawn_file_actions_addopen(&acoes, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acoes, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&acoes, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + argumentos[0]);
  posix_spawn_file_actions_destroy(&acoes);
  int status = 0;
  ::waitpid(pid, &status, 0);
  Execucao e{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), Le(out), Le(err)};
  fs::remove(in);
  fs::remove(out);
  fs::remove(err);
  return e;
}

class Pasta {
 public:
  Pasta()
      : caminho_(fs::temp_directory_path() /
                 ("validagia-" + std::to_string(::getpid()) + "-" + std::to_string(++contador_))) {
    fs::create_directories(caminho_);
  }
  ~Pasta() { fs::remove_all(caminho_); }
  [[nodiscard]] const fs::path& caminho() const { return caminho_; }
  Execucao Validagia(std::vector<std::string> argumentos, const std::string& entrada = {}) const {
    argumentos.insert(argumentos.begin(), Variavel("VALIDAGIA_PROGRAMA"));
    return Roda(caminho_, std::move(argumentos), entrada);
  }
  // A file of the kind from gera_gia: `declaracoes` of them, with findings or not.
  std::string Gera(const std::string& nome, const std::string& tipo, bool achados, int declaracoes = 3) const {
    std::vector<std::string> a = {Variavel("GERA_GIA")};
    if (achados) a.emplace_back("--achados");
    a.insert(a.end(), {tipo, std::to_string(declaracoes), "5"});
    const Execucao e = Roda(caminho_, a);
    if (e.status != 0) throw std::runtime_error("gera_gia failed");
    Escreve(caminho_ / nome, e.saida);
    return e.saida;
  }

 private:
  static inline int contador_ = 0;
  fs::path caminho_;
};

std::vector<std::string> Linhas(const std::string& texto, const std::string& fim = "\r\n") {
  std::vector<std::string> linhas;
  std::size_t i = 0;
  while (i < texto.size()) {
    const auto f = texto.find(fim, i);
    linhas.push_back(texto.substr(i, f - i));
    if (f == std::string::npos) break;
    i = f + fim.size();
  }
  return linhas;
}

std::string Aparado(std::string t) {
  while (!t.empty() && t.back() == ' ') t.pop_back();
  while (!t.empty() && t.front() == ' ') t.erase(0, 1);
  return t;
}

// valida's saida.txt and verdict for the file, run as its caller runs it.
struct DeValida {
  std::string saida;
  std::string veredito;
};

DeValida RodaValida(const std::string& tipo, const std::string& bytes) {
  blackbox::PastaValida pasta;
  pasta.EscreveArquivo("decl.txt", bytes);
  blackbox::Parametros p;
  p.tipo = tipo;
  p.arquivo = blackbox::PastaValida::CaminhoDoPrograma(pasta.Caminho() / "decl.txt");
  // The e-mail that validagia's receipt takes when it is given none.
  p.email = std::string("não informado"_cp);
  pasta.EscreveParametros(p);
  EXPECT_EQ(pasta.Executa(), 0);
  const auto parametros = pasta.LinhasParametros();
  return {pasta.Le("saida.txt"), parametros.size() == 2 ? parametros[1] : ""};
}

// For every kind, valid and with findings: validagia prints valida's
// saida.txt byte for byte (--cp1252) and in UTF-8, with the verdict as exit status.
TEST(ComoValida, MesmoRelatorioEVeredito) {
  Pasta pasta;
  for (const auto& tipo : kTipos)
    for (const bool achados : {false, true}) {
      const std::string caso = tipo + (achados ? " com achados" : " válido");
      const std::string bytes = pasta.Gera("decl.txt", tipo, achados);
      const DeValida valida = RodaValida(tipo, bytes);
      EXPECT_EQ(valida.veredito, achados ? "NOK" : "OK") << caso;
      for (const bool com_tipo : {true, false}) {
        std::vector<std::string> a = {"--cp1252", "decl.txt"};
        if (com_tipo) a.insert(a.begin(), {"-t", tipo});
        const Execucao e = pasta.Validagia(a);
        EXPECT_EQ(e.status, valida.veredito == "OK" ? 0 : 1) << caso << e.erro;
        EXPECT_EQ(e.saida, valida.saida) << caso << (com_tipo ? ", tipo dado" : ", tipo reconhecido");
      }
      const Execucao utf8 = pasta.Validagia({"decl.txt"});
      EXPECT_EQ(utf8.saida, cp1252::ParaUtf8(valida.saida)) << caso;
    }
}

// The JSON parses, and each of its findings and declarations is the report's
// or the receipt's line, field by field, in the same order.
TEST(Json, ConfereComORelatorioCampoACampo) {
  Pasta pasta;
  for (const auto& tipo : kTipos)
    for (const bool achados : {false, true}) {
      const std::string caso = tipo + (achados ? " com achados" : " válido");
      pasta.Gera("decl.txt", tipo, achados, 4);
      const Execucao texto = pasta.Validagia({"decl.txt"});
      const Execucao json = pasta.Validagia({"-f", "json", "decl.txt"});
      EXPECT_EQ(json.status, texto.status) << caso;
      const auto objeto = nlohmann::json::parse(json.saida);
      EXPECT_EQ(objeto["arquivo"], "decl.txt");
      EXPECT_EQ(objeto["tipo"], tipo);
      EXPECT_EQ(objeto["veredito"], achados ? "NOK" : "OK");
      const auto linhas = Linhas(texto.saida);
      if (achados) {
        const auto& erros = objeto["erros"];
        ASSERT_EQ(erros.size() + 4, linhas.size()) << caso;
        for (std::size_t i = 0; i < erros.size(); ++i) {
          const std::string& l = linhas[i + 4];
          // "Inscrição" (15) "Período" (7), then line, columns and text after one blank each.
          std::istringstream resto(l.substr(23));
          std::int64_t linha = 0;
          int ini = 0, fim = 0;
          resto >> linha >> ini >> fim;
          std::string descricao;
          std::getline(resto, descricao);
          const auto& e = erros[i];
          EXPECT_EQ(e["inscricao"], Aparado(l.substr(0, 15))) << caso << " " << l;
          EXPECT_EQ(e["periodo"], Aparado(l.substr(15, 7))) << l;
          EXPECT_EQ(e["linha"], linha) << l;
          EXPECT_EQ(e["coluna_inicial"], ini) << l;
          EXPECT_EQ(e["coluna_final"], fim) << l;
          EXPECT_EQ(e["texto"], descricao.substr(1)) << l;
          EXPECT_TRUE(e["catalogo"] == "GIA" || e["catalogo"] == "GIAST") << l;
          EXPECT_TRUE(e["codigo"].is_number_integer() && e["campo"].is_number_integer()) << l;
        }
      } else {
        // The receipt's list: between the column headings' hyphens and the empty line.
        std::vector<std::string> entradas;
        const auto titulo = std::find(linhas.begin(), linhas.end(), std::string(70, '-'));
        for (auto it = titulo + 3; it != linhas.end() && !it->empty(); ++it)
          for (std::size_t k = 0; k + 9 < it->size(); k += 24) entradas.push_back(it->substr(k, 24));
        const auto& declaracoes = objeto["declaracoes"];
        ASSERT_EQ(declaracoes.size(), entradas.size()) << caso;
        for (std::size_t i = 0; i < entradas.size(); ++i) {
          EXPECT_EQ(declaracoes[i]["inscricao"], Aparado(entradas[i].substr(0, 15))) << caso;
          EXPECT_EQ(declaracoes[i]["periodo"], Aparado(entradas[i].substr(15))) << caso;
        }
      }
    }
}

TEST(Entrada, PadraoComoOArquivo) {
  Pasta pasta;
  for (const auto& tipo : {std::string("GIA05"), std::string("GIAST02")}) {
    const std::string bytes = pasta.Gera("decl.txt", tipo, true);
    const Execucao arquivo = pasta.Validagia({"-f", "json", "decl.txt"});
    for (const bool com_tipo : {false, true}) {
      std::vector<std::string> a = {"-f", "json", "-"};
      if (com_tipo) a.insert(a.begin(), {"-t", tipo});
      const Execucao entrada = pasta.Validagia(a, bytes);
      EXPECT_EQ(entrada.status, 1) << tipo << entrada.erro;
      auto objeto = nlohmann::json::parse(entrada.saida);
      EXPECT_EQ(objeto["arquivo"], "-");
      objeto["arquivo"] = "decl.txt";
      EXPECT_EQ(objeto, nlohmann::json::parse(arquivo.saida)) << tipo;
    }
  }
}

// Many files in parallel print as one at a time, in the order named.
TEST(Jobs, QuatroComoUm) {
  Pasta pasta;
  std::vector<std::string> nomes;
  for (int i = 0; i < 12; ++i) {
    nomes.push_back("f" + std::to_string(11 - i) + ".txt");
    pasta.Gera(nomes.back(), kTipos[static_cast<std::size_t>(i) % kTipos.size()], i % 3 == 0, 1 + i % 4);
  }
  for (const std::string formato : {"texto", "json"}) {
    std::vector<std::string> a = {"-f", formato, "-j", "1"};
    a.insert(a.end(), nomes.begin(), nomes.end());
    const Execucao um = pasta.Validagia(a);
    a[3] = "4";
    const Execucao quatro = pasta.Validagia(a);
    EXPECT_EQ(um.status, 1);
    EXPECT_EQ(quatro.status, 1);
    EXPECT_EQ(quatro.saida, um.saida) << formato;
    if (formato == "json") {
      const auto linhas = Linhas(quatro.saida, "\n");
      ASSERT_EQ(linhas.size(), nomes.size());
      for (std::size_t i = 0; i < nomes.size(); ++i) EXPECT_EQ(nlohmann::json::parse(linhas[i])["arquivo"], nomes[i]);
    }
  }
}

TEST(Opcoes, QuietoSaidaAjudaVersao) {
  Pasta pasta;
  pasta.Gera("ok.txt", "GIA05", false);
  pasta.Gera("nok.txt", "GIAST01", true);
  const Execucao q = pasta.Validagia({"-q", "ok.txt", "nok.txt"});
  EXPECT_EQ(q.status, 1);
  EXPECT_EQ(q.saida, "ok.txt: OK\r\nnok.txt: NOK\r\n");
  const Execucao o = pasta.Validagia({"-o", "resultado.json", "-f", "json", "ok.txt"});
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.saida.empty());
  EXPECT_EQ(nlohmann::json::parse(Le(pasta.caminho() / "resultado.json"))["veredito"], "OK");
  const Execucao ajuda = pasta.Validagia({"--help"});
  EXPECT_EQ(ajuda.status, 0);
  EXPECT_NE(ajuda.saida.find("Uso"), std::string::npos);
  EXPECT_NE(ajuda.saida.find("--formato"), std::string::npos);
  const Execucao versao = pasta.Validagia({"--version"});
  EXPECT_EQ(versao.status, 0);
  EXPECT_EQ(versao.saida.rfind("validagia ", 0), 0U);
}

// Each bad input: its exit status, and a message that says what is wrong.
TEST(EntradaRuim, StatusEMensagem) {
  Pasta pasta;
  fs::create_directories(pasta.caminho() / "pasta");
  std::string aleatorio;
  std::uint64_t x = 12345;
  for (int i = 0; i < 5000; ++i) aleatorio += static_cast<char>((x = x * 6364136223846793005ULL + 1) >> 56);
  Escreve(pasta.caminho() / "aleatorio.bin", aleatorio);
  pasta.Gera("ok.txt", "GIA03", false);
  // Root reads any file: a file whose reading fails is then one of /proc.
  std::string ilegivel = "/proc/self/mem";
  if (::geteuid() != 0) {
    Escreve(pasta.caminho() / "ilegivel.txt", "****05");
    fs::permissions(pasta.caminho() / "ilegivel.txt", fs::perms::none);
    ilegivel = "ilegivel.txt";
  }
  const struct {
    std::string regra;
    std::vector<std::string> argumentos;
    int status;
    std::string mensagem;
  } kCasos[] = {
      {"arquivo que não existe", {"nao-existe.txt"}, 2, "nao-existe.txt"},
      {"pasta", {"pasta"}, 2, "pasta: não pode ser lido"},
      {"arquivo ilegível", {ilegivel}, 2, ilegivel + ": não pode ser lido"},
      {"opção desconhecida", {"--nada", "ok.txt"}, 2, "desconhecido"},
      {"tipo inválido", {"-t", "GIA06", "ok.txt"}, 2, "tipo inválido"},
      {"tipo em minúsculas", {"-t", "gia03", "ok.txt"}, 2, "tipo inválido"},
      {"formato inválido", {"-f", "xml", "ok.txt"}, 2, "formato inválido"},
      {"jobs zero", {"-j", "0", "ok.txt"}, 2, "--jobs"},
      {"jobs não numérico", {"-j", "muitos", "ok.txt"}, 2, "--jobs"},
      {"nenhum arquivo", {}, 2, "nenhum arquivo"},
      {"entrada padrão duas vezes", {"-", "-"}, 2, "entrada padrão"},
      {"bytes aleatórios, tipo reconhecido", {"aleatorio.bin"}, 2, "aleatorio.bin: o primeiro registro"},
      {"bytes aleatórios, tipo dado", {"-t", "GIA05", "aleatorio.bin"}, 1, ""},
      {"bytes aleatórios como GIA ST 2", {"-t", "GIAST02", "aleatorio.bin"}, 1, ""},
      {"um arquivo bom e um que não existe", {"ok.txt", "nao-existe.txt"}, 2, "nao-existe.txt"},
  };
  for (const auto& c : kCasos) {
    const Execucao e = pasta.Validagia(c.argumentos);
    EXPECT_EQ(e.status, c.status) << c.regra << ": " << e.erro;
    EXPECT_NE(e.erro.find(c.mensagem), std::string::npos) << c.regra << ": " << e.erro;
    if (c.status == 2) {
      EXPECT_NE(e.erro.find("validagia: "), std::string::npos) << c.regra;
    }
  }
}

}  // namespace

namespace {

std::size_t Ocorrencias(const std::string& texto, const std::string& procura) {
  std::size_t n = 0;
  for (auto i = texto.find(procura); i != std::string::npos; i = texto.find(procura, i + 1)) ++n;
  return n;
}

// The page of a rejected file of every kind, one accepted file, and the
// standard input: the summary counts the program's own findings, each kind
// draws its records, and the input's findings are listed undrawn.
TEST(Html, UmaPaginaParaTodosOsArquivos) {
  const Pasta pasta;
  std::vector<std::string> argumentos = {"-f", "html", "-j", "2"};
  // Each line with a finding within the record is drawn once.
  std::size_t registros = 0;
  for (const auto& tipo : kTipos) {
    pasta.Gera(tipo + ".txt", tipo, true);
    const Execucao json = pasta.Validagia({"-f", "json", tipo + ".txt"});
    const int maior = tipo == "GIAST01" ? 754 : tipo == "GIAST02" ? 812 : 898;
    std::set<std::int64_t> linhas;
    const auto objeto = nlohmann::json::parse(json.saida);
    for (const auto& a : objeto["erros"])
      if (a["linha"] > 0 && a["coluna_inicial"] >= 1 && a["coluna_final"] <= maior)
        linhas.insert(a["linha"].get<std::int64_t>());
    EXPECT_FALSE(linhas.empty()) << tipo;
    registros += linhas.size();
    argumentos.push_back(tipo + ".txt");
  }
  const std::string valido = pasta.Gera("valido.txt", "GIA05", false);
  argumentos.push_back("valido.txt");
  argumentos.emplace_back("-");
  const Execucao e = pasta.Validagia(argumentos, pasta.Gera("entrada.txt", "GIA03", true, 1));
  ASSERT_EQ(e.status, 1) << e.erro;
  EXPECT_TRUE(e.saida.starts_with("<!DOCTYPE html>")) << e.saida.substr(0, 80);
  EXPECT_EQ(Ocorrencias(e.saida, "<script"), 0U);
  EXPECT_EQ(Ocorrencias(e.saida, "<pre"), registros) << "one record a line with findings; none for the input";
  EXPECT_NE(e.saida.find("a entrada padrão não pode ser lida de novo"), std::string::npos);
  EXPECT_NE(e.saida.find("Aceito (OK)"), std::string::npos);
  const std::string pagina = pasta.Validagia({"-f", "html", "-o", "pagina.html", "GIA03.txt"}).saida;
  EXPECT_TRUE(pagina.empty()) << "-o takes the page";
  EXPECT_NE(Le(pasta.caminho() / "pagina.html").find("GIA03.txt"), std::string::npos);
}

}  // namespace
