// The contract of the platform's files, folders, lock file and message texts,
// as platform/ambiente.h states it, held against the implementation this
// program is built for: POSIX natively, Win32 under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "contrato.h"
#include "platform/ambiente.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace contrato {
namespace {

using namespace std::string_view_literals;
using plataforma::Ambiente;
using plataforma::ArquivoEscrita;
using plataforma::ArquivoLeitura;
using plataforma::Falha;
using plataforma::Status;

#ifdef _WIN32
constexpr bool kWin32 = true;
#else
constexpr bool kWin32 = false;
#endif

// A name of the folder ("a/b.txt"), or a path of its own when it is one.
std::string Caminho(const Pasta& pasta, std::string_view nome) {
  if (nome.starts_with('/') || nome.find(':') != std::string_view::npos) return std::string(nome);
  return pasta / nome;
}

enum class Chamada { kAbrirLeitura, kCriarEscrita, kRenomear, kApagar, kTravar, kCopiarPermissoes };

Status Chama(Chamada chamada, const std::string& caminho, const std::string& outro = {}) {
  Ambiente& ambiente = Ambiente::Padrao();
  switch (chamada) {
    case Chamada::kAbrirLeitura: {
      std::unique_ptr<ArquivoLeitura> arquivo;
      return ambiente.AbrirLeitura(caminho, &arquivo);
    }
    case Chamada::kCriarEscrita: {
      std::unique_ptr<ArquivoEscrita> arquivo;
      return ambiente.CriarEscrita(caminho, &arquivo);
    }
    case Chamada::kRenomear:
      return ambiente.Renomear(caminho, outro);
    case Chamada::kApagar:
      return ambiente.Apagar(caminho);
    case Chamada::kTravar: {
      std::unique_ptr<plataforma::Trava> trava;
      return ambiente.Travar(caminho, &trava);
    }
    case Chamada::kCopiarPermissoes:
      return ambiente.CopiarPermissoes(outro, caminho);
  }
  return Status::Erro(Falha::kOutra, "unknown call");
}

constexpr std::string_view kConteudo = "conteudo\r\n";

// What every row starts from: "arquivo.txt", and "pasta" with "dentro.txt".
void Povoa(const Pasta& pasta) {
  Grava(pasta / "arquivo.txt", kConteudo);
  std::filesystem::create_directory(pasta / "pasta");
  Grava(pasta / "pasta/dentro.txt", "dentro");
}

class Arquivos : public ::testing::Test {
 protected:
  void SetUp() override { Povoa(pasta_); }

  Pasta pasta_{"arquivos"};
};

// --- How each system error maps to its kind of failure ------------------

struct CasoFalha {
  const char* regra;
  Chamada chamada;
  std::string_view caminho;
  std::string_view outro;
  Falha esperada;
};

TEST_F(Arquivos, EachSystemErrorIsReportedAsItsKind) {
  // A rename never crosses file systems: /proc is one of its own.
  const std::string_view outro_sistema = kWin32 ? "Z:\\proc\\plataforma.txt"sv : "/proc/plataforma.txt"sv;
  const CasoFalha casos[] = {
      {"an existing file opens", Chamada::kAbrirLeitura, "arquivo.txt", "", Falha::kNenhuma},
      {"a missing file is not found", Chamada::kAbrirLeitura, "nada.txt", "", Falha::kNaoEncontrado},
      {"a missing folder is not found", Chamada::kAbrirLeitura, "nada/a.txt", "", Falha::kNaoEncontrado},
      {"a folder where a file is expected is not found", Chamada::kAbrirLeitura, "pasta", "", Falha::kNaoEncontrado},
      {"a file where a folder is expected is not found", Chamada::kAbrirLeitura, "arquivo.txt/a.txt", "",
       Falha::kNaoEncontrado},
      {"a new file in a missing folder is not found", Chamada::kCriarEscrita, "nada/a.txt", "", Falha::kNaoEncontrado},
      {"a folder under the name of a new file is another failure", Chamada::kCriarEscrita, "pasta", "", Falha::kOutra},
      {"renaming a missing file is not found", Chamada::kRenomear, "nada.txt", "b.txt", Falha::kNaoEncontrado},
      {"a rename to another file system is another failure", Chamada::kRenomear, "arquivo.txt", outro_sistema,
       Falha::kOutra},
      {"deleting a missing file is no failure", Chamada::kApagar, "nada.txt", "", Falha::kNenhuma},
      {"deleting in a missing folder is no failure", Chamada::kApagar, "nada/a.txt", "", Falha::kNenhuma},
      {"deleting a folder is a folder where a file is expected", Chamada::kApagar, "pasta", "", Falha::kNaoEncontrado},
      {"a lock file in a missing folder is not found", Chamada::kTravar, "nada/valida.lck", "", Falha::kNaoEncontrado},
      {"a folder under the name of the lock file is another failure", Chamada::kTravar, "pasta", "", Falha::kOutra},
  };
  for (const CasoFalha& c : casos) {
    const Status s = Chama(c.chamada, Caminho(pasta_, c.caminho), Caminho(pasta_, c.outro));
    EXPECT_EQ(s.falha(), c.esperada) << c.regra << ": " << s.mensagem();
    EXPECT_EQ(s.mensagem().empty(), s.ok()) << c.regra << ": a failure carries the system's text";
  }
  EXPECT_EQ(Le(pasta_ / "arquivo.txt"), kConteudo) << "a failed rename leaves the file";
  EXPECT_TRUE(std::filesystem::is_directory(pasta_ / "pasta")) << "a folder is never removed";
}

#ifndef _WIN32
// The kind the call reports when it runs as a user the folder refuses (root
// is refused nothing: the call then runs in a child of another user).
Falha ComoRecusado(const std::function<Falha()>& chamada) {
  if (::geteuid() != 0) return chamada();
  const pid_t filho = ::fork();
  if (filho == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    ::_exit(static_cast<int>(chamada()));
  }
  int estado = 0;
  ::waitpid(filho, &estado, 0);
  return WIFEXITED(estado) && WEXITSTATUS(estado) != 99 ? static_cast<Falha>(WEXITSTATUS(estado)) : Falha::kNenhuma;
}
#endif

TEST_F(Arquivos, RefusedAccessIsNotFound) {
#ifdef _WIN32
  // A read-only file cannot be deleted.
  const std::string protegido = pasta_ / "protegido.txt";
  Grava(protegido, "x");
  std::filesystem::permissions(protegido, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const Status s = Ambiente::Padrao().Apagar(protegido);
  std::filesystem::permissions(protegido, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_EQ(s.falha(), Falha::kNaoEncontrado) << s.mensagem();
#else
  const std::string recusada = pasta_ / "recusada";
  std::filesystem::create_directory(recusada);
  Grava(recusada + "/a.txt", "x");
  ::chmod(recusada.c_str(), 0);
  const struct {
    const char* regra;
    Chamada chamada;
    std::string caminho;
  } casos[] = {
      {"a file in a folder that refuses access cannot be opened", Chamada::kAbrirLeitura, recusada + "/a.txt"},
      {"nor created", Chamada::kCriarEscrita, recusada + "/b.txt"},
      {"nor locked", Chamada::kTravar, recusada + "/valida.lck"},
  };
  for (const auto& c : casos)
    EXPECT_EQ(ComoRecusado([&] { return Chama(c.chamada, c.caminho).falha(); }), Falha::kNaoEncontrado) << c.regra;
  ::chmod(recusada.c_str(), 0700);
#endif
}

TEST_F(Arquivos, AMediumThatFailsItsReadsIsADeviceNotReady) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine reports a missing drive or share as a missing path: no device here is not ready";
#else
  // Reading the process's own memory at address 0 fails with EIO.
  std::unique_ptr<ArquivoLeitura> memoria;
  ASSERT_TRUE(Ambiente::Padrao().AbrirLeitura("/proc/self/mem", &memoria).ok());
  char byte = 0;
  std::size_t lidos = 0;
  EXPECT_EQ(memoria->Ler(&byte, 1, &lidos).falha(), Falha::kDispositivoIndisponivel);
#endif
}

TEST_F(Arquivos, NoMoreFilesIsADiskFull) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine gives handles without a limit to reach";
#else
  // The next descriptor the system would give is over the limit.
  const int livre = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(livre, 0);
  ::close(livre);
  rlimit antes{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &antes), 0);
  rlimit baixo = antes;
  baixo.rlim_cur = static_cast<rlim_t>(livre);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &baixo), 0);
  const Status aberto = Chama(Chamada::kAbrirLeitura, pasta_ / "arquivo.txt");
  const Status criado = Chama(Chamada::kCriarEscrita, pasta_ / "novo.txt");
  ::setrlimit(RLIMIT_NOFILE, &antes);
  EXPECT_EQ(aberto.falha(), Falha::kDiscoCheio) << aberto.mensagem();
  EXPECT_EQ(criado.falha(), Falha::kDiscoCheio) << criado.mensagem();
#endif
}

TEST_F(Arquivos, AFullDiskIsADiskFull) {
#ifdef _WIN32
  GTEST_SKIP() << "no small file system to fill under Wine";
#else
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  const std::string ponto = pasta_ / "pequeno";
  std::filesystem::create_directory(ponto);
  if (::mount("tmpfs", ponto.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  const struct Desmonta {
    const std::string& ponto;
    ~Desmonta() { ::umount2(ponto.c_str(), MNT_DETACH); }
  } desmonta{ponto};
  std::unique_ptr<ArquivoEscrita> arquivo;
  Status s = Ambiente::Padrao().CriarEscrita(ponto + "/grande.txt", &arquivo);
  ASSERT_TRUE(s.ok()) << s.mensagem();
  const std::string bloco(64 * 1024, 'x');
  for (int i = 0; i < 4 && s.ok(); ++i) s = arquivo->Escrever(bloco);
  if (s.ok()) s = arquivo->Fechar();
  EXPECT_EQ(s.falha(), Falha::kDiscoCheio) << s.mensagem();
#endif
}

// --- A path holding a NUL byte ------------------------------------------

TEST_F(Arquivos, APathHoldingANulByteIsRefusedBeforeItReachesTheSystem) {
  // Cut at the NUL, each path would name arquivo.txt or dentro.txt.
  const struct {
    const char* regra;
    Chamada chamada;
    std::string_view caminho;
    std::string_view outro;
  } casos[] = {
      {"opening", Chamada::kAbrirLeitura, "arquivo.txt\0.bak"sv, ""},
      {"creating", Chamada::kCriarEscrita, "arquivo.txt\0.bak"sv, ""},
      {"renaming from", Chamada::kRenomear, "arquivo.txt\0.bak"sv, "b.txt"},
      {"renaming over", Chamada::kRenomear, "arquivo.txt", "pasta/dentro.txt\0.bak"sv},
      {"deleting", Chamada::kApagar, "arquivo.txt\0.bak"sv, ""},
      {"locking", Chamada::kTravar, "arquivo.txt\0.bak"sv, ""},
      {"copying permissions to", Chamada::kCopiarPermissoes, "arquivo.txt\0.bak"sv, "pasta/dentro.txt"},
      {"copying permissions from", Chamada::kCopiarPermissoes, "arquivo.txt", "pasta/dentro.txt\0.bak"sv},
  };
  for (const auto& c : casos) {
    const Pasta pasta("nul");
    Povoa(pasta);
    const Status s = Chama(c.chamada, Caminho(pasta, c.caminho), Caminho(pasta, c.outro));
    EXPECT_EQ(s.falha(), Falha::kNaoEncontrado) << c.regra << ": " << s.mensagem();
    EXPECT_EQ(Le(pasta / "arquivo.txt"), kConteudo) << c.regra;
    EXPECT_EQ(Le(pasta / "pasta/dentro.txt"), "dentro") << c.regra;
    EXPECT_FALSE(Existe(pasta / "b.txt")) << c.regra;
  }
}

// --- What a name opens ---------------------------------------------------

TEST_F(Arquivos, OnlyARegularFileIsOpenedForReadingAndNothingElseHoldsTheOpen) {
  std::vector<std::pair<std::string, std::string>> casos;  // rule, path
#ifdef _WIN32
  for (const char* nome : {"NUL", "CON", "COM1", "CONIN$", "CONOUT$"})
    casos.emplace_back(std::string("the device ") + nome, nome);
#else
  const std::string fifo = pasta_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, pasta_ / "link-fifo");
  const std::string soquete = pasta_ / "soquete";
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un endereco{};
  endereco.sun_family = AF_UNIX;
  soquete.copy(endereco.sun_path, sizeof endereco.sun_path - 1);
  ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco), 0);
  casos = {{"a FIFO with no writer", fifo},
           {"a link to a FIFO", pasta_ / "link-fifo"},
           {"a socket", soquete},
           {"an endless device", "/dev/zero"},
           {"the empty device", "/dev/null"}};
#endif
  for (const auto& [regra, caminho] : casos)
    EXPECT_EQ(Chama(Chamada::kAbrirLeitura, caminho).falha(), Falha::kNaoEncontrado) << regra;
#ifndef _WIN32
  ::close(s);
#endif
}

TEST_F(Arquivos, AFileIsReadToItsEndAndStaysThere) {
  Grava(pasta_ / "vazio.txt", "");
  const struct {
    const char* regra;
    const char* nome;
    std::string conteudo;
  } casos[] = {
      {"an empty file ends at once", "vazio.txt", ""},
      {"a file is read whole, piece by piece", "arquivo.txt", std::string(kConteudo)},
  };
  for (const auto& c : casos) {
    std::unique_ptr<ArquivoLeitura> arquivo;
    ASSERT_TRUE(Ambiente::Padrao().AbrirLeitura(pasta_ / c.nome, &arquivo).ok()) << c.regra;
    std::uint64_t tamanho = 99;
    ASSERT_TRUE(arquivo->Tamanho(&tamanho).ok()) << c.regra;
    EXPECT_EQ(tamanho, c.conteudo.size()) << c.regra;
    std::string lido;
    char pedaco[3];
    std::size_t lidos = 0;
    do {
      ASSERT_TRUE(arquivo->Ler(pedaco, sizeof pedaco, &lidos).ok()) << c.regra;
      lido.append(pedaco, lidos);
    } while (lidos > 0);
    EXPECT_EQ(lido, c.conteudo) << c.regra;
    lidos = 99;
    EXPECT_TRUE(arquivo->Ler(pedaco, sizeof pedaco, &lidos).ok()) << c.regra;
    EXPECT_EQ(lidos, 0U) << c.regra << ": the end stays the end";
  }
}

// --- Creating a file over whatever stands under its name ----------------

struct CasoNome {
  const char* regra;
  // Puts something under the name; returns the path of another name whose
  // content must stay "outro" (empty when there is none).
  std::function<std::string(const Pasta&, const std::string& nome)> prepara;
};

// Links and special files the platform lets a test make.
std::vector<CasoNome> CoisasSobONome() {
  std::vector<CasoNome> casos = {
      {"a name that is free", [](const Pasta&, const std::string&) { return std::string(); }},
      {"an existing file",
       [](const Pasta&, const std::string& nome) {
         Grava(nome, "antigo");
         return std::string();
       }},
      {"a hard link (the other name keeps its content)",
       [](const Pasta& p, const std::string& nome) {
         Grava(p / "outro.txt", "outro");
         std::filesystem::create_hard_link(p / "outro.txt", nome);
         return p / "outro.txt";
       }},
  };
#ifndef _WIN32
  casos.push_back(
      {"a symbolic link (never followed: its target keeps its content)", [](const Pasta& p, const std::string& nome) {
         Grava(p / "outro.txt", "outro");
         std::filesystem::create_symlink(p / "outro.txt", nome);
         return p / "outro.txt";
       }});
  casos.push_back(
      {"a symbolic link to nothing (nothing is made where it points)", [](const Pasta& p, const std::string& nome) {
         std::filesystem::create_symlink(p / "alvo.txt", nome);
         return std::string();
       }});
  casos.push_back({"a FIFO", [](const Pasta&, const std::string& nome) {
                     EXPECT_EQ(::mkfifo(nome.c_str(), 0600), 0);
                     return std::string();
                   }});
  casos.push_back({"a socket", [](const Pasta&, const std::string& nome) {
                     const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
                     sockaddr_un endereco{};
                     endereco.sun_family = AF_UNIX;
                     nome.copy(endereco.sun_path, sizeof endereco.sun_path - 1);
                     EXPECT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco), 0);
                     ::close(s);
                     return std::string();
                   }});
#endif
  return casos;
}

TEST_F(Arquivos, ANewFileReplacesWhateverStandsUnderItsNameAndFollowsNothing) {
  for (const CasoNome& c : CoisasSobONome()) {
    const Pasta pasta("criar");
    const std::string nome = pasta / "saida.txt";
    const std::string outro = c.prepara(pasta, nome);
    std::unique_ptr<ArquivoEscrita> arquivo;
    const Status s = Ambiente::Padrao().CriarEscrita(nome, &arquivo);
    ASSERT_TRUE(s.ok()) << c.regra << ": " << s.mensagem();
    EXPECT_TRUE(arquivo->Escrever("novo").ok()) << c.regra;
    EXPECT_TRUE(arquivo->Escrever("").ok()) << c.regra;
    EXPECT_TRUE(arquivo->Escrever(" texto").ok()) << c.regra;
    EXPECT_TRUE(arquivo->Fechar().ok()) << c.regra;
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(nome))) << c.regra;
    EXPECT_EQ(Le(nome), "novo texto") << c.regra;
    if (!outro.empty()) {
      EXPECT_EQ(Le(outro), "outro") << c.regra;
    }
    EXPECT_FALSE(Existe(pasta / "alvo.txt")) << c.regra;
  }
}

TEST_F(Arquivos, AFileNotClosedOrClosedWithoutWaitingKeepsWhatWasWritten) {
  {
    std::unique_ptr<ArquivoEscrita> arquivo;
    ASSERT_TRUE(Ambiente::Padrao().CriarEscrita(pasta_ / "aberto.txt", &arquivo).ok());
    ASSERT_TRUE(arquivo->Escrever("escrito").ok());
  }
  EXPECT_EQ(Le(pasta_ / "aberto.txt"), "escrito");
  std::unique_ptr<ArquivoEscrita> arquivo;
  ASSERT_TRUE(Ambiente::Padrao().CriarEscrita(pasta_ / "trabalho.txt", &arquivo).ok());
  const std::string bloco(256 * 1024, 'x');
  ASSERT_TRUE(arquivo->Escrever(bloco).ok());
  ASSERT_TRUE(arquivo->Escrever("fim").ok());
  EXPECT_TRUE(arquivo->FecharTemporario().ok());
  EXPECT_EQ(Le(pasta_ / "trabalho.txt"), bloco + "fim");
}

TEST_F(Arquivos, ARenameReplacesTheFileUnderTheNewName) {
  Grava(pasta_ / "novo.txt", "novo");
  ASSERT_TRUE(Ambiente::Padrao().Renomear(pasta_ / "novo.txt", pasta_ / "arquivo.txt").ok());
  EXPECT_EQ(Le(pasta_ / "arquivo.txt"), "novo");
  EXPECT_FALSE(Existe(pasta_ / "novo.txt"));
}

// Another run renames its results over the param.txt that a run is reading
// for a moment, before it waits for the folder's lock: the rename succeeds
// once the reader has let go (at once where an open file can be replaced).
TEST_F(Arquivos, ARenameOverAFileOpenForAMomentSucceeds) {
  Grava(pasta_ / "lido.txt", "antigo");
  Grava(pasta_ / "novo.txt", "novo");
  std::unique_ptr<plataforma::ArquivoLeitura> aberto;
  ASSERT_TRUE(Ambiente::Padrao().AbrirLeitura(pasta_ / "lido.txt", &aberto).ok());
  std::thread leitor([&aberto] {
    std::array<char, 16> buffer{};
    std::size_t lidos = 0;
    (void)aberto->Ler(buffer.data(), buffer.size(), &lidos);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    aberto.reset();
  });
  const Status s = Ambiente::Padrao().Renomear(pasta_ / "novo.txt", pasta_ / "lido.txt");
  leitor.join();
  ASSERT_TRUE(s.ok()) << s.mensagem();
  EXPECT_EQ(Le(pasta_ / "lido.txt"), "novo");
  EXPECT_FALSE(Existe(pasta_ / "novo.txt"));
}

TEST_F(Arquivos, ADeletedFileIsGone) {
  ASSERT_TRUE(Ambiente::Padrao().Apagar(pasta_ / "arquivo.txt").ok());
  EXPECT_FALSE(Existe(pasta_ / "arquivo.txt"));
}

// --- The lock file --------------------------------------------------------

TEST_F(Arquivos, TheLockFileIsNeverWrittenAndWhatIsNoFileIsReplaced) {
  for (const CasoNome& c : CoisasSobONome()) {
    const Pasta pasta("travar");
    const std::string nome = pasta / "valida.lck";
    const std::string outro = c.prepara(pasta, nome);
    const bool tinha_arquivo = std::filesystem::is_regular_file(std::filesystem::symlink_status(nome));
    const std::string antes = tinha_arquivo ? Le(nome) : "";
    {
      std::unique_ptr<plataforma::Trava> trava;
      const Status s = Ambiente::Padrao().Travar(nome, &trava);
      ASSERT_TRUE(s.ok()) << c.regra << ": " << s.mensagem();
      EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(nome))) << c.regra;
    }
    EXPECT_EQ(Le(nome), antes) << c.regra;
    if (!outro.empty()) {
      EXPECT_EQ(Le(outro), "outro") << c.regra;
    }
    EXPECT_FALSE(Existe(pasta / "alvo.txt")) << c.regra;
    // Released with its owner: the same process takes it again at once.
    std::unique_ptr<plataforma::Trava> de_novo;
    EXPECT_TRUE(Ambiente::Padrao().Travar(nome, &de_novo).ok()) << c.regra;
  }
}

// --- Permissions ----------------------------------------------------------

TEST_F(Arquivos, ANewFileTakesTheModelsPermissions) {
  const std::string modelo = pasta_ / "arquivo.txt";
  const std::string novo = pasta_ / "pasta/dentro.txt";
#ifdef _WIN32
  // A new file takes the folder's defaults: nothing to do, nothing fails.
  EXPECT_TRUE(Ambiente::Padrao().CopiarPermissoes(modelo, novo).ok());
#else
  const struct {
    const char* regra;
    mode_t modelo;
  } casos[] = {{"owner and group may read", 0640}, {"everybody may do everything", 0777}, {"nobody may", 0}};
  for (const auto& c : casos) {
    ::chmod(modelo.c_str(), c.modelo);
    ::chmod(novo.c_str(), 0600);
    ASSERT_TRUE(Ambiente::Padrao().CopiarPermissoes(modelo, novo).ok()) << c.regra;
    struct stat st {};
    ASSERT_EQ(::stat(novo.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.modelo) << c.regra;
  }
  ::chmod(modelo.c_str(), 0600);
  EXPECT_EQ(Ambiente::Padrao().CopiarPermissoes(modelo, pasta_ / "pasta").falha(), Falha::kNaoEncontrado)
      << "a folder is no file to take them";
  EXPECT_EQ(Ambiente::Padrao().CopiarPermissoes(pasta_ / "nada.txt", novo).falha(), Falha::kNaoEncontrado)
      << "a model that is not there";
#endif
}

// --- The program's folder -------------------------------------------------

TEST(PastaPrograma, IsTheFolderOfTheRunningProgramWithoutATrailingSeparator) {
  std::string pasta;
  const Status s = Ambiente::Padrao().PastaPrograma(&pasta);
  ASSERT_TRUE(s.ok()) << s.mensagem();
  std::string programa;
  ASSERT_TRUE(plataforma::CaminhoProprio(&programa).ok);
  ASSERT_FALSE(pasta.empty());
  EXPECT_NE(pasta.back(), Ambiente::Separador());
  EXPECT_EQ(programa.substr(0, programa.rfind(Ambiente::Separador())), pasta);
  EXPECT_TRUE(std::filesystem::is_directory(pasta));
}

// --- Message texts ----------------------------------------------------------

TEST(Mensagens, MessagesWrittenToTheStandardErrorStream) {
  const struct {
    const char* regra;
    const char* modo;
    bool so_posix;  // on Windows a real box would wait for a click
    std::string esperado;
  } casos[] = {
      {"a message box is one line, control characters shown as '?'", "aviso", true, "Título: Ação?feita??fim\n"},
      {"a warning box is one line, line ends written as blanks", "atencao", true,
       "Título: Ação\x01"
       "feita  fim\n"},
      {"a text for the standard error", "erro-padrao", false,
       kWin32 ? std::string(kTextoErroPadrao) : std::string("Atenção")},
  };
  for (const auto& c : casos) {
    if (kWin32 && c.so_posix) continue;
    const Saidas s = ExecutaFilho(c.modo);
    ASSERT_TRUE(s.iniciou) << c.regra;
    EXPECT_EQ(s.saida, "") << c.regra;
    EXPECT_EQ(s.erro, c.esperado) << c.regra;
  }
}

// --- Folders and the log file of jvmlaunch --------------------------------

TEST_F(Arquivos, AFolderIsCreatedOnceItsParentIsThere) {
  const struct {
    const char* regra;
    const char* nome;
    bool ok;
  } casos[] = {
      {"a new folder", "nova", true},
      {"a folder that exists is success", "pasta", true},
      {"a missing parent fails", "nada/nova", false},
      {"a file of that name fails", "arquivo.txt", false},
  };
  for (const auto& c : casos) {
    const std::string caminho = pasta_ / c.nome;
    const plataforma::ResultadoSistema r = plataforma::CriarPasta(caminho.c_str());
    EXPECT_EQ(r.ok, c.ok) << c.regra << ": " << r.texto;
    EXPECT_EQ(r.codigo == 0, c.ok) << c.regra << ": a failure carries the system's code";
    EXPECT_EQ(plataforma::EhPasta(caminho.c_str()), c.ok) << c.regra;
  }
  EXPECT_TRUE(plataforma::EhArquivo((pasta_ / "arquivo.txt").c_str()));
  EXPECT_FALSE(plataforma::EhArquivo((pasta_ / "pasta").c_str()));
  EXPECT_FALSE(plataforma::EhArquivo((pasta_ / "nada.txt").c_str()));
}

TEST_F(Arquivos, EntriesMatchingTheLastComponentAreListed) {
  std::filesystem::create_directory(pasta_ / "jre7");
  std::filesystem::create_directory(pasta_ / "jre1.8");
  Grava(pasta_ / "jre.txt", "");
  std::filesystem::create_directory(pasta_ / "jdk8");
  const struct {
    const char* regra;
    std::string padrao;
    bool ok;
    std::vector<std::pair<std::string, bool>> entradas;  // sorted by name
  } casos[] = {
      {"a wildcard matches folders and files",
       pasta_ / "jre*",
       true,
       {{"jre.txt", false}, {"jre1.8", true}, {"jre7", true}}},
      {"a single character", pasta_ / "jre?", true, {{"jre7", true}}},
      {"no match is an empty list", pasta_ / "jrx*", true, {}},
      {"a missing folder fails", pasta_ / "nada/jre*", false, {}},
  };
  for (const auto& c : casos) {
    std::vector<plataforma::EntradaPasta> lidas = {{"antiga", false}};
    const plataforma::ResultadoSistema r = plataforma::ListarEntradas(c.padrao.c_str(), &lidas);
    EXPECT_EQ(r.ok, c.ok) << c.regra << ": " << r.texto;
    std::vector<std::pair<std::string, bool>> entradas;
    entradas.reserve(lidas.size());
    for (const auto& e : lidas) entradas.emplace_back(e.nome, e.pasta);
    std::sort(entradas.begin(), entradas.end());
    EXPECT_EQ(entradas, c.entradas) << c.regra;
  }
}

TEST_F(Arquivos, TheLogFileIsWrittenByteForByte) {
  const std::string caminho = pasta_ / "jvmlaunch.LOG";
  Grava(caminho, "antigo e mais longo");
  std::unique_ptr<plataforma::ArquivoLog> log;
  const plataforma::ResultadoSistema aberto = plataforma::AbrirArquivoLog(caminho.c_str(), &log);
  ASSERT_TRUE(aberto.ok) << aberto.texto;
  const std::string_view texto = "linha\nsem CR\r\n\0fim"sv;
  log->Escrever(texto.data(), texto.size());
  EXPECT_TRUE(log->Estado().ok);
  EXPECT_EQ(Le(caminho), texto) << "truncated, then every byte as given";
  log.reset();

  std::unique_ptr<plataforma::ArquivoLog> sem_pasta;
  const plataforma::ResultadoSistema r = plataforma::AbrirArquivoLog((pasta_ / "nada/a.LOG").c_str(), &sem_pasta);
  EXPECT_FALSE(r.ok) << "a missing folder";
  EXPECT_NE(r.codigo, 0);
  EXPECT_FALSE(r.texto.empty());
}

TEST(PastaTemporaria, HasNoTrailingSeparator) {
  std::string pasta;
  ASSERT_TRUE(plataforma::PastaTemporariaSistema(&pasta));
  ASSERT_GT(pasta.size(), 1U);
  EXPECT_NE(pasta.back(), Ambiente::Separador());
  EXPECT_TRUE(plataforma::EhPasta(pasta.c_str()));
  EXPECT_EQ(std::string(plataforma::PastaTemporariaFixa()), kWin32 ? "c:\\temp" : "/tmp");
}

}  // namespace
}  // namespace contrato
