// GeraSaida: the rejection report or the transmission receipt, and the
// verdict. Both results are written aside and renamed into place only when
// whole, so a full disk never leaves the caller's "param.txt" cut short.
// "saida.txt" is an ArquivoTexto like the work files it is made of, so that
// its lines show control characters as '?'; "param.txt" keeps the caller's
// first line byte for byte.
#include "valida/output/saida.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "valida/checks/formato.h"
#include "valida/run/parametros.h"
#include "valida/run/texto.h"

namespace valida {

namespace {

constexpr std::size_t kLarguraRecibo = 70;

const std::string kHifens73(73, '-');
const std::string kHifens70(70, '-');
// The headings of a receipt whose parameters leave them blank.
const std::string kOrgaoPadrao = std::string(29, ' ') + "ORBELANDA" + std::string(31, ' ');
const std::string kEstadoPadrao = std::string(30, ' ') + "VALDORIA" + std::string(23, ' ');

// The receipt's lines that are made of parts, put together in one buffer
// that every such line reuses.
class Montador {
 public:
  // Room for the longest such line: a centred heading of 70 characters.
  Montador() { linha_.reserve(2 * kLarguraRecibo); }
  std::string_view Junta(std::initializer_list<std::string_view> partes) {
    linha_.clear();
    for (const std::string_view parte : partes) linha_ += parte;
    return linha_;
  }
  // The text trimmed and preceded by (70 - its length) / 2 blanks; in lower
  // case with `minusculas`.
  std::string_view Centrada(std::string_view texto, bool minusculas = false) {
    const std::string_view aparado = Apara(texto);
    const std::size_t recuo = aparado.size() < kLarguraRecibo ? (kLarguraRecibo - aparado.size()) / 2 : 0;
    linha_.assign(recuo, ' ');
    for (const char c : aparado) linha_ += minusculas ? cp1252::Minuscula(c) : c;
    return linha_;
  }

 private:
  std::string linha_;
};

// "param.txt" anew: the caller's first line byte for byte, then the verdict.
class Veredito {
 public:
  // `caminho` lives as long as the verdict.
  Veredito(Execucao& run, const std::string& caminho) : caminho_(caminho) {
    Exige(run.ambiente.CriarEscrita(caminho_, &arquivo_), caminho_);
  }
  void Linha(std::string_view texto) {
    Exige(arquivo_->Escrever(texto), caminho_);
    Exige(arquivo_->Escrever("\r\n"), caminho_);
  }
  void Fecha() { Exige(arquivo_->Fechar(), caminho_); }

 private:
  const std::string& caminho_;
  std::unique_ptr<plataforma::ArquivoEscrita> arquivo_;
};

void EscreveRelatorio(Execucao& run, ArquivoTexto& saida) {
  saida.EscreveLinha("ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:");
  saida.EscreveLinha(kHifens73);
  saida.EscreveLinha(LayoutInscricao(run.parametros.TipoDocumento)
                         ? "Inscrição      Período Lin Ini Fim Descrição do Erro"_cp
                         : "CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp);
  saida.EscreveLinha(kHifens73);
  saida.Copia(run.ambiente, run.caminhos.ListaErros);
}

void EscreveRecibo(Execucao& run, ArquivoTexto& saida) {
  const Parametros& p = run.parametros;
  Montador m;
  // A receipt is only written for valid parameters: never for a blank kind.
  const bool st = LayoutInscricao(p.TipoDocumento);
  saida.EscreveLinha("                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp);
  saida.EscreveLinha(Apara(p.CabecalhoOrgao).empty() ? kOrgaoPadrao : m.Centrada(p.CabecalhoOrgao));
  saida.EscreveLinha(Apara(p.CabecalhoEstado).empty() ? kEstadoPadrao : m.Centrada(p.CabecalhoEstado));
  saida.EscreveLinha("");
  saida.EscreveLinha("  Nro Protocolo:                Data:              Hora:");
  saida.EscreveLinha(m.Junta({"  Documento    :", p.TipoDocumento, "    Chave:"}));
  saida.EscreveLinha(m.Junta({"  E-Mail       :", p.EmailContribuinte}));
  saida.EscreveLinha("");
  saida.EscreveLinha("  Apontamos  o  recebimento  do  arquivo  descrito  acima.   Para  sua");
  saida.EscreveLinha(st ? "maior  segurança  quanto  à  entrega  de  suas  GIAs ST,  recomendamos"_cp
                        : "maior  segurança   quanto  à  entrega  de  suas   GIAs,   recomendamos"_cp);
  saida.EscreveLinha("verificar  na  caixa postal  que V.Sa. escolheu  quando da transmissão"_cp);
  saida.EscreveLinha(st ? "do arquivo,  os  recibos  definitivos  das  GIAs ST  remetidas."
                        : "do arquivo, os  recibos  definitivos  das  GIAs  remetidas.");
  if (!Apara(p.EnderecoConsulta).empty()) {
    saida.EscreveLinha("  Caso haja qualquer  problema  no  recebimento  de suas mensagens, os");
    saida.EscreveLinha("recibos definitivos  poderão  ser  consultados  on-line  no  endereço:"_cp);
    saida.EscreveLinha("");
    saida.EscreveLinha(m.Centrada(p.EnderecoConsulta, true));
  }
  saida.EscreveLinha("");
  saida.EscreveLinha(st ? "GIA(s) ST TRANSMITIDAS(s)" : "GIA(s) TRANSMITIDAS(s)");
  saida.EscreveLinha(kHifens70);
  saida.EscreveLinha(st ? "INSCRIÇÃO      REFER    INSCRIÇÃO      REFER    INSCRIÇÃO      REFER"_cp
                        : "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER");
  saida.EscreveLinha(kHifens70);
  saida.Copia(run.ambiente, run.caminhos.ListaRecibo);
  saida.EscreveLinha("");
  saida.EscreveLinha("");
  saida.EscreveLinha(
      m.Junta({"Comprovante de transmissão representativo de   "_cp, Formata(run.QtdGIAs, kPictureNumero),
               st ? "  GIAs ST (sem valor" : "   GIAs  (sem  valor"}));
  saida.EscreveLinha("fiscal). Este comprovante será substituído pelo  recibo definitivo  da"_cp);
  saida.EscreveLinha(st ? "entrega da(s) GIA(s) ST após o processamento das informações."_cp
                        : "entrega da(s) GIA(s) após o processamento das informações."_cp);
}

}  // namespace

void GeraSaida(Execucao& run, std::string_view linha_parametros) {
  const std::string& parametros = run.caminhos.Parametros;
  const std::string& saida = run.caminhos.Saida;
  const std::string& parametros_novo = run.caminhos.ParametrosNovo;
  const std::string& saida_novo = run.caminhos.SaidaNovo;
  try {
    Veredito verdito(run, parametros_novo);
    verdito.Linha(linha_parametros);
    ArquivoTexto relatorio;
    relatorio.Cria(run.ambiente, saida_novo, ArquivoTexto::Uso::kResultado);
    if (run.HouveErro) {
      EscreveRelatorio(run, relatorio);
    } else {
      EscreveRecibo(run, relatorio);
    }
    verdito.Linha(run.HouveErro ? "NOK" : "OK");
    relatorio.Fecha();
    verdito.Fecha();
    // The caller's file keeps its permissions; failing that, the new file
    // keeps the usual ones, and the verdict still counts.
    (void)run.ambiente.CopiarPermissoes(parametros, parametros_novo);
    Exige(run.ambiente.Renomear(saida_novo, saida), saida);
    Exige(run.ambiente.Renomear(parametros_novo, parametros), parametros);
  } catch (...) {
    // The failure that ends the run is the one to report; a temporary that
    // stays behind is replaced by the next run.
    (void)run.ambiente.Apagar(parametros_novo);
    (void)run.ambiente.Apagar(saida_novo);
    throw;
  }
  // The results are complete and in place: a work file that cannot be
  // deleted is left behind (the next run replaces it) rather than failing them.
  (void)run.ambiente.Apagar(run.caminhos.ListaErros);
  (void)run.ambiente.Apagar(run.caminhos.ListaRecibo);
}

}  // namespace valida
