// The in-memory environment keeps the platform's contracts, notes the uses no
// sound run makes, and gives a run the results that the disk gives it.
#include "fuzz/memoria.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/alvos.h"
#include "fuzz/declaracoes.h"
#include "valida/run/modEspecifico.h"

namespace {

using fuzz::AmbienteMemoria;
using plataforma::Falha;

namespace fs = std::filesystem;

const std::string kPasta(fuzz::kPasta);

std::string Le(plataforma::ArquivoLeitura& arquivo, std::size_t pedaco = 4096) {
  std::string texto;
  std::vector<char> buffer(pedaco);
  for (;;) {
    std::size_t lidos = 0;
    EXPECT_TRUE(arquivo.Ler(buffer.data(), buffer.size(), &lidos).ok());
    if (lidos == 0) return texto;
    texto.append(buffer.data(), lidos);
  }
}

bool Contem(const std::vector<std::string>& textos, std::string_view parte) {
  for (const auto& t : textos)
    if (t.find(parte) != std::string::npos) return true;
  return false;
}

// --- Contracts of the platform ----------------------------------------------

TEST(AmbienteMemoria, KeepsThePlatformsContracts) {
  AmbienteMemoria m(kPasta);
  m.PoeArquivo("decl.txt", "antigo");
  std::unique_ptr<plataforma::Trava> trava;
  ASSERT_TRUE(m.Travar(m.NaPasta("valida.lck"), &trava).ok());

  // An open handle keeps the file it opened when a new one takes its name.
  m.PoeArquivo(m.NaPasta("saida.txt"), "velho");
  std::unique_ptr<plataforma::ArquivoLeitura> leitura;
  ASSERT_TRUE(m.AbrirLeitura(m.NaPasta("saida.txt"), &leitura).ok());
  std::unique_ptr<plataforma::ArquivoEscrita> escrita;
  ASSERT_TRUE(m.CriarEscrita(m.NaPasta("saida.txt"), &escrita).ok());
  EXPECT_EQ(*m.Conteudo(m.NaPasta("saida.txt")), "") << "a created file is empty";
  EXPECT_EQ(Le(*leitura), "velho") << "an open reader keeps the old file";
  EXPECT_EQ(*m.Removido(m.NaPasta("saida.txt")), "velho") << "what a creation replaced is kept";

  // A writer keeps its file across a rename.
  ASSERT_TRUE(m.CriarEscrita(m.NaPasta("saida.txt.novo"), &escrita).ok());
  ASSERT_TRUE(escrita->Escrever("um ").ok());
  ASSERT_TRUE(m.Renomear(m.NaPasta("saida.txt.novo"), m.NaPasta("saida.txt")).ok());
  ASSERT_TRUE(escrita->Escrever("dois").ok());
  ASSERT_TRUE(escrita->Fechar().ok());
  EXPECT_EQ(*m.Conteudo(m.NaPasta("saida.txt")), "um dois");
  EXPECT_EQ(m.Conteudo(m.NaPasta("saida.txt.novo")), std::nullopt);

  // Missing files.
  EXPECT_EQ(m.AbrirLeitura("nenhum.txt", &leitura).falha(), Falha::kNaoEncontrado);
  EXPECT_EQ(m.Renomear(m.NaPasta("aux00001.txt"), m.NaPasta("saida.txt")).falha(), Falha::kNaoEncontrado);
  EXPECT_TRUE(m.Apagar(m.NaPasta("aux00002.txt")).ok()) << "deleting a missing file is no failure";

  // The library is the real check.
  std::unique_ptr<plataforma::Biblioteca> biblioteca;
  ASSERT_TRUE(m.CarregarBiblioteca("DllInscE32", &biblioteca).ok());
  plataforma::EnderecoFuncao endereco = nullptr;
  ASSERT_TRUE(biblioteca->Funcao("ConsisteInscricaoEstadual", &endereco).ok());
  const auto consiste = reinterpret_cast<std::int16_t (*)(const char*, const char*)>(endereco);  // NOLINT
  EXPECT_EQ(consiste("2243658792", "RS"), 0);
  EXPECT_EQ(consiste("2243658793", "RS"), 1);
  EXPECT_EQ(biblioteca->Funcao("Outra", &endereco).falha(), Falha::kNaoEncontrado);
  EXPECT_EQ(m.CarregarBiblioteca("Outra", &biblioteca).falha(), Falha::kNaoEncontrado);

  leitura.reset();
  escrita.reset();
  biblioteca.reset();
  trava.reset();
  EXPECT_TRUE(m.Violacoes().empty()) << m.Violacoes().front();
  EXPECT_NE(m.Conteudo(m.NaPasta("valida.lck")), std::nullopt) << "the lock file stays";
}

TEST(AmbienteMemoria, ServesReadsOfTheSizeItIsGiven) {
  AmbienteMemoria m(kPasta);
  m.PoeArquivo("decl.txt", "0123456789");
  m.LimitaLeitura(3);
  std::unique_ptr<plataforma::ArquivoLeitura> leitura;
  ASSERT_TRUE(m.AbrirLeitura("decl.txt", &leitura).ok());
  char buffer[16];
  std::size_t lidos = 0;
  ASSERT_TRUE(leitura->Ler(buffer, sizeof buffer, &lidos).ok());
  EXPECT_EQ(lidos, 3U);
  std::uint64_t tamanho = 0;
  ASSERT_TRUE(leitura->Tamanho(&tamanho).ok());
  EXPECT_EQ(tamanho, 10U);
  EXPECT_EQ(std::string(buffer, 3) + Le(*leitura, 16), "0123456789");
}

TEST(AmbienteMemoria, ServesTheCallersBytesAndKeepsWhatARemovalTook) {
  AmbienteMemoria m(kPasta);
  std::unique_ptr<plataforma::Trava> trava;
  ASSERT_TRUE(m.Travar(m.NaPasta("valida.lck"), &trava).ok());

  // Lent bytes are served as they stand, from where they stand.
  const std::string emprestado = "linha 1\r\nlinha 2\r\n";
  m.PoeArquivoAlheio("decl.txt", emprestado);
  EXPECT_EQ(m.Conteudo("decl.txt")->data(), emprestado.data()) << "no copy";
  std::unique_ptr<plataforma::ArquivoLeitura> leitura;
  ASSERT_TRUE(m.AbrirLeitura("decl.txt", &leitura).ok());
  EXPECT_EQ(Le(*leitura), emprestado);

  // What a deletion took stays as it was then, even when a handle still open
  // on the file writes on (no sound run does).
  std::unique_ptr<plataforma::ArquivoEscrita> escrita;
  ASSERT_TRUE(m.CriarEscrita(m.NaPasta("aux00001.txt"), &escrita).ok());
  ASSERT_TRUE(escrita->Escrever("achado").ok());
  ASSERT_TRUE(m.Apagar(m.NaPasta("aux00001.txt")).ok());
  ASSERT_TRUE(escrita->Escrever(" depois").ok());
  EXPECT_EQ(m.Removido(m.NaPasta("aux00001.txt")), "achado");
  EXPECT_EQ(m.RemovidoNaPasta("aux00001.txt"), "achado");
  EXPECT_EQ(m.ConteudoNaPasta("aux00001.txt"), std::nullopt);
  ASSERT_TRUE(escrita->Fechar().ok());

  // A rename over a file keeps what it replaced; names by path and by name agree.
  ASSERT_TRUE(m.CriarEscrita(m.NaPasta("saida.txt"), &escrita).ok());
  ASSERT_TRUE(escrita->Escrever("velha").ok());
  ASSERT_TRUE(escrita->Fechar().ok());
  ASSERT_TRUE(m.CriarEscrita(m.NaPasta("saida.txt.novo"), &escrita).ok());
  ASSERT_TRUE(escrita->Escrever("nova").ok());
  ASSERT_TRUE(escrita->Fechar().ok());
  ASSERT_TRUE(m.Renomear(m.NaPasta("saida.txt.novo"), m.NaPasta("saida.txt")).ok());
  EXPECT_EQ(m.ConteudoNaPasta("saida.txt"), "nova");
  EXPECT_EQ(m.Conteudo(m.NaPasta("saida.txt")), "nova");
  EXPECT_EQ(m.RemovidoNaPasta("saida.txt"), "velha");
  EXPECT_EQ(m.Nomes(), (std::vector<std::string>{m.NaPasta("saida.txt"), m.NaPasta("valida.lck"), "decl.txt"}));

  leitura.reset();
  escrita.reset();
  trava.reset();
  EXPECT_TRUE(m.Violacoes().empty()) << m.Violacoes().front();
}

// What a case keeps open while the environment is asked.
struct Vivos {
  std::unique_ptr<plataforma::Trava> trava;
  std::unique_ptr<plataforma::ArquivoLeitura> leitura;
};

// Each row breaks one rule of a sound run; the environment names it.
TEST(AmbienteMemoria, NotesWhatNoSoundRunDoes) {
  struct Caso {
    const char* regra;
    void (*faz)(AmbienteMemoria& m, Vivos& vivos);
    const char* violacao;
  };
  const Caso casos[] = {
      {"a file created outside the program's folder",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         std::unique_ptr<plataforma::ArquivoEscrita> e;
         (void)m.CriarEscrita("/etc/passwd", &e);
         v.trava.reset();
       },
       "creation of a file not the program's own: /etc/passwd"},
      {"a program's name in another folder",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         std::unique_ptr<plataforma::ArquivoEscrita> e;
         (void)m.CriarEscrita(m.Pasta() + "2/saida.txt", &e);
         v.trava.reset();
       },
       "creation of a file not the program's own: /valida2/saida.txt"},
      {"a program's name with more after it",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         (void)m.Apagar(m.NaPasta("saida.txt.velho"));
         v.trava.reset();
       },
       "deletion of a file not the program's own: /valida/saida.txt.velho"},
      {"the lock file created as a file",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         std::unique_ptr<plataforma::ArquivoEscrita> e;
         (void)m.CriarEscrita(m.NaPasta("valida.lck"), &e);
         v.trava.reset();
       },
       "creation of a file not the program's own: /valida/valida.lck"},
      {"a lock outside the folder",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar("/tmp/valida.lck", &v.trava);
         v.trava.reset();
       },
       "lock of a file not the program's own: /tmp/valida.lck"},
      {"a file of the folder that is not the program's",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         (void)m.Apagar(m.NaPasta("outro.txt"));
         v.trava.reset();
       },
       "deletion of a file not the program's own"},
      {"a work file created without the lock",
       [](AmbienteMemoria& m, Vivos&) {
         std::unique_ptr<plataforma::ArquivoEscrita> e;
         (void)m.CriarEscrita(m.NaPasta("aux00001.txt"), &e);
       },
       "creation without the folder's lock"},
      {"a rename without the lock",
       [](AmbienteMemoria& m, Vivos&) { (void)m.Renomear(m.NaPasta("saida.txt.novo"), m.NaPasta("saida.txt")); },
       "rename without the folder's lock"},
      {"a write after the close",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         std::unique_ptr<plataforma::ArquivoEscrita> e;
         (void)m.CriarEscrita(m.NaPasta("saida.txt"), &e);
         (void)e->Fechar();
         (void)e->Escrever("x");
         v.trava.reset();
       },
       "write after the close of /valida/saida.txt"},
      {"the lock taken twice",
       [](AmbienteMemoria& m, Vivos& v) {
         (void)m.Travar(m.NaPasta("valida.lck"), &v.trava);
         std::unique_ptr<plataforma::Trava> outra;
         EXPECT_FALSE(m.Travar(m.NaPasta("valida.lck"), &outra).ok()) << "a second lock would wait for ever";
         v.trava.reset();
       },
       "lock taken twice"},
      {"a file left open",
       [](AmbienteMemoria& m, Vivos& v) {
         m.PoeArquivo("decl.txt", "x");
         (void)m.AbrirLeitura("decl.txt", &v.leitura);
       },
       "left open for reading"},
      {"the lock still held", [](AmbienteMemoria& m, Vivos& v) { (void)m.Travar(m.NaPasta("valida.lck"), &v.trava); },
       "lock still held"},
  };
  for (const auto& c : casos) {
    AmbienteMemoria m(kPasta);
    Vivos vivos;
    c.faz(m, vivos);
    EXPECT_TRUE(Contem(m.Violacoes(), c.violacao)) << c.regra;
  }
}

// --- The same results as the disk ---------------------------------------------

std::string LeArquivo(const fs::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Resultado {
  valida::Desfecho desfecho = valida::Desfecho::kSemRelatorio;
  std::string veredito;  // the second line of param.txt
  std::string saida;
};

Resultado EmDisco(std::string_view tipo, const std::string& declaracao) {
  const fs::path pasta = fs::temp_directory_path() / ("fuzz-disco-" + std::to_string(::getpid()));
  fs::remove_all(pasta);
  fs::create_directories(pasta);
  std::ofstream(pasta / "decl.txt", std::ios::binary) << declaracao;
  std::ofstream(pasta / "param.txt", std::ios::binary)
      << fuzz::LinhaParametros(tipo, (pasta / "decl.txt").string()) << "\r\n";
  Resultado r;
  r.desfecho = valida::Main(plataforma::Ambiente::Padrao(), pasta.string(), false);
  const std::string parametros = LeArquivo(pasta / "param.txt");
  r.veredito = parametros.substr(parametros.find("\r\n") + 2);
  r.saida = LeArquivo(pasta / "saida.txt");
  fs::remove_all(pasta);
  return r;
}

Resultado EmMemoria(std::string_view tipo, const std::string& declaracao, std::size_t pedaco) {
  AmbienteMemoria m(kPasta);
  m.LimitaLeitura(pedaco);
  m.PoeArquivo("decl.txt", declaracao);
  m.PoeArquivo(m.NaPasta("param.txt"), fuzz::LinhaParametros(tipo, "decl.txt") + "\r\n");
  Resultado r;
  r.desfecho = valida::Main(m, kPasta, false);
  const auto parametros = m.Conteudo(m.NaPasta("param.txt"));
  const auto saida = m.Conteudo(m.NaPasta("saida.txt"));
  EXPECT_TRUE(parametros && saida);
  if (parametros) r.veredito = parametros->substr(parametros->find("\r\n") + 2);
  if (saida) r.saida = *saida;
  EXPECT_TRUE(m.Violacoes().empty()) << m.Violacoes().front();
  return r;
}

TEST(AmbienteMemoria, GivesARunTheResultsOfTheDisk) {
  struct Caso {
    std::string_view tipo;
    std::string declaracao;
    std::string_view veredito;
    std::string_view regra;
  };
  std::vector<Caso> casos;
  for (const std::string_view tipo : {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"}) {
    const std::string valida = fuzz::DeclaracaoValida(tipo, 3, 9, true);
    casos.push_back({tipo, valida, "OK\r\n", "a valid file: the receipt"});
    std::string quebrada = valida;
    for (std::size_t i = 40; i < quebrada.size(); i += 97) quebrada[i] = static_cast<char>('A' + i % 26);
    casos.push_back({tipo, quebrada, "NOK\r\n", "a file broken all over: the report"});
    casos.push_back({tipo, valida.substr(0, valida.size() - 1), "NOK\r\n", "a file cut short"});
    casos.push_back({tipo, "", tipo == "GIAST02" ? "OK\r\n" : "NOK\r\n", "an empty file"});
  }
  for (const auto& c : casos) {
    const Resultado disco = EmDisco(c.tipo, c.declaracao);
    EXPECT_EQ(disco.veredito, c.veredito) << c.tipo << ", " << c.regra << ", on disk";
    for (const std::size_t pedaco : {std::size_t{0}, std::size_t{1}, std::size_t{899}}) {
      const Resultado memoria = EmMemoria(c.tipo, c.declaracao, pedaco);
      const std::string onde =
          std::string(c.tipo) + ", " + std::string(c.regra) + ", reads of " + std::to_string(pedaco);
      EXPECT_EQ(memoria.desfecho, disco.desfecho) << onde;
      EXPECT_EQ(memoria.veredito, disco.veredito) << onde;
      EXPECT_EQ(memoria.saida, disco.saida) << onde;
    }
  }
}

}  // namespace
