// The properties of a run: finding lines taken apart, sound runs of every kind
// pass, and each property catches the fault it is there for when the results
// of a sound run are tampered with.
#include "fuzz/confere.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "fuzz/alvos.h"
#include "fuzz/declaracoes.h"
#include "fuzz/memoria.h"

namespace {

using fuzz::AmbienteMemoria;

const std::string kPasta(fuzz::kPasta);

TEST(LeAchado, TakesAFindingLineApart) {
  struct Caso {
    std::string_view linha;
    bool achado;
    std::int64_t linha_numero, primeira, ultima;
    std::string_view texto;
    std::string_view regra;
  };
  const Caso casos[] = {
      {"123/4567890    05/2005 012 084 099 Campo numérico é esperado", true, 12, 84, 99, "Campo numérico é esperado",
       "a CGC/TE finding"},
      {"12345678901234 05/2005 012 003 007 Arquivo não é GIA ST", true, 12, 3, 7, "Arquivo não é GIA ST",
       "a registration finding"},
      {"               00/0000 000 000 000 Arquivo de Parâmetros Inválido", true, 0, 0, 0,
       "Arquivo de Parâmetros Inválido", "a file finding"},
      {"123/4567890    AB 12X 40000 001 002 Data Inválida", true, 40000, 1, 2, "Data Inválida",
       "a period that is no number, a line past 999"},
      {"123/4567890    05/2005 012 084 099 ", true, 12, 84, 99, "", "a code without text"},
      {"123/4567890    05/2005 12 084 099 Data", false, 0, 0, 0, "", "a line number of two digits"},
      {"123/4567890    05/2005 012 084 Data", false, 0, 0, 0, "", "a column missing"},
      {"123/4567890    05/2005", false, 0, 0, 0, "", "cut short"},
      {"", false, 0, 0, 0, "", "empty"},
  };
  for (const auto& c : casos) {
    const auto a = fuzz::LeAchado(c.linha);
    ASSERT_EQ(a.has_value(), c.achado) << c.regra;
    if (!a) continue;
    EXPECT_EQ(a->linha, c.linha_numero) << c.regra;
    EXPECT_EQ(a->primeira, c.primeira) << c.regra;
    EXPECT_EQ(a->ultima, c.ultima) << c.regra;
    EXPECT_EQ(a->texto, c.texto) << c.regra;
  }
}

// A run in memory of the declaration under the parameter line.
struct ExecucaoMemoria {
  AmbienteMemoria m{kPasta};
  std::string parametros;
  std::string declaracao;
  valida::Desfecho desfecho = valida::Desfecho::kRelatorio;

  ExecucaoMemoria(std::string_view tipo, std::string decl, std::string param = {})
      : parametros(param.empty() ? fuzz::LinhaParametros(tipo, "decl.txt") + "\r\n" : std::move(param)),
        declaracao(std::move(decl)) {
    m.PoeArquivo("decl.txt", declaracao);
    m.PoeArquivo(m.NaPasta("param.txt"), parametros);
    desfecho = valida::Main(m, kPasta, true);
  }
  std::vector<std::string> Confere() { return fuzz::ConfereCorrida(m, {parametros, declaracao, desfecho}); }
  // Changes saida.txt as the function says.
  void MudaSaida(const std::function<void(std::string&)>& muda) {
    std::string saida(*m.Conteudo(m.NaPasta("saida.txt")));
    muda(saida);
    m.PoeArquivo(m.NaPasta("saida.txt"), saida);
  }
};

std::string Juntas(const std::vector<std::string>& falhas) {
  std::string texto;
  for (const auto& f : falhas) texto += f + "\n";
  return texto;
}

TEST(ConfereCorrida, SoundRunsOfEveryKindPass) {
  for (const std::string_view tipo : {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"}) {
    const std::string valida = fuzz::DeclaracaoValida(tipo, 4, 3, true);
    ExecucaoMemoria recibo(tipo, valida);
    EXPECT_EQ(recibo.Confere(), std::vector<std::string>{}) << tipo << ", a receipt";
    std::string quebrada = valida;
    for (std::size_t i = 7; i < quebrada.size(); i += 61) quebrada[i] = '\x01';
    ExecucaoMemoria relatorio(tipo, quebrada);
    EXPECT_EQ(relatorio.Confere(), std::vector<std::string>{}) << tipo << ", a report";
  }
  // An X05A amount that no longer matches its CFOP in X05: code 36, printed
  // at 999-999, is no finding outside the record.
  std::string gia04 = fuzz::DeclaracaoValida("GIA04", 2, 7, true);
  const auto x05a = gia04.find("X05A");
  ASSERT_NE(x05a, std::string::npos);
  char& digito = gia04[x05a - 39 + 63];
  digito = digito == '0' ? '1' : '0';
  ExecucaoMemoria cfop("GIA04", gia04);
  EXPECT_NE(cfop.m.Conteudo(cfop.m.NaPasta("saida.txt"))->find(" 999 999 Valor do CFOP "), std::string::npos);
  EXPECT_EQ(cfop.Confere(), std::vector<std::string>{}) << "code 36 at 999-999";
  ExecucaoMemoria invalidos("GIA03", "", "param   GIA03\r\n");
  EXPECT_EQ(invalidos.Confere(), std::vector<std::string>{}) << "invalid parameters";
  ExecucaoMemoria longa("GIA03", "", std::string(64 * 1024 + 1, 'P'));
  EXPECT_EQ(longa.Confere(), std::vector<std::string>{}) << "a first line above 64 KiB: no report";
}

// Each row tampers with the results of a sound run in one way; the
// properties name the fault.
TEST(ConfereCorrida, CatchesEachFault) {
  const std::string gia03 = fuzz::DeclaracaoValida("GIA03", 4, 5, false);
  const std::string giast02 = fuzz::DeclaracaoValida("GIAST02", 2, 5, false);
  const std::string gia03_cortada = gia03.substr(0, gia03.size() - 1);
  std::string gia03_quebrada = gia03;
  gia03_quebrada[100] = 'X';
  std::string gia04_quebrada = fuzz::DeclaracaoValida("GIA04", 4, 5, false);
  gia04_quebrada[100] = 'X';
  struct Caso {
    std::string_view regra;
    std::string_view tipo;
    const std::string& declaracao;
    std::function<void(ExecucaoMemoria&)> estraga;
    std::string_view falha;
  };
  const auto finding = [](ExecucaoMemoria& e, const std::string& linha) {
    e.MudaSaida([&](std::string& s) { s += linha + "\r\n"; });
  };
  const std::vector<Caso> casos = {
      {"a verdict other than OK or NOK", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("param.txt"), e.parametros + "TALVEZ\r\n"); },
       "param.txt is not the first line and a verdict"},
      {"a verdict without its line end", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("param.txt"), e.parametros + "OK"); },
       "param.txt is not the first line and a verdict"},
      {"a verdict with more after it", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("param.txt"), e.parametros + "OK\r\nOK\r\n"); },
       "param.txt is not the first line and a verdict"},
      {"a first line changed", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("param.txt"), "PARAM\r\nOK\r\n"); },
       "param.txt is not the first line"},
      {"a work file left", "GIA03", gia03, [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("aux00002.txt"), ""); },
       "aux00002.txt left in the folder"},
      {"a receipt under NOK", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.m.PoeArquivo(e.m.NaPasta("param.txt"), e.parametros + "NOK\r\n"); },
       "the verdict is NOK but saida.txt is no report"},
      {"a receipt that lists one declaration more than it counts", "GIA03", gia03,
       [](ExecucaoMemoria& e) {
         e.MudaSaida([](std::string& s) {
           const auto lista = s.find(std::string(70, '-') + "\r\n", s.find("REFER"));
           s.insert(lista + 72, std::string(24, '9') + "\r\n");
         });
       },
       "the receipt counts 4 declarations and lists 5"},
      {"a receipt entry whose CGC/TE has not its check digit", "GIA03", gia03,
       [](ExecucaoMemoria& e) {
         e.MudaSaida([](std::string& s) {
           const auto entrada = s.find(std::string(70, '-') + "\r\n", s.find("REFER")) + 72;
           s[entrada + 10] = s[entrada + 10] == '9' ? '0' : static_cast<char>(s[entrada + 10] + 1);
         });
       },
       "the receipt lists a declaration that no validator accepts"},
      {"a receipt entry of month 13", "GIAST02", giast02,
       [](ExecucaoMemoria& e) {
         e.MudaSaida([](std::string& s) {
           const auto entrada = s.find(std::string(70, '-') + "\r\n", s.find("REFER")) + 72;
           s.replace(entrada + 15, 2, "13");
         });
       },
       "the receipt lists a declaration that no validator accepts"},
      {"a receipt that counts a declaration more than the file holds", "GIA03", gia03,
       [](ExecucaoMemoria& e) {
         e.MudaSaida([](std::string& s) {
           const auto lista = s.find(std::string(70, '-') + "\r\n", s.find("REFER"));
           const auto fim = s.find("\r\n\r\n\r\n", lista);
           s.insert(fim, s.substr(lista + 72, 24));
           const auto contagem = s.find("004   GIAs");
           s.replace(contagem, 3, "005");
         });
       },
       "the receipt counts 5 declarations, the file holds 4 main records"},
      {"a file cut short with a finding of its lines", "GIA03", gia03_cortada,
       [&](ExecucaoMemoria& e) { finding(e, "               00/0000 000 000 000 Arquivo a ser validado não é GIA"); },
       "bytes without the one finding of code 21"},
      {"a control character in the receipt", "GIA03", gia03,
       [](ExecucaoMemoria& e) { e.MudaSaida([](std::string& s) { s[3] = '\x1B'; }); }, "holds a control character"},
      {"a report without its last line end", "GIA03", gia03_quebrada,
       [](ExecucaoMemoria& e) { e.MudaSaida([](std::string& s) { s.pop_back(); }); }, "does not end with CR LF"},
      {"a finding the list never held", "GIA03", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 010 010 Data Inválida"); },
       "finding lines, the findings list"},
      {"a finding past the record", "GIA03", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 898 899 Data Inválida"); },
       "columns outside 1..898"},
      {"another text at the columns of code 36", "GIA04", gia04_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 999 999 Data Inválida"); },
       "columns outside 1..898"},
      {"code 36 of a CFOP that is no three digits", "GIA04", gia04_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 999 999 Valor do CFOP 51 incorreto"); },
       "columns outside 1..898"},
      {"code 36 in a kind that has no CFOP lists", "GIA03", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 999 999 Valor do CFOP 511 incorreto"); },
       "columns outside 1..898"},
      {"code 36 at columns other than 999-999", "GIA04", gia04_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 998 999 Valor do CFOP 511 incorreto"); },
       "columns outside 1..898"},
      {"a finding whose columns run backwards", "GIAST01", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 010 009 Data Inválida"); },
       "columns outside 1..754"},
      {"a finding without text", "GIA03", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 001 010 010 "); }, "no text"},
      {"a finding past the last line", "GIA03", gia03_quebrada,
       [&](ExecucaoMemoria& e) { finding(e, "123/4567890    05/2005 005 010 010 Data Inválida"); },
       "line past the last of the declaration (4)"},
      {"a line that is no finding", "GIA03", gia03_quebrada, [&](ExecucaoMemoria& e) { finding(e, "nada"); },
       "not a finding line"},
  };
  for (const auto& c : casos) {
    ExecucaoMemoria e(c.tipo, c.declaracao);
    ASSERT_EQ(e.Confere(), std::vector<std::string>{}) << c.regra << ": the run itself is sound";
    c.estraga(e);
    const std::string falhas = Juntas(e.Confere());
    EXPECT_NE(falhas.find(c.falha), std::string::npos) << c.regra << ": " << falhas;
  }
}

}  // namespace
