// The shared field checks: one table per routine, each row an input and the
// verdict; then LeNumerico's finding and the binding of the registration
// check through a fake library.
#include "valida/checks/campos.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1252.h"
#include "tests/geradores/comum.h"
#include "tests/valida/execucao_teste.h"

namespace {

using valida::teste::ExecucaoDeTeste;

struct CasoNumerico {
  const char* regra;
  std::string linha;
  int coluna;
  int largura;
  bool esperado;
};

TEST(ValidaNumerico, EveryPositionMustHoldADigit) {
  const CasoNumerico casos[] = {
      {"zeros are digits", "000", 1, 3, true},
      {"a slice inside the line", "ab0123cd", 3, 4, true},
      {"the last columns of the line", "xx12", 3, 2, true},
      {"leading blanks fail", "  12", 1, 4, false},
      {"trailing blanks fail", "12  ", 1, 4, false},
      {"an inner blank fails", "1 2", 1, 3, false},
      {"all blanks fail", "   ", 1, 3, false},
      {"a sign fails", "-12", 1, 3, false},
      {"a plus sign fails", "+12", 1, 3, false},
      {"a point fails", "1.2", 1, 3, false},
      {"a comma fails", "1,2", 1, 3, false},
      {"a letter fails", "12a", 1, 3, false},
      {"a NUL byte fails",
       std::string("1\0"
                   "2",
                   3),
       1, 3, false},
      {"a byte above 127 fails",
       "1\xB2"
       "2",
       1, 3, false},
      {"a slice that ends beyond the line fails", "123", 2, 3, false},
      {"a slice that starts beyond the line fails", "123", 4, 2, false},
      {"a slice that starts just past the line fails", "123", 5, 1, false},
      {"an empty line fails", "", 1, 1, false},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::ValidaNumerico(c.linha, c.coluna, c.largura), c.esperado) << c.regra;
}

struct CasoData {
  const char* regra;
  std::string texto;
  int tipo;
  bool esperado;
};

TEST(ValidaData, DatesAndMonthsOfTheCalendarWithoutTheCenturyRule) {
  const CasoData casos[] = {
      // kind 8: DDMMAAAA
      {"1900 is a leap year (no century rule)", "29021900", 8, true},
      {"2004 is a leap year", "29022004", 8, true},
      {"2100 is a leap year", "29022100", 8, true},
      {"2001 is not a leap year", "29022001", 8, false},
      {"28 February of any year", "28022001", 8, true},
      {"30 February never", "30022004", 8, false},
      {"April has 30 days", "31042005", 8, false},
      {"April 30", "30042005", 8, true},
      {"January has 31 days", "31012005", 8, true},
      {"32 days never", "32012005", 8, false},
      {"all zeros means no date", "00000000", 8, true},
      {"day 0 is not a date", "00012005", 8, false},
      {"month 13", "01131999", 8, false},
      {"month 0 with a day", "01001999", 8, false},
      {"year before 1900", "01011899", 8, false},
      {"year 1900", "01011900", 8, true},
      {"only the year zero", "01010000", 8, false},
      {"December 31", "31121999", 8, true},
      // kind 6: MMAAAA
      {"December", "122005", 6, true},
      {"January", "012005", 6, true},
      {"month 13", "132005", 6, false},
      {"month 0", "002005", 6, false},
      {"year before 1900", "011899", 6, false},
      {"all zeros means no period", "000000", 6, true},
      {"month set, year zero", "010000", 6, false},
      {"February of a year that is not leap", "022001", 6, true},
      // a part's characters other than digits are skipped
      {"a blank before the day's digit", " 1012005", 8, true},
      {"a day of a blank and a zero", "0 012005", 8, false},
      {"a letter in the year", "0101200x", 8, false},
      {"a blank in the month", "1 2005", 6, true},
  };
  // Near the line's start and past its 16th column (where the date is read
  // as one number when it is all digits).
  for (const std::string antes : {"xx", "xxxxxxxxxxxxxxxxxxxx"}) {
    for (const auto& c : casos) {
      const std::string linha = antes + c.texto + "yy";
      EXPECT_EQ(valida::ValidaData(linha, static_cast<int>(antes.size()) + 1, c.tipo), c.esperado)
          << c.regra << " (" << c.texto << ", column " << antes.size() + 1 << ")";
    }
  }
}

// Every day 00-39 of every month 00-19 of years around the rules' edges, as
// DDMMAAAA at columns before and after the 16th and at the line's very end,
// against the calendar rules written out plainly.
TEST(ValidaData, EveryDayAndMonthOfTheEdgeYears) {
  const auto regra = [](int dia, int mes, int ano) {
    if (dia == 0 && mes == 0 && ano == 0) return true;
    static constexpr std::array<int, 13> kDias = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (dia < 1 || mes < 1 || mes > 12 || ano < 1900) return false;
    return dia <= (mes == 2 ? (ano % 4 == 0 ? 29 : 28) : kDias[static_cast<std::size_t>(mes)]);
  };
  for (const int ano : {0, 1, 1899, 1900, 1999, 2000, 2001, 2004, 2100, 9999})
    for (int mes = 0; mes < 20; ++mes)
      for (int dia = 0; dia < 40; ++dia) {
        char data[9];
        std::snprintf(data, sizeof data, "%02d%02d%04d", dia, mes, ano);
        for (const std::string_view antes : {"xx", "xxxxxxxxxxxxxxxxxxxx"})
          for (const std::string_view depois : {"", "yy"}) {
            const std::string linha = std::string(antes) + data + std::string(depois);
            ASSERT_EQ(valida::ValidaData(linha, static_cast<int>(antes.size()) + 1, 8), regra(dia, mes, ano))
                << data << " at column " << antes.size() + 1;
          }
      }
}

TEST(DigitoControleCGCTE, Modulo11WithTheWeights2Then9DownTo2) {
  // Digits 1 to 9 weigh 2, 9, 8, 7, 6, 5, 4, 3, 2; the tenth is not summed.
  const struct {
    const char* regra;
    const char* numero;
    char esperado;
  } casos[] = {
      {"sum 202, remainder 4, 11 - 4 = 7", "1234567890", '7'},
      {"the last character is not summed", "1234567899", '7'},
      {"sum 0: 11 - 0 = 11 gives 0", "0000000000", '0'},
      {"the first digit weighs 2: sum 2 gives 9", "1000000000", '9'},
      {"the second digit weighs 9: sum 9 gives 2", "0100000000", '2'},
      {"the third digit weighs 8: sum 8 gives 3", "0010000000", '3'},
      {"the ninth digit weighs 2: sum 2 gives 9", "0000000010", '9'},
      {"sum 12 (4 x 3), remainder 1: 11 - 1 = 10 gives 0", "0000000400", '0'},
      {"sum 22 (6 x 3 + 2 x 2), remainder 0: 11 gives 0", "0000000620", '0'},
      {"sum 10 (5 x 2), remainder 10: gives 1", "5000000000", '1'},
      {"blanks around the number are trimmed", " 1234567890 ", '7'},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::DigitoControleCGCTE(c.numero), c.esperado) << c.regra;
}

// Ten characters without blanks at the ends weigh the same whether or not
// blanks surround them (the usual field is read apart from the others),
// whatever the characters: digits, letters, inner blanks.
TEST(DigitoControleCGCTE, TheUsualTenCharactersAsWhenSurroundedByBlanks) {
  geradores::Sorteio s(10);
  static constexpr std::string_view kCaracteres = "0123456789 AZ/:";
  for (int i = 0; i < 20000; ++i) {
    std::string numero(10, ' ');
    for (char& c : numero)
      c = kCaracteres[static_cast<std::size_t>(s.Entre(0, static_cast<std::int64_t>(kCaracteres.size()) - 1))];
    numero.front() = static_cast<char>('0' + s.Entre(0, 9));
    numero.back() = static_cast<char>('0' + s.Entre(0, 9));
    ASSERT_EQ(valida::DigitoControleCGCTE(numero), valida::DigitoControleCGCTE("  " + numero + " ")) << numero;
  }
}

TEST(ValidaCPFCNPJ, CheckDigitsByLength) {
  const struct {
    const char* regra;
    const char* numero;
    bool esperado;
  } casos[] = {
      // CPF: 11 characters.
      {"a valid CPF", "12345678909", true},
      {"a valid CPF with other digits", "52998224725", true},
      {"eleven equal digits are judged by their digits (ones)", "11111111111", true},
      {"eleven equal digits are judged by their digits (zeros)", "00000000000", true},
      {"wrong second check digit", "12345678900", false},
      {"wrong first check digit", "12345678919", false},
      {"r1 = 1 gives c1 = 0", "10000000108", true},
      {"r2 = 1 gives c2 = 0", "10000000280", true},
      {"r1 = 0 and r2 = 0 give 0 and 0", "10000003700", true},
      {"r1 = 1 and r2 = 1 give 0 and 0", "10000004600", true},
      {"ten characters", "1234567890", false},
      {"empty", "", false},
      // CNPJ: 14 digits.
      {"a valid CNPJ", "11222333000181", true},
      {"another valid CNPJ", "11444777000161", true},
      {"all zeros agree with their digits but are refused", "00000000000000", false},
      {"only twelve zeros are refused: a 1 in the twelfth place", "00000000000191", true},
      {"wrong second check digit", "11222333000180", false},
      {"wrong first check digit", "11222333000191", false},
      {"r1 = 1 gives c1 = 0", "11222333000009", true},
      {"r2 = 1 gives c2 = 0", "11222333001820", true},
      {"r1 = 0 and r2 = 0 give 0 and 0", "11222333001900", true},
      {"r1 = 1 and r2 = 1 give 0 and 0", "11222333002800", true},
      {"characters after the 14th are not read", "11222333000181X", true},
  };
  for (const auto& c : casos)
    EXPECT_EQ(valida::ValidaCPFCNPJ(c.numero), c.esperado) << c.regra << " (" << c.numero << ")";
}

// The check digits weigh the digits of the base all at once; here against
// the rule read digit by digit, a character that is no digit weighing 0 (a
// letter, a blank, '/' and ':' beside the digits, a NUL, a byte above 127),
// on CPFs and CNPJs of mostly digits and of many other characters.
TEST(ValidaCPFCNPJ, AsTheRuleDigitByDigit) {
  const auto digito = [](const std::string& n, std::size_t i) { return n[i] >= '0' && n[i] <= '9' ? n[i] - '0' : 0; };
  const auto modulo11 = [](int soma) { return soma % 11 < 2 ? 0 : 11 - soma % 11; };
  const auto regra = [&](const std::string& n) {
    const bool cpf = n.size() == 11;
    const std::size_t base = cpf ? 9 : 12;
    int s1 = 0;
    int s2 = 0;
    bool zeros = true;
    for (std::size_t i = 0; i < base; ++i) {
      const int peso = cpf ? static_cast<int>(10 - i) : static_cast<int>((base - 1 - i) % 8 + 2);
      s1 += digito(n, i) * peso;
      s2 += digito(n, i) * (cpf ? peso + 1 : static_cast<int>((base - i) % 8 + 2));
      zeros = zeros && digito(n, i) == 0;
    }
    const int c1 = modulo11(s1);
    const int c2 = modulo11(s2 + c1 * 2);
    return (cpf || !zeros) && digito(n, base) == c1 && digito(n, base + 1) == c2;
  };
  geradores::Sorteio s(11);
  static const std::string kOutros = std::string("A /:\xb9\xff") + '\0';
  int validos = 0;
  for (int i = 0; i < 200000; ++i) {
    std::string numero(s.Entre(0, 1) == 0 ? 11 : 14, '0');
    const bool poucos_outros = i % 2 == 0;
    for (char& c : numero) {
      const bool outro = s.Entre(0, poucos_outros ? 40 : 3) == 0;
      c = outro ? kOutros[static_cast<std::size_t>(s.Entre(0, static_cast<std::int64_t>(kOutros.size()) - 1))]
                : static_cast<char>('0' + s.Entre(0, i % 3 == 0 ? 1 : 9));
    }
    const bool esperado = regra(numero);
    validos += esperado ? 1 : 0;
    ASSERT_EQ(valida::ValidaCPFCNPJ(numero), esperado) << numero;
  }
  EXPECT_GT(validos, 1000);  // the check digits agree often enough to test both answers
}

TEST(ValidaUF, ASubstringOfTheListOfStates) {
  const struct {
    const char* regra;
    const char* codigo;
    bool esperado;
  } casos[] = {
      {"a state", "RS", true},
      {"the first state", "AC", true},
      {"the last state", "TO", true},
      {"upper and lower case are distinct", "rs", false},
      {"mixed case", "Rs", false},
      {"not a state", "XX", false},
      {"a letter and the separator", "C|", true},
      {"the separator and a letter", "|R", true},
      {"an empty code", "", true},
      {"two states with their separator", "RS|RR", true},
      {"a blank after a state", "RS ", false},
      {"a state not next to the other in the list", "ACTO", false},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::ValidaUF(c.codigo), c.esperado) << c.regra << " (" << c.codigo << ")";
}

// Every code of two bytes, whatever they are, as the plain search of the list.
TEST(ValidaUF, EveryTwoByteCodeAsTheSearchOfTheList) {
  constexpr std::string_view kLista =
      "AC|AL|AP|AM|BA|CE|DF|ES|GO|MA|MT|MS|MG|PA|PB|PR|PE|PI|RN|RJ|RO|RS|RR|SC|SP|SE|TO";
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      const std::string codigo = {static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(valida::ValidaUF(codigo), kLista.find(codigo) != std::string_view::npos) << a << " " << b;
    }
}

// LeNumerico: the value of a digit slice, or GIA code 7 at the slice's own columns.
TEST(LeNumerico, ADigitSliceGivesItsValueAndAnythingElseCode7AtItsColumns) {
  ExecucaoDeTeste t("GIA04");
  t.run.InscricaoAtual = "1234567890";
  t.run.PeriodoAtual = "052005";
  t.run.NumeroLinha = 12;
  std::string linha(120, 'x');
  linha.replace(83, 16, "0000000000012345");
  linha.replace(99, 16, "9999999999999999");
  linha.replace(3, 5, "12 45");

  const auto valor = valida::LeNumerico(t.run, linha, 84, 16);
  ASSERT_TRUE(valor.has_value());
  EXPECT_EQ(static_cast<std::int64_t>(*valor), 12345);
  const auto maior = valida::LeNumerico(t.run, linha, 100, 16);
  ASSERT_TRUE(maior.has_value());
  EXPECT_EQ(static_cast<std::int64_t>(*maior), 9999999999999999);
  EXPECT_FALSE(t.run.HouveErro);

  EXPECT_FALSE(valida::LeNumerico(t.run, linha, 4, 5).has_value());
  EXPECT_FALSE(valida::LeNumerico(t.run, linha, 116, 16).has_value());  // runs past the end of the line
  const std::string texto(std::string("Campo numérico é esperado"_cp));
  EXPECT_EQ(t.Erros(), (std::vector<std::string>{"123/4567890    05/2005 012 004 008 " + texto,
                                                 "123/4567890    05/2005 012 116 131 " + texto}));
  EXPECT_TRUE(t.run.HouveErro);
}

// ValorSeNumerico is ValidaNumerico and Valor in one reading: the same
// answer for every slice of up to 18 places, whatever its place or content;
// no value for a wider one.
TEST(ValorSeNumerico, AgreesWithValidaNumericoAndValor) {
  const std::string linha = "0012345678901234567890 12 34x56789000000000000000000001234";
  for (int coluna = 0; coluna <= static_cast<int>(linha.size()) + 2; ++coluna) {
    for (int largura = -1; largura <= 22; ++largura) {
      const auto lido = valida::ValorSeNumerico(linha, coluna, largura);
      const bool numerico = valida::ValidaNumerico(linha, coluna, largura);
      ASSERT_EQ(lido.has_value(), numerico && largura <= 18) << "column " << coluna << ", width " << largura;
      if (lido.has_value()) {
        EXPECT_EQ(*lido, valida::Valor(linha, coluna, largura)) << "column " << coluna << ", width " << largura;
      }
    }
  }
}

// A field's number against a plain reading digit by digit, at every column
// and width of a line whose bytes sit next to the digits ('/' and ':'), hide
// one in their low bits (0xB0 to 0xB9, NUL) or are blanks: near the line's
// start, where a field ends before its 16th column, and at its end.
TEST(ValorSeNumerico, AgreesWithAPlainReadingOfEveryField) {
  std::string linha =
      "98765432109876543210:123/456 7\xB0"
      "12345678901234567\xB9"
      "00";
  linha += std::string(
               "1\0"
               "2",
               3) +
           "99999999999999999999" + "0123456789012345";
  const auto simples = [&](int coluna, int largura) -> std::optional<std::int64_t> {
    if (coluna < 1 || largura < 1 || largura > 18 || coluna - 1 + largura > static_cast<int>(linha.size())) return {};
    std::int64_t valor = 0;
    for (int i = coluna - 1; i < coluna - 1 + largura; ++i) {
      const char c = linha[static_cast<std::size_t>(i)];
      if (c < '0' || c > '9') return {};
      valor = valor * 10 + (c - '0');
    }
    return valor;
  };
  for (int coluna = -1; coluna <= static_cast<int>(linha.size()) + 2; ++coluna)
    for (int largura = -1; largura <= 20; ++largura)
      ASSERT_EQ(valida::ValorSeNumerico(linha, coluna, largura), simples(coluna, largura))
          << "column " << coluna << ", width " << largura;
}

// The registration check of DllInscE32, served by a fake library.
struct Chamada {
  std::string inscricao;
  std::string uf;
};
std::vector<Chamada> g_chamadas;
std::int16_t g_resultado = 0;

std::int16_t PLATAFORMA_STDCALL ConsisteDeTeste(const char* inscricao, const char* uf) {
  g_chamadas.push_back({inscricao, uf});
  return g_resultado;
}

class BibliotecaDeTeste : public plataforma::Biblioteca {
 public:
  BibliotecaDeTeste(bool tem_funcao, std::vector<std::string>* pedidas) : tem_funcao_(tem_funcao), pedidas_(pedidas) {}
  plataforma::Status Funcao(const std::string& nome, plataforma::EnderecoFuncao* endereco) override {
    pedidas_->push_back(nome);
    if (!tem_funcao_ || nome != "ConsisteInscricaoEstadual")
      return plataforma::Status::Erro(plataforma::Falha::kNaoEncontrado, "no such function");
    *endereco = reinterpret_cast<plataforma::EnderecoFuncao>(&ConsisteDeTeste);  // NOLINT: an exported function
    return plataforma::Status::Ok();
  }

 private:
  bool tem_funcao_;
  std::vector<std::string>* pedidas_;
};

class AmbienteComBiblioteca : public plataforma::AmbienteIntermediario {
 public:
  enum class Modo { kComFuncao, kSemFuncao, kSemBiblioteca };
  explicit AmbienteComBiblioteca(Modo modo) : AmbienteIntermediario(plataforma::Ambiente::Padrao()), modo_(modo) {}

  plataforma::Status CarregarBiblioteca(const std::string& nome,
                                        std::unique_ptr<plataforma::Biblioteca>* biblioteca) override {
    carregadas.push_back(nome);
    if (modo_ == Modo::kSemBiblioteca)
      return plataforma::Status::Erro(plataforma::Falha::kNaoEncontrado, "cannot open shared object file");
    *biblioteca = std::make_unique<BibliotecaDeTeste>(modo_ == Modo::kComFuncao, &funcoes);
    return plataforma::Status::Ok();
  }

  std::vector<std::string> carregadas;
  std::vector<std::string> funcoes;

 private:
  Modo modo_;
};

class ConsisteInscricaoEstadual : public ::testing::Test {
 protected:
  void SetUp() override {
    g_chamadas.clear();
    g_resultado = 0;
  }
};

TEST_F(ConsisteInscricaoEstadual, TheLibraryIsBoundByNameAtTheFirstCallOnly) {
  AmbienteComBiblioteca ambiente(AmbienteComBiblioteca::Modo::kComFuncao);
  ExecucaoDeTeste t("GIAST02", ambiente);
  EXPECT_TRUE(ambiente.carregadas.empty()) << "nothing is loaded before the first call";

  EXPECT_EQ(valida::ConsisteInscricaoEstadual(t.run, "1234567       ", "RS"), 0);
  EXPECT_EQ(ambiente.carregadas, std::vector<std::string>{"DllInscE32"});
  EXPECT_EQ(ambiente.funcoes, std::vector<std::string>{"ConsisteInscricaoEstadual"});

  g_resultado = 1;
  EXPECT_NE(valida::ConsisteInscricaoEstadual(t.run, "12345678901234", "SP"), 0);
  EXPECT_EQ(ambiente.carregadas.size(), 1U) << "bound once for the run";
  EXPECT_EQ(ambiente.funcoes.size(), 1U);

  // The registration as the caller cut it, trailing blanks included, and the state code.
  ASSERT_EQ(g_chamadas.size(), 2U);
  EXPECT_EQ(g_chamadas[0].inscricao, "1234567       ");
  EXPECT_EQ(g_chamadas[0].uf, "RS");
  EXPECT_EQ(g_chamadas[1].inscricao, "12345678901234");
  EXPECT_EQ(g_chamadas[1].uf, "SP");
}

// Texts of any length reach the library whole and NUL-terminated.
TEST_F(ConsisteInscricaoEstadual, TextsOfAnyLengthReachTheLibraryWhole) {
  AmbienteComBiblioteca ambiente(AmbienteComBiblioteca::Modo::kComFuncao);
  ExecucaoDeTeste t("GIAST02", ambiente);
  const std::vector<std::string> textos = {"", "1", std::string(31, '7'), std::string(32, '8'), std::string(300, '9')};
  for (const std::string& texto : textos) {
    g_chamadas.clear();
    EXPECT_EQ(valida::ConsisteInscricaoEstadual(t.run, texto, texto), 0);
    ASSERT_EQ(g_chamadas.size(), 1U);
    EXPECT_EQ(g_chamadas[0].inscricao, texto) << texto.size() << " characters";
    EXPECT_EQ(g_chamadas[0].uf, texto) << texto.size() << " characters";
  }
}

// The library sees a text up to its first NUL: a field that holds one is
// refused whatever the library would say of the part before it.
TEST_F(ConsisteInscricaoEstadual, AFieldHoldingANulIsRefused) {
  using namespace std::string_literals;
  const struct {
    std::string inscricao;
    std::string uf;
    bool passa;
    const char* regra;
  } casos[] = {
      {"805185305     ", "SP", true, "blanks after the digits"},
      {"805185305  \0   "s, "SP", false, "a NUL among the trailing blanks"},
      {"\0             "s, "SP", false, "a NUL first"},
  };
  AmbienteComBiblioteca ambiente(AmbienteComBiblioteca::Modo::kComFuncao);
  ExecucaoDeTeste t("GIAST02", ambiente);
  g_resultado = 0;  // the library accepts all it sees
  for (const auto& c : casos)
    EXPECT_EQ(valida::ConsisteInscricaoEstadual(t.run, c.inscricao, c.uf) == 0, c.passa) << c.regra;
  EXPECT_EQ(ambiente.carregadas, std::vector<std::string>{"DllInscE32"}) << "bound at the first call all the same";
}

TEST_F(ConsisteInscricaoEstadual, OnlyZeroPasses) {
  const struct {
    std::int16_t devolvido;
    bool passa;
  } casos[] = {{0, true}, {1, false}, {-1, false}, {2, false}, {256, false}, {32767, false}, {-32768, false}};
  AmbienteComBiblioteca ambiente(AmbienteComBiblioteca::Modo::kComFuncao);
  ExecucaoDeTeste t("GIAST02", ambiente);
  for (const auto& c : casos) {
    g_resultado = c.devolvido;
    const int resultado = valida::ConsisteInscricaoEstadual(t.run, "12345678901234", "RS");
    EXPECT_EQ(resultado == 0, c.passa) << "library result " << c.devolvido;
    EXPECT_EQ(resultado, c.devolvido);
  }
}

TEST_F(ConsisteInscricaoEstadual, AMissingLibraryOrFunctionIsAFileNotFound) {
  for (const auto modo : {AmbienteComBiblioteca::Modo::kSemBiblioteca, AmbienteComBiblioteca::Modo::kSemFuncao}) {
    AmbienteComBiblioteca ambiente(modo);
    ExecucaoDeTeste t("GIAST02", ambiente);
    const char* caso = modo == AmbienteComBiblioteca::Modo::kSemBiblioteca ? "missing library" : "missing function";
    try {
      (void)valida::ConsisteInscricaoEstadual(t.run, "12345678901234", "RS");
      ADD_FAILURE() << caso << ": no failure";
    } catch (const valida::FalhaExecucao& falha) {
      EXPECT_EQ(falha.falha(), plataforma::Falha::kNaoEncontrado) << caso;
    }
    EXPECT_TRUE(g_chamadas.empty()) << caso;
  }
}

}  // namespace
