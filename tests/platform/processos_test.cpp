// The contract of the platform's process services, as platform/ambiente.h
// states it: the environment, the current folder, the program's own path and
// command line, pipes and hidden children (this program started again), the
// clock and ids, and sockets; POSIX natively, Win32 under Wine.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "common/cp1252.h"
#include "contrato.h"
#include "platform/ambiente.h"

namespace contrato {
namespace {

using plataforma::ResultadoSistema;

#ifdef _WIN32
constexpr bool kWin32 = true;
constexpr long kProgramaAusente = 2;      // ERROR_FILE_NOT_FOUND
constexpr long kConexaoRecusada = 10061;  // WSAECONNREFUSED
#else
constexpr bool kWin32 = false;
constexpr long kProgramaAusente = ENOENT;
constexpr long kConexaoRecusada = ECONNREFUSED;
#endif

// --- The environment --------------------------------------------------------

TEST(Variaveis, AValueSetIsReadBackWhole) {
  const struct {
    const char* regra;
    const char* nome;
    std::string valor;
  } casos[] = {
      {"a plain value", "PLATAFORMA_TESTE_A", "valor"},
      {"an empty value is set", "PLATAFORMA_TESTE_B", ""},
      {"a Windows-1252 text crosses the system whole", "PLATAFORMA_TESTE_C", std::string("Ação é válida"_cp)},
      {"a value longer than any buffer", "PLATAFORMA_TESTE_D", std::string(20000, 'x')},
  };
  for (const auto& c : casos) {
    const ResultadoSistema r = plataforma::DefinirVariavel(c.nome, c.valor.c_str());
    ASSERT_TRUE(r.ok) << c.regra << ": " << r.texto;
    std::string lido = "antigo";
    EXPECT_TRUE(plataforma::LerVariavel(c.nome, &lido)) << c.regra;
    EXPECT_EQ(lido, c.valor) << c.regra;
  }
  std::string lido;
  EXPECT_FALSE(plataforma::LerVariavel("PLATAFORMA_TESTE_NUNCA_DEFINIDA", &lido)) << "a variable that is not set";
}

TEST(Variaveis, AnInvalidNameFailsWithTheSystemsCode) {
  for (const char* nome : {"", "A=B"}) {
    const ResultadoSistema r = plataforma::DefinirVariavel(nome, "x");
    EXPECT_FALSE(r.ok) << '"' << nome << '"';
    EXPECT_NE(r.codigo, 0) << '"' << nome << '"';
    EXPECT_FALSE(r.texto.empty()) << '"' << nome << '"';
  }
}

TEST(Variaveis, TheChildrenInheritWhatWasSet) {
  ASSERT_TRUE(plataforma::DefinirVariavel("PLATAFORMA_HERDADA", "herdada").ok);
  const struct {
    const char* regra;
    const char* nome;
    const char* esperado;
  } casos[] = {
      {"a variable set before the start", "PLATAFORMA_HERDADA", "herdada"},
      {"a variable never set", "PLATAFORMA_TESTE_NUNCA_DEFINIDA", "<ausente>"},
  };
  for (const auto& c : casos) {
    const Saidas s = ExecutaFilho(std::string("variavel ") + c.nome);
    ASSERT_TRUE(s.iniciou) << c.regra;
    EXPECT_EQ(s.saida, c.esperado) << c.regra;
  }
}

TEST(PastaAtual, OnlyAnExistingFolderBecomesTheCurrentOne) {
  const Pasta pasta("atual");
  Grava(pasta / "arquivo.txt", "");
  const std::filesystem::path antes = std::filesystem::current_path();
  const struct {
    const char* regra;
    std::string caminho;
    bool ok;
  } casos[] = {
      {"a missing folder fails", pasta / "nada", false},
      {"a file fails", pasta / "arquivo.txt", false},
      {"a folder becomes the current one", pasta.caminho(), true},
  };
  for (const auto& c : casos) {
    const ResultadoSistema r = plataforma::DefinirPastaAtual(c.caminho.c_str());
    EXPECT_EQ(r.ok, c.ok) << c.regra << ": " << r.texto;
    EXPECT_EQ(r.codigo == 0, c.ok) << c.regra;
  }
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), pasta.caminho()));
  std::filesystem::current_path(antes);
}

// --- The program's own path and command line ------------------------------

TEST(Programa, ItsOwnPathNamesTheRunningProgram) {
  std::string caminho;
  const ResultadoSistema r = plataforma::CaminhoProprio(&caminho);
  ASSERT_TRUE(r.ok) << r.texto;
  EXPECT_TRUE(caminho.ends_with(std::string("plataforma_test") + plataforma::SufixoPrograma())) << caminho;
  EXPECT_TRUE(plataforma::EhArquivo(caminho.c_str())) << caminho;
  EXPECT_EQ(std::string(plataforma::SufixoPrograma()), kWin32 ? ".exe" : "");
}

TEST(Programa, TheCommandLineGivesTheArgumentsAndTheWholeLine) {
#ifdef _WIN32
  // Windows reads its own command line and ignores argc and argv.
  std::string argumentos;
  std::string completa;
  plataforma::LinhaDeComando(0, nullptr, &argumentos, &completa);
  EXPECT_NE(completa.find("plataforma_test"), std::string::npos) << completa;
  EXPECT_TRUE(completa.ends_with(argumentos)) << completa;
  EXPECT_LT(argumentos.size(), completa.size()) << completa;
#else
  char programa[] = "/pasta/jvmlaunch";
  char primeiro[] = "arq um";
  char segundo[] = "\"dois\"";
  char acao[] = "a\xC3\xA7\xC3\xA3o";  // UTF-8 on POSIX
  const struct {
    const char* regra;
    std::vector<char*> argv;
    std::string argumentos;
    std::string completa;
  } casos[] = {
      {"no arguments", {programa}, "", "/pasta/jvmlaunch"},
      {"arguments joined by single blanks, each as received",
       {programa, primeiro, segundo},
       "arq um \"dois\"",
       "/pasta/jvmlaunch arq um \"dois\""},
      {"texts cross to Windows-1252",
       {programa, acao},
       std::string("ação"_cp),
       "/pasta/jvmlaunch " + std::string("ação"_cp)},
  };
  for (auto c : casos) {
    std::string argumentos = "antigo";
    std::string completa = "antiga";
    plataforma::LinhaDeComando(static_cast<int>(c.argv.size()), c.argv.data(), &argumentos, &completa);
    EXPECT_EQ(argumentos, c.argumentos) << c.regra;
    EXPECT_EQ(completa, c.completa) << c.regra;
  }
#endif
}

// --- Pipes and hidden children ----------------------------------------------

TEST(Canais, APipeEndsWhenEveryWriteEndIsClosed) {
  plataforma::Processos& processos = plataforma::Processos::Padrao();
  std::unique_ptr<plataforma::Canal> canal;
  ASSERT_TRUE(processos.CriarCanal(&canal).ok);
  EXPECT_NE(canal->IdLeitura(), canal->IdEscrita());
  EXPECT_TRUE(canal->LeituraAberta());
  canal->FecharEscrita();
  char dados[16];
  for (int vez = 0; vez < 2; ++vez) {
    std::size_t lidos = 99;
    const ResultadoSistema r = canal->Ler(dados, sizeof dados, &lidos);
    EXPECT_TRUE(r.ok) << r.texto;
    EXPECT_EQ(lidos, 0U) << "the end of the stream, read " << vez + 1 << " times";
  }
  canal->FecharLeitura();
  EXPECT_FALSE(canal->LeituraAberta());
}

TEST(Canais, TheWaitNamesTheStreamThatCanBeReadAndFailsWithNoneOpen) {
  plataforma::Processos& processos = plataforma::Processos::Padrao();
  std::unique_ptr<plataforma::Canal> primeiro;
  std::unique_ptr<plataforma::Canal> segundo;
  ASSERT_TRUE(processos.CriarCanal(&primeiro).ok);
  ASSERT_TRUE(processos.CriarCanal(&segundo).ok);
  primeiro->FecharLeitura();
  segundo->FecharEscrita();
  int pronto = -1;
  EXPECT_TRUE(processos.AguardarCanais(*primeiro, *segundo, &pronto).ok);
  EXPECT_EQ(pronto, 1) << "the only stream open, at its end";
  segundo->FecharLeitura();
  const ResultadoSistema r = processos.AguardarCanais(*primeiro, *segundo, &pronto);
  EXPECT_FALSE(r.ok) << "no read end is open";
  EXPECT_NE(r.codigo, 0);
}

TEST(Filhos, AChildsArgumentsAreSplitByTheWindowsRules) {
  const struct {
    const char* regra;
    std::string argumentos;
    const char* saida;
    const char* erro;
  } casos[] = {
      {"blanks separate", "escreve abc de", "abc", "de"},
      {"double quotes group", R"(escreve "a b"   c)", "a b", "c"},
      {"an empty pair of quotes is an empty argument", R"(escreve "" c)", "", "c"},
      {"a backslash before a quote makes it literal", R"(escreve a\"b c)", "a\"b", "c"},
      {"two backslashes before a quote give one, and the quote groups", R"(escreve "a\\" c)", "a\\", "c"},
      {"backslashes elsewhere stay as they are", R"(escreve a\\b c\)", "a\\\\b", "c\\"},
  };
  for (const auto& c : casos) {
    const Saidas s = ExecutaFilho(c.argumentos);
    ASSERT_TRUE(s.iniciou) << c.regra;
    EXPECT_EQ(s.saida, c.saida) << c.regra;
    EXPECT_EQ(s.erro, c.erro) << c.regra;
  }
}

TEST(Filhos, AProgramThatIsNotThereFailsAsAMissingFile) {
  const Pasta pasta("ausente");
  plataforma::Processos& processos = plataforma::Processos::Padrao();
  const struct {
    const char* regra;
    std::string linha;
  } casos[] = {
      {"a missing program", pasta / "nada"},
      {"an empty command line", ""},
  };
  for (const auto& c : casos) {
    std::unique_ptr<plataforma::Canal> saida;
    std::unique_ptr<plataforma::Canal> erro;
    ASSERT_TRUE(processos.CriarCanal(&saida).ok);
    ASSERT_TRUE(processos.CriarCanal(&erro).ok);
    const ResultadoSistema r = processos.IniciarOculto(c.linha, *saida, *erro);
    EXPECT_FALSE(r.ok) << c.regra;
    EXPECT_EQ(r.codigo, kProgramaAusente) << c.regra << ": " << r.texto;
    EXPECT_FALSE(r.texto.empty()) << c.regra;
  }
}

// --- The clock and ids --------------------------------------------------------

TEST(Relogio, TheLocalTimeAndTheIds) {
  const plataforma::HoraLocal h = plataforma::AgoraLocal();
  EXPECT_GE(h.ano, 2020);
  EXPECT_TRUE(h.mes >= 1 && h.mes <= 12 && h.dia >= 1 && h.dia <= 31) << h.mes << "/" << h.dia;
  EXPECT_TRUE(h.hora >= 0 && h.hora < 24 && h.minuto >= 0 && h.minuto < 60 && h.segundo >= 0 && h.segundo <= 60);
  EXPECT_TRUE(h.milissegundo >= 0 && h.milissegundo < 1000) << h.milissegundo;
  EXPECT_GT(plataforma::IdProcessoAtual(), 0);
  long outra = 0;
  std::thread([&] { outra = plataforma::IdThreadAtual(); }).join();
  EXPECT_NE(outra, plataforma::IdThreadAtual()) << "each thread has its own id";
}

// --- Sockets ----------------------------------------------------------------

TEST(Soquetes, AConnectionNobodyAcceptsFailsWithTheSocketsCode) {
  plataforma::Rede& rede = plataforma::Rede::Padrao();
  ASSERT_TRUE(rede.Iniciar().ok);
  {
    std::unique_ptr<plataforma::Soquete> soquete;
    const ResultadoSistema criado = rede.CriarSoquete(&soquete);
    ASSERT_TRUE(criado.ok) << criado.texto;
    EXPECT_GE(soquete->Id(), 0);
    // Nobody listens on port 1 of the loopback address.
    const ResultadoSistema conexao = soquete->Conectar(0x7F000001, 1);
    EXPECT_FALSE(conexao.ok);
    EXPECT_EQ(conexao.codigo, kConexaoRecusada) << conexao.texto;
    std::size_t enviados = 99;
    EXPECT_FALSE(soquete->Enviar("x", 1, &enviados).ok) << "nothing to send to, and no SIGPIPE";
    EXPECT_FALSE(soquete->EncerrarEnvio().ok) << "nothing to shut down";
  }
  rede.Liberar();
}

}  // namespace
}  // namespace contrato
