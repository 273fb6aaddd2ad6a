// The receipt entry of a declaration: the usual one (ten and six digits, or
// a registration and six digits) is written in place, any other through the
// pictures; both must give the entry that the pictures give, padded or cut to
// its columns.
#include "valida/checks/recibo.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/valida/execucao_teste.h"
#include "valida/checks/formato.h"

namespace {

std::string Coluna(std::string texto, std::size_t largura) {
  texto.resize(largura, ' ');
  return texto;
}

std::string EntradaPelasPictures(std::string_view cgcte, std::string_view periodo) {
  return Coluna(valida::Formata(cgcte, valida::kPictureCGCTE), 11) + "    " +
         Coluna(valida::Formata(periodo, valida::kPicturePeriodo), 7) + "  ";
}

TEST(AcrescentaReciboCGCTE, EveryEntryIsWhatThePicturesPrint) {
  const std::string_view cgctes[] = {"1234567897",
                                     "0000000000",
                                     "123456789",
                                     "12345678970",
                                     " 123456789",
                                     "123456789 ",
                                     "12345A7897",
                                     std::string_view("1234\0"
                                                      "67897",
                                                      10),
                                     "",
                                     "          ",
                                     "123/456789",
                                     "\xB1\x32\x33\x34\x35\x36\x37\x38\x39\x30"};
  const std::string_view periodos[] = {"091998", "000000", "09199", "0919981", "09199X", " 91998", "", "09/998"};
  for (const std::string_view cgcte : cgctes)
    for (const std::string_view periodo : periodos) {
      valida::teste::ExecucaoDeTeste t("GIA03");
      t.run.InscricaoAtual = cgcte;
      t.run.PeriodoAtual = periodo;
      valida::AcrescentaReciboCGCTE(t.run);
      EXPECT_EQ(t.run.LinhaRecibo, EntradaPelasPictures(cgcte, periodo)) << "[" << cgcte << "] [" << periodo << "]";
    }
}

// The registration layout: the registration cut or padded to 14 columns, a
// blank, the period through its picture.
TEST(AcrescentaReciboInscricao, EveryEntryIsWhatThePicturesPrint) {
  const std::string_view inscricoes[] = {"123456789",
                                         "12345678901234",
                                         "123456789012345",
                                         " 123456789",
                                         "",
                                         "P123456789012",
                                         std::string_view("1234\0"
                                                          "6789",
                                                          9)};
  const std::string_view periodos[] = {"092008", "000000", "09200", "0920081", "09200X", " 92008", "", "09/008"};
  for (const std::string_view inscricao : inscricoes)
    for (const std::string_view periodo : periodos) {
      valida::teste::ExecucaoDeTeste t("GIAST02");
      t.run.InscricaoAtual = inscricao;
      t.run.PeriodoAtual = periodo;
      valida::AcrescentaReciboInscricao(t.run);
      EXPECT_EQ(t.run.LinhaRecibo, Coluna(std::string(inscricao.substr(0, 14)), 14) + " " +
                                       Coluna(valida::Formata(periodo, valida::kPicturePeriodo), 7) + "  ")
          << "[" << inscricao << "] [" << periodo << "]";
    }
}

// Three entries make a receipt line; the entries of the usual and the
// unusual paths sit side by side in it.
TEST(AcrescentaReciboCGCTE, ThreeEntriesMakeALine) {
  valida::teste::ExecucaoDeTeste t("GIAST01");
  for (const std::string_view cgcte : {"1234567897", "12345A7897", "0000000000"}) {
    t.run.InscricaoAtual = cgcte;
    t.run.PeriodoAtual = "122001";
    valida::AcrescentaReciboCGCTE(t.run);
  }
  EXPECT_EQ(t.run.LinhaRecibo, "");
  EXPECT_EQ(t.Recibo(),
            (std::vector<std::string>{"123/4567897    12/2001  12345A7897     12/2001  000/0000000    12/2001  "}));
}

}  // namespace
