// The parameter line of "param.txt": its seven fixed-column fields and its
// validity rule.
#include "valida/run/parametros.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using valida::LeParametros;
using valida::Parametros;
using valida::ParametrosValidos;

// A parameter line of 388 columns, each field written from its first column.
std::string Linha(std::string_view identificador, std::string_view tipo, std::string_view arquivo = "/tmp/gia.txt",
                  std::string_view email = "contribuinte@exemplo.com.br", std::string_view endereco = "",
                  std::string_view orgao = "", std::string_view estado = "") {
  std::string linha(388, ' ');
  auto poe = [&](std::size_t coluna, std::string_view texto) { linha.replace(coluna - 1, texto.size(), texto); };
  poe(1, identificador);
  poe(9, tipo);
  poe(21, arquivo);
  poe(149, email);
  poe(219, endereco);
  poe(289, orgao);
  poe(359, estado);
  return linha;
}

std::string Preenchido(std::string_view texto, std::size_t largura) {
  std::string campo(texto);
  campo.resize(largura, ' ');
  return campo;
}

TEST(LeParametros, EachFieldIsCutTrimmedAndPaddedToItsWidth) {
  const std::string linha = Linha("  PARAM ", " GIA05", "  C:\\GIA\\ARQ.TXT", "a@b.c", " WWW.SEFAZ.VD ",
                                  "SECRETARIA DA FAZENDA", std::string(30, 'E'));
  const Parametros p = LeParametros(linha);
  EXPECT_EQ(p.Identificador, "PARAM   ");
  EXPECT_EQ(p.TipoDocumento, "GIA05       ");
  EXPECT_EQ(p.ArquivoDeclaracao, Preenchido("C:\\GIA\\ARQ.TXT", 128));
  EXPECT_EQ(p.EmailContribuinte, Preenchido("a@b.c", 70));
  EXPECT_EQ(p.EnderecoConsulta, Preenchido("WWW.SEFAZ.VD", 70));
  EXPECT_EQ(p.CabecalhoOrgao, Preenchido("SECRETARIA DA FAZENDA", 70));
  EXPECT_EQ(p.CabecalhoEstado, std::string(30, 'E'));
}

TEST(LeParametros, FieldsDoNotRunIntoEachOther) {
  // Every column filled: each field holds exactly its own columns.
  std::string linha;
  for (int i = 0; i < 400; ++i) linha += static_cast<char>('A' + i % 26);
  const Parametros p = LeParametros(linha);
  EXPECT_EQ(p.Identificador, linha.substr(0, 8));
  EXPECT_EQ(p.TipoDocumento, linha.substr(8, 12));
  EXPECT_EQ(p.ArquivoDeclaracao, linha.substr(20, 128));
  EXPECT_EQ(p.EmailContribuinte, linha.substr(148, 70));
  EXPECT_EQ(p.EnderecoConsulta, linha.substr(218, 70));
  EXPECT_EQ(p.CabecalhoOrgao, linha.substr(288, 70));
  EXPECT_EQ(p.CabecalhoEstado, linha.substr(358, 30)) << "nothing after column 388 is used";
}

TEST(LeParametros, TrimmingRemovesBlanksOnly) {
  const Parametros p = LeParametros(Linha("\tPARAM", "GIA05\t", "\t/x\t"));
  EXPECT_EQ(p.Identificador, "\tPARAM  ");
  EXPECT_EQ(p.TipoDocumento, "GIA05\t      ");
  EXPECT_EQ(p.ArquivoDeclaracao, Preenchido("\t/x\t", 128));
}

TEST(LeParametros, AShortLineLeavesTheMissingFieldsBlankAndKeepsWhatIsThere) {
  const std::string completa = Linha("PARAM", "GIA04", "/tmp/gia.txt", "contribuinte@exemplo.com.br", "WWW.X");
  const struct {
    const char* regra;
    std::size_t tamanho;
    std::string email;
    std::string endereco;
  } casos[] = {
      {"148 columns: no e-mail", 148, "", ""},
      {"149 columns: the e-mail's first character", 149, "c", ""},
      {"160 columns: the e-mail cut short", 160, "contribuinte", ""},
      {"218 columns: the whole e-mail, no address", 218, "contribuinte@exemplo.com.br", ""},
      {"220 columns: two characters of the address", 220, "contribuinte@exemplo.com.br", "WW"},
  };
  for (const auto& c : casos) {
    const Parametros p = LeParametros(completa.substr(0, c.tamanho));
    EXPECT_EQ(p.Identificador, "PARAM   ") << c.regra;
    EXPECT_EQ(p.TipoDocumento, "GIA04       ") << c.regra;
    EXPECT_EQ(p.ArquivoDeclaracao, Preenchido("/tmp/gia.txt", 128)) << c.regra;
    EXPECT_EQ(p.EmailContribuinte, Preenchido(c.email, 70)) << c.regra;
    EXPECT_EQ(p.EnderecoConsulta, Preenchido(c.endereco, 70)) << c.regra;
    EXPECT_EQ(p.CabecalhoOrgao, std::string(70, ' ')) << c.regra;
    EXPECT_EQ(p.CabecalhoEstado, std::string(30, ' ')) << c.regra;
  }
  const Parametros vazio = LeParametros("");
  EXPECT_EQ(vazio.Identificador, std::string(8, ' '));
  EXPECT_EQ(vazio.TipoDocumento, std::string(12, ' '));
  EXPECT_EQ(vazio.ArquivoDeclaracao, std::string(128, ' '));
  EXPECT_EQ(vazio.EmailContribuinte, std::string(70, ' '));
  const Parametros curta = LeParametros("PAR");
  EXPECT_EQ(curta.Identificador, "PAR     ");
  EXPECT_EQ(curta.TipoDocumento, std::string(12, ' '));
}

TEST(ParametrosValidos, MarkKindAndEmail) {
  const struct {
    const char* regra;
    std::string linha;
    bool valida;
  } casos[] = {
      {"PARAM in 1-5, blanks in 6-8", Linha("PARAM", "GIA05"), true},
      {"PARAM after leading blanks", Linha("  PARAM", "GIA05"), true},
      {"lower-case param", Linha("param", "GIA05"), false},
      {"a longer mark", Linha("PARAMS", "GIA05"), false},
      {"no mark", Linha("", "GIA05"), false},
      {"GIA03", Linha("PARAM", "GIA03"), true},
      {"GIA04", Linha("PARAM", "GIA04"), true},
      {"GIA05 followed by blanks up to column 20", Linha("PARAM", "GIA05       "), true},
      {"GIAST01", Linha("PARAM", "GIAST01"), true},
      {"GIAST02", Linha("PARAM", "GIAST02"), true},
      {"the kind after a leading blank", Linha("PARAM", " GIAST02"), true},
      {"a kind without the leading zero of its version", Linha("PARAM", "GIA5"), false},
      {"GIA ST without the leading zero", Linha("PARAM", "GIAST2"), false},
      {"a lower-case kind", Linha("PARAM", "gia05"), false},
      {"an unknown version", Linha("PARAM", "GIA06"), false},
      {"something after the kind in its field", Linha("PARAM", "GIA05      X"), false},
      {"no kind", Linha("PARAM", ""), false},
      {"a blank e-mail", Linha("PARAM", "GIA05", "/tmp/gia.txt", ""), false},
      {"an e-mail of blanks", Linha("PARAM", "GIA05", "/tmp/gia.txt", "      "), false},
      {"an e-mail at the field's end", Linha("PARAM", "GIA05", "/tmp/gia.txt", std::string(69, ' ') + "x"), true},
      {"a line of 148 columns has no e-mail", Linha("PARAM", "GIA05").substr(0, 148), false},
      {"no declaration path is still valid", Linha("PARAM", "GIA05", ""), true},
      {"an empty line", "", false},
  };
  for (const auto& c : casos) EXPECT_EQ(ParametrosValidos(LeParametros(c.linha)), c.valida) << c.regra;
}

TEST(PrimeiraLinha, EndsAtTheFirstCROrLF) {
  const struct {
    const char* regra;
    std::string conteudo;
    std::string linha;
  } casos[] = {
      {"CR LF", "PARAM\r\nOK\r\n", "PARAM"},
      {"a lone LF", "PARAM\nOK", "PARAM"},
      {"a lone CR", "PARAM\rOK", "PARAM"},
      {"no line end", "PARAM", "PARAM"},
      {"an empty file", "", ""},
      {"a first line that is empty", "\r\nPARAM\r\n", ""},
      {"NUL and high bytes are text", std::string("P\0\xE9\r\n", 5), std::string("P\0\xE9", 3)},
  };
  for (const auto& c : casos) EXPECT_EQ(valida::PrimeiraLinha(c.conteudo), c.linha) << c.regra;
}

}  // namespace
