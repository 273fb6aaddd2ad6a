// The run as a caller sees it: parameters, the declaration file's size,
// line and header tests, the failure paths, the verdict and the work files.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>

#include "common/cp1252.h"
#include "pasta_valida.h"

namespace blackbox {
namespace {

using Linhas_ = std::vector<std::string>;

// Findings before any declaration: blank taxpayer, period 00/0000.
const std::string kSemDeclaracao = std::string(15, ' ') + "00/0000";

// A finding of the whole file, at line `linha`.
std::string AchadoArquivo(int linha, std::string_view texto) { return Achado(kSemDeclaracao, linha, 0, 0, texto); }

// A finding of the first record's header.
std::string AchadoCabecalho(int primeira, int ultima, std::string_view texto) {
  return Achado(kSemDeclaracao, 1, primeira, ultima, texto);
}

// A GIA record of 898 characters with the first record's header.
std::string RegistroGIA(std::string_view versao = "05", std::string_view tipo = "ABC ") {
  std::string r(898, '0');
  r.replace(0, 4, "****");
  r.replace(4, 2, versao);
  r.replace(35, 4, "0001");
  r.replace(39, 4, tipo);
  return r;
}

std::string Arquivo(const Linhas_& registros) { return Texto(registros); }

class Execucao : public ::testing::Test {
 protected:
  PastaValida pasta;
};

// --- Parameters -----------------------------------------------------------

TEST_F(Execucao, MissingParametersEndWithAMessageBoxAndNoReport) {
  EXPECT_EQ(pasta.Executa(), 2);
  EXPECT_TRUE(pasta.Arquivos().empty());
  if (!PastaValida::SobWine()) {
    EXPECT_EQ(pasta.Erro(), "AVISO: Arquivo de Parâmetros não Encontrado\n");
  }
}

TEST_F(Execucao, ParametersThatAreAFolderAreNotFound) {
  std::filesystem::create_directory(pasta.Caminho() / "param.txt");
  EXPECT_EQ(pasta.Executa(), 2);
  EXPECT_FALSE(pasta.Existe("saida.txt"));
}

TEST_F(Execucao, EmptyParametersAreInvalidAndReported) {
  pasta.EscreveArquivo("param.txt", "");
  EXPECT_EQ(pasta.ExecutaComRelatorio("NOK"),
            Relatorio(kCabecalhoInscricao, {AchadoArquivo(0, "Arquivo de Parâmetros Inválido"_cp)}));
  EXPECT_EQ(pasta.Le("param.txt"), "\r\nNOK\r\n");
}

struct CasoParametros {
  const char* regra;
  std::string linha;
  bool valido;
};

std::string LinhaComCampo(std::size_t coluna, std::string_view texto) {
  Parametros p;
  p.tipo = "GIAST02";
  p.arquivo = "vazio.txt";
  std::string linha = p.Linha();
  linha.replace(coluna - 1, texto.size(), texto);
  return linha;
}

TEST_F(Execucao, ParameterValidity) {
  Parametros base;
  base.tipo = "GIAST02";
  base.arquivo = "vazio.txt";
  const std::vector<CasoParametros> casos = {
      {"PARAM followed by blanks is valid", base.Linha(), true},
      {"the mark is case-sensitive", LinhaComCampo(1, "param"), false},
      {"the mark may be indented", LinhaComCampo(1, "  PARAM "), true},
      {"another mark", LinhaComCampo(1, "PARAMX  "), false},
      {"a kind without the leading zero", LinhaComCampo(9, "GIAST2      "), false},
      {"an unknown kind", LinhaComCampo(9, "GIA06       "), false},
      {"a kind in lower case", LinhaComCampo(9, "giast02     "), false},
      {"a blank e-mail", LinhaComCampo(149, std::string(70, ' ')), false},
      {"a line cut at column 148 lacks the e-mail", base.Linha().substr(0, 148), false},
      {"a line cut inside the e-mail keeps what is there", base.Linha().substr(0, 150), true},
  };
  for (const auto& caso : casos) {
    PastaValida p;
    p.EscreveArquivo("param.txt", caso.linha + "\r\n");
    p.EscreveArquivo("vazio.txt", "");
    ASSERT_EQ(p.Executa(), 0) << caso.regra;
    const Linhas_ param = p.LinhasParametros();
    ASSERT_EQ(param.size(), 2U) << caso.regra;
    EXPECT_EQ(param[0], caso.linha) << caso.regra;
    EXPECT_EQ(param[1], caso.valido ? "OK" : "NOK") << caso.regra;
    if (!caso.valido) {
      EXPECT_EQ(p.LinhasSaida(),
                Relatorio(kCabecalhoInscricao, {AchadoArquivo(0, "Arquivo de Parâmetros Inválido"_cp)}))
          << caso.regra;
    }
  }
}

TEST_F(Execucao, TheVerdictReplacesEverythingAfterTheFirstLine) {
  Parametros p;
  p.tipo = "GIAST02";
  p.arquivo = "vazio.txt";
  const std::string primeira = p.Linha() + "  resto da linha alem da coluna 388";
  pasta.EscreveArquivo("param.txt", primeira + "\r\nOK\r\nlinha do chamador\r\n");
  pasta.EscreveArquivo("vazio.txt", "");
  pasta.ExecutaComRelatorio("OK");
  EXPECT_EQ(pasta.Le("param.txt"), primeira + "\r\nOK\r\n");
}

TEST_F(Execucao, TheFirstLineEndsAtALoneLineFeed) {
  Parametros p;
  p.tipo = "GIAST02";
  p.arquivo = "vazio.txt";
  pasta.EscreveArquivo("param.txt", p.Linha() + "\nsegunda");
  pasta.EscreveArquivo("vazio.txt", "");
  pasta.ExecutaComRelatorio("OK");
  EXPECT_EQ(pasta.Le("param.txt"), p.Linha() + "\r\nOK\r\n");
}

TEST_F(Execucao, LeftoversOfAnInterruptedRunDoNotLeak) {
  pasta.EscreveArquivo("aux00001.txt", "achado antigo\r\n");
  pasta.EscreveArquivo("aux00002.txt", "recibo antigo\r\n");
  pasta.EscreveArquivo("saida.txt", "saida antiga\r\n");
  pasta.EscreveArquivo("param.txt.novo", "resto\r\n");
  pasta.EscreveParametros("GIA05", "nao-existe.txt");
  EXPECT_EQ(pasta.ExecutaComRelatorio("NOK"),
            Relatorio(kCabecalhoCGCTE, {AchadoArquivo(0, "Arquivo não encontrado"_cp)}));
}

// --- The declaration file -------------------------------------------------

TEST_F(Execucao, AMissingDeclarationFileIsAFinding) {
  pasta.EscreveParametros("GIA03", "nao-existe.txt");
  EXPECT_EQ(pasta.ExecutaComRelatorio("NOK"),
            Relatorio(kCabecalhoCGCTE, {AchadoArquivo(0, "Arquivo não encontrado"_cp)}));
}

TEST_F(Execucao, ADeclarationPathGivenWhole) {
  pasta.EscreveArquivo("decl.txt", "");
  pasta.EscreveParametros("GIAST02", PastaValida::CaminhoDoPrograma(pasta.Caminho() / "decl.txt"));
  pasta.ExecutaComRelatorio("OK");
}

TEST_F(Execucao, ADeclarationThatIsAFolderIsNotFound) {
  std::filesystem::create_directory(pasta.Caminho() / "pasta");
  pasta.EscreveParametros("GIA05", "pasta");
  EXPECT_EQ(pasta.ExecutaComRelatorio("NOK"),
            Relatorio(kCabecalhoCGCTE, {AchadoArquivo(0, "Arquivo não encontrado"_cp)}));
}

struct CasoTamanho {
  const char* regra;
  const char* tipo;
  std::string conteudo;
};

TEST_F(Execucao, FilesOfTheWrongSizeAreNotRead) {
  const std::string registro = RegistroGIA();
  const std::string st1 = "GST01" + std::string(749, '0');
  const std::vector<CasoTamanho> casos = {
      {"empty GIA 5", "GIA05", ""},
      {"empty GIA 3", "GIA03", ""},
      {"empty GIA ST 1", "GIAST01", ""},
      {"last line without its line end", "GIA05", registro + "\r\n" + registro},
      {"an extra empty line", "GIA05", registro + "\r\n\r\n"},
      {"line feeds only", "GIA05", registro + "\n" + registro + "\n"},
      {"GIA ST 1 cut short", "GIAST01", st1 + "\r\n" + st1.substr(0, 700)},
  };
  for (const auto& caso : casos) {
    PastaValida p;
    p.EscreveArquivo("decl.txt", caso.conteudo);
    p.EscreveParametros(caso.tipo, "decl.txt");
    ASSERT_EQ(p.Executa(), 0) << caso.regra;
    EXPECT_EQ(p.LinhasSaida(), Relatorio(kCabecalhoCGCTE, {AchadoArquivo(0, "Arquivo a ser validado não é GIA"_cp)}))
        << caso.regra;
  }
}

TEST_F(Execucao, AnEmptyGiaSt2FileIsReceiptedWithNoDeclaration) {
  pasta.EscreveArquivo("decl.txt", "");
  pasta.EscreveParametros("GIAST02", "decl.txt");
  const Linhas_ saida = pasta.ExecutaComRelatorio("OK");
  ASSERT_GE(saida.size(), 3U);
  EXPECT_EQ(saida[saida.size() - 3], "Comprovante de transmissão representativo de   000  GIAs ST (sem valor"_cp);
}

TEST_F(Execucao, ALineOfTheWrongLengthStopsTheReading) {
  // Two lines one character off each way keep the size a multiple of 900.
  std::string curta = RegistroGIA();
  curta.pop_back();
  std::string longa = RegistroGIA() + "0";
  pasta.EscreveArquivo("decl.txt", Arquivo({RegistroGIA(), RegistroGIA(), curta, longa}));
  pasta.EscreveParametros("GIA05", "decl.txt");
  const Linhas_ saida = pasta.ExecutaComRelatorio("NOK");
  ASSERT_GE(saida.size(), 5U);
  EXPECT_EQ(saida.back(), AchadoArquivo(3, "Arquivo a ser validado não é GIA"_cp));
}

struct CasoCabecalho {
  const char* regra;
  const char* tipo;
  std::string registro;
  std::string achado;
};

TEST_F(Execucao, TheFirstRecordMustCarryTheDeclaredLayout) {
  std::string sem_marca = RegistroGIA("04");
  sem_marca.replace(0, 4, "xxxx");
  std::string sequencia = RegistroGIA();
  sequencia.replace(35, 4, "0002");
  std::string sequencia4 = RegistroGIA("04");
  sequencia4.replace(35, 4, "0002");
  const std::vector<CasoCabecalho> casos = {
      {"GIA 5 with version 04", "GIA05", RegistroGIA("04"), AchadoCabecalho(5, 6, "Arquivo não é GIA05"_cp)},
      {"GIA 5 with another record type, one column past it", "GIA05", RegistroGIA("05", "X01 "),
       AchadoCabecalho(40, 44, "Arquivo não é GIA05"_cp)},
      {"GIA 5 whose first sequence is not 0001", "GIA05", sequencia, AchadoCabecalho(36, 39, "Arquivo não é GIA05"_cp)},
      {"the mark is tested before the version", "GIA05", sem_marca,
       AchadoCabecalho(1, 4, "Arquivo a ser validado não é GIA"_cp)},
      {"GIA 4 with version 05", "GIA04", RegistroGIA("05"), AchadoCabecalho(5, 6, "Arquivo não é GIA04"_cp)},
      {"GIA 4 with another record type", "GIA04", RegistroGIA("04", "X01 "),
       AchadoCabecalho(40, 44, "Arquivo não é GIA04"_cp)},
      {"GIA 4 whose first sequence is not 0001", "GIA04", sequencia4,
       AchadoCabecalho(36, 39, "Arquivo não é GIA04"_cp)},
      {"GIA 3 with version 05", "GIA03", RegistroGIA("05"),
       AchadoCabecalho(5, 6, "Arquivo a ser validado não é GIA03"_cp)},
  };
  for (const auto& caso : casos) {
    PastaValida p;
    p.EscreveArquivo("decl.txt", Arquivo({caso.registro, RegistroGIA()}));
    p.EscreveParametros(caso.tipo, "decl.txt");
    ASSERT_EQ(p.Executa(), 0) << caso.regra;
    const Linhas_ saida = p.LinhasSaida();
    ASSERT_GE(saida.size(), 5U) << caso.regra;
    // The driver's finding comes first; a GIA 4/5 closing may follow it.
    EXPECT_EQ(saida[4], caso.achado) << caso.regra;
  }
}

TEST_F(Execucao, AGiaSt1FileMustStartWithItsMark) {
  const std::string registro = "GST02" + std::string(749, '0');
  pasta.EscreveArquivo("decl.txt", Arquivo({registro}));
  pasta.EscreveParametros("GIAST01", "decl.txt");
  EXPECT_EQ(pasta.ExecutaComRelatorio("NOK"),
            Relatorio(kCabecalhoCGCTE, {AchadoCabecalho(1, 5, "Arquivo não é GIA ST"_cp)}));
}

TEST_F(Execucao, GiaSt2RecordTypesChooseTheLength) {
  const std::string a0 = "A0GST02" + std::string(790, '0');
  {
    PastaValida p;
    p.EscreveArquivo("decl.txt", Arquivo({a0 + std::string(8, '0')}));  // 805: 812 expected
    p.EscreveParametros("GIAST02", "decl.txt");
    ASSERT_EQ(p.Executa(), 0);
    const Linhas_ saida = p.LinhasSaida();
    ASSERT_EQ(saida.size(), 5U);
    EXPECT_EQ(saida[4], AchadoArquivo(1, "Arquivo a ser validado não é GIA"_cp));
  }
  {
    PastaValida p;
    std::string errado = a0;
    errado.replace(2, 5, "GST01");
    p.EscreveArquivo("decl.txt", Arquivo({errado}));
    p.EscreveParametros("GIAST02", "decl.txt");
    ASSERT_EQ(p.Executa(), 0);
    EXPECT_EQ(p.LinhasSaida(), Relatorio(kCabecalhoInscricao, {AchadoCabecalho(3, 7, "Arquivo não é GIA ST"_cp)}));
  }
  {
    // An unknown type is a finding, then the line is held to the previous length.
    PastaValida p;
    p.EscreveArquivo("decl.txt", Arquivo({"B1" + std::string(48, '0'), "B2" + std::string(10, '0')}));
    p.EscreveParametros("GIAST02", "decl.txt");
    ASSERT_EQ(p.Executa(), 0);
    const Linhas_ saida = p.LinhasSaida();
    ASSERT_GE(saida.size(), 7U);
    EXPECT_EQ(saida[4], AchadoCabecalho(1, 2, "Identificação Registro Inválida"_cp));
    EXPECT_EQ(saida[saida.size() - 2], Achado(kSemDeclaracao, 2, 1, 2, "Identificação Registro Inválida"_cp));
    EXPECT_EQ(saida.back(), AchadoArquivo(2, "Arquivo a ser validado não é GIA"_cp));
  }
}

TEST_F(Execucao, LineNumbersWidenBeyondThreeDigits) {
  std::string conteudo;
  for (int i = 0; i < 1233; ++i) conteudo += "A3" + std::string(44, '0') + "\r\n";
  conteudo += "A3curta\r\n";
  pasta.EscreveArquivo("decl.txt", conteudo);
  pasta.EscreveParametros("GIAST02", "decl.txt");
  const Linhas_ saida = pasta.ExecutaComRelatorio("NOK");
  // The closing of the declaration (its annex lines counted) follows the line's finding.
  ASSERT_GE(saida.size(), 2U);
  EXPECT_EQ(saida[saida.size() - 2].substr(15),
            "00/0000 1234 000 000 " + std::string("Arquivo a ser validado não é GIA"_cp));
}

TEST_F(Execucao, ALineWithNulAndHighBytesIsHeldToItsLengthOnly) {
  std::string registro = RegistroGIA();
  registro[100] = '\0';
  registro[200] = '\xE9';
  registro[300] = '\r';
  registro[301] = '\n';  // a lone CR LF inside would end the line: the size test catches it
  pasta.EscreveArquivo("decl.txt", Arquivo({registro}));
  pasta.EscreveParametros("GIA05", "decl.txt");
  const Linhas_ saida = pasta.ExecutaComRelatorio("NOK");
  ASSERT_GE(saida.size(), 5U);
  EXPECT_EQ(saida[4], AchadoArquivo(1, "Arquivo a ser validado não é GIA"_cp));
}

// --- Writing the results on a full disk -----------------------------------

// A tiny file system of its own, for the program's folder: needs root.
class DiscoCheio : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    ponto_ = std::filesystem::temp_directory_path() / ("valida-cheio-" + std::to_string(::getpid()));
    std::filesystem::create_directories(ponto_);
    // Room for the program (a sanitizer build is large) and its library.
    if (::mount("tmpfs", ponto_.c_str(), "tmpfs", 0, "size=32m") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
    montado_ = true;
  }
  void TearDown() override {
    if (montado_) ::umount2(ponto_.c_str(), MNT_DETACH);
    std::error_code ec;
    std::filesystem::remove_all(ponto_, ec);
  }

  // Fills the file system until only `livres` bytes are left.
  void Enche(std::uintmax_t livres) const {
    std::ofstream f(ponto_ / "enchimento", std::ios::binary);
    const std::string bloco(4096, 'x');
    while (std::filesystem::space(ponto_).available > livres) f.write(bloco.data(), bloco.size()), f.flush();
  }

  std::filesystem::path ponto_;
  bool montado_ = false;
};

TEST_F(DiscoCheio, TheRunEndsWithAMessageBoxAndTheCallersParametersStayIntact) {
  // The program and its files on the small file system.
  const std::filesystem::path programa = std::getenv("VALIDA_PROGRAMA");
  std::filesystem::copy_file(programa, ponto_ / programa.filename());
  Parametros p;
  p.tipo = "GIA05";
  p.arquivo = "nao-existe.txt";
  const std::string param = p.Linha() + "\r\nlinha do chamador\r\n";
  { std::ofstream(ponto_ / "param.txt", std::ios::binary) << param; }
  Enche(4096);  // room for the error list, none for the results

  std::vector<std::string> argv_texto;
  if (PastaValida::SobWine())
    argv_texto.push_back(std::getenv("VALIDA_WINE") ? std::getenv("VALIDA_WINE") : "/usr/lib/wine/wine64");
  argv_texto.push_back((ponto_ / programa.filename()).string());
  std::string comando = "cd '" + ponto_.string() + "' &&";
  if (PastaValida::SobWine() && std::getenv("WINEPREFIX") == nullptr)
    comando += " WINEPREFIX='" + (programa.parent_path().parent_path() / "wineprefix").string() + "'";
  comando += " WINEDEBUG=-all";
  for (const auto& a : argv_texto) comando += " '" + a + "'";
  comando += " 2>'" + (ponto_.parent_path() / ("valida-cheio-" + std::to_string(::getpid()) + ".err")).string() + "'";
  const int status = std::system(comando.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  std::ifstream in(ponto_ / "param.txt", std::ios::binary);
  const std::string depois((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(depois, param);
  EXPECT_FALSE(std::filesystem::exists(ponto_ / "saida.txt"));
  if (!PastaValida::SobWine()) {
    std::ifstream err(ponto_.parent_path() / ("valida-cheio-" + std::to_string(::getpid()) + ".err"));
    const std::string erro((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_EQ(erro, "AVISO: Disco Cheio. Não é possível Executar Validador.\n");
  }
  std::filesystem::remove(ponto_.parent_path() / ("valida-cheio-" + std::to_string(::getpid()) + ".err"));
}

}  // namespace
}  // namespace blackbox
