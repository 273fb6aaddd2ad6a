// The recorders RegistraErroGIA and RegistraErroST: each finding becomes one
// line of ListaErros, byte for byte, with the taxpayer, period and line that
// its code's context names.
#include "valida/checks/erros.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "tests/valida/execucao_teste.h"

namespace {

using valida::teste::ExecucaoDeTeste;

const std::string kBrancos15(15, ' ');
const std::string kNumerico(std::string("Campo numérico é esperado"_cp));

// Line numbers of the declaration context, each its own.
constexpr std::int64_t kLinhaGIA = 21;
constexpr std::int64_t kLinhaX03A = 23;
constexpr std::int64_t kLinhaX05AB = 24;
constexpr std::int64_t kLinhaX07AB = 25;
constexpr std::int64_t kLinhaX07 = 26;
constexpr std::int64_t kLinhaCFOP = 27;

// A GIA 4 record at hand: CGC/TE 1234567890, period 052005, line 12, inside a
// declaration of 9876543210 for 112004 whose records sit on lines of their own.
void PreparaGIA(valida::Execucao& run) {
  run.InscricaoAtual = "1234567890";
  run.PeriodoAtual = "052005";
  run.NumeroLinha = 12;
  run.InscricaoGIA = "9876543210";
  run.PeriodoGIA = "112004";
  run.LinhaGIA = kLinhaGIA;
  run.LinhaX03A = kLinhaX03A;
  run.LinhaX05AB = kLinhaX05AB;
  run.LinhaX07AB = kLinhaX07AB;
  run.LinhaX07 = kLinhaX07;
  run.LinhaCFOP = kLinhaCFOP;
  run.ValorCFOP = 5102;
}

// The taxpayer, period and line that a finding of the prepared run prints.
std::string Atual() { return "123/4567890    05/2005 012 "; }
std::string Arquivo() { return kBrancos15 + "00/0000 012 "; }
std::string SemPeriodo() { return "123/4567890    00/0000 012 "; }
std::string Declaracao(std::int64_t linha) {
  char numero[16];
  std::snprintf(numero, sizeof numero, "%03lld ", static_cast<long long>(linha));
  return "987/6543210    11/2004 " + std::string(numero);
}

struct LinhaGIA {
  int codigo;
  std::string_view texto;
  std::string prefixo;
};

TEST(RegistraErroGIA, EveryCodeWithItsTextAndContext) {
  const LinhaGIA catalogo[] = {
      {1, "Marca teleprocessamento inválida"_cp, Atual()},
      {2, "Versão da GIA é incorreta"_cp, Atual()},
      {3, "Mês/Ano de referência inválido"_cp, Atual()},
      {4, "Dígito controle inválido"_cp, Atual()},
      {5, "Nro de linhas do anexo inválido"_cp, Declaracao(kLinhaGIA)},
      {6, "Identificação Registro Inválida"_cp, Atual()},
      {7, "Campo numérico é esperado"_cp, Atual()},
      {8, "Conteúdo deve ser 'S' ou 'N'"_cp, Atual()},
      {9, "Contador de sequência incorreto"_cp, Atual()},
      {10, "Qtd Ocorrências anexo inválida"_cp, Atual()},
      {11, "Conteúdo deve ser 'A','B' ou 'S'"_cp, Atual()},
      {12, "Data Inválida"_cp, Atual()},
      {13, "Campo alfabético é esperado"_cp, Atual()},
      {14, "Conteúdo só pode ser 'X' ou ' '"_cp, Atual()},
      {15, "Dia de término inválido"_cp, Atual()},
      {16, "Campo obrigatório não informado"_cp, Atual()},
      {17, "Arquivo não é GIA04"_cp, Arquivo()},
      {18, "Arquivo de Parâmetros Inválido"_cp, Arquivo()},
      {19, "Arquivo não encontrado"_cp, Arquivo()},
      {20, "Anexo com cabeçalho inválido"_cp, Atual()},
      {21, "Arquivo a ser validado não é GIA"_cp, Arquivo()},
      {22, "Data de Entrega deve ser zerada"_cp, Atual()},
      {23, "CFOP inválido"_cp, Atual()},
      {24, "Valor incorreto"_cp, Atual()},
      {25, "Vencimento Incorreto"_cp, Atual()},
      {26, "Dia Início Período Inválida"_cp, Atual()},
      {27, "Arquivo a ser validado não é GIA03"_cp, Arquivo()},
      {28, "Não pode ler unidade informada"_cp, Arquivo()},
      {29, "Código Inválido"_cp, Atual()},
      {30, "Valor Incorreto"_cp, Declaracao(kLinhaX07)},
      {31, "Período Apuração Incorreto"_cp, Atual()},
      {32, "Dia Vencimento Incorreto"_cp, Atual()},
      {33, "Valor Incorreto da Referência"_cp, Declaracao(kLinhaGIA)},
      {34, "Deve existir apenas UM Anexo 7"_cp, Declaracao(kLinhaGIA)},
      {35, "Não pode ter anexo 7, 7a e 7b"_cp, Declaracao(kLinhaGIA)},
      {36, "Valor do CFOP 5102 incorreto"_cp, Declaracao(kLinhaCFOP)},
      {37, "Referência Incorreta"_cp, Declaracao(kLinhaGIA)},
      {44, "Anexo X03a sem Anexo X03"_cp, Declaracao(kLinhaX03A)},
      {45, "Anexo X05a ou X05b sem Anexo X05"_cp, Declaracao(kLinhaX05AB)},
      {46, "Anexo X07a ou X07b sem Anexo X07"_cp, Declaracao(kLinhaX07AB)},
      {49, "Arquivo não é GIA05"_cp, Arquivo()},
      {50, "Arquivo com GIAs de versões diferentes"_cp, SemPeriodo()},
      {51, "Referência incompatível com versão"_cp, Atual()},
  };
  for (const auto& c : catalogo) {
    ExecucaoDeTeste t("GIA04");
    PreparaGIA(t.run);
    valida::RegistraErroGIA(t.run, c.codigo, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{c.prefixo + "084 099 " + std::string(c.texto)})
        << "GIA code " << c.codigo;
    EXPECT_TRUE(t.run.HouveErro) << "GIA code " << c.codigo;
  }
}

TEST(RegistraErroGIA, UnknownCodesHaveAnEmptyTextAndStillReject) {
  for (const int codigo : {0, 38, 39, 40, 41, 42, 43, 47, 48, 52, 99, -1}) {
    ExecucaoDeTeste t("GIA04");
    PreparaGIA(t.run);
    valida::RegistraErroGIA(t.run, codigo, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{Atual() + "084 099 "}) << "GIA code " << codigo;
    EXPECT_TRUE(t.run.HouveErro) << "GIA code " << codigo;
  }
}

TEST(RegistraErroGIA, TheCFOPOfCode36PrintsWithThreeDigitsAtLeast) {
  ExecucaoDeTeste t("GIA05");
  PreparaGIA(t.run);
  t.run.ValorCFOP = 12;
  valida::RegistraErroGIA(t.run, 36, 0, 0);
  EXPECT_EQ(t.Erros(), std::vector<std::string>{"987/6543210    11/2004 027 000 000 Valor do CFOP 012 incorreto"});
}

TEST(RegistraErroGIA, ACGCTEFindingAndTheSameInTheRegistrationLayout) {
  ExecucaoDeTeste gia("GIA04");
  gia.run.InscricaoAtual = "1234567890";
  gia.run.PeriodoAtual = "052005";
  gia.run.NumeroLinha = 12;
  valida::RegistraErroGIA(gia.run, 7, 84, 99);
  EXPECT_EQ(gia.Erros(), std::vector<std::string>{"123/4567890    05/2005 012 084 099 " + kNumerico});

  ExecucaoDeTeste st("GIAST02");
  st.run.InscricaoAtual = "12345678901234";
  st.run.PeriodoAtual = "052005";
  st.run.NumeroLinha = 12;
  valida::RegistraErroGIA(st.run, 7, 84, 99);
  EXPECT_EQ(st.Erros(), std::vector<std::string>{"12345678901234 05/2005 012 084 099 " + kNumerico});
}

// Consecutive findings share their first columns until the taxpayer, the
// period or the run's kind changes: each change shows in the next line.
TEST(RegistraErroGIA, EachFindingShowsTheTaxpayerAndPeriodOfItsOwnMoment) {
  ExecucaoDeTeste t("GIA04");
  const auto achado = [&](const char* inscricao, const char* periodo) {
    t.run.InscricaoAtual = inscricao;
    t.run.PeriodoAtual = periodo;
    valida::RegistraErroGIA(t.run, 7, 1, 2);
  };
  achado("1234567890", "052005");
  achado("1234567890", "052005");
  achado("1234567891", "052005");
  achado("1234567891", "062005");
  achado("1234567891", "06200");
  t.run.parametros.TipoDocumento = "GIAST02     ";
  achado("1234567891", "06200");
  achado("1234567890", "052005");
  const std::string fim = " 001 001 002 " + kNumerico;
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{"123/4567890    05/2005" + fim, "123/4567890    05/2005" + fim,
                                                 "123/4567891    05/2005" + fim, "123/4567891    06/2005" + fim,
                                                 "123/4567891    00/6200" + fim, "1234567891     00/6200" + fim,
                                                 "1234567890     05/2005" + fim}));
}

TEST(RegistraErroGIA, InvalidParametersBlankTheKindForTheRestOfTheRun) {
  ExecucaoDeTeste t("GIA04");
  t.run.NumeroLinha = 0;
  valida::RegistraErroGIA(t.run, 18, 0, 0);
  EXPECT_EQ(t.run.parametros.TipoDocumento, std::string(12, ' '));
  t.run.InscricaoAtual = "1234567890";
  valida::RegistraErroGIA(t.run, 7, 1, 2);
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{
                           kBrancos15 + "00/0000 000 000 000 " + std::string("Arquivo de Parâmetros Inválido"_cp),
                           "1234567890     00/0000 000 001 002 " + kNumerico}));
}

TEST(RegistraErroGIA, AFileLevelFindingForgetsTheTaxpayer) {
  ExecucaoDeTeste t("GIA03");
  t.run.InscricaoAtual = "1234567890";
  t.run.PeriodoAtual = "052005";
  t.run.NumeroLinha = 3;
  valida::RegistraErroGIA(t.run, 21, 0, 0);
  EXPECT_TRUE(t.run.InscricaoAtual.empty());
  valida::RegistraErroGIA(t.run, 7, 84, 99);
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{
                           kBrancos15 + "00/0000 003 000 000 " + std::string("Arquivo a ser validado não é GIA"_cp),
                           kBrancos15 + "05/2005 003 084 099 " + kNumerico}));
}

TEST(RegistraErroGIA, Code50KeepsTaxpayerAndLineButNotThePeriod) {
  ExecucaoDeTeste t("GIA05");
  PreparaGIA(t.run);
  valida::RegistraErroGIA(t.run, 50, 5, 6);
  EXPECT_EQ(t.Erros(), std::vector<std::string>{std::string(
                           "123/4567890    00/0000 012 005 006 Arquivo com GIAs de versões diferentes"_cp)});
  EXPECT_EQ(t.run.InscricaoAtual, "1234567890");
  EXPECT_EQ(t.run.PeriodoAtual, "052005");
}

TEST(RegistraErroGIA, LineAndColumnNumbersWidenBeyondThreeDigits) {
  const struct {
    std::int64_t linha;
    int primeira;
    int ultima;
    std::string esperado;
  } casos[] = {
      {7, 0, 0, "007 000 000 "},
      {999, 1, 4, "999 001 004 "},
      {1234, 84, 99, "1234 084 099 "},
      {32767, 5, 6, "32767 005 006 "},
      {32768, 5, 6, "32768 005 006 "},
      {40000, 5, 6, "40000 005 006 "},
      {3000000000LL, 5, 6, "3000000000 005 006 "},
  };
  for (const auto& c : casos) {
    ExecucaoDeTeste t("GIA04");
    t.run.InscricaoAtual = "1234567890";
    t.run.PeriodoAtual = "052005";
    t.run.NumeroLinha = c.linha;
    valida::RegistraErroGIA(t.run, 7, c.primeira, c.ultima);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{"123/4567890    05/2005 " + c.esperado + kNumerico})
        << "line " << c.linha;
  }
}

TEST(RegistraErroGIA, TheTaxpayerPartIsAlways15Characters) {
  const struct {
    const char* regra;
    const char* tipo;
    std::string inscricao;
    std::string esperado;
  } casos[] = {
      {"CGC/TE formatted, 4 blanks", "GIA04", "1234567890", "123/4567890    "},
      {"GIA 3 uses the CGC/TE layout", "GIA03", "1234567890", "123/4567890    "},
      {"GIA 5 uses the CGC/TE layout", "GIA05", "1234567890", "123/4567890    "},
      {"GIA ST 1 uses the CGC/TE layout", "GIAST01", "1234567890", "123/4567890    "},
      {"a short CGC/TE gets leading zeros", "GIA04", "123", "000/0000123    "},
      {"a padded CGC/TE", "GIA04", " 1234567890 ", "123/4567890    "},
      {"a blank CGC/TE gives 15 blanks", "GIA04", "", kBrancos15},
      {"blanks only give 15 blanks", "GIA04", "          ", kBrancos15},
      {"a non-number is padded to 11", "GIA04", "ABC", "ABC            "},
      {"a non-number longer than 11 is cut", "GIA04", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJK    "},
      {"an inner blank is not a number", "GIA04", "12345 7890", "12345 7890     "},
      {"an eleven-digit number is cut after formatting", "GIA04", "12345678901", "1234/567890    "},
      {"a registration, 1 blank", "GIAST02", "12345678901234", "12345678901234 "},
      {"a short registration is padded", "GIAST02", "1234567", "1234567        "},
      {"a long registration is cut at 14", "GIAST02", "123456789012345678", "12345678901234 "},
      {"a blank registration", "GIAST02", "", kBrancos15},
      {"a blank kind takes the registration layout", "", "1234567890", "1234567890     "},
  };
  for (const auto& c : casos) {
    ExecucaoDeTeste t(c.tipo);
    t.run.InscricaoAtual = c.inscricao;
    t.run.PeriodoAtual = "052005";
    valida::RegistraErroGIA(t.run, 7, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{c.esperado + "05/2005 001 084 099 " + kNumerico}) << c.regra;
  }
}

TEST(RegistraErroGIA, ABlankPeriodPrintsAsZeros) {
  const struct {
    const char* regra;
    std::string periodo;
    std::string esperado;
  } casos[] = {
      {"a period", "052005", "05/2005"},
      {"a padded period", "52005 ", "05/2005"},
      {"blanks", "      ", "00/0000"},
      {"empty", "", "00/0000"},
  };
  for (const auto& c : casos) {
    ExecucaoDeTeste t("GIA04");
    t.run.InscricaoAtual = "1234567890";
    t.run.PeriodoAtual = c.periodo;
    valida::RegistraErroGIA(t.run, 7, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{"123/4567890    " + c.esperado + " 001 084 099 " + kNumerico})
        << c.regra;
  }
}

// GIA ST: a registration 12345678901234 for 052005 on line 12, its "A0" on line 9.
void PreparaST(valida::Execucao& run) {
  run.InscricaoAtual = "12345678901234";
  run.PeriodoAtual = "052005";
  run.NumeroLinha = 12;
  run.LinhaA0 = 9;
}
std::string AtualST() { return "12345678901234 05/2005 012 "; }

struct LinhaST {
  int codigo;
  std::string_view texto;
  std::string prefixo;
};

TEST(RegistraErroST, EveryCodeWithItsTextAndContext) {
  auto Atual = AtualST;
  auto SemContribuinte = [] { return kBrancos15 + "00/0000 012 "; };
  auto LinhaA0 = [] { return std::string("12345678901234 05/2005 009 "); };
  const LinhaST catalogo[] = {
      {1, "Arquivo não é GIA ST"_cp, SemContribuinte()},
      {3, "Campo não deve ser informado"_cp, Atual()},
      {4, "Data Incorreta"_cp, Atual()},
      {5, "Campo Fixo Incorreto"_cp, Atual()},
      {6, "Vencimento anterior não informado"_cp, Atual()},
      {7, "Campo 7 deve ser maior que 04/1999"_cp, Atual()},
      {8, "Informe o campo 7"_cp, Atual()},
      {9, "Dig. Controle Campo 7 Incorreto"_cp, Atual()},
      {10, "Campo 7 deve ser positivo"_cp, Atual()},
      {11, "Campo 7 não pode ser maior que o 6"_cp, Atual()},
      {12, "Campo 10 não pode ser maior que o 9"_cp, Atual()},
      {13, "Valor do campo 7 incorreto"_cp, Atual()},
      {14, "Soma parcelas difere do campo 7"_cp, Atual()},
      {15, "7° venc deve ser maior que 01/05/2005"_cp, Atual()},
      {16, "Data vencimento em duplicidade"_cp, Atual()},
      {17, "Campo 12 não pode ser maior que o 11"_cp, Atual()},
      {19, "Informe o valor do 7° pagamento"_cp, Atual()},
      {20, "Informe o vencimento do 7° pagto"_cp, Atual()},
      {21, "Código de UF Favorecida incorreto"_cp, Atual()},
      {22, "Inscrição Estadual incorreta"_cp, Atual()},
      {25, "Campo 10 deve ser menor que o 11"_cp, Atual()},
      {26, "Campo 13 deve ser menor que o 12"_cp, Atual()},
      {27, "Deve existir o Anexo III"_cp, Atual()},
      {28, "Nro de linhas do anexo inválido"_cp, LinhaA0()},
      {30, "Não pode ser a mesma Inscrição da GIA"_cp, Atual()},
      {31, "Valor do campo 7 incorreto"_cp, LinhaA0()},
      {32, "GIA deve ser marcada Sem Movimento"_cp, Atual()},
      {33, "Todas as GIAs devem ser da mesma UF"_cp, Atual()},
      {34, "Mês/Ano refer. incompatível com versão"_cp, Atual()},
      {35, "Data deve ser superior a Mês/Ano refer."_cp, Atual()},
      {36, "Informações duplicadas no Anexo III"_cp, Atual()},
      {37, "Informe nº de linhas do Anexo III"_cp, Atual()},
      {41, "Campo 7 deve ser menor que 07/2000"_cp, Atual()},
  };
  for (const auto& c : catalogo) {
    ExecucaoDeTeste t("GIAST02");
    PreparaST(t.run);
    valida::RegistraErroST(t.run, c.codigo, 7, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{c.prefixo + "084 099 " + std::string(c.texto)})
        << "GIA ST code " << c.codigo;
    EXPECT_TRUE(t.run.HouveErro) << "GIA ST code " << c.codigo;
  }
}

TEST(RegistraErroST, UnknownCodesHaveAnEmptyTextAndStillReject) {
  for (const int codigo : {-1, 0, 2, 18, 23, 24, 29, 38, 39, 40, 42, 99, 2147483647}) {
    ExecucaoDeTeste t("GIAST02");
    PreparaST(t.run);
    valida::RegistraErroST(t.run, codigo, 7, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{AtualST() + "084 099 "}) << "GIA ST code " << codigo;
    EXPECT_TRUE(t.run.HouveErro) << "GIA ST code " << codigo;
  }
}

TEST(RegistraErroST, FieldNumbersInTheTexts) {
  const struct {
    int codigo;
    int campo;
    std::string texto;
  } casos[] = {
      {36, 1, std::string("Informações duplicadas no Anexo I"_cp)},
      {36, 2, std::string("Informações duplicadas no Anexo II"_cp)},
      {36, 3, std::string("Informações duplicadas no Anexo III"_cp)},
      {36, 5, std::string("Informações duplicadas no Anexo III"_cp)},
      {36, 0, std::string("Informações duplicadas no Anexo III"_cp)},
      {15, 2, std::string("2° venc deve ser maior que 01/05/2005"_cp)},
      {15, 12, std::string("12° venc deve ser maior que 01/05/2005"_cp)},
      {8, 0, "Informe o campo 0"},
      {9, 123, "Dig. Controle Campo 123 Incorreto"},
      {14, 17, "Soma parcelas difere do campo 17"},
  };
  for (const auto& c : casos) {
    ExecucaoDeTeste t("GIAST02");
    PreparaST(t.run);
    valida::RegistraErroST(t.run, c.codigo, c.campo, 84, 99);
    EXPECT_EQ(t.Erros(), std::vector<std::string>{AtualST() + "084 099 " + c.texto})
        << "GIA ST code " << c.codigo << " field " << c.campo;
  }
}

TEST(RegistraErroST, Code15NamesThePeriodOfTheRecord) {
  ExecucaoDeTeste t("GIAST01");
  t.run.InscricaoAtual = "1234567897";
  t.run.PeriodoAtual = "051999";
  t.run.NumeroLinha = 1;
  valida::RegistraErroST(t.run, 15, 2, 251, 258);
  EXPECT_EQ(t.Erros(), std::vector<std::string>{
                           std::string("123/4567897    05/1999 001 251 258 2° venc deve ser maior que 01/05/1999"_cp)});
}

TEST(RegistraErroST, Code1BlanksTaxpayerAndPeriodForItsLineOnly) {
  for (const char* tipo : {"GIAST01", "GIAST02"}) {
    ExecucaoDeTeste t(tipo);
    const bool st02 = std::string_view(tipo) == "GIAST02";
    t.run.InscricaoAtual = st02 ? "12345678901234" : "1234567890";
    t.run.PeriodoAtual = "052005";
    t.run.NumeroLinha = 4;
    valida::RegistraErroST(t.run, 1, 0, 3, 7);
    valida::RegistraErroST(t.run, 5, 0, 8, 9);
    EXPECT_EQ(t.run.InscricaoAtual, st02 ? "12345678901234" : "1234567890") << tipo;
    EXPECT_EQ(t.run.PeriodoAtual, "052005") << tipo;
    const std::string contribuinte = st02 ? "12345678901234 " : "123/4567890    ";
    EXPECT_EQ(t.Erros(),
              (std::vector<std::string>{kBrancos15 + "00/0000 004 003 007 " + std::string("Arquivo não é GIA ST"_cp),
                                        contribuinte + "05/2005 004 008 009 Campo Fixo Incorreto"}))
        << tipo;
  }
}

TEST(RegistraErroST, Codes28And31NameTheLineOfTheMainRecord) {
  ExecucaoDeTeste t("GIAST02");
  PreparaST(t.run);
  t.run.LinhaA0 = 1234;
  valida::RegistraErroST(t.run, 28, 0, 0, 0);
  valida::RegistraErroST(t.run, 31, 11, 230, 244);
  valida::RegistraErroST(t.run, 13, 11, 230, 244);
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{
                           "12345678901234 05/2005 1234 000 000 " + std::string("Nro de linhas do anexo inválido"_cp),
                           "12345678901234 05/2005 1234 230 244 Valor do campo 11 incorreto",
                           "12345678901234 05/2005 012 230 244 Valor do campo 11 incorreto"}));
}

TEST(RegistraErroST, TheGIACatalogueInAGIAST2RunUsesTheRegistrationLayout) {
  ExecucaoDeTeste t("GIAST02");
  PreparaST(t.run);
  valida::RegistraErroGIA(t.run, 6, 1, 2);
  EXPECT_EQ(t.Erros(),
            std::vector<std::string>{AtualST() + "001 002 " + std::string("Identificação Registro Inválida"_cp)});
}

}  // namespace
