// The contract common to every state: the state code, trailing blanks, the
// characters allowed, null pointers and any length; the same contract over
// every valid example of the state tables; and the library loaded by name
// from valida's folder, as valida binds it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chamada.h"
#include "exemplos.h"
#include "platform/ambiente.h"

namespace dllinsce32::teste {
namespace {

struct Caso {
  std::string uf;
  std::string inscricao;
  int esperado;
  const char* regra;
};

void Confere(const std::vector<Caso>& casos) {
  for (const Caso& c : casos)
    EXPECT_EQ(Consiste(c.inscricao, c.uf), c.esperado) << c.uf << " \"" << c.inscricao << "\": " << c.regra;
}

TEST(Contrato, TrailingBlanksAloneAreDropped) {
  Confere({
      {"SP", "110042490114  ", 0, "Trailing blanks are removed"},
      {"AC", "0100482300112 ", 0, "Trailing blank is removed"},
      {"RJ", "99999993      ", 0, "14-character field, blank padded"},
      {"SP", "P011004243002 ", 0, "Rural form with a trailing blank"},
      {"SP", "110042490114" + std::string(100, ' '), 0, "Any number of trailing blanks"},
      {"SP", "110042490114\t", 1, "A trailing tab is no blank"},
      {"SP", "110042490114\r\n", 1, "A line end is no blank"},
      {"SP", "110042490114\xA0", 1, "A no-break space (0xA0) is no blank"},
      {"SP", "", 1, "Empty text"},
      {"SP", "              ", 1, "Blanks only"},
      {"SP", " ", 1, "One blank"},
  });
}

TEST(Contrato, EveryCharacterIsADigit) {
  Confere({
      {"SP", " 110042490114", 1, "Leading blank"},
      {"SP", "110042 490114", 1, "Inner blank"},
      {"SP", "110.042.490.114", 1, "Dots"},
      {"PR", "12345678-50", 1, "Dash"},
      {"AC", "01.004.823/001-12", 1, "Punctuation"},
      {"SP", "P-01100424.3/002", 1, "Punctuation in the rural form"},
      {"SP", "11004249011A", 1, "Letter"},
      {"RJ", "9999999O", 1, "Letter O for a zero"},
      {"RJ", "\t99999993", 1, "Leading tab"},
      {"RJ", "+9999993", 1, "Sign"},
      {"RJ", "9999999\xB3", 1, "Byte above 0x7F (superscript three)"},
      {"RJ",
       "\xFF"
       "9999993",
       1, "Byte 0xFF"},
      {"RJ", "\xD9\xA9\xD9\xA9\xD9\xA9\xD9\xA9", 1, "UTF-8 bytes of non-ASCII digits"},
  });
}

TEST(Contrato, OnlySaoPauloTakesALeadingUpperCaseP) {
  Confere({
      {"SP", "P011004243002", 0, "Rural producer"},
      {"SP", "p011004243002", 1, "Lower-case p"},
      {"MG", "P062307904008", 1, "Letter P outside SP"},
      {"SP", "P 011004243002", 1, "Blank after the P"},
      {"SP", " P011004243002", 1, "Blank before the P"},
  });
}

TEST(Contrato, TheStateCodeIsOneOfThe27ExactlyAsWritten) {
  Confere({
      {"XX", "110042490114", 1, "Unknown state code"},
      {"sp", "110042490114", 1, "State code in lower case"},
      {"Sp", "110042490114", 1, "State code in mixed case"},
      {"", "060000015", 1, "Empty state code"},
      {"S", "110042490114", 1, "One letter"},
      {"SPX", "110042490114", 1, "Three letters"},
      {"SP ", "110042490114", 1, "Trailing blank in the state code"},
      {" SP", "110042490114", 1, "Leading blank in the state code"},
      {"C|", "060000015", 1, "Separator of the list of codes"},
      {"BR", "060000015", 1, "The country"},
  });
}

TEST(Contrato, NothingIsReadPastTheNul) {
  EXPECT_EQ(ConsisteInscricaoEstadual(std::string("110042490114\0"
                                                  "9",
                                                  14)
                                          .c_str(),
                                      "SP"),
            0)
      << "stops at the NUL";
  EXPECT_EQ(ConsisteInscricaoEstadual(std::string("11004249\0"
                                                  "0114",
                                                  13)
                                          .c_str(),
                                      "SP"),
            1)
      << "only 8 digits seen";
  EXPECT_EQ(ConsisteInscricaoEstadual("110042490114", std::string("SP\0X", 4).c_str()), 0) << "state code ends at NUL";
}

TEST(Contrato, NullPointersAreInvalidNeverACrash) {
  EXPECT_EQ(ConsisteInscricaoEstadual(nullptr, "SP"), 1);
  EXPECT_EQ(ConsisteInscricaoEstadual("110042490114", nullptr), 1);
  EXPECT_EQ(ConsisteInscricaoEstadual(nullptr, nullptr), 1);
}

TEST(Contrato, AnyLengthIsJudgedByTheStateRule) {
  const std::string digitos(100000, '1');
  for (const TabelaEstado& t : kTabelas) EXPECT_EQ(Consiste(digitos, t.uf), 1) << t.uf;
  EXPECT_EQ(Consiste("110042490114" + std::string(100000, '0'), "SP"), 1);
  EXPECT_EQ(Consiste("110042490114" + std::string(100000, ' '), "SP"), 0);
  EXPECT_EQ(Consiste("110042490114" + std::string(1000, ' ') + "4", "SP"), 1);
  std::string rural(100001, '0');
  rural.front() = 'P';
  EXPECT_EQ(Consiste(rural, "SP"), 1);
}

// The contract over every example of the state tables.
class ContratoEmCadaEstado : public ::testing::TestWithParam<TabelaEstado> {};

TEST_P(ContratoEmCadaEstado, BlanksLettersAndThePAroundEveryExample) {
  const std::string_view uf = GetParam().uf;
  for (const Exemplo& e : GetParam().exemplos) {
    const std::string i(e.inscricao);
    const std::string nome = std::string(uf) + " \"" + i + "\"";
    if (i.size() < 14) {
      EXPECT_EQ(Consiste(i + std::string(14 - i.size(), ' '), uf), e.esperado) << nome << " to 14";
    }
    EXPECT_EQ(Consiste(i + "  ", uf), e.esperado) << nome << " with two trailing blanks";
    if (e.esperado != 0) continue;
    EXPECT_EQ(Consiste(" " + i, uf), 1) << nome << " leading blank";
    EXPECT_EQ(Consiste(i.substr(0, 1) + " " + i.substr(1), uf), 1) << nome << " inner blank";
    EXPECT_EQ(Consiste(i + "\t", uf), 1) << nome << " trailing tab";
    EXPECT_EQ(Consiste(i + ".", uf), 1) << nome << " trailing dot";
    EXPECT_EQ(Consiste(i.substr(0, 2) + "." + i.substr(2), uf), 1) << nome << " dot";
    EXPECT_EQ(Consiste(i.substr(0, i.size() - 1) + "-" + i.substr(i.size() - 1), uf), 1) << nome << " dash";
    if (uf != "SP") {
      EXPECT_EQ(Consiste("P" + i, uf), 1) << nome << " with a P";
    }
    if (i.starts_with('P')) {
      std::string p_minusculo = i;
      p_minusculo.front() = 'p';
      EXPECT_EQ(Consiste(p_minusculo, uf), 1) << nome << " lower-case p";
    }
    std::string minusculo(uf);
    for (char& c : minusculo) c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(Consiste(i, minusculo), 1) << nome << " state code in lower case";
  }
}

INSTANTIATE_TEST_SUITE_P(Estados, ContratoEmCadaEstado, ::testing::ValuesIn(kTabelas),
                         [](const ::testing::TestParamInfo<TabelaEstado>& info) { return std::string(info.param.uf); });

// valida binds the library by its base name in its own folder and the function
// by its plain name, through a pointer of this type.
using FuncaoConsisteInscricao = std::int16_t(PLATAFORMA_STDCALL*)(const char* inscricao, const char* uf);

TEST(Carga, TheLibraryBesideValidaExportsTheFunctionByItsPlainName) {
  std::unique_ptr<plataforma::Biblioteca> biblioteca;
  const plataforma::ResultadoSistema r = plataforma::CarregarModulo(BIBLIOTECA_DE_VALIDA, &biblioteca);
  ASSERT_TRUE(r.ok) << BIBLIOTECA_DE_VALIDA << ": " << r.texto;
  plataforma::EnderecoFuncao endereco = nullptr;
  ASSERT_TRUE(biblioteca->Funcao("ConsisteInscricaoEstadual", &endereco).ok());
  const auto consiste = reinterpret_cast<FuncaoConsisteInscricao>(endereco);  // NOLINT: bound by name
  EXPECT_EQ(consiste("110042490114  ", "SP"), 0);
  EXPECT_EQ(consiste("110042490115  ", "SP"), 1);
  EXPECT_EQ(consiste("2243658792    ", "RS"), 0);
}

}  // namespace
}  // namespace dllinsce32::teste
