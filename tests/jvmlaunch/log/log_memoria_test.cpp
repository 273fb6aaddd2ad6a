// LogMemoria under pressure: whole messages, the oldest dropped first, and no
// allocation after the pool block. This binary replaces operator new to count.
#include "jvmlaunch/log/log_memoria.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "auxiliar.h"
#include "jvmlaunch/log/log.h"

// GCC cannot see that these replacements pair malloc with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long> alocacoes{0};
}  // namespace

void* operator new(std::size_t n) {
  ++alocacoes;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  ++alocacoes;
  return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace jvmlaunch {
namespace {

std::vector<std::string> Retira(LogMemoria& m) {
  std::vector<std::string> mensagens;
  std::string atual;
  while (m.RetiraPrimeira([&](const char* d, std::size_t n) { atual.append(d, n); })) {
    mensagens.push_back(atual);
    atual.clear();
  }
  return mensagens;
}

TEST(LogMemoriaTest, MessagesOfEverySizeComeBackWholeAndInOrder) {
  LogMemoria m;
  std::vector<std::string> textos;
  for (const std::size_t n : {0, 1, 63, 64, 65, 128, 129, 40000}) {
    std::string t(n, '\0');
    for (std::size_t i = 0; i < n; ++i) t[i] = static_cast<char>('a' + (i * 7 + n) % 26);
    textos.push_back(t);
    ASSERT_TRUE(m.Acrescenta(t.data(), t.size()));
  }
  EXPECT_EQ(m.Mensagens(), textos.size());
  EXPECT_EQ(Retira(m), textos);
  EXPECT_EQ(m.Mensagens(), 0U);
}

TEST(LogMemoriaTest, AFullPoolDropsTheOldestWholeMessages) {
  LogMemoria m;
  const std::string um(64, 'u');  // one chunk each
  for (std::size_t i = 0; i < LogMemoria::kPedacos; ++i) ASSERT_TRUE(m.Acrescenta(um.data(), um.size()));
  const std::string dois(65, 'd');  // two chunks: the two oldest make room
  const std::string maior(LogMemoria::kPedacos * LogMemoria::kTamanhoPedaco + 1, 'x');
  const long antes = alocacoes;
  ASSERT_TRUE(m.Acrescenta(dois.data(), dois.size()));
  EXPECT_EQ(m.Mensagens(), LogMemoria::kPedacos - 1);
  EXPECT_FALSE(m.Acrescenta(maior.data(), maior.size())) << "larger than the whole pool";
  EXPECT_EQ(m.Mensagens(), LogMemoria::kPedacos - 1) << "and nothing dropped for it";
  EXPECT_EQ(alocacoes - antes, 0);
  const std::vector<std::string> r = Retira(m);
  EXPECT_EQ(r.back(), dois);
  EXPECT_EQ(r.front(), um);
}

// Through the facility: more history than the pool holds, then an error.
TEST(LogMemoriaTest, HistoryUnderPressureKeepsTheNewestWithNoAllocation) {
  ReiniciaLog();
  const std::string pasta = teste::PastaNova("memoria");
  DefineCaminhoLog(pasta + "/t");
  const std::string enchimento(80, '.');  // with the prefix, two chunks a message
  GravaLog(3, "m%06d %s\n", 0, enchimento.c_str());
  const long antes = alocacoes;
  constexpr int kMensagens = 100000;
  for (int i = 1; i < kMensagens; ++i) GravaLog(3, "m%06d %s\n", i, enchimento.c_str());
  EXPECT_EQ(alocacoes - antes, 0) << "no allocation after the first message";

  GravaLog(0, "fim\n");
  const std::vector<std::string> l = teste::Linhas(teste::Mascara(teste::Le(pasta + "/t.LOG")));
  constexpr int kGuardadas = LogMemoria::kPedacos / 2;
  ASSERT_EQ(l.size(), 3 + kGuardadas + 3 + 1U);
  EXPECT_EQ(l[1], "******** IMPRESSAO DE LOG EM MEMORIA " + std::to_string(kGuardadas) + " mensagens ********");
  char esperada[32];
  for (int k = 0; k < kGuardadas; ++k) {
    std::snprintf(esperada, sizeof esperada, "<3>m%06d ", kMensagens - kGuardadas + k);
    ASSERT_EQ(l[3 + k], esperada + enchimento) << k;
  }
  EXPECT_EQ(l[3 + kGuardadas + 1], "******** Fim da IMPRESSAO DE LOG EM MEMORIA ********");
  EXPECT_EQ(l.back(), "<0>fim");
  ReiniciaLog();
}

}  // namespace
}  // namespace jvmlaunch
