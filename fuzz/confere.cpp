// The properties of a run, read from what it left in the in-memory folder.
#include "fuzz/confere.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/cp1252.h"

namespace fuzz {

namespace {

// The first line of "param.txt" is read no further than this.
constexpr std::size_t kMaiorLinhaParametros = 64 * 1024;

constexpr std::string_view kTituloRecibo = "                COMPROVANTE DE TRANSMISSÃO DE ARQUIVO                 "_cp;
constexpr std::string_view kRejeitado = "ARQUIVO REJEITADO. ENCAMINHAMOS ABAIXO OS ERROS ENCONTRADOS:";
constexpr std::string_view kTitulosInscricao = "Inscrição      Período Lin Ini Fim Descrição do Erro"_cp;
constexpr std::string_view kTitulosCGCTE = "CGC/TE         Período Lin Ini Fim Descrição do Erro"_cp;
constexpr std::string_view kListaST = "INSCRIÇÃO      REFER    INSCRIÇÃO      REFER    INSCRIÇÃO      REFER"_cp;
constexpr std::string_view kListaGIA = "CGC/TE         REFER    CGC/TE         REFER    CGC/TE         REFER";
constexpr std::string_view kContagem = "Comprovante de transmissão representativo de   "_cp;
constexpr std::string_view kAchado18 = "               00/0000 000 000 000 Arquivo de Parâmetros Inválido"_cp;
constexpr std::string_view kAchado21 = "               00/0000 000 000 000 Arquivo a ser validado não é GIA"_cp;
// GIA 4 and 5 print the finding of a CFOP whose annex amounts disagree
// (code 36) at 999-999: it concerns no column of any record. The one
// exception to the columns of a record, held to that code's exact text.
constexpr int kColunaForaDoRegistro = 999;
constexpr std::string_view kCFOPAntes = "Valor do CFOP ";
constexpr std::string_view kCFOPDepois = " incorreto";
constexpr std::size_t kEntradaRecibo = 24;
constexpr std::size_t kLinhaRecibo = 3 * kEntradaRecibo;

std::string_view Apara(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  return texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1);
}

// Columns primeira..primeira+largura-1 of the line, as far as it reaches.
std::string_view Colunas(std::string_view linha, std::size_t primeira, std::size_t largura) {
  if (primeira - 1 >= linha.size()) return {};
  return linha.substr(primeira - 1, largura);
}

bool Digito(char c) { return c >= '0' && c <= '9'; }

// "Valor do CFOP nnn incorreto", the CFOP in three digits.
bool TextoCFOP(std::string_view texto) {
  if (!texto.starts_with(kCFOPAntes) || !texto.ends_with(kCFOPDepois)) return false;
  const std::string_view cfop = texto.substr(kCFOPAntes.size(), texto.size() - kCFOPAntes.size() - kCFOPDepois.size());
  return cfop.size() == 3 && std::all_of(cfop.begin(), cfop.end(), Digito);
}

// A run of at least three digits at `pos`, then a blank; advances past it.
std::optional<std::int64_t> Numero(std::string_view linha, std::size_t& pos) {
  const std::size_t inicio = pos;
  std::int64_t valor = 0;
  while (pos < linha.size() && Digito(linha[pos])) {
    if (valor > 1'000'000'000'000LL) return std::nullopt;
    valor = valor * 10 + (linha[pos] - '0');
    ++pos;
  }
  if (pos - inicio < 3 || pos >= linha.size() || linha[pos] != ' ') return std::nullopt;
  ++pos;
  return valor;
}

// The parameters as the caller wrote them, read apart from valida.
struct Parametros {
  std::string_view linha;
  std::string_view tipo;
  bool validos = false;
};

Parametros LeParametros(std::string_view conteudo) {
  Parametros p;
  p.linha = conteudo.substr(0, std::min(conteudo.find('\r'), conteudo.find('\n')));
  p.tipo = Apara(Colunas(p.linha, 9, 12));
  p.validos = Apara(Colunas(p.linha, 1, 8)) == "PARAM" && MaiorRegistro(p.tipo) > 0 &&
              !Apara(Colunas(p.linha, 149, 70)).empty();
  return p;
}

bool Digitos(std::string_view texto) { return !texto.empty() && std::all_of(texto.begin(), texto.end(), Digito); }

// "MM/AAAA  ": a month from 01 to 12 of a year from 1900 on, 2 blanks.
bool PeriodoDoRecibo(std::string_view p) {
  if (p.size() != 9 || p[2] != '/' || p.substr(7) != "  " || !Digitos(p.substr(0, 2)) || !Digitos(p.substr(3, 4)))
    return false;
  const int mes = (p[0] - '0') * 10 + (p[1] - '0');
  return mes >= 1 && mes <= 12 && p.substr(3, 4) >= "1900";
}

// A receipt entry of the CGC/TE kinds: "000/0000000", 4 blanks, the period.
// Only an accepted declaration reaches a receipt: its CGC/TE is not zero and
// carries its check digit (weights 2, 9, 8, ..., 2 modulo 11; 10 or 11 give 0).
bool EntradaCGCTE(std::string_view e) {
  if (e[3] != '/' || e.substr(11, 4) != "    " || !PeriodoDoRecibo(e.substr(15))) return false;
  const std::string cgcte = std::string(e.substr(0, 3)) + std::string(e.substr(4, 7));
  if (!Digitos(cgcte) || cgcte == "0000000000") return false;
  static constexpr std::array<int, 9> kPesos = {2, 9, 8, 7, 6, 5, 4, 3, 2};
  int soma = 0;
  for (std::size_t i = 0; i < kPesos.size(); ++i) soma += (cgcte[i] - '0') * kPesos[i];
  const int d = 11 - soma % 11;
  return cgcte[9] - '0' == (d >= 10 ? 0 : d);
}

// A receipt entry of GIA ST 2: the 14 columns of the registration (digits,
// or SP's rural P and digits, then blanks), 1 blank, the period.
bool EntradaInscricao(std::string_view e) {
  const std::string_view inscricao = Apara(e.substr(0, 14));
  const std::string_view digitos = inscricao.starts_with('P') ? inscricao.substr(1) : inscricao;
  return e[0] != ' ' && Digitos(digitos) && e[14] == ' ' && PeriodoDoRecibo(e.substr(15));
}

// The declarations of an accepted file: its main records (every line of GIA
// 3 and GIA ST 1, the "ABC " records of GIA 4 and 5, the "A0" records of
// GIA ST 2).
std::int64_t RegistrosPrincipais(std::string_view tipo, std::string_view declaracao) {
  std::int64_t n = 0;
  const bool gia0405 = tipo == "GIA04" || tipo == "GIA05";
  const bool giast02 = tipo == "GIAST02";
  ParaCadaLinhaCRLF(declaracao, [&](std::string_view linha) {
    if (gia0405)
      n += Colunas(linha, 40, 4) == "ABC " ? 1 : 0;
    else if (giast02)
      n += Colunas(linha, 1, 2) == "A0" ? 1 : 0;
    else
      ++n;
  });
  return n;
}

// Lines of the declaration by the reader's rule: each ends at CR LF, and
// text after the last CR LF is a last line.
std::int64_t LinhasDaDeclaracao(std::string_view texto) {
  std::int64_t n = 0;
  ParaCadaLinhaCRLF(texto, [&](std::string_view) { ++n; });
  return n;
}

// The file is the line, CR LF, the verdict and CR LF.
bool LinhaEVeredito(std::string_view arquivo, std::string_view linha, std::string_view veredito) {
  return arquivo.size() == linha.size() + veredito.size() + 4 && arquivo.starts_with(linha) &&
         arquivo.substr(linha.size(), 2) == "\r\n" && arquivo.substr(linha.size() + 2, veredito.size()) == veredito &&
         arquivo.ends_with("\r\n");
}

class Conferencia {
 public:
  Conferencia(const AmbienteMemoria& memoria, const Corrida& corrida) : m_(memoria), c_(corrida) {}

  std::vector<std::string> Faz() {
    for (auto& v : m_.Violacoes()) Falha(std::move(v));
    const Parametros p = LeParametros(c_.parametros);
    const auto parametros = m_.ConteudoNaPasta("param.txt");
    const auto saida = m_.ConteudoNaPasta("saida.txt");

    if (p.linha.size() > kMaiorLinhaParametros) {
      // No report: the caller's file as it was, and a message box.
      if (c_.desfecho != valida::Desfecho::kSemRelatorio) Falha("a first line above 64 KiB gave a report");
      if (!parametros || *parametros != c_.parametros) Falha("param.txt changed without a report");
      if (saida) Falha("saida.txt written without a report");
      if (m_.Avisos().size() != 1)
        Falha("a run without a report showed " + std::to_string(m_.Avisos().size()) + " message boxes");
      return std::move(falhas_);
    }
    if (c_.desfecho != valida::Desfecho::kRelatorio) Falha("the run ended without a report");
    for (const auto& aviso : m_.Avisos()) Falha("message box: " + aviso);
    for (const std::string_view nome : {"aux00001.txt", "aux00002.txt", "param.txt.novo", "saida.txt.novo"})
      if (m_.ConteudoNaPasta(nome)) Falha(std::string(nome) + " left in the folder");
    if (!m_.ConteudoNaPasta("valida.lck")) Falha("no valida.lck in the folder");
    if (!parametros || !saida) {
      Falha("no param.txt or no saida.txt");
      return std::move(falhas_);
    }

    const bool ok = LinhaEVeredito(*parametros, p.linha, "OK");
    if (!ok && !LinhaEVeredito(*parametros, p.linha, "NOK")) Falha("param.txt is not the first line and a verdict");

    bool inteiro = true;
    const auto linhas = LinhasCRLF(*saida, &inteiro);
    if (!inteiro) Falha("saida.txt does not end with CR LF");
    for (const auto l : linhas)
      if (std::any_of(l.begin(), l.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F; }))
        Falha("a line of saida.txt holds a control character");
    if (linhas.empty()) {
      Falha("saida.txt is empty");
      return std::move(falhas_);
    }

    const auto lista = m_.RemovidoNaPasta("aux00001.txt");
    if (!lista) {
      Falha("the findings list was never removed");
      return std::move(falhas_);
    }
    if (p.validos && c_.declaracao && p.tipo != "GIAST02") {
      // A file whose size is no multiple of its record is not read: the one
      // finding of code 21 for the whole file.
      const auto registro = static_cast<std::size_t>(MaiorRegistro(p.tipo)) + 2;
      const bool tamanho_errado = c_.declaracao->empty() || c_.declaracao->size() % registro != 0;
      if (tamanho_errado && (ok || linhas.size() != 5 || linhas[4] != kAchado21))
        Falha("a file of " + std::to_string(c_.declaracao->size()) + " bytes without the one finding of code 21");
    }
    if (ok) {
      if (linhas[0] != kTituloRecibo) Falha("the verdict is OK but saida.txt is no receipt");
      if (!lista->empty())
        Falha("the verdict is OK with " + std::to_string(LinhasCRLF(*lista).size()) + " findings recorded");
      ConfereRecibo(p, linhas);
    } else {
      if (linhas[0] != kRejeitado) Falha("the verdict is NOK but saida.txt is no report");
      ConfereRelatorio(p, *saida, linhas, *lista);
    }
    return std::move(falhas_);
  }

 private:
  void Falha(std::string texto) { falhas_.push_back(std::move(texto)); }

  // `lista`: what the findings list held; the report's lines after its
  // headings are that text, byte for byte.
  void ConfereRelatorio(const Parametros& p, std::string_view saida, const std::vector<std::string_view>& linhas,
                        std::string_view lista) {
    static const std::string hifens(73, '-');
    const bool st = !p.validos || p.tipo == "GIAST02";
    if (linhas.size() < 5 || linhas[1] != hifens || linhas[3] != hifens ||
        linhas[2] != (st ? kTitulosInscricao : kTitulosCGCTE)) {
      Falha("the report has not its four heading lines");
      return;
    }
    if (lista.empty()) Falha("a report without findings recorded");
    if (saida.substr(static_cast<std::size_t>(linhas[4].data() - saida.data())) != lista)
      Falha("the report holds " + std::to_string(linhas.size() - 4) + " finding lines, the findings list " +
            std::to_string(LinhasCRLF(lista).size()));
    if (!p.validos) {
      if (linhas.size() != 5 || linhas[4] != kAchado18) Falha("invalid parameters without the one finding of code 18");
      return;
    }
    const int maior = MaiorRegistro(p.tipo);
    const bool gia0405 = p.tipo == "GIA04" || p.tipo == "GIA05";

    const std::int64_t linhas_declaracao = c_.declaracao ? LinhasDaDeclaracao(*c_.declaracao) : -1;
    for (std::size_t i = 4; i < linhas.size(); ++i) {
      // Only a breach needs to say where it is.
      const auto onde = [&] { return "finding " + std::to_string(i - 3) + " (" + std::string(linhas[i]) + "): "; };
      const auto a = LeAchado(linhas[i]);
      if (!a) {
        Falha(onde() + "not a finding line");
        continue;
      }
      if (a->texto.empty()) Falha(onde() + "no text");
      const bool arquivo = a->primeira == 0 && a->ultima == 0;
      const bool cfop =
          gia0405 && a->primeira == kColunaForaDoRegistro && a->ultima == kColunaForaDoRegistro && TextoCFOP(a->texto);
      if (!arquivo && !cfop && (a->primeira < 1 || a->ultima < a->primeira || a->ultima > maior))
        Falha(onde() + "columns outside 1.." + std::to_string(maior));
      if (linhas_declaracao >= 0 && a->linha > linhas_declaracao)
        Falha(onde() + "line past the last of the declaration (" + std::to_string(linhas_declaracao) + ")");
    }
  }

  void ConfereRecibo(const Parametros& p, const std::vector<std::string_view>& linhas) {
    const bool st = p.tipo == "GIAST02";
    const auto titulos = std::find(linhas.begin(), linhas.end(), st ? kListaST : kListaGIA);
    const std::size_t h = static_cast<std::size_t>(titulos - linhas.begin());
    static const std::string hifens(70, '-');
    if (titulos == linhas.end() || h + 7 > linhas.size() || linhas[h + 1] != hifens) {
      Falha("the receipt has no list headings");
      return;
    }
    const std::size_t n = linhas.size();
    if (!linhas[n - 5].empty() || !linhas[n - 4].empty() || !linhas[n - 3].starts_with(kContagem)) {
      Falha("the receipt does not end with its count");
      return;
    }
    std::size_t entradas = 0;
    for (std::size_t i = h + 2; i < n - 5; ++i) {
      const std::size_t tamanho = linhas[i].size();
      const bool ultima = i + 1 == n - 5;
      if (tamanho == 0 || tamanho % kEntradaRecibo != 0 || tamanho > kLinhaRecibo ||
          (!ultima && tamanho != kLinhaRecibo))
        Falha("receipt list line of " + std::to_string(tamanho) + " characters");
      for (std::size_t e = 0; e + kEntradaRecibo <= tamanho; e += kEntradaRecibo) {
        const std::string_view entrada = linhas[i].substr(e, kEntradaRecibo);
        if (!(st ? EntradaInscricao(entrada) : EntradaCGCTE(entrada)))
          Falha("the receipt lists a declaration that no validator accepts: \"" + std::string(entrada) + "\"");
      }
      entradas += tamanho / kEntradaRecibo;
    }
    std::size_t pos = kContagem.size();
    const std::string_view contagem = linhas[n - 3];
    std::int64_t qtd = 0;
    while (pos < contagem.size() && Digito(contagem[pos])) qtd = qtd * 10 + (contagem[pos++] - '0');
    const std::string_view resto = contagem.substr(pos);
    if (pos - kContagem.size() < 3 || resto != (st ? "  GIAs ST (sem valor" : "   GIAs  (sem  valor"))
      Falha("the receipt's count line is malformed");
    else if (static_cast<std::size_t>(qtd) != entradas)
      Falha("the receipt counts " + std::to_string(qtd) + " declarations and lists " + std::to_string(entradas));
    if (c_.declaracao) {
      const std::int64_t principais = RegistrosPrincipais(p.tipo, *c_.declaracao);
      if (qtd != principais)
        Falha("the receipt counts " + std::to_string(qtd) + " declarations, the file holds " +
              std::to_string(principais) + " main records");
    }
  }

  const AmbienteMemoria& m_;
  const Corrida& c_;
  std::vector<std::string> falhas_;
};

}  // namespace

std::vector<std::string_view> LinhasCRLF(std::string_view texto, bool* inteiro) {
  std::vector<std::string_view> linhas;
  linhas.reserve(32);
  ParaCadaLinhaCRLF(texto, [&](std::string_view linha) { linhas.push_back(linha); });
  if (inteiro != nullptr) *inteiro = texto.ends_with("\r\n") || texto.empty();
  return linhas;
}

int MaiorRegistro(std::string_view tipo) {
  struct Tipo {
    std::string_view nome;
    int maior;
  };
  static constexpr std::array<Tipo, 5> kTipos = {
      {{"GIA03", 898}, {"GIA04", 898}, {"GIA05", 898}, {"GIAST01", 754}, {"GIAST02", 812}}};
  for (const auto& t : kTipos)
    if (t.nome == tipo) return t.maior;
  return 0;
}

std::optional<Achado> LeAchado(std::string_view linha) {
  // Taxpayer: 15 characters. Period: "00/0000", or the 6 characters of a
  // period that is no number as they stand; the line number that follows
  // begins with a digit, never a blank.
  constexpr std::size_t kContribuinte = 15;
  if (linha.size() < kContribuinte + 7 + 1) return std::nullopt;
  const std::size_t periodo = linha[kContribuinte + 7] == ' ' ? 7 : 6;
  std::size_t pos = kContribuinte + periodo;
  if (linha[pos] != ' ') return std::nullopt;
  ++pos;
  Achado a;
  const auto l = Numero(linha, pos);
  const auto p = Numero(linha, pos);
  const auto u = Numero(linha, pos);
  if (!l || !p || !u) return std::nullopt;
  a.linha = *l;
  a.primeira = *p;
  a.ultima = *u;
  a.texto = linha.substr(pos);
  return a;
}

std::vector<std::string> ConfereCorrida(const AmbienteMemoria& memoria, const Corrida& corrida) {
  return Conferencia(memoria, corrida).Faz();
}

}  // namespace fuzz
