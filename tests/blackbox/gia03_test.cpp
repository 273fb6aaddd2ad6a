// Whole GIA version 3 files through the built program: the receipt of
// generated valid files (one line, a few, many thousand) and reports of the
// record rules, compared byte for byte.
#include "tests/geradores/gia03.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "tests/blackbox/pasta_valida.h"

namespace {

using geradores::DeclaracaoGerada;
using geradores::Digitos;
using geradores::Poe;
using Linhas = std::vector<std::string>;

const std::string kEmail = "contribuinte@exemplo.com.br";

// Runs the file as kind GIA03; the verdict must be `veredicto` and no work
// file may be left. Returns saida.txt's lines.
Linhas Valida(const std::string& arquivo, const std::string& veredicto) {
  blackbox::PastaValida pasta;
  pasta.EscreveArquivo("gia03.txt", arquivo);
  pasta.EscreveParametros("GIA03", blackbox::PastaValida::CaminhoDoPrograma(pasta.Caminho() / "gia03.txt"));
  EXPECT_EQ(pasta.Executa(), 0) << pasta.Erro();
  const Linhas parametros = pasta.LinhasParametros();
  EXPECT_EQ(parametros.size(), 2U);
  if (parametros.size() == 2) {
    EXPECT_EQ(parametros[1], veredicto);
  }
  EXPECT_FALSE(pasta.Existe("aux00001.txt"));
  EXPECT_FALSE(pasta.Existe("aux00002.txt"));
  return pasta.LinhasSaida();
}

// The whole receipt in GIA wording, default headings, no consultation address.
Linhas Recibo(const Linhas& lista, int quantas) {
  const std::string hifens(70, '-');
  Linhas linhas = {
      std::string("                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp),
      std::string(29, ' ') + "ORBELANDA" + std::string(31, ' '),
      std::string(30, ' ') + "VALDORIA" + std::string(23, ' '),
      "",
      "  Nro Protocolo:                Data:              Hora:",
      "  Documento    :GIA03           Chave:",
      "  E-Mail       :" + geradores::Texto(kEmail, 70),
      "",
      "  Apontamos  o  recebimento  do  arquivo  descrito  acima.   Para  sua",
      std::string("maior  segurança   quanto  à  entrega  de  suas   GIAs,   recomendamos"_cp),
      std::string("verificar  na  caixa postal  que V.Sa. escolheu  quando da transmissão"_cp),
      "do arquivo, os  recibos  definitivos  das  GIAs  remetidas.",
      "",
      "GIA(s) TRANSMITIDAS(s)",
      hifens,
      "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER",
      hifens,
  };
  linhas.insert(linhas.end(), lista.begin(), lista.end());
  char numero[16];
  std::snprintf(numero, sizeof numero, "%03d", quantas);
  linhas.insert(
      linhas.end(),
      {"", "", std::string("Comprovante de transmissão representativo de   "_cp) + numero + "   GIAs  (sem  valor",
       std::string("fiscal). Este comprovante será substituído pelo  recibo definitivo  da"_cp),
       std::string("entrega da(s) GIA(s) após o processamento das informações."_cp)});
  return linhas;
}

Linhas Relatorio(const Linhas& achados) {
  const std::string hifens(73, '-');
  Linhas linhas = {"ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:", hifens,
                   std::string("CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp), hifens};
  linhas.insert(linhas.end(), achados.begin(), achados.end());
  return linhas;
}

std::string Achado(std::string_view contribuinte_periodo, int linha, int primeira, int ultima, std::string_view texto) {
  char numeros[48];
  std::snprintf(numeros, sizeof numeros, " %03d %03d %03d ", linha, primeira, ultima);
  return std::string(contribuinte_periodo) + numeros + std::string(texto);
}

std::string V(long long valor) { return Digitos(valor, 16); }

std::string Registro(const std::vector<std::pair<int, std::string>>& mudancas) {
  std::string r = geradores::RegistroGIA03Zerado();
  for (const auto& [coluna, texto] : mudancas) Poe(r, coluna, texto);
  return r;
}

TEST(GIA03Arquivo, ReciboDeUmArquivoGerado) {
  const auto declaracoes = geradores::GeradorGIA03(31).Varias(7);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), Recibo(geradores::LinhasRecibo(declaracoes), 7));
}

TEST(GIA03Arquivo, ReciboDeUmaSoLinha) {
  const DeclaracaoGerada d = geradores::GeradorGIA03(5).Proxima();
  EXPECT_EQ(Valida(d.linha + "\r\n", "OK"), Recibo({d.EntradaRecibo()}, 1));
}

TEST(GIA03Arquivo, ReciboDeMilharesDeLinhas) {
  const auto declaracoes = geradores::GeradorGIA03(2026).Varias(12000);
  const Linhas lista = geradores::LinhasRecibo(declaracoes);
  ASSERT_EQ(lista.size(), 4000U);
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "OK"), Recibo(lista, 12000));
}

// Line numbers beyond the 16-bit range print in full.
TEST(GIA03Arquivo, AchadoNaLinha40000) {
  auto declaracoes = geradores::GeradorGIA03(40).Varias(40000);
  DeclaracaoGerada& ultima = declaracoes.back();
  Poe(ultima.linha, 116, V(std::stoll(ultima.linha.substr(115, 16)) + 1));
  EXPECT_EQ(Valida(geradores::Arquivo(declaracoes), "NOK"),
            Relatorio({Achado(ultima.EntradaRecibo().substr(0, 22), 40000, 116, 131, "Valor incorreto")}));
}

TEST(GIA03Arquivo, RelatorioDasRegrasDoRegistro) {
  const std::string contribuinte = "123/4567897    09/1998";
  const Linhas registros = {
      // 1: valid.
      Registro({}),
      // 2: due before the reference month: both instalment passes report it.
      Registro({{516, "31081998"}, {524, V(5)}, {484, V(5)}, {500, V(5)}}),
      // 3: a period that is no date, then a zero CGC/TE (the record's
      // taxpayer prints as 000/0000000 from the start).
      Registro({{20, "132005"}, {26, "0000000000"}}),
      // 4: an amount that is not numeric after a good due date: both passes.
      Registro({{516, "15091998"}, {524, "00000000000000-1"}}),
      // 5: another version on a later line is the validator's finding.
      Registro({{5, "04"}}),
      // 6: R5 is neither R4 + R3 nor the instalments and R6; the first
      // instalment is empty although R5 exceeds R6.
      Registro({{484, V(10)}, {500, V(11)}, {732, V(10)}}),
      // 7: C not numeric still takes rule 1 (A - B = 5).
      Registro({{84, V(5)}, {116, "               X"}}),
      // 8: every field blank after a good header.
      Registro({{84, std::string(796, ' ')}}),
  };
  Linhas esperado = {
      Achado(contribuinte, 2, 516, 523, "Vencimento Incorreto"),
      Achado(contribuinte, 2, 516, 523, "Vencimento Incorreto"),
      Achado("000/0000000    13/2005", 3, 20, 25, "Data Inválida"_cp),
      Achado("000/0000000    13/2005", 3, 26, 35, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 4, 524, 539, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 4, 524, 539, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 5, 5, 6, "Versão da GIA é incorreta"_cp),
      Achado(contribuinte, 6, 500, 515, "Valor incorreto"),
      Achado(contribuinte, 6, 500, 515, "Valor incorreto"),
      Achado(contribuinte, 6, 516, 523, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 6, 524, 539, "Campo obrigatório não informado"_cp),
      Achado(contribuinte, 7, 116, 131, "Campo numérico é esperado"_cp),
      Achado(contribuinte, 7, 116, 131, "Valor incorreto"),
  };
  const std::string numerico(std::string("Campo numérico é esperado"_cp));
  for (int coluna = 84; coluna <= 484; coluna += 16)
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 15, numerico));
  for (int coluna = 516; coluna <= 708; coluna += 24) {
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 7, numerico));
    esperado.push_back(Achado(contribuinte, 8, coluna + 8, coluna + 23, numerico));
  }
  esperado.push_back(Achado(contribuinte, 8, 732, 747, numerico));
  esperado.push_back(Achado(contribuinte, 8, 500, 515, numerico));
  for (int coluna = 748; coluna <= 860; coluna += 16)
    esperado.push_back(Achado(contribuinte, 8, coluna, coluna + 15, numerico));
  esperado.push_back(Achado(contribuinte, 8, 876, 879, numerico));

  EXPECT_EQ(Valida(blackbox::Texto(registros), "NOK"), Relatorio(esperado));
}

}  // namespace
