// The line writers: the prefix, the 40000-byte line and its replacement, the
// hex dump byte for byte, and EventoLog.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "auxiliar.h"
#include "common/cp1252.h"
#include "jvmlaunch/log/log.h"

namespace jvmlaunch {
namespace {

class GravaLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciaLog();
    pasta_ = teste::PastaNova("grava");
    DefineCaminhoLog(pasta_ + "/t");
    NivelLog = 7;
  }
  void TearDown() override { ReiniciaLog(); }
  // The file after its INICIO banner.
  [[nodiscard]] std::string Mensagens() const {
    const std::string log = teste::Le(pasta_ + "/t.LOG");
    const std::size_t fim = log.find("\r\n\r\n");
    return fim == std::string::npos ? log : log.substr(fim + 4);
  }
  std::string pasta_;
};

std::string Brancos(std::size_t n) { return std::string(n, ' '); }

TEST_F(GravaLogTest, PrefixCarriesTimeThreadAndLevel) {
  GravaLog(3, "x %d %s\n", 5, "y");
  const std::regex linha(R"(\d\d/\d\d \d\d:\d\d:\d\d\.\d\d\d\[)" + std::to_string(plataforma::IdThreadAtual()) +
                         R"(\.3\]:x 5 y\r\n)");
  EXPECT_TRUE(std::regex_match(Mensagens(), linha)) << Mensagens();
}

TEST_F(GravaLogTest, ALineLongerThanTheBufferIsReplaced) {
  GravaLog(0, "x\n");
  const std::size_t prefixo = Mensagens().find('x');
  ASSERT_NE(prefixo, std::string::npos);
  // The prefix and the message share 39999 characters.
  const std::size_t cabe = 39999 - prefixo;
  const std::string aviso = std::string("ATENÇÃO: LOG com falta de espaço"_cp) + "\r\n";
  struct Caso {
    std::size_t tamanho;  // of the expansion, its "\n" included
    bool inteira;
  };
  for (const Caso c : {Caso{cabe, true}, Caso{cabe + 1, false}, Caso{100000, false}}) {
    SCOPED_TRACE(c.tamanho);
    ReiniciaLog();
    DefineCaminhoLog(pasta_ + "/t");
    NivelLog = 7;
    const std::string texto(c.tamanho - 1, 'm');
    GravaLog(0, "%s\n", texto.c_str());
    const std::string m = Mensagens();
    if (c.inteira) {
      EXPECT_EQ(m.size(), prefixo + c.tamanho + 1);
      EXPECT_EQ(m.substr(prefixo), texto + "\r\n");
    } else {
      EXPECT_EQ(m, aviso);
      EXPECT_EQ(aviso.size(), 34U);
    }
  }
}

TEST_F(GravaLogTest, EventoLogMarksTheHostsLine) {
  EventoLog(0, "x");
  EventoLog(3, nullptr);
  EventoLog(8, "acima do nivel");
  EventoLog(-1, "nivel negativo");
  EXPECT_EQ(teste::Mascara(Mensagens()), "<0>******* x\r\n<3>******* \r\n");
}

std::vector<unsigned char> Bytes(std::size_t n, unsigned char primeiro = 0) {
  std::vector<unsigned char> b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(primeiro + i);
  return b;
}

TEST_F(GravaLogTest, HexDumpOfShortBlocksByteForByte) {
  const std::string f16 = "30 31 32 33 34 35 36 37 38 39 3a 3b 3c 3d 3e 3f ";
  const std::vector<unsigned char> classes = {0x00, 0x1f, 0x20, 0x21, 0x7e, 0x7f, 0x80, 0xff,
                                              'a',  'Z',  '\n', '\r', '.',  '%',  '\\', '"'};
  struct Caso {
    const char* nome;
    std::vector<unsigned char> bytes;
    std::string dump;  // what follows "    msg:    "
  };
  const std::vector<Caso> casos = {
      {"0 bytes: just a line end", {}, "\r\n"},
      {"1 byte", {'A'}, "41 " + Brancos(15 * 3) + "   A" + Brancos(15) + "\r\n\r\n"},
      {"15 bytes", Bytes(15, 0x30), f16.substr(0, 45) + "   " + "   0123456789:;<=> " + "\r\n\r\n"},
      {"16 bytes", Bytes(16, 0x30), f16 + "   0123456789:;<=>?\r\n\r\n"},
      {"17 bytes: a second row of one byte, padded", Bytes(17, 0x30),
       f16 + "   0123456789:;<=>?\r\n" + Brancos(12) + "40 " + Brancos(45) + "   @" + Brancos(15) + "\r\n\r\n"},
      {"bytes below 32 and above 126 show as dots", classes,
       "00 1f 20 21 7e 7f 80 ff 61 5a 0a 0d 2e 25 5c 22    .. !~...aZ...%\\\"\r\n\r\n"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    ReiniciaLog();
    DefineCaminhoLog(pasta_ + "/t");
    NivelLog = 7;
    GravaLogHex(3, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(teste::Mascara(Mensagens()), "<3> tam: " + std::to_string(c.bytes.size()) + "\r\n    msg:    " + c.dump);
  }
}

TEST_F(GravaLogTest, HexDumpOf1000BytesIsWhole) {
  const std::vector<unsigned char> b = Bytes(1000);
  GravaLogHex(3, b.data(), b.size());
  const std::vector<std::string> l = teste::Linhas(teste::Mascara(Mensagens()));
  ASSERT_EQ(l.size(), 1 + 63 + 1U);
  EXPECT_EQ(l[0], "<3> tam: 1000");
  EXPECT_EQ(l[1], "    msg:    00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f    ................");
  EXPECT_EQ(l[3], Brancos(12) + "20 21 22 23 24 25 26 27 28 29 2a 2b 2c 2d 2e 2f     !\"#$%&'()*+,-./");
  EXPECT_EQ(l[63], Brancos(12) + "e0 e1 e2 e3 e4 e5 e6 e7 " + Brancos(24) + "   ........" + Brancos(8));
  EXPECT_EQ(l[64], "");
}

TEST_F(GravaLogTest, HexDumpOf1001BytesIsShortenedAtLevel8OrBelow) {
  const std::vector<unsigned char> b = Bytes(1001);
  GravaLogHex(7, b.data(), b.size());
  const std::vector<std::string> l = teste::Linhas(teste::Mascara(Mensagens()));
  ASSERT_EQ(l.size(), 1 + 16 + 4 + 16 + 1U);
  EXPECT_EQ(l[0], "<7> tam: 1001");
  EXPECT_EQ(l[1], "    msg:    00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f    ................");
  EXPECT_EQ(l[16], Brancos(12) + "f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff    ................");
  EXPECT_EQ(l[17], "");
  EXPECT_EQ(l[18], "<<<<<<<<<<<<<<<<... saltando 489 bytes ... >>>>>>>>>>>>>>>>>>>>>>>>>");
  EXPECT_EQ(l[19], "");
  EXPECT_EQ(l[20], "");
  // Byte 745 is 0xe9; the label takes the place of the 12 blanks.
  EXPECT_EQ(l[21], "      745:  e9 ea eb ec ed ee ef f0 f1 f2 f3 f4 f5 f6 f7 f8    ................");
  EXPECT_EQ(l[22], Brancos(12) + "f9 fa fb fc fd fe ff 00 01 02 03 04 05 06 07 08    ................");
  EXPECT_EQ(l[36], Brancos(12) + "d9 da db dc dd de df e0 e1 e2 e3 e4 e5 e6 e7 e8    ................");
  EXPECT_EQ(l[37], "");
}

TEST_F(GravaLogTest, HexDumpIsWholeAboveLevel8) {
  NivelLog = 9;
  const std::vector<unsigned char> b = Bytes(1001);
  GravaLogHex(9, b.data(), b.size());
  const std::vector<std::string> l = teste::Linhas(teste::Mascara(Mensagens()));
  ASSERT_EQ(l.size(), 1 + 63 + 1U);
  EXPECT_EQ(l[0], "<9> tam: 1001");
  EXPECT_EQ(l[63], Brancos(12) + "e0 e1 e2 e3 e4 e5 e6 e7 e8 " + Brancos(21) + "   ........." + Brancos(7));
}

}  // namespace
}  // namespace jvmlaunch
