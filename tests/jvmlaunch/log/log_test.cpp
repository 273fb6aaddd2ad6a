// The log facility: where messages go by level, the banners, the history
// printed before the first error, LigarLog and a log that cannot be opened.
#include "jvmlaunch/log/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliar.h"

namespace jvmlaunch {
namespace {

constexpr const char* kMemoria1 = "\r\n******** IMPRESSAO DE LOG EM MEMORIA 1 mensagens ********\r\n\r\n";
constexpr const char* kMemoria3 = "\r\n******** IMPRESSAO DE LOG EM MEMORIA 3 mensagens ********\r\n\r\n";
constexpr const char* kFimMemoria = "\r\n******** Fim da IMPRESSAO DE LOG EM MEMORIA ********\r\n\r\n";
constexpr const char* kInicio0 = "\r\nINICIO DO LOG nivel 0 em <data>\r\n\r\n";
constexpr const char* kInicio3 = "\r\nINICIO DO LOG nivel 3 em <data>\r\n\r\n";
constexpr const char* kInicio5 = "\r\nINICIO DO LOG nivel 5 em <data>\r\n\r\n";

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciaLog();
    pasta_ = teste::PastaNova("log");
    DefineCaminhoLog(pasta_ + "/t");
  }
  void TearDown() override { ReiniciaLog(); }
  [[nodiscard]] std::string Arquivo() const { return teste::Mascara(teste::Le(pasta_ + "/t.LOG")); }

  std::string pasta_;
};

// One step of a scenario: a message (GravaLog with "%s\n") or, with texto
// null, the level set directly as the launcher does.
struct Passo {
  int nivel;
  const char* texto;
};
constexpr const char* kNivel = nullptr;

struct Cenario {
  const char* nome;
  std::vector<Passo> passos;
  std::string esperado;  // the whole file, masked; empty: no file at all
};

TEST_F(LogTest, ByLevelBannersAndHistory) {
  const std::vector<Cenario> cenarios = {
      {"first message of the process at level 0: INICIO with level 0", {{0, "a"}}, std::string(kInicio0) + "<0>a\r\n"},
      {"history of three, then the first error: no INICIO, the level was recorded as 0",
       {{3, "um"}, {3, "dois"}, {3, "tres"}, {0, "erro"}},
       std::string(kMemoria3) + "<3>um\r\n<3>dois\r\n<3>tres\r\n" + kFimMemoria + "<0>erro\r\n"},
      {"level 8 while off: neither written nor kept", {{8, "oito"}, {0, "erro"}}, "<0>erro\r\n"},
      {"level 9 at level 7, no level recorded yet: nothing", {{7, kNivel}, {9, "nove"}}, ""},
      {"level 9 at level 7 after level 0 was recorded: NIVEL DO LOG in its place",
       {{0, "a"}, {7, kNivel}, {9, "nove"}, {7, "sete"}},
       std::string(kInicio0) + "<0>a\r\n\r\nNIVEL DO LOG mudou de 0 para 7 em <data>\r\n\r\n<7>sete\r\n"},
      {"level lowered to 2: NIVEL DO LOG for a dropped message",
       {{3, kNivel}, {3, "a"}, {2, kNivel}, {3, "b"}, {2, "c"}},
       std::string(kInicio3) + "<3>a\r\n\r\nNIVEL DO LOG mudou de 3 para 2 em <data>\r\n\r\n<2>c\r\n"},
      {"level set to 0: LOG FOI PARADO, then the history comes back with the next error",
       {{3, kNivel}, {3, "a"}, {0, kNivel}, {3, "b"}, {0, "c"}},
       std::string(kInicio3) + "<3>a\r\n\r\nLOG FOI PARADO em <data>\r\n\r\n\r\n\r\n\r\n\r\n" + kMemoria1 + "<3>b\r\n" +
           kFimMemoria + "<0>c\r\n"},
      {"level raised: a new INICIO before the message",
       {{3, kNivel}, {3, "a"}, {5, kNivel}, {4, "b"}},
       std::string(kInicio3) + "<3>a\r\n" + kInicio5 + "<4>b\r\n"},
      {"errors are written with logging on", {{3, kNivel}, {0, "e"}}, std::string(kInicio3) + "<0>e\r\n"},
      {"line ends inside a message become CR LF", {{0, "um\ndois"}}, std::string(kInicio0) + "<0>um\r\ndois\r\n"},
  };
  for (const Cenario& c : cenarios) {
    SCOPED_TRACE(c.nome);
    ReiniciaLog();
    pasta_ = teste::PastaNova("cenario");
    DefineCaminhoLog(pasta_ + "/t");
    for (const Passo& p : c.passos) {
      if (p.texto == kNivel) {
        NivelLog = static_cast<std::int16_t>(p.nivel);
      } else {
        GravaLog(static_cast<unsigned>(p.nivel), "%s\n", p.texto);
      }
    }
    EXPECT_EQ(Arquivo(), c.esperado);
    EXPECT_EQ(teste::Existe(pasta_ + "/t.LOG"), !c.esperado.empty());
  }
}

TEST_F(LogTest, LigarLogOnOffAndOnAgainTruncatesTheFile) {
  ASSERT_TRUE(plataforma::DefinirVariavel("DIRLOG", pasta_.c_str()).ok);
  DefineCaminhoLog("");
  // 29 characters of the name are kept; the base name is what follows the
  // last backslash: "um_nome_de_progr".
  LigarLog("C:\\Programas\\um_nome_de_programa_bem_comprido.exe", 3);
  EXPECT_EQ(NivelLog.load(), 3);
  const std::string arquivo = pasta_ + "/um_nome_de_progr_" + std::to_string(plataforma::IdProcessoAtual()) + ".LOG";
  EventoLog(3, "x");
  EXPECT_EQ(teste::Mascara(teste::Le(arquivo)), std::string(kInicio3) + "<3>******* x\r\n");

  LigarLog("ignorado", 7);  // off: the arguments do not matter
  EXPECT_EQ(NivelLog.load(), 0);
  EventoLog(3, "y");  // kept in memory: the file is closed
  EXPECT_EQ(teste::Mascara(teste::Le(arquivo)), std::string(kInicio3) + "<3>******* x\r\n");

  LigarLog("outro", 5);  // on again: the name is ignored, the next message reopens the file
  EXPECT_EQ(NivelLog.load(), 5);
  EventoLog(3, "z");
  EXPECT_EQ(teste::Mascara(teste::Le(arquivo)),
            std::string(kMemoria1) + "<3>******* y\r\n" + kFimMemoria + kInicio5 + "<3>******* z\r\n");
  EXPECT_EQ(CaminhoLog(), pasta_ + "/um_nome_de_progr_" + std::to_string(plataforma::IdProcessoAtual()));
}

TEST_F(LogTest, LigarLogWithANegativeLevelKeepsErrorsWritten) {
  LigarLog(nullptr, -4);
  EXPECT_EQ(NivelLog.load(), 0);
  GravaLog(0, "erro\n");
  EXPECT_EQ(Arquivo(), std::string(kInicio0) + "<0>erro\r\n");
}

TEST_F(LogTest, FolderOfTheLogFromDirlogOrTheTemporaryFolder) {
  const std::string pid = std::to_string(plataforma::IdProcessoAtual());
  DefineCaminhoLog("");
  ASSERT_TRUE(plataforma::DefinirVariavel("DIRLOG", pasta_.c_str()).ok);
  GravaLog(0, "a\n");
  EXPECT_EQ(CaminhoLog(), pasta_ + "/jvmlaunch_" + pid);
  EXPECT_TRUE(teste::Existe(pasta_ + "/jvmlaunch_" + pid + ".LOG"));

  // An empty DIRLOG counts as none: the fixed folder when it is there, else the system's.
  ReiniciaLog();
  ASSERT_TRUE(plataforma::DefinirVariavel("DIRLOG", "").ok);
  std::string pasta = plataforma::PastaTemporariaFixa();
  if (!plataforma::EhPasta(pasta.c_str())) {
    ASSERT_TRUE(plataforma::PastaTemporariaSistema(&pasta));
  }
  GravaLog(0, "b\n");
  EXPECT_EQ(CaminhoLog(), pasta + "/jvmlaunch_" + pid);
  ReiniciaLog();
  std::filesystem::remove(pasta + "/jvmlaunch_" + pid + ".LOG");
}

TEST_F(LogTest, AFolderThatCannotBeHadReportsE0503AndSwitchesOff) {
  const std::string base = pasta_ + "/nao_existe/sub/t";
  DefineCaminhoLog(base);
  NivelLog = 3;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(GravaLog(3, "x\n"), 1);
  GravaLog(0, "y\n");  // the file stays closed: nothing, and no second report
  const std::string erro = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(erro.rfind("E#C0503: jvmlaunch: N", 0), 0U) << erro;
  EXPECT_NE(erro.find("o conseguiu abrir arquivo " + base + ".LOG\n"), std::string::npos) << erro;
  EXPECT_EQ(erro.find("E#C0503", 1), std::string::npos) << erro;
  EXPECT_GT(erro.size(), erro.find(".LOG\n") + 6) << "the system's text follows";
  EXPECT_EQ(NivelLog.load(), 0);
  EXPECT_FALSE(teste::Existe(base + ".LOG"));

  // The folder of a log is one the launcher creates itself.
  EXPECT_FALSE(plataforma::CriarPasta((pasta_ + "/nao_existe/sub").c_str()).ok);
  EXPECT_TRUE(plataforma::CriarPasta((pasta_ + "/nova").c_str()).ok);
  EXPECT_TRUE(plataforma::CriarPasta((pasta_ + "/nova").c_str()).ok) << "an existing folder is fine";
}

TEST_F(LogTest, ANewPathReopensTheFileAtTheNextMessage) {
  GravaLog(0, "a\n");
  DefineCaminhoLog(pasta_ + "/u");
  GravaLog(0, "b\n");
  EXPECT_EQ(Arquivo(), std::string(kInicio0) + "<0>a\r\n");
  EXPECT_EQ(teste::Mascara(teste::Le(pasta_ + "/u.LOG")), "<0>b\r\n");
}

}  // namespace
}  // namespace jvmlaunch
