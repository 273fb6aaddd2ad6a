// The main flow's pieces in the process: NovaLinhaDeComando, the client
// command, the association's candidate, quoting for a command line, and every
// failure path of the hand-off through a network whose calls fail on demand.
// The whole program is tested from outside in tests/jvmlaunch/blackbox.
#include "jvmlaunch/launcher/lancador.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "auxiliar.h"
#include "jvmlaunch/launcher/descoberta.h"
#include "jvmlaunch/launcher/executar.h"
#include "jvmlaunch/log/log.h"
#include "platform/ambiente.h"

namespace jvmlaunch {
namespace {

// A path of the platform from pieces joined by its separator.
std::string P(std::initializer_list<std::string_view> partes) {
  std::string caminho;
  for (const std::string_view p : partes) {
    if (!caminho.empty()) caminho += plataforma::Ambiente::Separador();
    caminho += p;
  }
  return caminho;
}

TEST(NovaLinhaDeComando, TheArgumentsOrTheTextFromTheSecondOfTwoDoubleQuotes) {
  struct Caso {
    const char* regra;
    const char* argumentos;
    const char* completa;
    const char* esperado;
  };
  const std::vector<Caso> casos = {
      {"the argument text", "a b", "jvmlaunch a b", "a b"},
      {"no arguments", "", "jvmlaunch", ""},
      {"two double quotes in a row: from the second", "a\"\"b c", "jvmlaunch a\"\"b c", "\"b c"},
      {"the pair may stand in the program's path", "x", "\"C:\\a\"\"b\\jvmlaunch.exe\" x", "\"b\\jvmlaunch.exe\" x"},
      {"the first pair counts", "\"\" \"\"", "p \"\" \"\"", "\" \"\""},
      {"a quote alone is no pair", "\"a b\"", "p \"a b\"", "\"a b\""},
      {"an empty argument quoted by Windows", "x \"\" y", "\"C:\\j.exe\" x \"\" y", "\" y"},
  };
  for (const Caso& c : casos) EXPECT_EQ(NovaLinhaDeComando(c.argumentos, c.completa), c.esperado) << c.regra;
}

TEST(ComandoCliente, TheTwoFormatsAndTheTokens) {
  const std::string log = P({"C:", "vek", "Log"});
  const std::string relatorio = "-XX:ErrorFile=" + P({"C:", "vek", "Log", "VEK_JVM_%p.LOG"});
  struct Caso {
    const char* regra;
    std::string java;
    std::string nova;
    std::string esperado;
  };
  const std::vector<Caso> casos = {
      {"plain format, no arguments", "java", "", "java -jar " + relatorio + " vek.jar"},
      {"plain format, each token after a blank", "java", "a b", "java -jar " + relatorio + " vek.jar a b"},
      {"blanks and tabs separate, runs of them count once", "java", " a \t b\t",
       "java -jar " + relatorio + " vek.jar a b"},
      {"-debugssl: the SSL format, the token passed on as -l 7", "java", "x -debugssl y",
       "java -Djavax.net.debug=all:handshake " + relatorio + " -jar vek.jar x -l 7 y"},
      {"-debugssl as a piece of text chooses the format; not a token, it stays", "java", "x-debugssl",
       "java -Djavax.net.debug=all:handshake " + relatorio + " -jar vek.jar x-debugssl"},
      {"a quoted runtime keeps its quotes", "\"C:\\Arquivos de Programas\\java.exe\"", "a",
       "\"C:\\Arquivos de Programas\\java.exe\" -jar " + relatorio + " vek.jar a"},
      {"a runtime path with a blank is quoted, never cut at the blank", "C:\\Program Files\\jre7\\bin\\java.exe", "",
       "\"C:\\Program Files\\jre7\\bin\\java.exe\" -jar " + relatorio + " vek.jar"},
  };
  for (const Caso& c : casos) EXPECT_EQ(ComandoCliente(c.java, log, c.nova), c.esperado) << c.regra;

  // A log folder with a blank: the crash report option stays one argument.
  EXPECT_EQ(ComandoCliente("java", P({"C:", "Program Files", "vek", "Log"}), ""),
            "java -jar \"-XX:ErrorFile=" + P({"C:", "Program Files", "vek", "Log", "VEK_JVM_%p.LOG"}) + "\" vek.jar");
  // A text of any length is passed on whole.
  const std::string longa(5000, 'x');
  EXPECT_EQ(ComandoCliente("java", log, longa + " " + longa),
            "java -jar " + relatorio + " vek.jar " + longa + " " + longa);
}

TEST(CandidatoDaAssociacao, BetweenTheEqualsSignAndTheJarOptionWithTheConsoleRuntime) {
  const std::string x = plataforma::SufixoPrograma();
  struct Caso {
    const char* regra;
    std::string resposta;
    std::optional<std::string> esperado;
  };
  const std::vector<Caso> casos = {
      {"javaw in a jre7 folder becomes java",
       "jarfile=\"" + P({"C:", "Program Files", "Java", "jre7", "bin", "javaw.exe"}) + "\" -jar \"%1\" %*\r\n",
       "\"" + P({"C:", "Program Files", "Java", "jre7", "bin", "java"}) + x + "\""},
      {"a w in a folder name is not the program's",
       "jarfile=\"" + P({"C:", "Users", "wanda", "jre7", "bin", "javaw.exe"}) + "\" -jar \"%1\" %*",
       "\"" + P({"C:", "Users", "wanda", "jre7", "bin", "java"}) + x + "\""},
      {"no w in the program's name: unchanged", "jarfile=\"" + P({"C:", "jre7", "bin", "java.exe"}) + "\" -jar \"%1\"",
       "\"" + P({"C:", "jre7", "bin", "java.exe"}) + "\""},
      {"no folder at all: the first w", "jarfile=\"javaw.exe\" -jar \"%1\"", "\"java" + x + "\""},
      {"an unquoted path gets no closing quote",
       "jarfile=" + P({"C:", "Program Files", "bin", "javaw.exe"}) + " -jar %1",
       P({"C:", "Program Files", "bin", "java"}) + x},
      {"no \" -jar\": no candidate", "jarfile=\"" + P({"C:", "javaw.exe"}) + "\" \"%1\"", std::nullopt},
      {"the first \" -jar\" ends it", "jarfile=a -jar b -jar c", "a"},
      {"no \"=\": no candidate", "jarfile -jar x", std::nullopt},
  };
  for (const Caso& c : casos) EXPECT_EQ(CandidatoDaAssociacao(c.resposta), c.esperado) << c.regra;
}

TEST(LinhaDeComando, QuotingKeepsEachTextOneArgument) {
  struct Caso {
    const char* texto;
    const char* argumento;
  };
  const std::vector<Caso> casos = {
      {"simples", "simples"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"a\tb", "\"a\tb\""},
      {"a\"b", "\"a\\\"b\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"C:\\a b\\", "\"C:\\a b\\\\\""},
      {"C:\\a\\b", "C:\\a\\b"},
  };
  for (const Caso& c : casos) EXPECT_EQ(ComoArgumento(c.texto), c.argumento) << c.texto;
  EXPECT_EQ(ComoPrograma("C:\\a\\java.exe"), "C:\\a\\java.exe");
  EXPECT_EQ(ComoPrograma("C:\\Program Files\\java.exe"), "\"C:\\Program Files\\java.exe\"");
  EXPECT_EQ(ComoPrograma("\"C:\\Program Files\\java.exe\""), "\"C:\\Program Files\\java.exe\"");
}

// --- The hand-off and its failures ---------------------------------------

// Every call of the network, in order.
using Chamadas = std::vector<std::string>;

struct Falhas {
  long iniciar = 0;  // 0: succeeds
  long criar = 0;
  long conectar = 0;
  long enviar = 0;
  std::size_t enviados_no_maximo = SIZE_MAX;
  long encerrar = 0;
};

plataforma::ResultadoSistema Resultado(long codigo, const char* texto = "falha simulada") {
  if (codigo == 0) return {};
  return {false, codigo, texto};
}

class SoqueteSimulado : public plataforma::Soquete {
 public:
  SoqueteSimulado(const Falhas& f, Chamadas& c) : f_(f), c_(c) {}
  ~SoqueteSimulado() override { c_.emplace_back("fecha"); }
  [[nodiscard]] long Id() const override { return 7; }
  plataforma::ResultadoSistema Conectar(std::uint32_t endereco, std::uint16_t porta) override {
    c_.push_back("conecta " + std::to_string(endereco) + ":" + std::to_string(porta));
    return Resultado(f_.conectar);
  }
  plataforma::ResultadoSistema Enviar(const char* dados, std::size_t n, std::size_t* enviados) override {
    c_.push_back("envia " + std::string(dados, n));
    *enviados = std::min(n, f_.enviados_no_maximo);
    return Resultado(f_.enviar);
  }
  plataforma::ResultadoSistema EncerrarEnvio() override {
    c_.emplace_back("encerra");
    return Resultado(f_.encerrar);
  }

 private:
  const Falhas& f_;
  Chamadas& c_;
};

class RedeSimulada : public plataforma::Rede {
 public:
  explicit RedeSimulada(Falhas f) : f_(f) {}
  plataforma::ResultadoSistema Iniciar() override {
    c_.emplace_back("inicia");
    return Resultado(f_.iniciar, "Rede indisponivel");
  }
  void Liberar() override { c_.emplace_back("libera"); }
  plataforma::ResultadoSistema CriarSoquete(std::unique_ptr<plataforma::Soquete>* s) override {
    c_.emplace_back("cria");
    if (f_.criar != 0) return Resultado(f_.criar);
    *s = std::make_unique<SoqueteSimulado>(f_, c_);
    return {};
  }
  Chamadas c_;

 private:
  Falhas f_;
};

// The log file that Lancador chooses: in the Log folder beside the program,
// named for the process.
std::string PastaLog() {
  std::string pasta;
  EXPECT_TRUE(plataforma::Ambiente::Padrao().PastaPrograma(&pasta).ok());
  return pasta + plataforma::Ambiente::Separador() + "Log";
}
std::string ArquivoLog() { return PastaLog() + "/jvmlaunch_" + std::to_string(plataforma::IdProcessoAtual()) + ".LOG"; }

class Entrega : public ::testing::Test {
 protected:
  void SetUp() override { Limpa(); }
  void TearDown() override { Limpa(); }
  static void Limpa() {
    ReiniciaLog();
    std::filesystem::remove(ArquivoLog());
  }
};

TEST_F(Entrega, EveryFailurePathLogsItsTextReleasesTheSocketsAndEndsWithZero) {
  const std::string conecta = "conecta " + std::to_string(0x7F000001) + ":8020";
  struct Caso {
    const char* regra;
    Falhas falhas;
    int saida;
    std::string linha;  // the level-0 line; empty: none
    Chamadas chamadas;
  };
  const std::vector<Caso> casos = {
      {"sockets cannot start",
       {.iniciar = 10091},
       0,
       "<0>E#C1410: Falhou WSAStartup: 10091 - Rede indisponivel",
       {"inicia"}},
      {"no socket", {.criar = 10024}, 0, "<0>Falhou socket: 10024", {"inicia", "cria", "libera"}},
      {"send fails",
       {.enviar = 10054},
       0,
       "<0>Falhou send com erro 10054",
       {"inicia", "cria", conecta, "envia a b", "fecha", "libera"}},
      {"part of the text is sent",
       {.enviados_no_maximo = 2},
       0,
       "<0>Faltou transmitir 1 bytes de um total de 3 bytes!",
       {"inicia", "cria", conecta, "envia a b", "fecha", "libera"}},
      {"shutdown fails",
       {.encerrar = 10057},
       0,
       "<0>Falhou shutdown com erro 10057",
       {"inicia", "cria", conecta, "envia a b", "encerra", "fecha", "libera"}},
      {"handed over: the sending side shut down",
       {},
       1,
       "",
       {"inicia", "cria", conecta, "envia a b", "encerra", "fecha"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.regra);
    Limpa();
    RedeSimulada rede(c.falhas);
    Recursos recursos{.rede = rede};
    EXPECT_EQ(Lancador(recursos, "a b", "jvmlaunch a b"), c.saida);
    EXPECT_EQ(rede.c_, c.chamadas);
    const std::string log = teste::Mascara(teste::Le(ArquivoLog()));
    if (c.linha.empty()) {
      EXPECT_EQ(log, "");  // nothing at level 0, logging off: no file
    } else {
      EXPECT_NE(log.find("\r\n" + c.linha + "\r\n"), std::string::npos) << log;
    }
  }
}

TEST_F(Entrega, AnErrorArrivesWithTheHistoryThatLedToIt) {
  RedeSimulada rede({.enviar = 10054});
  Recursos recursos{.rede = rede};
  EXPECT_EQ(Lancador(recursos, "a b", "jvmlaunch a b"), 0);
  const std::string linha_dump = "    msg:    61 20 62 " + std::string(13 * 3, ' ') + "   a b" + std::string(13, ' ');
  EXPECT_EQ(teste::Mascara(teste::Le(ArquivoLog())),
            "\r\n******** IMPRESSAO DE LOG EM MEMORIA 5 mensagens ********\r\n\r\n"
            "<3>WinMain() 1: a b 2: jvmlaunch a b\r\n"
            "<3>NovaLinhaDeComando: a b\r\n"
            "<3>    connect() 127.0.0.1 porta: 8020\r\n"
            "<3>  send(7)\r\n"
            "<3> tam: 3\r\n" +
                linha_dump +
                "\r\n\r\n"
                "\r\n******** Fim da IMPRESSAO DE LOG EM MEMORIA ********\r\n\r\n"
                "<0>Falhou send com erro 10054\r\n");
  // The children inherit the log folder.
  std::string dirlog;
  EXPECT_TRUE(plataforma::LerVariavel("DIRLOG", &dirlog));
  EXPECT_EQ(dirlog, PastaLog());
}

}  // namespace
}  // namespace jvmlaunch
