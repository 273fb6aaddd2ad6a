// GeraSaida: the rejection report and the transmission receipt in
// "saida.txt", the verdict in "param.txt", and the work files removed.
#include "valida/output/saida.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/execucao_teste.h"
#include "valida/checks/erros.h"
#include "valida/checks/recibo.h"
#include "valida/run/parametros.h"

namespace {

using valida::teste::ExecucaoDeTeste;

const std::string kLinhaParametros = "PARAM   GIA05       /tmp/gia.txt   contribuinte@exemplo.com.br";
const std::string kEmail = "contribuinte@exemplo.com.br";
const std::string kHifens70(70, '-');
const std::string kHifens73(73, '-');
const std::string kRejeitado = "ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:";
const std::string kTitulosInscricao(std::string("Inscrição      Período Lin Ini Fim Descrição do Erro"_cp));
const std::string kTitulosCGCTE(std::string("CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp));
const std::string kNumerico(std::string("Campo numérico é esperado"_cp));

std::string LeArquivo(const std::filesystem::path& caminho) {
  std::ifstream in(caminho, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines of a text file whose every line ends in CR LF.
std::vector<std::string> Linhas(const std::filesystem::path& caminho) {
  const std::string texto = LeArquivo(caminho);
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const auto fim = texto.find("\r\n", inicio);
    if (fim == std::string::npos) {
      ADD_FAILURE() << caminho << ": a last line without CR LF";
      linhas.push_back(texto.substr(inicio));
      break;
    }
    linhas.push_back(texto.substr(inicio, fim - inicio));
    inicio = fim + 2;
  }
  return linhas;
}

class GeraSaida : public ::testing::Test {
 protected:
  // Closes the work files as the driver does, then writes the results.
  static void Gera(ExecucaoDeTeste& t, const std::string& linha = kLinhaParametros) {
    t.run.ListaErros.Fecha();
    t.run.ListaRecibo.Fecha();
    valida::GeraSaida(t.run, linha);
  }
  static std::filesystem::path Em(ExecucaoDeTeste& t, const char* nome) {
    return std::filesystem::path(t.run.pasta) / nome;
  }
  static std::vector<std::string> Saida(ExecucaoDeTeste& t) { return Linhas(Em(t, "saida.txt")); }
  static std::vector<std::string> Arquivos(ExecucaoDeTeste& t) {
    std::vector<std::string> nomes;
    for (const auto& e : std::filesystem::directory_iterator(t.run.pasta))
      nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
  }
  // The parameters of the receipt; blank optional fields.
  static void Parametros(ExecucaoDeTeste& t, const std::string& endereco = "", const std::string& orgao = "",
                         const std::string& estado = "") {
    t.run.parametros.EmailContribuinte = valida::Ajusta(kEmail, 70);
    t.run.parametros.EnderecoConsulta = valida::Ajusta(endereco, 70);
    t.run.parametros.CabecalhoOrgao = valida::Ajusta(orgao, 70);
    t.run.parametros.CabecalhoEstado = valida::Ajusta(estado, 30);
  }
  // Appends the receipt entries of CGC/TE declarations and writes the pending
  // line at the end, as the driver does.
  static void Declaracoes(ExecucaoDeTeste& t, const std::vector<std::pair<std::string, std::string>>& declaracoes) {
    for (const auto& [cgcte, periodo] : declaracoes) {
      t.run.InscricaoAtual = cgcte;
      t.run.PeriodoAtual = periodo;
      valida::AcrescentaReciboCGCTE(t.run);
      ++t.run.QtdGIAs;
    }
    if (t.run.LinhaRecibo.size() > 1) t.run.ListaRecibo.EscreveLinha(t.run.LinhaRecibo);
  }
};

std::vector<std::string> Cp(std::initializer_list<std::string_view> linhas) { return {linhas.begin(), linhas.end()}; }

TEST_F(GeraSaida, TheRejectionReportOfInvalidParameters) {
  ExecucaoDeTeste t("GIA04");
  t.run.NumeroLinha = 0;
  valida::RegistraErroGIA(t.run, 18, 0, 0);
  Gera(t, "PARAM   GIA4");
  EXPECT_EQ(Saida(t), (std::vector<std::string>{kRejeitado, kHifens73, kTitulosInscricao, kHifens73,
                                                std::string(15, ' ') + "00/0000 000 000 000 " +
                                                    std::string("Arquivo de Parâmetros Inválido"_cp)}));
  EXPECT_EQ(LeArquivo(Em(t, "param.txt")), "PARAM   GIA4\r\nNOK\r\n");
  EXPECT_EQ(Arquivos(t), (std::vector<std::string>{"param.txt", "saida.txt"}));
}

TEST_F(GeraSaida, TheHeadingsFollowTheKind) {
  const struct {
    const char* tipo;
    const std::string& titulos;
  } casos[] = {{"GIA03", kTitulosCGCTE},   {"GIA04", kTitulosCGCTE},       {"GIA05", kTitulosCGCTE},
               {"GIAST01", kTitulosCGCTE}, {"GIAST02", kTitulosInscricao}, {"", kTitulosInscricao}};
  for (const auto& c : casos) {
    ExecucaoDeTeste t(c.tipo);
    t.run.InscricaoAtual = "1234567890";
    t.run.PeriodoAtual = "052005";
    valida::RegistraErroGIA(t.run, 7, 84, 99);
    Gera(t);
    const auto saida = Saida(t);
    ASSERT_EQ(saida.size(), 5U) << c.tipo;
    EXPECT_EQ(saida[2], c.titulos) << "kind '" << c.tipo << "'";
  }
}

TEST_F(GeraSaida, EveryFindingInTheOrderRecordedDuplicatesIncluded) {
  ExecucaoDeTeste t("GIA04");
  t.run.InscricaoAtual = "1234567890";
  t.run.PeriodoAtual = "052005";
  std::vector<std::string> esperado = {kRejeitado, kHifens73, kTitulosCGCTE, kHifens73};
  for (int i = 0; i < 100; ++i) {
    // Each finding twice, and line numbers that go down as well as up.
    t.run.NumeroLinha = 50 - i / 2;
    const int coluna = (i / 2) % 2 == 0 ? 84 : 20;
    valida::RegistraErroGIA(t.run, 7, coluna, coluna + 15);
    char prefixo[64];
    std::snprintf(prefixo, sizeof prefixo, "123/4567890    05/2005 %03lld %03d %03d ",
                  static_cast<long long>(t.run.NumeroLinha), coluna, coluna + 15);
    esperado.push_back(prefixo + kNumerico);
  }
  Gera(t);
  EXPECT_EQ(Saida(t), esperado);
  EXPECT_EQ(Saida(t).size(), 104U);
  EXPECT_EQ(LeArquivo(Em(t, "param.txt")), kLinhaParametros + "\r\nNOK\r\n");
}

TEST_F(GeraSaida, AReportLargerThanTheCopyBuffer) {
  ExecucaoDeTeste t("GIAST02");
  t.run.InscricaoAtual = "12345678901234";
  t.run.PeriodoAtual = "052005";
  for (int i = 1; i <= 3000; ++i) {
    t.run.NumeroLinha = i;
    valida::RegistraErroGIA(t.run, 7, 84, 99);
  }
  Gera(t);
  const auto saida = Saida(t);
  ASSERT_EQ(saida.size(), 3004U);
  EXPECT_EQ(saida[4], "12345678901234 05/2005 001 084 099 " + kNumerico);
  EXPECT_EQ(saida[3003], "12345678901234 05/2005 3000 084 099 " + kNumerico);
}

// The receipt of a GIA 5 file with four declarations, every optional line blank.
TEST_F(GeraSaida, TheReceiptInGIAWording) {
  ExecucaoDeTeste t("GIA05");
  Parametros(t);
  Declaracoes(t,
              {{"1234567897", "052005"}, {"0012345678", "062005"}, {"9876543210", "122004"}, {"1111111111", "012006"}});
  Gera(t);
  const std::string email = kEmail + std::string(70 - kEmail.size(), ' ');
  EXPECT_EQ(Saida(t), Cp({"                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp,
                          "                             ORBELANDA                               ",
                          "                              VALDORIA                       ",
                          "",
                          "  Nro Protocolo:                Data:              Hora:",
                          "  Documento    :GIA05           Chave:",
                          "  E-Mail       :" + email,
                          "",
                          "  Apontamos  o  recebimento  do  arquivo  descrito  acima.   Para  sua",
                          "maior  segurança   quanto  à  entrega  de  suas   GIAs,   recomendamos"_cp,
                          "verificar  na  caixa postal  que V.Sa. escolheu  quando da transmissão"_cp,
                          "do arquivo, os  recibos  definitivos  das  GIAs  remetidas.",
                          "",
                          "GIA(s) TRANSMITIDAS(s)",
                          "----------------------------------------------------------------------",
                          "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER",
                          "----------------------------------------------------------------------",
                          "123/4567897    05/2005  001/2345678    06/2005  987/6543210    12/2004  ",
                          "111/1111111    01/2006  ",
                          "",
                          "",
                          "Comprovante de transmissão representativo de   004   GIAs  (sem  valor"_cp,
                          "fiscal). Este comprovante será substituído pelo  recibo definitivo  da"_cp,
                          "entrega da(s) GIA(s) após o processamento das informações."_cp}));
  EXPECT_EQ(LeArquivo(Em(t, "param.txt")), kLinhaParametros + "\r\nOK\r\n");
  EXPECT_EQ(Arquivos(t), (std::vector<std::string>{"param.txt", "saida.txt"}));
}

// An empty GIA ST 2 file: ST wording, an empty list and the count 000.
TEST_F(GeraSaida, TheReceiptInSTWording) {
  ExecucaoDeTeste t("GIAST02");
  Parametros(t);
  Gera(t);
  const std::string email = kEmail + std::string(70 - kEmail.size(), ' ');
  EXPECT_EQ(Saida(t), Cp({"                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp,
                          "                             ORBELANDA                               ",
                          "                              VALDORIA                       ",
                          "",
                          "  Nro Protocolo:                Data:              Hora:",
                          "  Documento    :GIAST02         Chave:",
                          "  E-Mail       :" + email,
                          "",
                          "  Apontamos  o  recebimento  do  arquivo  descrito  acima.   Para  sua",
                          "maior  segurança  quanto  à  entrega  de  suas  GIAs ST,  recomendamos"_cp,
                          "verificar  na  caixa postal  que V.Sa. escolheu  quando da transmissão"_cp,
                          "do arquivo,  os  recibos  definitivos  das  GIAs ST  remetidas.",
                          "",
                          "GIA(s) ST TRANSMITIDAS(s)",
                          "----------------------------------------------------------------------",
                          "INSCRIÇÃO      REFER    INSCRIÇÃO      REFER    INSCRIÇÃO      REFER"_cp,
                          "----------------------------------------------------------------------",
                          "",
                          "",
                          "Comprovante de transmissão representativo de   000  GIAs ST (sem valor"_cp,
                          "fiscal). Este comprovante será substituído pelo  recibo definitivo  da"_cp,
                          "entrega da(s) GIA(s) ST após o processamento das informações."_cp}));
  EXPECT_EQ(LeArquivo(Em(t, "param.txt")), kLinhaParametros + "\r\nOK\r\n");
}

TEST_F(GeraSaida, AGIAST1FileIsReceiptedInGIAWording) {
  ExecucaoDeTeste t("GIAST01");
  Parametros(t);
  Declaracoes(t, {{"1234567897", "051999"}});
  Gera(t);
  const auto saida = Saida(t);
  ASSERT_EQ(saida.size(), 23U);
  EXPECT_EQ(saida[5], "  Documento    :GIAST01         Chave:");
  EXPECT_EQ(saida[9], "maior  segurança   quanto  à  entrega  de  suas   GIAs,   recomendamos"_cp);
  EXPECT_EQ(saida[13], "GIA(s) TRANSMITIDAS(s)");
  EXPECT_EQ(saida[15], "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER");
  EXPECT_EQ(saida[17], "123/4567897    05/1999  ");
  EXPECT_EQ(saida[20], "Comprovante de transmissão representativo de   001   GIAs  (sem  valor"_cp);
}

TEST_F(GeraSaida, TheConsultationAddressInLowerCaseCentred) {
  for (const bool st : {false, true}) {
    ExecucaoDeTeste t(st ? "GIAST02" : "GIA04");
    // 29 characters in Windows-1252: (70 - 29) / 2 = 20 blanks before it.
    Parametros(t, std::string("  WWW.SEFAZ.VD.GOV/RECIBOS/ÉŠÇÃ"_cp));
    Gera(t);
    const auto saida = Saida(t);
    ASSERT_EQ(saida.size(), 26U);
    EXPECT_EQ(saida[11], st ? "do arquivo,  os  recibos  definitivos  das  GIAs ST  remetidas."
                            : "do arquivo, os  recibos  definitivos  das  GIAs  remetidas.");
    EXPECT_EQ(saida[12], "  Caso haja qualquer  problema  no  recebimento  de suas mensagens, os");
    EXPECT_EQ(saida[13], "recibos definitivos  poderão  ser  consultados  on-line  no  endereço:"_cp);
    EXPECT_EQ(saida[14], "");
    EXPECT_EQ(saida[15], std::string(20, ' ') + std::string("www.sefaz.vd.gov/recibos/éšçã"_cp));
    EXPECT_EQ(saida[16], "");
    EXPECT_EQ(saida[17], st ? "GIA(s) ST TRANSMITIDAS(s)" : "GIA(s) TRANSMITIDAS(s)");
  }
}

TEST_F(GeraSaida, TheHeadingLinesCentredWhenGiven) {
  const struct {
    const char* regra;
    std::string orgao;
    std::string estado;
    std::string linha2;
    std::string linha3;
  } casos[] = {
      {"odd lengths: (70 - 21) / 2 = 24 and (70 - 18) / 2 = 26", "SECRETARIA DA FAZENDA", "ESTADO DA VALDORIA",
       std::string(24, ' ') + "SECRETARIA DA FAZENDA", std::string(26, ' ') + "ESTADO DA VALDORIA"},
      {"even lengths, padding in the field trimmed", "  RECEITA  ", "ESTADO", std::string(31, ' ') + "RECEITA",
       std::string(32, ' ') + "ESTADO"},
      {"a heading of the whole width", std::string(70, 'O'), std::string(30, 'E'), std::string(70, 'O'),
       std::string(20, ' ') + std::string(30, 'E')},
      {"69 characters: no blank before", std::string(69, 'O'), "", std::string(69, 'O'),
       "                              VALDORIA                       "},
      {"only the state given", "", "X", "                             ORBELANDA                               ",
       std::string(34, ' ') + "X"},
  };
  for (const auto& c : casos) {
    ExecucaoDeTeste t("GIA03");
    Parametros(t, "", c.orgao, c.estado);
    Gera(t);
    const auto saida = Saida(t);
    ASSERT_GE(saida.size(), 3U) << c.regra;
    EXPECT_EQ(saida[1], c.linha2) << c.regra;
    EXPECT_EQ(saida[2], c.linha3) << c.regra;
  }
}

TEST_F(GeraSaida, TheCountHasThreeDigitsAtLeast) {
  const struct {
    std::int64_t quantidade;
    const char* gia;
    const char* st;
  } casos[] = {
      {0, "000   GIAs  (sem  valor", "000  GIAs ST (sem valor"},
      {12, "012   GIAs  (sem  valor", "012  GIAs ST (sem valor"},
      {999, "999   GIAs  (sem  valor", "999  GIAs ST (sem valor"},
      {1234, "1234   GIAs  (sem  valor", "1234  GIAs ST (sem valor"},
      {40000, "40000   GIAs  (sem  valor", "40000  GIAs ST (sem valor"},
  };
  for (const auto& c : casos) {
    for (const bool st : {false, true}) {
      ExecucaoDeTeste t(st ? "GIAST02" : "GIA04");
      Parametros(t);
      t.run.QtdGIAs = c.quantidade;
      Gera(t);
      const auto saida = Saida(t);
      ASSERT_EQ(saida.size(), 22U);
      EXPECT_EQ(saida[19], std::string("Comprovante de transmissão representativo de   "_cp) + (st ? c.st : c.gia))
          << c.quantidade << (st ? " ST" : " GIA");
    }
  }
}

TEST_F(GeraSaida, EarlierResultsAreReplacedAndTheWorkFilesRemoved) {
  ExecucaoDeTeste t("GIA03");
  Parametros(t);
  {
    std::ofstream(Em(t, "saida.txt"), std::ios::binary) << std::string(100000, 'x');
    std::ofstream(Em(t, "param.txt"), std::ios::binary) << "PARAM\r\nsecond line of the caller\r\nthird\r\n";
  }
  const std::string linha = "PARAM   GIA03       " + std::string("/tmp/declaração.txt "_cp);
  Gera(t, linha);
  EXPECT_EQ(LeArquivo(Em(t, "param.txt")), linha + "\r\nOK\r\n") << "the line exactly as read, trailing blank kept";
  EXPECT_EQ(Saida(t).size(), 22U);
  EXPECT_EQ(Arquivos(t), (std::vector<std::string>{"param.txt", "saida.txt"}));
}

}  // namespace
