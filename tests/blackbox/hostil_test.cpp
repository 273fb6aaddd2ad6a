// The program on hostile input and in a shared folder, as a caller sees it:
// names that open no regular file, endless and enormous files, links planted
// under the names the program creates, several runs at once in one folder,
// control characters in the fields, a folder the program cannot learn, a
// memory limit and broken streams. Every run has a time limit, so that a run
// that hangs fails its test instead of holding the suite.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"
#include "tests/geradores/gia03.h"

namespace blackbox {
namespace {

namespace fs = std::filesystem;
using Linhas_ = std::vector<std::string>;

// Long enough for Wine's start on a busy machine; a hang ends there.
constexpr int kLimite = 60;

Opcoes ComLimite() {
  Opcoes o;
  o.limite_segundos = kLimite;
  return o;
}

const std::string kSemDeclaracao = std::string(15, ' ') + "00/0000";
std::string AchadoArquivo(int linha, std::string_view texto) { return Achado(kSemDeclaracao, linha, 0, 0, texto); }
const std::string kNaoEncontrado(std::string("Arquivo não encontrado"_cp));
const std::string kNaoEGIA(std::string("Arquivo a ser validado não é GIA"_cp));

// A GIA 3 record whose every amount is a letter: 55 findings a line.
std::string RegistroComAchados() {
  std::string r = geradores::RegistroGIA03Zerado();
  geradores::Poe(r, 84, std::string(879 - 84 + 1, 'A'));
  return r;
}

std::string Repete(const std::string& registro, int vezes) {
  std::string arquivo;
  arquivo.reserve((registro.size() + 2) * static_cast<std::size_t>(vezes));
  for (int i = 0; i < vezes; ++i) arquivo += registro + "\r\n";
  return arquivo;
}

// The results of a run alone in a clean folder, to compare others with.
struct Resultado {
  std::string saida;
  std::string parametros;
};
Resultado Sozinho(const std::string& tipo, const std::string& declaracao) {
  PastaValida pasta;
  pasta.EscreveArquivo("gia.txt", declaracao);
  pasta.EscreveParametros(tipo, "gia.txt");
  EXPECT_EQ(pasta.Executa(ComLimite()), 0) << pasta.Erro();
  return {pasta.Le("saida.txt"), pasta.Le("param.txt")};
}

std::string LeArquivo(const fs::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --- Names that open no regular file -------------------------------------

struct CasoDeclaracao {
  const char* regra;
  const char* tipo;
  std::string caminho;  // as param.txt gives it
  int entrada = -1;     // the program's standard input
};

void ExigeNaoEncontrado(const CasoDeclaracao& caso) {
  PastaValida pasta;
  pasta.EscreveParametros(caso.tipo, caso.caminho);
  Opcoes opcoes = ComLimite();
  opcoes.entrada = caso.entrada;
  ASSERT_EQ(pasta.Executa(opcoes), 0) << caso.regra << ": " << pasta.Erro();
  const std::string cabecalho = std::string(caso.tipo) == "GIAST02" ? kCabecalhoInscricao : kCabecalhoCGCTE;
  EXPECT_EQ(pasta.LinhasSaida(), Relatorio(cabecalho, {AchadoArquivo(0, kNaoEncontrado)})) << caso.regra;
  EXPECT_EQ(pasta.LinhasParametros().at(1), "NOK") << caso.regra;
}

TEST(Hostil, DeclarationsThatAreNoRegularFileAreNotFound) {
  // Natively a device name is a missing file of the working folder: the same finding.
  const std::vector<CasoDeclaracao> casos = {
      {"the console", "GIAST02", "CON"},
      {"the console's input", "GIAST02", "CONIN$"},
      {"the null device", "GIAST02", "NUL"},
      {"a serial port", "GIAST02", "COM1"},
      {"the null device by its device path", "GIAST02", "\\\\.\\NUL"},
      {"an endless device", "GIAST02", PastaValida::CaminhoDoPrograma("/dev/zero")},
      {"an endless device of a kind with a size test", "GIA03", PastaValida::CaminhoDoPrograma("/dev/zero")},
  };
  for (const auto& caso : casos) ExigeNaoEncontrado(caso);
}

TEST(Hostil, AFifoATerminalOrAnOpenStandardInputIsNotADeclaration) {
  if (PastaValida::SobWine()) GTEST_SKIP() << "FIFOs and terminals are POSIX objects";
  const fs::path pasta_fifo = fs::temp_directory_path() / ("valida-fifo-" + std::to_string(::getpid()));
  fs::create_directories(pasta_fifo);
  const fs::path fifo = pasta_fifo / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A pipe whose writer stays open: reading it would wait forever.
  int tubo[2];
  ASSERT_EQ(::pipe(tubo), 0);
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(::grantpt(terminal), 0);
  ASSERT_EQ(::unlockpt(terminal), 0);
  const std::string escravo = ::ptsname(terminal);

  for (const char* tipo : {"GIA03", "GIAST01", "GIAST02"}) {
    ExigeNaoEncontrado({"a FIFO without a writer", tipo, fifo.string()});
    ExigeNaoEncontrado({"the standard input, a pipe held open", tipo, "/dev/stdin", tubo[0]});
    ExigeNaoEncontrado({"a terminal", tipo, escravo});
  }
  ::close(terminal);
  ::close(tubo[0]);
  ::close(tubo[1]);
  fs::remove_all(pasta_fifo);
}

TEST(Hostil, ParametersThatAreNoRegularFileAreMissing) {
  const struct {
    const char* regra;
    void (*planta)(const fs::path&);
  } casos[] = {
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
  };
  for (const auto& caso : casos) {
    PastaValida pasta;
    caso.planta(pasta.Caminho() / "param.txt");
    EXPECT_EQ(pasta.Executa(ComLimite()), 2) << caso.regra;
    EXPECT_EQ(pasta.Arquivos(), Linhas_{"param.txt"}) << caso.regra << ": nothing is written";
    if (!PastaValida::SobWine()) {
      EXPECT_EQ(pasta.Erro(), "AVISO: Arquivo de Parâmetros não Encontrado\n") << caso.regra;
    }
  }
}

// --- Enormous files without a line end ------------------------------------

TEST(Hostil, ASparseFileOfManyGigabytesEndsAtItsFirstLine) {
  const struct {
    const char* regra;
    const char* tipo;
    std::uint64_t tamanho;
    Linhas_ achados;
    const std::string& cabecalho;
  } casos[] = {
      {"GIA ST 2, which has no size test: 40 GiB",
       "GIAST02",
       std::uint64_t{40} << 30,
       {Achado(kSemDeclaracao, 1, 1, 2, "Identificação Registro Inválida"_cp), AchadoArquivo(1, kNaoEGIA)},
       kCabecalhoInscricao},
      {"GIA 3 whose size passes the size test",
       "GIA03",
       std::uint64_t{900} * 47721859,
       {AchadoArquivo(1, kNaoEGIA)},
       kCabecalhoCGCTE},
  };
  for (const auto& caso : casos) {
    PastaValida pasta;
    { std::ofstream criado(pasta.Caminho() / "esparso.txt"); }
    ASSERT_EQ(::truncate((pasta.Caminho() / "esparso.txt").c_str(), static_cast<off_t>(caso.tamanho)), 0);
    pasta.EscreveParametros(caso.tipo, "esparso.txt");
    ASSERT_EQ(pasta.Executa(ComLimite()), 0) << caso.regra << ": " << pasta.Erro();
    EXPECT_EQ(pasta.LinhasSaida(), Relatorio(caso.cabecalho, caso.achados)) << caso.regra;
  }
}

// --- Links planted under the names the program creates --------------------

TEST(Hostil, LinksUnderTheProgramsNamesAreReplacedNeverFollowed) {
  const std::string declaracao = Repete(RegistroComAchados(), 3);
  const Resultado sozinho = Sozinho("GIA03", declaracao);
  const std::string conteudo = "conteúdo do alvo, que nada deve mudar\r\n";
  const fs::path pasta_alvos = fs::temp_directory_path() / ("valida-alvos-" + std::to_string(::getpid()));
  fs::create_directories(pasta_alvos);

  enum class Ligacao { kSimbolica, kFisica, kSimbolicaParaNada };
  for (const char* nome :
       {"aux00001.txt", "aux00002.txt", "param.txt.novo", "saida.txt.novo", "valida.lck", "saida.txt"}) {
    for (const Ligacao ligacao : {Ligacao::kSimbolica, Ligacao::kFisica, Ligacao::kSimbolicaParaNada}) {
      const std::string regra = std::string(nome) + (ligacao == Ligacao::kSimbolica ? ", a symbolic link"
                                                     : ligacao == Ligacao::kFisica  ? ", a hard link"
                                                                                    : ", a link to nothing");
      const fs::path alvo = pasta_alvos / "alvo";
      fs::remove(alvo);
      PastaValida pasta;
      if (ligacao == Ligacao::kSimbolicaParaNada) {
        fs::create_symlink(alvo, pasta.Caminho() / nome);
      } else {
        std::ofstream(alvo, std::ios::binary) << conteudo;
        if (ligacao == Ligacao::kSimbolica) {
          fs::create_symlink(alvo, pasta.Caminho() / nome);
        } else {
          fs::create_hard_link(alvo, pasta.Caminho() / nome);
        }
      }
      pasta.EscreveArquivo("gia.txt", declaracao);
      pasta.EscreveParametros("GIA03", "gia.txt");
      EXPECT_EQ(pasta.Executa(ComLimite()), 0) << regra << ": " << pasta.Erro();
      EXPECT_EQ(pasta.Le("saida.txt"), sozinho.saida) << regra;
      EXPECT_EQ(pasta.Le("param.txt"), sozinho.parametros) << regra;
      if (ligacao == Ligacao::kSimbolicaParaNada) {
        EXPECT_FALSE(fs::exists(alvo)) << regra << ": nothing is created outside the folder";
      } else {
        EXPECT_EQ(LeArquivo(alvo), conteudo) << regra;
      }
      EXPECT_FALSE(pasta.Existe("aux00001.txt")) << regra;
      EXPECT_FALSE(pasta.Existe("aux00002.txt")) << regra;
    }
  }
  fs::remove_all(pasta_alvos);
}

TEST(Hostil, AFolderUnderAWorkFilesNameEndsTheRunWithoutAReport) {
  for (const char* nome : {"aux00001.txt", "saida.txt.novo", "valida.lck"}) {
    PastaValida pasta;
    fs::create_directory(pasta.Caminho() / nome);
    pasta.EscreveArquivo("gia.txt", Repete(RegistroComAchados(), 1));
    pasta.EscreveParametros("GIA03", "gia.txt");
    const std::string parametros = pasta.Le("param.txt");
    EXPECT_EQ(pasta.Executa(ComLimite()), 2) << nome;
    EXPECT_EQ(pasta.Le("param.txt"), parametros) << nome;
    EXPECT_FALSE(pasta.Existe("saida.txt")) << nome;
    EXPECT_TRUE(fs::is_directory(pasta.Caminho() / nome)) << nome << ": a folder is not removed";
    if (!PastaValida::SobWine()) {
      EXPECT_EQ(pasta.Erro().rfind("AVISO: Erro no arquivo ", 0), 0U) << nome << ": " << pasta.Erro();
    }
  }
}

// --- Several runs at once in one folder -----------------------------------

TEST(Hostil, RunsStartedAtOnceInOneFolderEachGiveTheWholeReport) {
  const std::string declaracao = Repete(RegistroComAchados(), 4000);
  const Resultado sozinho = Sozinho("GIA03", declaracao);
  ASSERT_EQ(Linhas(sozinho.saida).size(), 4U + 4000U * 55U);
  for (const int quantas : {2, 8}) {
    PastaValida pasta;
    pasta.EscreveArquivo("gia.txt", declaracao);
    pasta.EscreveParametros("GIA03", "gia.txt");
    std::vector<PastaValida::Processo> processos(static_cast<std::size_t>(quantas));
    for (auto& p : processos) p = pasta.Inicia(ComLimite());
    for (int i = 0; i < quantas; ++i) {
      EXPECT_EQ(pasta.Espera(processos[static_cast<std::size_t>(i)]), 0)
          << quantas << " runs, run " << i << ": " << pasta.Erro();
      // Whichever run wrote it last, the report in place is whole.
      EXPECT_TRUE(pasta.Le("saida.txt") == sozinho.saida) << quantas << " runs, after run " << i;
    }
    EXPECT_EQ(pasta.Le("param.txt"), sozinho.parametros) << quantas << " runs";
    EXPECT_EQ(pasta.Arquivos(), (Linhas_{"gia.txt", "param.txt", "saida.txt", "valida.lck"})) << quantas << " runs";
  }
}

// --- Control characters ---------------------------------------------------

TEST(Hostil, ControlCharactersInFieldsAreShownAsQuestionMarks) {
  std::string registro = geradores::RegistroGIA03Zerado();
  geradores::Poe(registro, 20,
                 std::string("0\n\r\0\x1b"
                             "8",
                             6));
  geradores::Poe(registro, 26,
                 std::string("12\n4\r6\0\x7f\x1b"
                             "9",
                             10));
  const std::string contribuinte_periodo = "12?4?6???9     0????8";
  EXPECT_EQ(Valida("GIA03", "gia.txt", registro + "\r\n", "NOK"),
            Relatorio(kCabecalhoCGCTE, {Achado(contribuinte_periodo, 1, 20, 25, "Campo numérico é esperado"_cp),
                                        Achado(contribuinte_periodo, 1, 26, 35, "Campo numérico é esperado"_cp)}));
}

TEST(Hostil, ControlCharactersInParametersReachTheReceiptAsQuestionMarks) {
  PastaValida pasta;
  const auto declaracoes = geradores::GeradorGIA03(3).Varias(2);
  pasta.EscreveArquivo("gia.txt", geradores::Arquivo(declaracoes));
  Parametros p;
  p.tipo = "GIA03";
  p.arquivo = "gia.txt";
  p.email = std::string("a\x1b[2J@b\0c\x7f", 10);
  p.orgao = "ORG\x1b]0;xAO";
  const std::string linha = p.Linha();
  pasta.EscreveArquivo("param.txt", linha + "\r\n");
  const Linhas_ saida = pasta.ExecutaComRelatorio("OK");
  ASSERT_GE(saida.size(), 7U);
  EXPECT_EQ(saida[1], std::string(30, ' ') + "ORG?]0;xAO");
  EXPECT_EQ(saida[6], "  E-Mail       :a?[2J@b?c?" + std::string(60, ' '));
  for (const auto& l : saida)
    for (const char c : l) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << l;
  EXPECT_EQ(pasta.Le("param.txt"), linha + "\r\nOK\r\n") << "the caller's line byte for byte";
}

// --- The first line of param.txt ------------------------------------------

TEST(Hostil, AFirstLineOfParametersBeyond64KiBEndsTheRun) {
  Parametros p;
  p.tipo = "GIAST02";
  p.arquivo = "vazio.txt";
  const std::string base = p.Linha();
  for (const std::size_t tamanho : {std::size_t{65536}, std::size_t{65537}, std::size_t{10} << 20}) {
    PastaValida pasta;
    pasta.EscreveArquivo("vazio.txt", "");
    std::string linha = base;
    linha.resize(tamanho, ' ');
    pasta.EscreveArquivo("param.txt", linha + "\r\n");
    if (tamanho == 65536) {
      pasta.ExecutaComRelatorio("OK");
      EXPECT_EQ(pasta.Le("param.txt"), linha + "\r\nOK\r\n");
      continue;
    }
    EXPECT_EQ(pasta.Executa(ComLimite()), 2) << tamanho;
    EXPECT_EQ(pasta.Le("param.txt"), linha + "\r\n") << tamanho;
    EXPECT_EQ(pasta.Arquivos(), (Linhas_{"param.txt", "vazio.txt"})) << tamanho;
    if (!PastaValida::SobWine()) {
      EXPECT_EQ(pasta.Erro(), "AVISO: Erro no arquivo " + (pasta.Caminho() / "param.txt").string() +
                                  ": the first line is longer than 65536 bytes\n");
    }
  }
}

// --- A program folder whose path the system will not give -----------------

// A folder nested deeper than the longest path the kernel returns, built and
// removed through descriptors (no path to it fits in PATH_MAX).
class PastaProfunda {
 public:
  PastaProfunda() {
    base_ = fs::temp_directory_path() / ("valida-profunda-" + std::to_string(::getpid()));
    fs::create_directories(base_);
    int fd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kNiveis && fd >= 0; ++i) {
      ::mkdirat(fd, kNome.c_str(), 0700);
      const int proxima = ::openat(fd, kNome.c_str(), O_RDONLY | O_DIRECTORY);
      ::close(fd);
      fd = proxima;
    }
    fd_ = fd;
  }
  PastaProfunda(const PastaProfunda&) = delete;
  PastaProfunda& operator=(const PastaProfunda&) = delete;
  ~PastaProfunda() {
    if (fd_ >= 0) ::close(fd_);
    int fd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY);
    Remove(fd, 0);
    ::close(fd);
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  // Copies the file into the deepest folder and returns a descriptor of the
  // copy, open for starting it, and the names the folder then holds.
  int Copia(const fs::path& origem) const {
    const std::string bytes = LeArquivo(origem);
    const int fd = ::openat(fd_, "valida", O_WRONLY | O_CREAT | O_TRUNC, 0755);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return -1;
    ::close(fd);
    return ::openat(fd_, "valida", O_RDONLY);
  }
  [[nodiscard]] Linhas_ Nomes() const {
    Linhas_ nomes;
    const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY);
    DIR* d = ::fdopendir(fd);
    while (const dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") nomes.emplace_back(e->d_name);
    ::closedir(d);
    std::sort(nomes.begin(), nomes.end());
    return nomes;
  }

 private:
  static void Remove(int fd, int nivel) {
    if (fd < 0) return;
    const int sub = ::openat(fd, kNome.c_str(), O_RDONLY | O_DIRECTORY);
    if (sub >= 0) {
      Remove(sub, nivel + 1);
      ::close(sub);
      ::unlinkat(fd, kNome.c_str(), AT_REMOVEDIR);
    }
    ::unlinkat(fd, "valida", 0);
  }
  static constexpr int kNiveis = 24;  // 24 x 201 bytes: beyond 4096
  static inline const std::string kNome = std::string(200, 'p');
  fs::path base_;
  int fd_ = -1;
};

TEST(Hostil, AProgramThatCannotLearnItsFolderWritesNothingAnywhere) {
  if (PastaValida::SobWine()) GTEST_SKIP() << "the deep folder is made and started through POSIX descriptors";
  PastaProfunda profunda;
  const int programa = profunda.Copia(std::getenv("VALIDA_PROGRAMA"));
  ASSERT_GE(programa, 0);
  // The working folder holds what a caller would have put beside the program.
  PastaValida pasta;
  pasta.EscreveArquivo("gia.txt", Repete(RegistroComAchados(), 1));
  pasta.EscreveParametros("GIA03", "gia.txt");
  const std::string parametros = pasta.Le("param.txt");
  Opcoes opcoes = ComLimite();
  opcoes.programa = "/proc/self/fd/" + std::to_string(programa);
  EXPECT_EQ(pasta.Executa(opcoes), 2);
  ::close(programa);
  // (A sanitizer may say first that it could not read the path either.)
  EXPECT_NE(pasta.Erro().find("AVISO: Erro no arquivo param.txt: "), std::string::npos) << pasta.Erro();
  EXPECT_EQ(pasta.Arquivos(), (Linhas_{"gia.txt", "param.txt"}));
  EXPECT_EQ(pasta.Le("param.txt"), parametros);
  EXPECT_EQ(profunda.Nomes(), Linhas_{"valida"});
}

// --- Memory ---------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizado = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizado = true;
#else
constexpr bool kSanitizado = false;
#endif
#else
constexpr bool kSanitizado = false;
#endif

TEST(Hostil, MemoryExhaustedEndsTheRunWithItsMessageAndTheParametersIntact) {
  if (PastaValida::SobWine()) GTEST_SKIP() << "the address-space limit is a POSIX one";
  if (kSanitizado) GTEST_SKIP() << "the sanitizers reserve address space of their own";
  PastaValida pasta;
  pasta.EscreveArquivo("gia.txt", Repete(RegistroComAchados(), 20));
  Parametros p;
  p.tipo = "GIA03";
  p.arquivo = "gia.txt";
  const std::string parametros = p.Linha() + "\r\nlinha do chamador\r\n";
  auto executa = [&](std::uint64_t kb) {
    pasta.EscreveArquivo("param.txt", parametros);
    std::error_code ec;
    fs::remove(pasta.Caminho() / "saida.txt", ec);
    Opcoes opcoes = ComLimite();
    opcoes.memoria_kb = kb;
    return pasta.Executa(opcoes);
  };
  // The least limit under which the run succeeds, to a page.
  std::uint64_t falha = 1024;
  std::uint64_t sucesso = 4u << 20;
  ASSERT_EQ(executa(sucesso), 0) << pasta.Erro();
  while (sucesso - falha > 4) {
    const std::uint64_t meio = (falha + sucesso) / 2;
    (executa(meio) == 0 ? sucesso : falha) = meio;
  }
  // Just below it the run runs out of memory on its way: the message, no
  // report, the caller's parameters as they were.
  int falhas = 0;
  for (const std::uint64_t paginas : {1, 2, 4, 8, 16}) {
    const std::uint64_t kb = sucesso - 4 * paginas;
    const int status = executa(kb);
    if (status == 0) continue;
    ++falhas;
    EXPECT_EQ(status, 2) << kb << " KiB: " << pasta.Erro();
    EXPECT_EQ(pasta.Erro().rfind("AVISO: Erro no arquivo ", 0), 0U) << kb << " KiB: " << pasta.Erro();
    EXPECT_NE(pasta.Erro().find("not enough memory"), std::string::npos) << kb << " KiB: " << pasta.Erro();
    EXPECT_EQ(pasta.Le("param.txt"), parametros) << kb << " KiB";
    EXPECT_FALSE(pasta.Existe("saida.txt")) << kb << " KiB";
  }
  EXPECT_GT(falhas, 0);
}

// --- Standard streams -----------------------------------------------------

TEST(Hostil, ABrokenOrClosedStandardErrorNeverEndsTheRun) {
  if (PastaValida::SobWine()) GTEST_SKIP() << "Wine writes to the standard error stream itself";
  {
    // Its reader gone: the message box's line cannot be written.
    PastaValida pasta;
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    ::close(tubo[0]);
    Opcoes opcoes = ComLimite();
    opcoes.erro = tubo[1];
    EXPECT_EQ(pasta.Executa(opcoes), 2) << "no param.txt: the usual status";
    ::close(tubo[1]);
    EXPECT_TRUE(pasta.Arquivos().empty());
  }
  {
    PastaValida pasta;
    pasta.EscreveArquivo("gia.txt", Repete(RegistroComAchados(), 1));
    pasta.EscreveParametros("GIA03", "gia.txt");
    const Resultado sozinho = Sozinho("GIA03", Repete(RegistroComAchados(), 1));
    Opcoes opcoes = ComLimite();
    opcoes.erro_fechado = true;
    EXPECT_EQ(pasta.Executa(opcoes), 0);
    EXPECT_EQ(pasta.Le("saida.txt"), sozinho.saida);
    EXPECT_EQ(pasta.Arquivos(), (Linhas_{"gia.txt", "param.txt", "saida.txt", "valida.lck"}));
  }
}

// --- Permissions ----------------------------------------------------------

TEST(Hostil, TheRewrittenParametersKeepTheCallersPermissions) {
  if (PastaValida::SobWine()) GTEST_SKIP() << "a new Windows file takes the folder's defaults";
  for (const fs::perms modo : {fs::perms::owner_read | fs::perms::owner_write,
                               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                               fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all}) {
    PastaValida pasta;
    pasta.EscreveArquivo("vazio.txt", "");
    pasta.EscreveParametros("GIAST02", "vazio.txt");
    fs::permissions(pasta.Caminho() / "param.txt", modo);
    pasta.ExecutaComRelatorio("OK");
    EXPECT_EQ(fs::status(pasta.Caminho() / "param.txt").permissions(), modo) << static_cast<int>(modo);
  }
}

}  // namespace
}  // namespace blackbox
