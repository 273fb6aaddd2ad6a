// jvmlaunch from outside, as a caller starts it: the hand-off to a client
// listening on 127.0.0.1:8020 (a server of the test in the run's own network
// namespace), the runtime discovery against a fake association and fake
// runtimes, the client's command line, folder and environment as the fake
// client recorded them, the exit codes, the message boxes (natively, where
// they are lines on the standard error stream) and the log file a run leaves.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "pasta_lancador.h"

namespace lancador {
namespace {

namespace fs = std::filesystem;
using Linhas = std::vector<std::string>;

bool SobWine() { return PastaLancador::SobWine(); }

// What the runtimes print on their standard error for "-d32 -version".
const std::string kJava16 =
    "java version \"1.6.0_45\"\nJava(TM) SE Runtime Environment (build 1.6.0_45-b06)\n"
    "Java HotSpot(TM) Client VM (build 20.45-b01, mixed mode, sharing)\n";
const std::string kJava17 =
    "java version \"1.7.0_80\"\nJava(TM) SE Runtime Environment (build 1.7.0_80-b15)\n"
    "Java HotSpot(TM) Client VM (build 24.80-b11, mixed mode, sharing)\n";
const std::string kJava18 =
    "java version \"1.8.0_66\"\nJava(TM) SE Runtime Environment (build 1.8.0_66-b18)\n"
    "Java HotSpot(TM) Client VM (build 25.66-b18, mixed mode, sharing)\n";
const std::string kJava64 =
    "Error: This Java instance does not support a 32-bit JVM.\nPlease install the desired version.\n";
const std::string kOpenJdk =
    "openjdk version \"1.8.0_292\"\nOpenJDK Runtime Environment (build 1.8.0_292-b10)\n"
    "OpenJDK Client VM (build 25.292-b10, mixed mode)\n";

// The message boxes of jvmlaunch.
const std::string kSemAssociacao = "ATENÇÃO: Não encontrou o JAVA instalado nesta máquina!";
const std::string kSem32bits =
    "ATENÇÃO: Não encontrou uma instalação do JAVA de 32 bits! Precisa ser instalado o JAVA de 32 bits da versão 1.7 "
    "ou superior.";
std::string ErroInterno(int n) { return "ATENÇÃO: Deu erro interno " + std::to_string(n) + "!"; }

// What a launcher that "connects" to nobody reads as the sockets' code.
std::string Recusada() { return SobWine() ? "10061" : "111"; }

std::string Cp(std::string_view utf8) { return cp1252::DeUtf8(utf8); }

// What the fake prints of a text: under Wine it writes in the text mode of
// Windows programs, each line feed as CR LF, as a Windows runtime does.
std::string Impresso(const std::string& texto) {
  return SobWine() ? std::regex_replace(texto, std::regex("\n"), "\r\n") : texto;
}
// The end of a line that a child printed, as the log's lines show it (its CR
// before the CR LF of the log).
std::string FimImpresso() { return SobWine() ? "\r" : ""; }

class Lancador : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string motivo = PastaLancador::SemNamespace();
    if (!motivo.empty())
      GTEST_SKIP() << "no private network namespace here, so port 8020 would not be the test's own: " << motivo;
  }

  // The launcher as a caller names it, and the full command line it reads.
  [[nodiscard]] std::string Completa(const Linhas& argumentos) const {
    std::string linha = PastaLancador::Visto(pasta.App() / ("jvmlaunch" + PastaLancador::Sufixo()));
    // Wine writes the program's path in quotes, and quotes an argument that
    // holds a blank or is empty.
    if (SobWine()) linha = "\"" + linha + "\"";
    for (const std::string& a : argumentos)
      linha += " " + (SobWine() && (a.empty() || a.find(' ') != std::string::npos) ? "\"" + a + "\"" : a);
    return linha;
  }
  [[nodiscard]] std::string Visto(const fs::path& p) const { return PastaLancador::Visto(p); }
  [[nodiscard]] std::string LogApp() const { return Visto(pasta.App() / "Log"); }
  // The runtime program below a home folder, as the launcher names it.
  [[nodiscard]] std::string Java(const fs::path& home) const {
    return Visto(home / "bin" / ("java" + PastaLancador::Sufixo()));
  }
  // The association of Java archives with the windowed runtime below home.
  [[nodiscard]] std::string Associacao(const fs::path& home) const {
    return "jarfile=\"" + Visto(home / "bin" / ("javaw" + PastaLancador::Sufixo())) + "\" -jar \"%1\" %*\r\n";
  }

  // The lines the fake recorded in a folder.
  static Linhas Registro(const fs::path& pasta) {
    Linhas linhas;
    const std::string texto = PastaLancador::Le(pasta / "registro.txt");
    for (std::size_t i = 0; i < texto.size();) {
      const std::size_t fim = texto.find('\n', i);
      linhas.push_back(texto.substr(i, fim - i));
      i = fim + 1;
    }
    return linhas;
  }
  [[nodiscard]] std::string Marcas(const fs::path& atual) const { return "[" + Visto(atual) + "]{" + LogApp() + "}"; }
  // A probe's record: run from the caller's folder.
  [[nodiscard]] std::string Sonda() const { return "versao<-d32><-version>" + Marcas(pasta.Raiz() / "chamador"); }
  // The client's record: run from the launcher's folder, DIRLOG its log folder.
  [[nodiscard]] std::string Cliente(const Linhas& argumentos) const {
    std::string linha = "cliente";
    for (const std::string& a : argumentos) linha += "<" + a + ">";
    return linha + Marcas(pasta.App());
  }
  [[nodiscard]] std::string RelatorioJvm() const {
    return "-XX:ErrorFile=" + Visto(pasta.App() / "Log" / "VEK_JVM_%p.LOG");
  }

  // The message boxes: lines on the standard error natively; under Wine they
  // are windows that cannot be shown, and are not checked.
  static void ConfereCaixas(const std::string& erro, const Linhas& caixas) {
    if (SobWine()) return;
    std::string esperado;
    for (const std::string& c : caixas) esperado += "jvmlaunch: " + c + "\n";
    EXPECT_EQ(erro, esperado);
  }

  // The log's lines (LinhasDoLog) that a run left; expects exactly one log
  // file, named jvmlaunch_ and a process id.
  [[nodiscard]] Linhas LinhasLog() const {
    const Linhas nomes = pasta.ArquivosLog();
    EXPECT_EQ(nomes.size(), 1U);
    if (nomes.size() != 1) return {};
    EXPECT_TRUE(std::regex_match(nomes[0], std::regex(R"(jvmlaunch_\d+\.LOG)"))) << nomes[0];
    return LinhasDoLog(pasta.Log());
  }

  PastaLancador pasta;
};

bool Contem(const Linhas& linhas, const std::string& linha) {
  return std::find(linhas.begin(), linhas.end(), linha) != linhas.end();
}

// The lines that start with one of the prefixes, in order.
Linhas Filtra(const Linhas& linhas, const Linhas& prefixos) {
  Linhas r;
  for (const std::string& l : linhas)
    for (const std::string& p : prefixos)
      if (l.starts_with(p)) {
        r.push_back(l);
        break;
      }
  return r;
}

// --- Hand-off to a running client -------------------------------------------

TEST_F(Lancador, HandOffSendsExactlyTheArgumentTextThenHalfClosesAndEndsWithOne) {
  struct Caso {
    const char* regra;
    Linhas argumentos;
    std::string bytes;
  };
  const std::vector<Caso> casos = {
      {"two arguments: a, a blank, b", {"a", "b"}, "a b"},
      {"no arguments: nothing is sent", {}, ""},
      {"-debugssl is handed off as it is", {"x", "-debugssl"}, "x -debugssl"},
      {"an argument with a blank as the command line holds it", {"arq um"}, SobWine() ? "\"arq um\"" : "arq um"},
      {"bytes of Windows-1252 as they are", {"ação"}, Cp("ação")},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.regra);
    PastaLancador p;
    p.Associacao(Associacao(p.Raiz() / "assoc"));
    const PastaLancador::Resultado r = p.Executa(c.argumentos, true);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_EQ(r.recebido, c.bytes);
    EXPECT_EQ(r.fim, "fim");
    ConfereCaixas(r.erro, {});
    // No runtime was looked for; with logging off and no error, no log file.
    EXPECT_TRUE(Registro(SobWine() ? p.App() : p.Raiz() / "bin").empty());
    EXPECT_TRUE(p.ArquivosLog().empty());
  }
}

TEST_F(Lancador, HandOffWithDashLLeavesTheWholeTraceInTheLog) {
  const PastaLancador::Resultado r = pasta.Executa({"-l", "x"}, true);
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.recebido, "-l x");
  EXPECT_EQ(r.fim, "fim");
  const std::string dump = "    msg:    2d 6c 20 78 " + std::string(12 * 3, ' ') + "   -l x" + std::string(12, ' ');
  EXPECT_EQ(LinhasLog(), (Linhas{"INICIO DO LOG nivel 7 em <data>", "<3>WinMain() 1: -l x 2: " + Completa({"-l", "x"}),
                                 "<3>NovaLinhaDeComando: -l x", "<3>    connect() 127.0.0.1 porta: 8020",
                                 "<3>  send(<id>)", "<3> tam: 4", dump, "<3>  transmitiu 4 bytes"}));
  // The file itself, byte for byte with the time stamps masked.
  const std::string log =
      std::regex_replace(pasta.Log(), std::regex(R"(\d\d/\d\d \d\d:\d\d:\d\d\.\d\d\d\[\d+\.3\]:)"), "<3>");
  EXPECT_TRUE(
      std::regex_match(log, std::regex("\r\nINICIO DO LOG nivel 7 em \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n\r\n"
                                       "<3>WinMain\\(\\) [^\r\n]*\r\n<3>NovaLinhaDeComando: -l x\r\n"
                                       "<3>    connect\\(\\) 127\\.0\\.0\\.1 porta: 8020\r\n<3>  send\\(\\d+\\)\r\n"
                                       "<3> tam: 4\r\n[^\r\n]*\r\n\r\n<3>  transmitiu 4 bytes\r\n")))
      << log;
}

TEST_F(Lancador, TwoDoubleQuotesInARowPassOnTheTextFromTheSecond) {
  // Natively the arguments stand in the command line as received; under Wine
  // an empty argument is written as two double quotes.
  const Linhas argumentos = SobWine() ? Linhas{"x", "", "y"} : Linhas{"a\"\"b", "c"};
  const PastaLancador::Resultado r = pasta.Executa(argumentos, true);
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.recebido, SobWine() ? "\" y" : "\"b c");
}

TEST_F(Lancador, ACommandLineOfAnyLengthIsHandedOffWhole) {
  const std::string longo(3000, 'k');
  const PastaLancador::Resultado r = pasta.Executa({longo, longo}, true);
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.recebido, longo + " " + longo);
  EXPECT_EQ(r.fim, "fim");
}

TEST(LancadorPasta, ALauncherPathHoldingDashLSwitchesTheLogToLevel7) {
  if (const std::string motivo = PastaLancador::SemNamespace(); !motivo.empty()) GTEST_SKIP() << motivo;
  PastaLancador pasta("pasta-lancador");
  const PastaLancador::Resultado r = pasta.Executa({"a"}, true);
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.recebido, "a");
  const Linhas linhas = LinhasDoLog(pasta.Log());
  ASSERT_GE(linhas.size(), 2U);
  EXPECT_EQ(linhas[0], "INICIO DO LOG nivel 7 em <data>");
  EXPECT_EQ(linhas.back(), "<3>  transmitiu 1 bytes");
}

TEST(LancadorPasta, ALongFolderPathKeepsTheLogFileInItsLogFolder) {
  if (const std::string motivo = PastaLancador::SemNamespace(); !motivo.empty()) GTEST_SKIP() << motivo;
  if (SobWine()) GTEST_SKIP() << "Windows programs take paths of at most 260 characters";
  // More than 511 characters up to the log file.
  const std::string pasta_longa =
      "app/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/" + std::string(200, 'c');
  PastaLancador pasta(pasta_longa);
  const PastaLancador::Resultado r = pasta.Executa({"-l"}, true);
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.erro, "");
  const Linhas linhas = LinhasDoLog(pasta.Log());
  ASSERT_FALSE(linhas.empty());
  EXPECT_EQ(linhas.back(), "<3>  transmitiu 2 bytes");
}

TEST_F(Lancador, WithoutItsOwnPathItLogsTheFailureAndEndsWithMinusOne) {
  if (SobWine()) GTEST_SKIP() << "Wine always knows the program's path";
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' run-time cannot start without /proc";
#endif
  // No /proc: the link to the program's own file is not there.
  fs::create_directories(pasta.Raiz() / "vazia");
  fs::create_directories(pasta.Raiz() / "dirlog");
  pasta.Monta(pasta.Raiz() / "vazia", "/proc");
  pasta.Variavel("DIRLOG", (pasta.Raiz() / "dirlog").string());
  const PastaLancador::Resultado r = pasta.Executa({"-l"}, true);
  EXPECT_EQ(r.codigo, 255);  // -1
  EXPECT_EQ(r.fim, "nenhuma");
  EXPECT_FALSE(fs::exists(pasta.App() / "Log"));
  // Without its folder the log goes where DIRLOG says, under the program's name.
  std::vector<fs::path> arquivos;
  for (const auto& e : fs::directory_iterator(pasta.Raiz() / "dirlog")) arquivos.push_back(e.path());
  ASSERT_EQ(arquivos.size(), 1U);
  EXPECT_TRUE(std::regex_match(arquivos[0].filename().string(), std::regex(R"(jvmlaunch_\d+\.LOG)")));
  EXPECT_EQ(LinhasDoLog(PastaLancador::Le(arquivos[0])),
            (Linhas{"INICIO DO LOG nivel 0 em <data>", Cp("<0>Não conseguiu executar GetModuleFileName()! Erro: 2"),
                    "No such file or directory"}));
}

// --- Runtime discovery --------------------------------------------------------

TEST_F(Lancador, TheAssociatedWindowedRuntimeIsAskedAsTheConsoleOneAndStartsTheClient) {
  const fs::path assoc = pasta.Raiz() / "assoc";
  const fs::path interpretador = pasta.Associacao(Associacao(assoc));
  const fs::path bin = pasta.Runtime(assoc, kJava17);
  const PastaLancador::Resultado r = pasta.Executa({"-l", "x"});
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(r.fim, "");
  ConfereCaixas(r.erro, {});
  EXPECT_EQ(Registro(interpretador), (Linhas{"ftype</C><ftype jarfile>" + Marcas(pasta.Raiz() / "chamador")}));
  EXPECT_EQ(Registro(bin), (Linhas{Sonda(), Cliente({"-jar", RelatorioJvm(), "vek.jar", "-l", "x"})}));

  const std::string java = "\"" + Java(assoc) + "\"";
  const std::string cliente = java + " -jar " + RelatorioJvm() + " vek.jar -l x";
  const Linhas linhas = LinhasLog();
  const std::string n_assoc = std::to_string(Impresso(Associacao(assoc)).size());
  const std::string n_versao = std::to_string(Impresso(kJava17).size());
  EXPECT_EQ(linhas,
            (Linhas{"INICIO DO LOG nivel 7 em <data>", "<3>WinMain() 1: -l x 2: " + Completa({"-l", "x"}),
                    "<3>NovaLinhaDeComando: -l x", "<3>    connect() 127.0.0.1 porta: 8020",
                    "<3>  connect retornou: " + Recusada(),
                    "<3>ExecutarComando(cmd.exe /C \"ftype jarfile\", <end>, 10000, <end>, 10000)",
                    "<3>  executando: cmd.exe /C \"ftype jarfile\"", "<3>  fechando <id>",
                    "<3>retorno ExecutarComando: " + n_assoc, "<3>  EhJava32bits(" + java + ")",
                    "<3>ExecutarComando(" + java + " -d32 -version, <end>, 1000, <end>, 1000)",
                    "<3>  executando: " + java + " -d32 -version", "<3>  fechando <id>",
                    "<3>retorno ExecutarComando: " + n_versao,
                    "<3>ExecutarComando(" + cliente + ", <end>, 10000, <end>, 10000)", "<3>  executando: " + cliente,
                    "<3>  fechando <id>", "<3>retorno ExecutarComando: 0", "<3>retorno WinMain: 1"}));
}

TEST(LancadorPasta, FoldersWithBlanksAndAnUnquotedAssociationStayWholeInTheCommandLines) {
  if (const std::string motivo = PastaLancador::SemNamespace(); !motivo.empty()) GTEST_SKIP() << motivo;
  PastaLancador pasta("app com branco");
  const fs::path assoc = pasta.Raiz() / "assoc com branco";
  pasta.Associacao("jarfile=" + PastaLancador::Visto(assoc / "bin" / ("javaw" + PastaLancador::Sufixo())) +
                   " -jar %1 %*\r\n");
  const fs::path bin = pasta.Runtime(assoc, kJava17);
  const PastaLancador::Resultado r = pasta.Executa({"a"});
  EXPECT_EQ(r.codigo, 1);
  // The runtime started (its probe and the client), and the crash report's
  // option reached it as one argument.
  const std::string log = PastaLancador::Visto(pasta.App() / "Log");
  const std::string marcas = "{" + log + "}";
  EXPECT_EQ(PastaLancador::Le(bin / "registro.txt"),
            "versao<-d32><-version>[" + PastaLancador::Visto(pasta.Raiz() / "chamador") + "]" + marcas + "\n" +
                "cliente<-jar><-XX:ErrorFile=" + PastaLancador::Visto(pasta.App() / "Log" / "VEK_JVM_%p.LOG") +
                "><vek.jar><a>[" + PastaLancador::Visto(pasta.App()) + "]" + marcas + "\n");
}

TEST_F(Lancador, OnlyA32BitRuntimeOfVersion17OrLaterIsAccepted) {
  struct Caso {
    const char* regra;
    std::string resposta;
    bool aceito;
    std::string linha;  // the log line of a refusal, at level 3, without "<3>"
  };
  const std::vector<Caso> casos = {
      {"1.6 is older", kJava16, false,
       Cp("O JAVA encontrado é inferior à versão 1.7. Resultado: java version \"1.6.0_45\"")},
      {"1.7 qualifies", kJava17, true, ""},
      {"1.8 qualifies", kJava18, true, ""},
      {"9 qualifies", "java version \"9\"\n", true, ""},
      {"10 qualifies", "java version \"10.0.2\" 2018-07-17\n", true, ""},
      {"a version without its closing quote counts to the end", "java version \"1.7", true, ""},
      {"openjdk: no java version, an empty version", kOpenJdk, false,
       Cp("O JAVA encontrado é inferior à versão 1.7. Resultado: openjdk version \"1.8.0_292\"")},
      {"nothing printed: an empty version", "", false, Cp("O JAVA encontrado é inferior à versão 1.7. Resultado: ")},
      {"a 64-bit runtime cannot run as 32-bit", kJava64, false, Cp("O JAVA encontrado não funciona em 32 bits.")},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.regra);
    PastaLancador p;
    const fs::path assoc = p.Raiz() / "assoc";
    p.Associacao(Associacao(assoc));
    const fs::path bin = p.Runtime(assoc, c.resposta);
    const PastaLancador::Resultado r = p.Executa({"-l"});
    EXPECT_EQ(r.codigo, c.aceito ? 1 : 0);
    EXPECT_EQ(Registro(bin).size(), c.aceito ? 2U : 1U);  // the probe, then the client
    ConfereCaixas(r.erro, c.aceito ? Linhas{} : Linhas{kSem32bits});
    const std::string fim = c.linha.ends_with("\"") ? FimImpresso() : "";
    if (!c.aceito) {
      EXPECT_TRUE(Contem(LinhasDoLog(p.Log()), "<3>" + c.linha + fim)) << c.linha;
    }
  }
}

TEST_F(Lancador, A64BitRuntimeIsRefusedAndTheSearchGoesOnToTheProgramFilesFolders) {
  const fs::path assoc = pasta.Raiz() / "assoc";
  pasta.Associacao(Associacao(assoc));
  pasta.Runtime(assoc, kJava64);
  const fs::path bin = pasta.Runtime(pasta.ProgramFiles(0) / "Java" / "jre1.8.0_66", kJava18);
  const PastaLancador::Resultado r = pasta.Executa({"-l"});
  EXPECT_EQ(r.codigo, 1);
  ConfereCaixas(r.erro, {});
  const std::string pf0 = SobWine() ? PastaLancador::ProgramFilesVisto(0) : Visto(pasta.ProgramFiles(0));
  const std::string sep(1, PastaLancador::Separador());
  const std::string java =
      pf0 + sep + "Java" + sep + "jre1.8.0_66" + sep + "bin" + sep + "java" + PastaLancador::Sufixo();
  const Linhas linhas = LinhasLog();
  EXPECT_EQ(Filtra(linhas, {"<3>  EhJava32bits", "<3>  TemJRE", "<3>  Retorno", "<3>O JAVA", "Resultado", "Please"}),
            (Linhas{"<3>  EhJava32bits(\"" + Java(assoc) + "\")", Cp("<3>O JAVA encontrado não funciona em 32 bits."),
                    "Resultado: Error: This Java instance does not support a 32-bit JVM." + FimImpresso(),
                    "Please install the desired version." + FimImpresso(), "<3>  TemJRE(" + pf0 + ")",
                    "<3>  EhJava32bits(" + java + ")", "<3>  Retorno TemJRE: " + java}));
  // A path with a blank (C:\Program Files) is one program name in the command.
  const std::string comando =
      (java.find(' ') != std::string::npos ? "\"" + java + "\"" : java) + " -jar " + RelatorioJvm() + " vek.jar -l";
  EXPECT_TRUE(Contem(linhas, "<3>  executando: " + comando)) << comando;
  EXPECT_EQ(Registro(bin), (Linhas{Sonda(), Cliente({"-jar", RelatorioJvm(), "vek.jar", "-l"})}));
}

TEST_F(Lancador, WithoutAnAssociationTheBoxIsShownAndNothingElseIsSearched) {
  // Natively the interpreter answers as Windows does without an association;
  // under Wine, Wine's own cmd.exe answers.
  if (!SobWine()) pasta.Associacao("", "Tipo de arquivo 'jarfile' não encontrado ou sem comando aberto associado.\r\n");
  const fs::path bin = pasta.Runtime(pasta.ProgramFiles(0) / "Java" / "jre7", kJava17);
  const PastaLancador::Resultado r = pasta.Executa({"a"});
  EXPECT_EQ(r.codigo, 0);
  ConfereCaixas(r.erro, {kSemAssociacao});
  EXPECT_TRUE(Registro(bin).empty());
  // Logging off: the error arrives with the history before it.
  const Linhas linhas = LinhasLog();
  ASSERT_GE(linhas.size(), 3U);
  EXPECT_TRUE(std::regex_match(linhas[0], std::regex(R"(\*+ IMPRESSAO DE LOG EM MEMORIA \d+ mensagens \*+)")));
  EXPECT_EQ(linhas[1], "<3>WinMain() 1: a 2: " + Completa({"a"}));
  EXPECT_EQ(linhas[linhas.size() - 2], "******** Fim da IMPRESSAO DE LOG EM MEMORIA ********");
  EXPECT_EQ(linhas.back(), Cp("<0>Não encontrou o JAVA. Resultado: "));
}

TEST_F(Lancador, WithoutACommandInterpreterItIsInternalError1) {
  if (SobWine()) GTEST_SKIP() << "Wine always has its own cmd.exe";
  pasta.Runtime(pasta.ProgramFiles(0) / "Java" / "jre7", kJava17);
  const PastaLancador::Resultado r = pasta.Executa({});
  EXPECT_EQ(r.codigo, 0);
  ConfereCaixas(r.erro, {ErroInterno(1)});
  // Each error prints the history kept before it.
  const Linhas linhas = LinhasLog();
  ASSERT_GE(linhas.size(), 6U);
  EXPECT_EQ(Linhas(linhas.end() - 6, linhas.end()),
            (Linhas{"<0>E#C6702: Falhou CreateProcess() com erro: 2", "No such file or directory",
                    "******** IMPRESSAO DE LOG EM MEMORIA 1 mensagens ********", "<3>retorno ExecutarComando: -1",
                    "******** Fim da IMPRESSAO DE LOG EM MEMORIA ********", "<0>Erro interno 1"}));
}

TEST_F(Lancador, TheJreFoldersOfTheProgramFilesFoldersInOrder) {
  // An answer without " -jar" gives no candidate.
  pasta.Associacao("jarfile=\"C:\\java\\bin\\javaw.exe\" \"%1\" %*\r\n");
  const fs::path java0 = pasta.ProgramFiles(0) / "Java";
  const fs::path jre6 = pasta.Runtime(java0 / "jre6", kJava16);
  fs::create_directories(java0 / "jre8");                          // no runtime in it
  PastaLancador::Escreve(java0 / "jre-arquivo", "not a folder");   // not a folder
  const fs::path outro = pasta.Runtime(java0 / "java7", kJava17);  // not named jre*
  const fs::path jre7 = pasta.Runtime(pasta.ProgramFiles(1) / "Java" / "jre7", kJava17);
  const PastaLancador::Resultado r = pasta.Executa({"-l"});
  EXPECT_EQ(r.codigo, 1);
  ConfereCaixas(r.erro, {});
  EXPECT_EQ(Registro(jre6), Linhas{Sonda()});
  EXPECT_TRUE(Registro(outro).empty());
  EXPECT_EQ(Registro(jre7), (Linhas{Sonda(), Cliente({"-jar", RelatorioJvm(), "vek.jar", "-l"})}));

  const std::string sep(1, PastaLancador::Separador());
  const std::string pf0 = SobWine() ? PastaLancador::ProgramFilesVisto(0) : Visto(pasta.ProgramFiles(0));
  const std::string pf1 = SobWine() ? PastaLancador::ProgramFilesVisto(1) : Visto(pasta.ProgramFiles(1));
  const std::string x = PastaLancador::Sufixo();
  EXPECT_EQ(Filtra(LinhasLog(), {"<3>  EhJava32bits", "<3>  TemJRE", "<3>  Retorno"}),
            (Linhas{"<3>  TemJRE(" + pf0 + ")",
                    "<3>  EhJava32bits(" + pf0 + sep + "Java" + sep + "jre6" + sep + "bin" + sep + "java" + x + ")",
                    "<3>  Retorno TemJRE: NULL", "<3>  TemJRE(" + pf1 + ")",
                    "<3>  EhJava32bits(" + pf1 + sep + "Java" + sep + "jre7" + sep + "bin" + sep + "java" + x + ")",
                    "<3>  Retorno TemJRE: " + pf1 + sep + "Java" + sep + "jre7" + sep + "bin" + sep + "java" + x}));
}

TEST_F(Lancador, ProgramW6432IsTheLastProgramFilesFolder) {
  if (SobWine()) GTEST_SKIP() << "under Wine ProgramW6432 is ProgramFiles";
  pasta.Associacao("jarfile=x");
  const fs::path bin = pasta.Runtime(pasta.ProgramFiles(2) / "Java" / "jre7", kJava17);
  const PastaLancador::Resultado r = pasta.Executa({"-l"});
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(Registro(bin).size(), 2U);
  EXPECT_EQ(Filtra(LinhasLog(), {"<3>  TemJRE", "<3>  Retorno"}),
            (Linhas{"<3>  TemJRE(" + Visto(pasta.ProgramFiles(0)) + ")", "<3>  Retorno TemJRE: NULL",
                    "<3>  TemJRE(" + Visto(pasta.ProgramFiles(1)) + ")", "<3>  Retorno TemJRE: NULL",
                    "<3>  TemJRE(" + Visto(pasta.ProgramFiles(2)) + ")",
                    "<3>  Retorno TemJRE: " + Java(pasta.ProgramFiles(2) / "Java" / "jre7")}));
}

TEST_F(Lancador, WithoutProgramFilesNoneOfTheThreeIsTried) {
  if (SobWine()) GTEST_SKIP() << "Wine always sets ProgramFiles";
  pasta.Associacao("jarfile=x");
  pasta.Remove("ProgramFiles");
  const fs::path pf1 = pasta.Runtime(pasta.ProgramFiles(1) / "Java" / "jre7", kJava17);
  const fs::path pf2 = pasta.Runtime(pasta.ProgramFiles(2) / "Java" / "jre7", kJava17);
  const fs::path home = pasta.Raiz() / "jdk";
  const fs::path bin = pasta.Runtime(home, kJava17);
  pasta.Variavel("JAVA_HOME", Visto(home));
  const PastaLancador::Resultado r = pasta.Executa({});
  EXPECT_EQ(r.codigo, 1);
  EXPECT_TRUE(Registro(pf1).empty());
  EXPECT_TRUE(Registro(pf2).empty());
  EXPECT_EQ(Registro(bin).size(), 2U);
}

TEST_F(Lancador, TheJavaHomeVariablesInOrderAndAMissingRuntimeIsInternalError2) {
  pasta.Associacao("jarfile=x");
  const fs::path jdk = pasta.Raiz() / "jdk";
  const fs::path jre = pasta.Raiz() / "jre";
  const fs::path bin_jdk = pasta.Runtime(jdk, kJava16);
  const fs::path bin_jre = pasta.Runtime(jre, kJava18);
  pasta.Variavel("JAVA_HOME", Visto(pasta.Raiz() / "nao-existe"));
  pasta.Variavel("JDK_HOME", Visto(jdk));
  pasta.Variavel("JRE_HOME", Visto(jre));
  const PastaLancador::Resultado r = pasta.Executa({"x"});
  EXPECT_EQ(r.codigo, 1);
  ConfereCaixas(r.erro, {ErroInterno(2)});
  EXPECT_EQ(Registro(bin_jdk), Linhas{Sonda()});
  EXPECT_EQ(Registro(bin_jre), (Linhas{Sonda(), Cliente({"-jar", RelatorioJvm(), "vek.jar", "x"})}));
  // The internal error reaches the log with its history; what follows it at
  // level 3 with logging off is kept in memory only.
  const Linhas linhas = LinhasLog();
  ASSERT_GE(linhas.size(), 3U);
  EXPECT_EQ(linhas.back(), "<0>Erro interno 2");
  EXPECT_TRUE(Contem(linhas, "<3>  EhJava32bits(" + Java(pasta.Raiz() / "nao-existe") + ")"));
  EXPECT_TRUE(Contem(linhas, "<0>E#C6702: Falhou CreateProcess() com erro: 2"));
}

TEST_F(Lancador, WhenNothingQualifiesTheUserIsToldToInstallA32BitJava) {
  const fs::path assoc = pasta.Raiz() / "assoc";
  pasta.Associacao(Associacao(assoc));
  pasta.Runtime(assoc, kJava64);
  pasta.Runtime(pasta.ProgramFiles(0) / "Java" / "jre6", kJava16);
  const fs::path home = pasta.Raiz() / "jdk";
  pasta.Runtime(home, kOpenJdk);
  pasta.Variavel("JAVA_HOME", Visto(home));
  const PastaLancador::Resultado r = pasta.Executa({"a"});
  EXPECT_EQ(r.codigo, 0);
  ConfereCaixas(r.erro, {kSem32bits});
  // No error was logged: with logging off there is no log file.
  EXPECT_TRUE(pasta.ArquivosLog().empty());
}

// --- The client -----------------------------------------------------------------

class ClienteIniciado : public Lancador {
 protected:
  void SetUp() override {
    Lancador::SetUp();
    if (IsSkipped()) return;
    assoc_ = pasta.Raiz() / "assoc";
    pasta.Associacao(Associacao(assoc_));
    bin_ = pasta.Runtime(assoc_, kJava17);
  }
  fs::path assoc_;
  fs::path bin_;
};

TEST_F(ClienteIniciado, DebugSslChoosesItsFormatAndIsPassedOnAsL7FromTheProgramFolder) {
  const PastaLancador::Resultado r = pasta.Executa({"x", "-debugssl", "y"});
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(Registro(bin_), (Linhas{Sonda(), Cliente({"-Djavax.net.debug=all:handshake", RelatorioJvm(), "-jar",
                                                      "vek.jar", "x", "-l", "7", "y"})}));
}

TEST_F(ClienteIniciado, WhatTheClientPrintedGoesToTheLogByStream) {
  struct Caso {
    const char* regra;
    Linhas argumentos;
    std::string saida;
    std::string erro;
    Linhas fim_do_log;  // empty: no log file
  };
  const std::vector<Caso> casos = {
      {"standard error: both at level 0, after the history",
       {},
       "ok",
       "falhou",
       {"******** Fim da IMPRESSAO DE LOG EM MEMORIA ********", "<0>SAIDA STDOUT: ok", "<0>SAIDA STDERR: falhou"}},
      {"standard output only, logging off: nothing", {}, "ok", "", {}},
      {"standard output only at level 7: both at level 3",
       {"-l"},
       "ok",
       "",
       {"<3>SAIDA STDOUT: ok", "<3>SAIDA STDERR: ", "<3>retorno WinMain: 1"}},
      {"nothing printed", {"-l"}, "", "", {"<3>retorno ExecutarComando: 0", "<3>retorno WinMain: 1"}},
      {"at most 9999 bytes of each",
       {},
       std::string(12000, 'o'),
       std::string(20000, 'e'),
       {"<0>SAIDA STDOUT: " + std::string(9999, 'o'), "<0>SAIDA STDERR: " + std::string(9999, 'e')}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.regra);
    PastaLancador p;
    const fs::path assoc = p.Raiz() / "assoc";
    p.Associacao(Associacao(assoc));
    const fs::path bin = p.Runtime(assoc, kJava17);
    PastaLancador::Escreve(bin / "cliente.saida", c.saida);
    PastaLancador::Escreve(bin / "cliente.erro", c.erro);
    const PastaLancador::Resultado r = p.Executa(c.argumentos);
    EXPECT_EQ(r.codigo, 1);
    if (c.fim_do_log.empty()) {
      EXPECT_TRUE(p.ArquivosLog().empty());
      continue;
    }
    const Linhas linhas = LinhasDoLog(p.Log());
    ASSERT_GE(linhas.size(), c.fim_do_log.size());
    EXPECT_EQ(Linhas(linhas.end() - static_cast<long>(c.fim_do_log.size()), linhas.end()), c.fim_do_log);
  }
}

TEST_F(ClienteIniciado, AClientThatCannotBeStartedIsInternalError3) {
  // The runtime answers its probe, then is gone.
  PastaLancador::Escreve(bin_ / "some.txt", "");
  const PastaLancador::Resultado r = pasta.Executa({});
  EXPECT_EQ(r.codigo, 0);
  ConfereCaixas(r.erro, {ErroInterno(3)});
  EXPECT_EQ(Registro(bin_), Linhas{Sonda()});
  const Linhas linhas = LinhasLog();
  ASSERT_GE(linhas.size(), 2U);
  EXPECT_EQ(linhas.back(), "<0>Erro interno 3");
}

TEST_F(ClienteIniciado, AProgramFolderThatIsGoneBeforeTheClientStartsNoClient) {
  // The interpreter moves the launcher's folder away while it answers.
  const fs::path interpretador = SobWine() ? pasta.App() : pasta.Raiz() / "bin";
  const fs::path movida = pasta.Raiz() / "app2";
  PastaLancador::Escreve(interpretador / "renomeia.txt", Visto(pasta.App()) + "\n" + Visto(movida));
  const PastaLancador::Resultado r = pasta.Executa({"-l"});
  EXPECT_EQ(r.codigo, 0);
  EXPECT_EQ(Registro(bin_), Linhas{Sonda()});
  // The log moved with the folder.
  std::vector<fs::path> arquivos;
  for (const auto& e : fs::directory_iterator(movida / "Log")) arquivos.push_back(e.path());
  ASSERT_EQ(arquivos.size(), 1U);
  const Linhas linhas = LinhasDoLog(PastaLancador::Le(arquivos[0]));
  ASSERT_GE(linhas.size(), 2U);
  EXPECT_TRUE(std::regex_match(
      linhas[linhas.size() - 2],
      std::regex(Cp("<0>E#C1411: Não conseguiu mudar para a pasta ") +
                 std::regex_replace(Visto(pasta.App()), std::regex(R"([\\.])"), R"(\$&)") + R"(\. Erro: \d+)")))
      << linhas[linhas.size() - 2];
}

}  // namespace
}  // namespace lancador
