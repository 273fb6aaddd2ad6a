// The log under memory pressure: LogMemoria keeps whole messages, drops the
// oldest first and allocates nothing after its pool block; a state that cannot
// be allocated, and memory exhausted while the lock is held. This binary
// replaces operator new to count allocations, and to fail them when told.
#include "jvmlaunch/log/log_memoria.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "auxiliar.h"
#include "jvmlaunch/log/log.h"

// GCC cannot see that these replacements pair malloc with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long> alocacoes{0};
std::atomic<bool> sem_memoria{false};        // every nothrow allocation fails
std::atomic<bool> sem_memoria_lanca{false};  // every throwing allocation fails
}  // namespace

void* operator new(std::size_t n) {
  ++alocacoes;
  if (sem_memoria_lanca) throw std::bad_alloc();
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  ++alocacoes;
  if (sem_memoria) return nullptr;
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

// Memory runs out while the file is being opened, with the lock held: the
// exception reaches the caller and the lock is free again.
TEST(LogMemoriaTest, MemoryExhaustedUnderTheLockLeavesItFree) {
  ReiniciaLog();
  const std::string pasta = teste::PastaNova("excecao");
  DefineCaminhoLog(pasta + "/t");
  bool lancou = false;
  sem_memoria_lanca = true;
  try {
    GravaLog(0, "perdida\n");
  } catch (const std::bad_alloc&) {
    lancou = true;
  }
  sem_memoria_lanca = false;
  ASSERT_TRUE(lancou);

  // A lock left held would stop this thread for good: it runs apart.
  auto feito = std::make_shared<std::promise<void>>();
  std::future<void> fim = feito->get_future();
  std::thread([feito, pasta] {
    DefineCaminhoLog(pasta + "/u");
    GravaLog(0, "escrita\n");
    feito->set_value();
  }).detach();
  ASSERT_EQ(fim.wait_for(std::chrono::minutes(1)), std::future_status::ready) << "the lock was left held";
  EXPECT_EQ(teste::Mascara(teste::Le(pasta + "/u.LOG")), "\r\nINICIO DO LOG nivel 0 em <data>\r\n\r\n<0>escrita\r\n");
  ReiniciaLog();
}

// The first calls of a process while no memory can be had for the log's
// state, then with memory back; the exit status tells what went wrong.
int PrimeirasChamadasSemMemoria() {
  const std::string pasta = teste::PastaNova("sem_memoria");
  NivelLog = 3;
  sem_memoria = true;
  if (GravaLog(0, "perdida\n") != 1) return 2;
  if (NivelLog != 0) return 3;
  sem_memoria = false;
  // The next call creates the state and logs.
  DefineCaminhoLog(pasta + "/t");
  GravaLog(0, "escrita\n");
  const std::string esperado = "\r\nINICIO DO LOG nivel 0 em <data>\r\n\r\n<0>escrita\r\n";
  return teste::Mascara(teste::Le(pasta + "/t.LOG")) == esperado ? 0 : 4;
}

// In a process of its own, where nothing has created the log's state yet.
TEST(LogMemoriaDeathTest, AStateThatCannotBeAllocatedReportsE0506AndSwitchesOff) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // NOLINTNEXTLINE(clang-analyzer-unix.Malloc): the analyzer loses gtest's matcher at std::exit
  EXPECT_EXIT(std::exit(PrimeirasChamadasSemMemoria()), ::testing::ExitedWithCode(0),
              "E#C0506: Falhou CreateMutex: [0-9]+");
}

}  // namespace
}  // namespace jvmlaunch
