// ExecutarComando against a real child (filho_teste, beside this program):
// both streams, their capacities and 0 termination, a child that floods both
// pipes at once, a program that is not there, arguments passed literally, the
// log lines of a run, and pipes that cannot be created.
#include "jvmlaunch/launcher/executar.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "auxiliar.h"
#include "jvmlaunch/log/log.h"
#include "platform/ambiente.h"

namespace jvmlaunch {
namespace {

class ExecutarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciaLog();
    pasta_ = teste::PastaNova("executar");
    DefineCaminhoLog(pasta_ + "/t");
    NivelLog = 7;
    std::string pasta_programa;
    ASSERT_TRUE(plataforma::Ambiente::Padrao().PastaPrograma(&pasta_programa).ok());
    filho_ = pasta_programa + plataforma::Ambiente::Separador() + "filho_teste";
  }
  void TearDown() override { ReiniciaLog(); }
  [[nodiscard]] std::string Log() const { return teste::Le(pasta_ + "/t.LOG"); }

  std::string pasta_;
  std::string filho_;
};

struct Captura {
  std::int32_t resultado;
  std::string saida;
  std::string erro;
};

Captura Executa(const std::string& comando, int capacidade_saida = 100, int capacidade_erro = 100) {
  std::vector<char> saida(static_cast<std::size_t>(capacidade_saida) + 1, 'X');
  std::vector<char> erro(static_cast<std::size_t>(capacidade_erro) + 1, 'X');
  saida[0] = erro[0] = '\0';
  Captura c;
  c.resultado = ExecutarComando(comando.c_str(), saida.data(), capacidade_saida, erro.data(), capacidade_erro);
  // Exactly capacity - 1 bytes at most, then the 0; nothing past the capacity.
  EXPECT_EQ(saida[static_cast<std::size_t>(capacidade_saida)], 'X');
  EXPECT_EQ(erro[static_cast<std::size_t>(capacidade_erro)], 'X');
  c.saida = saida.data();
  c.erro = erro.data();
  return c;
}

TEST_F(ExecutarTest, ChildThatWritesNothing) {
  const Captura c = Executa(filho_ + " nada");
  EXPECT_EQ(c.resultado, 0);
  EXPECT_EQ(c.saida, "");
  EXPECT_EQ(c.erro, "");
}

// The text as a regular expression that matches only itself.
std::string Literal(const std::string& texto) {
  return std::regex_replace(texto, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

TEST_F(ExecutarTest, ThreeBytesToStandardErrorAndFiveToStandardOutput) {
  const std::string comando = filho_ + " pouco";
  const Captura c = Executa(comando);
  EXPECT_EQ(c.resultado, 8);
  EXPECT_EQ(c.erro, "err");
  EXPECT_EQ(c.saida, "saida");

  // The run as the log tells it, at its levels.
  const std::string log = teste::Mascara(Log());
  const std::vector<std::string> esperadas = {
      "<3>ExecutarComando\\(" + Literal(comando) + ", [0-9a-f]+, 100, [0-9a-f]+, 100\\)\r\n",
      "<3>  executando: " + Literal(comando) + "\r\n",
      "<3>  fechando -?\\d+\r\n",
      "<7>    leu 3 bytes da STDERR\r\n",
      "<7> tam: 3\r\n    msg:    65 72 72 ",
      "<7>    leu 5 bytes da STDOUT\r\n",
      "<7> tam: 5\r\n    msg:    73 61 69 64 61 ",
      "<3>retorno ExecutarComando: 8\r\n",
  };
  std::size_t desde = 0;
  for (const std::string& e : esperadas) {
    std::smatch m;
    const std::string resto = log.substr(desde);
    ASSERT_TRUE(std::regex_search(resto, m, std::regex(e))) << e << "\nin:\n" << log;
    desde += static_cast<std::size_t>(m.position(0) + m.length(0));
  }
}

TEST_F(ExecutarTest, MegabytesToBothStreamsAtOnceNeverStallTheChild) {
  NivelLog = 3;  // no dumps of every read
  struct Caso {
    int capacidade_saida;
    int capacidade_erro;
  };
  // Small buffers: the rest is read and discarded. A 5 MiB buffer: all 4 MiB
  // of standard output arrive whole and in order while standard error floods.
  for (const Caso caso : {Caso{9999, 9999}, Caso{5 << 20, 10}}) {
    SCOPED_TRACE(caso.capacidade_saida);
    const Captura c = Executa(filho_ + " muito 4", caso.capacidade_saida, caso.capacidade_erro);
    const std::size_t saida = std::min<std::size_t>(4 << 20, static_cast<std::size_t>(caso.capacidade_saida) - 1);
    const std::size_t erro = static_cast<std::size_t>(caso.capacidade_erro) - 1;
    EXPECT_EQ(c.resultado, static_cast<std::int32_t>(saida + erro));
    ASSERT_EQ(c.saida.size(), saida);
    ASSERT_EQ(c.erro.size(), erro);
    for (std::size_t i = 0; i < saida; ++i) ASSERT_EQ(c.saida[i], static_cast<char>('a' + i % 26)) << i;
    for (std::size_t i = 0; i < erro; ++i) ASSERT_EQ(c.erro[i], static_cast<char>('A' + i % 26)) << i;
  }
}

TEST_F(ExecutarTest, BuffersWithoutRoomStoreNothing) {
  char saida[1] = {'X'};
  char erro[1] = {'X'};
  EXPECT_EQ(ExecutarComando((filho_ + " pouco").c_str(), saida, 1, erro, 1), 0);
  EXPECT_EQ(saida[0], '\0');
  EXPECT_EQ(erro[0], '\0');
  EXPECT_EQ(ExecutarComando((filho_ + " pouco").c_str(), nullptr, 0, nullptr, 0), 0);
}

TEST_F(ExecutarTest, AProgramThatDoesNotExist) {
  const Captura c = Executa("programa_que_nao_existe_jl 1 2");
  EXPECT_EQ(c.resultado, -1);
  EXPECT_EQ(c.saida, "");
  EXPECT_EQ(c.erro, "");
  // Error code 2 on both systems (ENOENT, ERROR_FILE_NOT_FOUND), then its text.
  const std::string log = teste::Mascara(Log());
  EXPECT_TRUE(std::regex_search(log, std::regex("<0>E#C6702: Falhou CreateProcess\\(\\) com erro: 2\r\n[^\r\n]+\r\n")))
      << log;
  EXPECT_NE(log.find("<3>retorno ExecutarComando: -1\r\n"), std::string::npos) << log;
}

TEST_F(ExecutarTest, ArgumentsArePassedLiterallyNeverToAShell) {
  struct Caso {
    const char* argumentos;  // the command line after "filho_teste args"
    const char* esperado;    // what the child received, each argument as <...>
  };
  const std::vector<Caso> casos = {
      {"a b", "<a><b>"},
      {"\"a b\"  c", "<a b><c>"},
      {"a\tb", "<a><b>"},
      {"a\\\"b", "<a\"b>"},
      {"\"a\\\\\" b", "<a\\><b>"},
      {"a\\\\b c\\", "<a\\\\b><c\\>"},
      {"\\\\\\\"x", "<\\\"x>"},
      {"\"\" x", "<><x>"},
      {"x\"y z\"w", "<xy zw>"},
      {"'q r'", "<'q><r'>"},
      {";echo pwned", "<;echo><pwned>"},
      {"$(id) `id` $HOME %PATH%", "<$(id)><`id`><$HOME><%PATH%>"},
      {"a|b a&b a>jl_criado a<jl_lido", "<a|b><a&b><a>jl_criado><a<jl_lido>"},
      {"\"a&&b || c\"", "<a&&b || c>"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.argumentos);
    const Captura r = Executa(filho_ + " args " + c.argumentos, 1000, 100);
    EXPECT_EQ(r.saida, c.esperado);
    EXPECT_EQ(r.resultado, static_cast<std::int32_t>(r.saida.size()));
  }
  EXPECT_FALSE(teste::Existe("jl_criado"));
}

TEST_F(ExecutarTest, AQuotedProgramPathWithBlanks) {
  const std::string pasta = pasta_ + plataforma::Ambiente::Separador() + "com brancos";
  ASSERT_TRUE(plataforma::CriarPasta(pasta.c_str()).ok);
  std::filesystem::path destino = std::filesystem::path(pasta) / std::filesystem::path(filho_).filename();
  std::filesystem::path origem = filho_;
  if (!std::filesystem::exists(origem)) origem += ".exe", destino += ".exe";
  std::filesystem::copy_file(origem, destino);
  const Captura c = Executa("\"" + pasta + plataforma::Ambiente::Separador() + "filho_teste\" args um", 100, 100);
  EXPECT_EQ(c.saida, "<um>");
}

// Breaks the n-th CriarCanal (1-based).
class CanalQueFalha : public plataforma::ProcessosIntermediario {
 public:
  CanalQueFalha(int qual) : ProcessosIntermediario(plataforma::Processos::Padrao()), qual_(qual) {}
  plataforma::ResultadoSistema CriarCanal(std::unique_ptr<plataforma::Canal>* canal) override {
    if (++chamadas_ == qual_) return {false, 24, "Too many open files"};
    return ProcessosIntermediario::CriarCanal(canal);
  }
  plataforma::ResultadoSistema IniciarOculto(std::string_view linha, plataforma::Canal& saida,
                                             plataforma::Canal& erro) override {
    ++iniciados_;
    return ProcessosIntermediario::IniciarOculto(linha, saida, erro);
  }
  int iniciados_ = 0;

 private:
  int qual_;
  int chamadas_ = 0;
};

TEST_F(ExecutarTest, PipesThatCannotBeCreated) {
  struct Caso {
    int qual;
    const char* linha;
  };
  for (const Caso c : {Caso{1, "<0>E#C6700: Nao conseguiu criar pipe de saida.\r\n"},
                       Caso{2, "<0>E#C6701: Nao conseguiu criar pipe de saida.\r\n"}}) {
    SCOPED_TRACE(c.qual);
    ReiniciaLog();
    DefineCaminhoLog(pasta_ + "/p" + std::to_string(c.qual));
    CanalQueFalha processos(c.qual);
    char saida[10] = "X";
    char erro[10] = "X";
    EXPECT_EQ(ExecutarComando(processos, (filho_ + " pouco").c_str(), saida, 10, erro, 10), -1);
    EXPECT_EQ(processos.iniciados_, 0);
    const std::string log = teste::Mascara(teste::Le(pasta_ + "/p" + std::to_string(c.qual) + ".LOG"));
    EXPECT_NE(log.find(c.linha), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace jvmlaunch
