// A host process that loads the log facility as a module (the shared library
// on POSIX, jvmlaunch.exe on Windows) and drives it through the exported
// LigarLog and EventoLog, from many threads at once.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "auxiliar.h"
#include "platform/ambiente.h"

namespace {

using LigarLogFuncao = int(PLATAFORMA_STDCALL*)(const char*, std::int16_t);
using EventoLogFuncao = int(PLATAFORMA_STDCALL*)(std::int32_t, const char*);

class AnfitriaoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const plataforma::ResultadoSistema r = plataforma::CarregarModulo(MODULO_LOG, &modulo_);
    ASSERT_TRUE(r.ok) << MODULO_LOG << ": " << r.texto;
    plataforma::EnderecoFuncao f = nullptr;
    ASSERT_TRUE(modulo_->Funcao("LigarLog", &f).ok());
    ligar_ = reinterpret_cast<LigarLogFuncao>(f);  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    ASSERT_TRUE(modulo_->Funcao("EventoLog", &f).ok());
    evento_ = reinterpret_cast<EventoLogFuncao>(f);  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    pasta_ = teste::PastaNova("anfitriao");
    ASSERT_TRUE(plataforma::DefinirVariavel("DIRLOG", pasta_.c_str()).ok);
  }

  std::unique_ptr<plataforma::Biblioteca> modulo_;
  LigarLogFuncao ligar_ = nullptr;
  EventoLogFuncao evento_ = nullptr;
  std::string pasta_;
};

TEST_F(AnfitriaoTest, ThreadsWriteWholeLinesNoneLostNoneInterleaved) {
  constexpr int kThreads = 8;
  constexpr int kLinhas = 10000;
  EXPECT_EQ(ligar_("C:\\Anfitriao\\anfitriao.exe", 3), 0);
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      char texto[64];
      for (int i = 0; i < kLinhas; ++i) {
        std::snprintf(texto, sizeof texto, "T%d %05d fim", t, i);
        evento_(3, texto);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(evento_(4, "acima do nivel"), 0);  // not written
  EXPECT_EQ(ligar_(nullptr, 0), 0);            // off: closes the file
  EXPECT_EQ(evento_(3, "desligado"), 0);       // kept in memory, not written

  const std::string arquivo = pasta_ + "/anfitriao_" + std::to_string(plataforma::IdProcessoAtual()) + ".LOG";
  const std::vector<std::string> linhas = teste::Linhas(teste::Le(arquivo));
  ASSERT_EQ(linhas.size(), 3U + kThreads * kLinhas);
  EXPECT_EQ(linhas[0], "");
  EXPECT_EQ(linhas[1].rfind("INICIO DO LOG nivel 3 em ", 0), 0U) << linhas[1];
  EXPECT_EQ(linhas[2], "");

  const std::regex formato(R"(\d\d/\d\d \d\d:\d\d:\d\d\.\d\d\d\[(\d+)\.3\]:\*\*\*\*\*\*\* T(\d) (\d{5}) fim)");
  std::vector<int> proxima(kThreads, 0);
  std::vector<std::string> id_thread(kThreads);
  std::smatch m;
  for (std::size_t k = 3; k < linhas.size(); ++k) {
    ASSERT_TRUE(std::regex_match(linhas[k], m, formato)) << "line " << k << ": " << linhas[k];
    const int t = std::stoi(m[2]);
    ASSERT_LT(t, kThreads);
    ASSERT_EQ(std::stoi(m[3]), proxima[t]) << "thread " << t << " lost or reordered a line";
    ++proxima[t];
    if (id_thread[t].empty()) id_thread[t] = m[1];
    ASSERT_EQ(m[1], id_thread[t]) << "each writer keeps its thread id";
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(proxima[t], kLinhas) << "thread " << t;
}

}  // namespace
