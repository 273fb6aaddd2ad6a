// The HTML report: the page's writer and the one-pass reader of the records
// that carry findings. Every text that did not come from this file reaches
// the page through EscreveTexto or EscreveBytes, which escape it.
#include "validagia/html.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <utility>

#include "common/cp1252.h"

namespace validagia {

namespace {

// The page is a text file of the system: its lines end in CR LF (a browser
// reads them as one line end, inside <pre> too).
constexpr std::string_view kFim = "\r\n";
// Columns drawn per row of a record, and the width of the margin before them.
constexpr std::int64_t kColunasPorFileira = 100;
constexpr std::size_t kMargem = 6;
constexpr std::size_t kBlocoLeitura = 64 * 1024;
constexpr std::size_t kCores = 6;

struct TipoDeclaracao {
  std::string_view nome;
  int maior_registro;
};
constexpr std::array kTipos = {
    TipoDeclaracao{"GIA03", 898},   TipoDeclaracao{"GIA04", 898},   TipoDeclaracao{"GIA05", 898},
    TipoDeclaracao{"GIAST01", 754}, TipoDeclaracao{"GIAST02", 812},
};

// --- Escaping -----------------------------------------------------------------

// Characters that a page must not hold as they are: control characters
// (shown as their pictures where Unicode has one) and noncharacters.
char32_t Visivel(char32_t cp) {
  if (cp < 0x20) return 0x2400 + cp;
  if (cp == 0x7F) return 0x2421;
  if (cp >= 0x80 && cp < 0xA0) return 0xFFFD;
  if ((cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE) return 0xFFFD;
  return cp;
}

void AcrescentaEscapado(std::string& saida, char32_t cp) {
  switch (cp) {
    case '&':
      saida += "&amp;";
      return;
    case '<':
      saida += "&lt;";
      return;
    case '>':
      saida += "&gt;";
      return;
    case '"':
      saida += "&quot;";
      return;
    case '\'':
      saida += "&#39;";
      return;
    default:
      cp1252::AcrescentaUtf8(saida, cp);
  }
}

// A UTF-8 text of unknown origin as escaped text, fit for an element's
// content and for a quoted attribute.
std::string Texto(std::string_view utf8) {
  std::string saida;
  saida.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) AcrescentaEscapado(saida, Visivel(cp1252::DecodificaUtf8(utf8, i)));
  return saida;
}

// How one byte of a record is shown.
enum class Classe { kComum, kBranco, kControle };

Classe ClasseDe(unsigned char b) {
  if (b == ' ') return Classe::kBranco;
  if (b < 0x20 || b == 0x7F || b == 0xA0 || b == 0xAD || cp1252::CodigoDe(b) == 0) return Classe::kControle;
  return Classe::kComum;
}

// The character that stands for a byte that is not shown as it is.
char32_t Simbolo(unsigned char b) {
  if (b < 0x20) return 0x2400 + b;  // ␀ to ␟
  if (b == 0x7F) return 0x2421;     // ␡
  return 0x25AF;                    // ▯: no-break space, soft hyphen, bytes with no character
}

std::string Hex(unsigned char b) {
  static constexpr std::string_view kDigitos = "0123456789ABCDEF";
  return std::string("0x") + kDigitos[b >> 4] + kDigitos[b & 0xF];
}

// Bytes of a record (Windows-1252) as they stand: blanks as ␣, the bytes that
// show nothing as a symbol with their value in a title; every byte one cell
// of the monospaced grid.
std::string Bytes(std::string_view bytes) {
  std::string saida;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    switch (ClasseDe(b)) {
      case Classe::kComum: {
        AcrescentaEscapado(saida, cp1252::CodigoDe(b));
        ++i;
        break;
      }
      case Classe::kBranco: {
        std::size_t n = 0;
        while (i + n < bytes.size() && bytes[i + n] == ' ') ++n;
        saida += "<span class=\"b\" style=\"width:" + std::to_string(n) + "ch\">";
        for (std::size_t k = 0; k < n; ++k) saida += "\u2423";
        saida += "</span>";
        i += n;
        break;
      }
      case Classe::kControle: {
        saida += "<span class=\"x\" title=\"byte " + Hex(b) + "\">";
        cp1252::AcrescentaUtf8(saida, Simbolo(b));
        saida += "</span>";
        ++i;
        break;
      }
    }
  }
  return saida;
}

// --- Numbers and words -----------------------------------------------------------

// A count with the thousands marked by points: 100.000.
std::string Milhar(std::int64_t n) {
  const std::string digitos = std::to_string(n);
  const std::size_t sinal = n < 0 ? 1 : 0;
  std::string texto = digitos.substr(0, sinal);
  for (std::size_t k = sinal; k < digitos.size(); ++k) {
    if (k > sinal && (digitos.size() - k) % 3 == 0) texto += '.';
    texto += digitos[k];
  }
  return texto;
}

std::string Conta(std::int64_t n, std::string_view um, std::string_view varios) {
  return Milhar(n) + " " + std::string(n == 1 ? um : varios);
}

std::string Colunas(std::int64_t primeira, std::int64_t ultima) {
  if (primeira == ultima) return "coluna " + std::to_string(primeira);
  return "colunas " + std::to_string(primeira) + " a " + std::to_string(ultima);
}

std::string Codigo(const AchadoRelatorio& a) {
  std::string texto = (a.catalogo == Catalogo::kGIAST ? "GIA ST " : "GIA ") + std::to_string(a.codigo);
  if (a.campo > 0) texto += ", campo " + std::to_string(a.campo);
  return texto;
}

std::string ClasseCor(std::size_t numero) { return "c" + std::to_string(numero % kCores); }

constexpr std::string_view kEstilo = R"css(
:root{color-scheme:light}
body{font-family:"DejaVu Sans",Verdana,Arial,sans-serif;color:#1a1a1a;background:#fff;margin:1.5rem;line-height:1.45;font-size:15px}
h1{font-size:1.5rem;margin:0 0 .3rem}
h2{font-size:1.25rem;margin:2rem 0 .5rem;padding-top:.4rem;border-top:3px solid #444}
h3{font-size:1.05rem;margin:1.4rem 0 .4rem}
table{border-collapse:collapse;margin:.4rem 0 .8rem}
th,td{border:1px solid #999;padding:.2rem .5rem;text-align:left;vertical-align:top}
thead th{background:#e8e8e8}
td.n,th.n{text-align:right}
.ok{font-weight:bold;color:#1b5e20}
.nok{font-weight:bold;color:#b00020}
.nome{font-family:"DejaVu Sans Mono",Consolas,monospace;word-break:break-all}
.aviso{border:2px solid #b00020;padding:.4rem .6rem;font-weight:bold;max-width:60rem}
.nota{font-style:italic;max-width:60rem}
code,pre{font-family:"DejaVu Sans Mono",Consolas,"Courier New",monospace}
code.campo{white-space:pre;background:#f4f4f4;padding:0 .2rem}
pre.registro{font-size:13px;line-height:1.35;overflow-x:auto;border:1px solid #999;padding:.5rem;background:#fcfcfc;margin:.3rem 0}
.regua{color:#666}
.b{display:inline-block;overflow:hidden;color:#9a9a9a}
.x{display:inline-block;width:1ch;overflow:hidden;font-family:"DejaVu Sans Mono",monospace;color:#000;background:#c8c8c8;outline:1px solid #777}
.sel{background:#ffe27a;border-bottom:2px solid #000}
.sel.dupla{background:#ffb199;border-bottom:4px double #000}
.marca{font-weight:bold;text-decoration:underline}
.rot{font-weight:bold;border:1px solid currentColor;padding:0 .15em}
.num{display:inline-block;min-width:1.6em;text-align:center;font-weight:bold;border:2px solid currentColor;border-radius:.3em}
.c0{color:#b00020}.c1{color:#0047a0}.c2{color:#1b6e20}.c3{color:#7b1fa2}.c4{color:#8a4b00}.c5{color:#00695c}
.legenda{max-width:60rem}
.legenda dt{font-weight:bold;float:left;clear:left;width:7rem}
.legenda dd{margin:0 0 .2rem 7.5rem}
.declaracoes{columns:3 18rem}
.declaracoes li{break-inside:avoid}
.sr{position:absolute;width:1px;height:1px;overflow:hidden;clip:rect(0 0 0 0);white-space:nowrap}
@media print{
body{margin:0;font-size:9pt}
h2{break-before:auto;break-after:avoid}
h3{break-after:avoid}
pre.registro{font-size:6.5pt;overflow:visible;white-space:pre}
section.linha{break-inside:avoid}
a{color:inherit;text-decoration:none}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}
}
)css";

// --- The reading of the records ---------------------------------------------------

// The lines that the shown findings are drawn on, sorted, each once.
std::vector<std::int64_t> LinhasDesenhadas(std::string_view tipo, std::span<const AchadoRelatorio> achados,
                                           std::size_t maximo) {
  std::vector<std::int64_t> linhas;
  const std::size_t n = std::min(achados.size(), maximo);
  for (std::size_t i = 0; i < n; ++i)
    if (DesenhaNoRegistro(achados[i], tipo)) linhas.push_back(achados[i].linha);
  std::sort(linhas.begin(), linhas.end());
  linhas.erase(std::unique(linhas.begin(), linhas.end()), linhas.end());
  return linhas;
}

// Splits the file at its CR LF line ends and keeps the lines asked for.
class Leitor {
 public:
  Leitor(std::vector<std::int64_t> linhas, std::size_t guarda, RegistrosArquivo& r)
      : linhas_(std::move(linhas)), guarda_(guarda), r_(r) {
    Comeca();
  }

  [[nodiscard]] bool Terminou() const { return proxima_ >= linhas_.size(); }

  void Consome(const char* dados, std::size_t n) {
    std::size_t i = 0;
    while (i < n && !Terminou()) {
      if (cr_pendente_) {
        cr_pendente_ = false;
        if (dados[i] == '\n') {
          ++i;
          FimDeLinha();
          continue;
        }
        Conteudo("\r", 1);  // a lone CR is part of the line
        continue;
      }
      const void* cr = std::memchr(dados + i, '\r', n - i);
      const std::size_t fim = cr == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(cr) - dados);
      Conteudo(dados + i, fim - i);
      i = fim;
      if (cr != nullptr) {
        cr_pendente_ = true;
        ++i;
      }
    }
  }

  // At the end of the file: text after the last CR LF is a last line.
  void Fim() {
    if (Terminou()) return;
    if (cr_pendente_) Conteudo("\r", 1);
    if (tem_conteudo_) FimDeLinha();
    r_.linhas = atual_ - 1;
    r_.fim = true;
  }

 private:
  void Comeca() {
    tem_conteudo_ = false;
    if (!Terminou() && linhas_[proxima_] == atual_) {
      guardando_ = true;
      registro_ = RegistroLido{atual_, {}, 0};
    } else {
      guardando_ = false;
    }
  }

  void Conteudo(const char* dados, std::size_t n) {
    if (n == 0) return;
    tem_conteudo_ = true;
    if (!guardando_) return;
    registro_.tamanho += n;
    const std::size_t cabe = guarda_ - std::min(guarda_, registro_.bytes.size());
    registro_.bytes.append(dados, std::min(cabe, n));
  }

  void FimDeLinha() {
    if (guardando_) {
      r_.registros.push_back(std::move(registro_));
      ++proxima_;
      r_.linhas = atual_;
    }
    ++atual_;
    Comeca();
  }

  std::vector<std::int64_t> linhas_;
  std::size_t guarda_;
  RegistrosArquivo& r_;
  std::size_t proxima_ = 0;
  std::int64_t atual_ = 1;
  bool cr_pendente_ = false;
  bool tem_conteudo_ = false;
  bool guardando_ = false;
  RegistroLido registro_;
};

std::string MotivoFalha(const plataforma::Status& status) {
  std::string motivo;
  switch (status.falha()) {
    case plataforma::Falha::kNaoEncontrado:
      motivo = "arquivo não encontrado, sem permissão de leitura ou não é um arquivo comum";
      break;
    case plataforma::Falha::kDispositivoIndisponivel:
      motivo = "a unidade não está disponível";
      break;
    case plataforma::Falha::kDiscoCheio:
      motivo = "não é possível abrir mais arquivos";
      break;
    default:
      motivo = "erro de leitura";
      break;
  }
  if (!status.mensagem().empty()) motivo += " (" + status.mensagem() + ")";
  return motivo;
}

// --- The page ---------------------------------------------------------------------

// A finding shown, with its number (its place in the order recorded, from 1).
struct Mostrado {
  const AchadoRelatorio* achado;
  std::size_t numero;
};

// One finding's part of one row of a record: columns s to e, and its row of marks.
struct Segmento {
  std::int64_t s;
  std::int64_t e;
  std::size_t numero;
  const AchadoRelatorio* achado;
};

class Pagina {
 public:
  Pagina(std::ostream& saida, const Limites& limites) : o_(saida), limites_(limites) {}

  void Escreve(std::span<const ArquivoValidado> arquivos) {
    std::size_t aceitos = 0;
    for (const auto& a : arquivos) aceitos += a.aceito ? 1 : 0;
    o_ << "<!DOCTYPE html>" << kFim << "<html lang=\"pt-BR\">" << kFim << "<head>" << kFim << "<meta charset=\"utf-8\">"
       << kFim
       << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
       << kFim << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">" << kFim
       << "<title>Validação de GIA: " << Conta(static_cast<std::int64_t>(arquivos.size()), "arquivo", "arquivos")
       << "</title>" << kFim << "<style>";
    for (const char c : kEstilo) o_ << (c == '\n' ? kFim : std::string_view(&c, 1));
    o_ << "</style>" << kFim << "</head>" << kFim << "<body>" << kFim;
    o_ << "<header>" << kFim << "<h1>Relatório de validação de GIA</h1>" << kFim << "<p>"
       << Conta(static_cast<std::int64_t>(arquivos.size()), "arquivo validado", "arquivos validados") << ": "
       << Conta(static_cast<std::int64_t>(aceitos), "aceito", "aceitos") << ", "
       << Conta(static_cast<std::int64_t>(arquivos.size() - aceitos), "rejeitado", "rejeitados") << ".</p>" << kFim
       << "</header>" << kFim << "<main>" << kFim;
    Resumo(arquivos);
    for (std::size_t i = 0; i < arquivos.size(); ++i)
      if (!arquivos[i].aceito) Rejeitado(arquivos[i], i + 1);
    o_ << "</main>" << kFim << "</body>" << kFim << "</html>" << kFim;
  }

 private:
  static std::string Id(std::size_t arquivo) { return "arq" + std::to_string(arquivo); }

  static std::string_view RotuloInscricao(std::string_view tipo) { return tipo == "GIAST02" ? "Inscrição" : "CGC/TE"; }

  void Resumo(std::span<const ArquivoValidado> arquivos) {
    o_ << "<section aria-labelledby=\"resumo\">" << kFim << "<h2 id=\"resumo\">Resumo</h2>" << kFim
       << "<table class=\"resumo\">" << kFim << "<caption class=\"sr\">Arquivos validados</caption>" << kFim
       << "<thead><tr><th scope=\"col\">Arquivo</th><th scope=\"col\">Tipo</th><th scope=\"col\">Resultado</th>"
       << "<th scope=\"col\" class=\"n\">Declarações</th><th scope=\"col\" class=\"n\">Erros</th></tr></thead>" << kFim
       << "<tbody>" << kFim;
    for (std::size_t i = 0; i < arquivos.size(); ++i) {
      const auto& a = arquivos[i];
      o_ << "<tr class=\"arquivo\" data-arquivo=\"" << i + 1 << "\"><th scope=\"row\"><a class=\"nome\" href=\"#"
         << Id(i + 1) << "\">" << Texto(a.nome) << "</a></th><td>" << Texto(a.tipo) << "</td><td>"
         << (a.aceito ? "<span class=\"ok\">✔ Aceito (OK)</span>" : "<span class=\"nok\">✘ Rejeitado (NOK)</span>")
         << "</td><td class=\"n\">" << Milhar(static_cast<std::int64_t>(a.declaracoes.size()))
         << "</td><td class=\"n\">" << Milhar(static_cast<std::int64_t>(a.achados.size())) << "</td></tr>" << kFim;
    }
    o_ << "</tbody>" << kFim << "</table>" << kFim;
    Legenda();
    for (std::size_t i = 0; i < arquivos.size(); ++i)
      if (arquivos[i].aceito) Aceito(arquivos[i], i + 1);
    o_ << "</section>" << kFim;
  }

  void Legenda() {
    o_ << "<dl class=\"legenda\">" << kFim << "<dt><span class=\"b\" style=\"width:1ch\">␣</span></dt><dd>"
       << "um espaço em branco do registro</dd>" << kFim << "<dt><span class=\"x\">␛</span> <span class=\"x\">▯</span>"
       << "</dt><dd>um byte que não se vê (controle, espaço não separável, sem caractere); "
       << "o valor do byte aparece ao parar o ponteiro sobre ele</dd>" << kFim
       << "<dt><span class=\"sel\">texto</span></dt><dd>colunas com erro (fundo amarelo e sublinhado)</dd>" << kFim
       << "<dt><span class=\"sel dupla\">texto</span></dt><dd>colunas com mais de um erro (sublinhado duplo)</dd>"
       << kFim << "<dt><span class=\"marca c0\">^^^</span> <span class=\"rot c0\">1</span></dt><dd>"
       << "as colunas exatas de cada erro, com o número do erro ao lado, numa linha de marcas sob o registro</dd>"
       << kFim << "</dl>" << kFim;
  }

  void Aceito(const ArquivoValidado& a, std::size_t indice) {
    const std::string id = Id(indice);
    o_ << "<section class=\"aceito\" id=\"" << id << "\" aria-labelledby=\"" << id << "-t\">" << kFim << "<h3 id=\""
       << id << "-t\">Declarações de <span class=\"nome\">" << Texto(a.nome) << "</span> (" << Texto(a.tipo)
       << ", aceito)</h3>" << kFim;
    if (a.declaracoes.empty()) {
      o_ << "<p>O arquivo não tem declarações.</p>" << kFim << "</section>" << kFim;
      return;
    }
    const std::size_t n = std::min(a.declaracoes.size(), limites_.declaracoes_por_arquivo);
    o_ << "<ol class=\"declaracoes\">" << kFim;
    for (std::size_t k = 0; k < n; ++k)
      o_ << "<li>" << RotuloInscricao(a.tipo) << " <span class=\"nome\">" << Texto(a.declaracoes[k].inscricao)
         << "</span>, referência " << Texto(a.declaracoes[k].periodo) << "</li>" << kFim;
    o_ << "</ol>" << kFim;
    if (n < a.declaracoes.size())
      o_ << "<p class=\"aviso nao-mostradas\" data-nao-mostradas=\"" << a.declaracoes.size() - n << "\">"
         << Conta(static_cast<std::int64_t>(a.declaracoes.size() - n), "declaração não é mostrada",
                  "declarações não são mostradas")
         << " (são " << Milhar(static_cast<std::int64_t>(a.declaracoes.size())) << " ao todo).</p>" << kFim;
    o_ << "</section>" << kFim;
  }

  void Rejeitado(const ArquivoValidado& a, std::size_t indice) {
    const std::string id = Id(indice);
    const std::size_t total = a.achados.size();
    const std::size_t mostrados = std::min(total, limites_.achados_por_arquivo);
    o_ << "<section class=\"rejeitado\" id=\"" << id << "\" aria-labelledby=\"" << id << "-t\">" << kFim << "<h2 id=\""
       << id << "-t\">Arquivo <span class=\"nome\">" << Texto(a.nome) << "</span>: " << Texto(a.tipo)
       << ", rejeitado</h2>" << kFim << "<p>"
       << Conta(static_cast<std::int64_t>(total), "erro encontrado", "erros encontrados") << "; "
       << Conta(static_cast<std::int64_t>(a.declaracoes.size()), "declaração", "declarações")
       << ". Os erros aparecem agrupados por linha, na ordem em que foram encontrados; "
       << "o número de cada erro é a sua posição no relatório em texto.</p>" << kFim;
    if (mostrados < total)
      o_ << "<p class=\"aviso nao-mostrados\" data-nao-mostrados=\"" << total - mostrados << "\">Esta página mostra os "
         << Milhar(static_cast<std::int64_t>(mostrados)) << " primeiros dos "
         << Milhar(static_cast<std::int64_t>(total)) << " erros: "
         << Conta(static_cast<std::int64_t>(total - mostrados), "erro não é mostrado", "erros não são mostrados")
         << ". O relatório em texto traz todos.</p>" << kFim;
    if (!a.registros.falha.empty())
      o_ << "<p class=\"aviso\">Os registros não puderam ser lidos de novo para serem desenhados: "
         << Texto(a.registros.falha) << ".</p>" << kFim;

    // File-level findings and those outside the record, in the order recorded;
    // then the others grouped by line, lines in the order of their first finding.
    std::vector<Mostrado> gerais;
    std::vector<std::int64_t> ordem;
    std::map<std::int64_t, std::vector<Mostrado>> por_linha;
    for (std::size_t k = 0; k < mostrados; ++k) {
      const AchadoRelatorio& e = a.achados[k];
      if (!DesenhaNoRegistro(e, a.tipo)) {
        gerais.push_back({&e, k + 1});
        continue;
      }
      auto& grupo = por_linha[e.linha];
      if (grupo.empty()) ordem.push_back(e.linha);
      grupo.push_back({&e, k + 1});
    }
    if (!gerais.empty()) {
      o_ << "<section class=\"gerais\" aria-labelledby=\"" << id << "-g\">" << kFim << "<h3 id=\"" << id
         << "-g\">Erros sobre o arquivo todo ou fora das colunas do registro</h3>" << kFim;
      Tabela(a, indice, gerais, nullptr, true);
      o_ << "</section>" << kFim;
    }
    for (const std::int64_t linha : ordem) Linha(a, indice, linha, por_linha[linha]);
    o_ << "</section>" << kFim;
  }

  const RegistroLido* Registro(const ArquivoValidado& a, std::int64_t linha) const {
    const auto& rs = a.registros.registros;
    const auto it = std::lower_bound(rs.begin(), rs.end(), linha,
                                     [](const RegistroLido& r, std::int64_t l) { return r.linha < l; });
    return it != rs.end() && it->linha == linha ? &*it : nullptr;
  }

  // The field's bytes as they stand, and what of it lies past the line's end.
  std::string Campo(const AchadoRelatorio& e, const RegistroLido* r) const {
    if (r == nullptr) return "—";
    const auto existe = static_cast<std::int64_t>(r->bytes.size());
    std::string texto;
    if (e.coluna_inicial <= existe) {
      const auto fim = std::min(e.coluna_final, existe);
      texto = "<code class=\"campo\">" +
              Bytes(std::string_view(r->bytes).substr(static_cast<std::size_t>(e.coluna_inicial - 1),
                                                      static_cast<std::size_t>(fim - e.coluna_inicial + 1))) +
              "</code>";
    }
    if (e.coluna_final > existe) {
      if (!texto.empty()) texto += " ";
      texto += "<span class=\"nota\">(" + Colunas(std::max(e.coluna_inicial, existe + 1), e.coluna_final) +
               " além do fim da linha)</span>";
    }
    return texto;
  }

  void Tabela(const ArquivoValidado& a, std::size_t indice, const std::vector<Mostrado>& achados,
              const RegistroLido* registro, bool gerais) {
    o_ << "<table class=\"achados\">" << kFim << "<thead><tr><th scope=\"col\">Nº</th>"
       << (gerais ? "<th scope=\"col\">Linha</th>" : "") << "<th scope=\"col\">Colunas</th>"
       << (gerais ? "" : "<th scope=\"col\">Texto do campo</th>")
       << "<th scope=\"col\">Descrição do erro</th><th scope=\"col\">Código</th><th scope=\"col\">"
       << RotuloInscricao(a.tipo) << "</th><th scope=\"col\">Período</th></tr></thead>" << kFim << "<tbody>" << kFim;
    for (const auto& m : achados) {
      const AchadoRelatorio& e = *m.achado;
      o_ << "<tr class=\"achado\" id=\"" << Id(indice) << "-e" << m.numero << "\" data-achado=\"" << m.numero
         << "\"><td><span class=\"num " << ClasseCor(m.numero) << "\">" << m.numero << "</span></td>";
      if (gerais) o_ << "<td class=\"n\">" << e.linha << "</td>";
      o_ << "<td>" << e.coluna_inicial << "–" << e.coluna_final << "</td>";
      if (!gerais) o_ << "<td>" << Campo(e, registro) << "</td>";
      o_ << "<td>" << Texto(e.texto) << "</td><td>" << Codigo(e) << "</td><td class=\"nome\">" << Texto(e.inscricao)
         << "</td><td>" << Texto(e.periodo) << "</td></tr>" << kFim;
    }
    o_ << "</tbody>" << kFim << "</table>" << kFim;
  }

  void Linha(const ArquivoValidado& a, std::size_t indice, std::int64_t linha, const std::vector<Mostrado>& achados) {
    const std::string id = Id(indice) + "-l" + std::to_string(linha);
    const RegistroLido* r = Registro(a, linha);
    o_ << "<section class=\"linha\" id=\"" << id << "\" data-linha=\"" << linha << "\" aria-labelledby=\"" << id
       << "-t\">" << kFim << "<h3 id=\"" << id << "-t\">Linha " << linha << "</h3>" << kFim;
    Tabela(a, indice, achados, r, false);
    if (r == nullptr) {
      o_ << "<p class=\"nota falta\">";
      if (!a.registros.falha.empty() || (!a.registros.fim && a.registros.linhas < linha))
        o_ << "O registro desta linha não foi lido.";
      else
        o_ << "A linha " << linha << " não existe no arquivo, que tem " << Conta(a.registros.linhas, "linha", "linhas")
           << ".";
      o_ << "</p>" << kFim << "</section>" << kFim;
      return;
    }
    Desenho(*r, achados, id);
    o_ << "</section>" << kFim;
  }

  // The record in rows of kColunasPorFileira columns: a ruler, the text, and
  // one row of marks for every finding that overlaps another.
  void Desenho(const RegistroLido& r, const std::vector<Mostrado>& achados, const std::string& id) {
    const auto existe = static_cast<std::int64_t>(r.bytes.size());
    std::int64_t largura = existe;
    for (const auto& m : achados) largura = std::max(largura, m.achado->coluna_final);
    o_ << "<figure class=\"desenho\" aria-labelledby=\"" << id << "-d\">" << kFim << "<figcaption id=\"" << id
       << "-d\">Registro da linha " << r.linha << ", com "
       << Conta(static_cast<std::int64_t>(r.tamanho), "caractere", "caracteres")
       << ", e as colunas de cada erro marcadas.</figcaption>" << kFim << "<pre class=\"registro\">";
    for (std::int64_t c0 = 1; c0 <= largura; c0 += kColunasPorFileira) {
      const std::int64_t c1 = std::min(largura, c0 + kColunasPorFileira - 1);
      Regua(c0, c1);
      TextoRegistro(r, achados, c0, std::min(c1, existe));
      Marcas(achados, c0, c1);
    }
    o_ << "</pre>" << kFim;
    if (largura > existe) {
      o_ << "<p class=\"nota falta\">A linha termina na coluna " << existe << ": as " << Colunas(existe + 1, largura)
         << " não existem nela; as marcas mostram onde ficariam.</p>" << kFim;
    }
    if (r.tamanho > r.bytes.size()) {
      o_ << "<p class=\"nota falta\">A linha tem " << Milhar(static_cast<std::int64_t>(r.tamanho))
         << " caracteres; só os " << Milhar(existe) << " primeiros são mostrados.</p>" << kFim;
    }
    o_ << "</figure>" << kFim;
  }

  void Regua(std::int64_t c0, std::int64_t c1) {
    const auto n = static_cast<std::size_t>(c1 - c0 + 1);
    std::string numeros(n, ' ');
    std::string marcas(n, '.');
    for (std::int64_t c = c0; c <= c1; ++c) {
      const auto pos = static_cast<std::size_t>(c - c0);
      if (c % 10 == 0) {
        marcas[pos] = '|';
        const std::string digitos = std::to_string(c);
        if (digitos.size() <= pos + 1) numeros.replace(pos + 1 - digitos.size(), digitos.size(), digitos);
      } else if (c % 5 == 0) {
        marcas[pos] = '+';
      }
    }
    o_ << "<span class=\"regua\" aria-hidden=\"true\">" << std::string(kMargem, ' ') << numeros << kFim
       << std::string(kMargem, ' ') << marcas << "</span>" << kFim;
  }

  // Columns c0..c1 of the record's text, the columns with findings highlighted.
  void TextoRegistro(const RegistroLido& r, const std::vector<Mostrado>& achados, std::int64_t c0, std::int64_t c1) {
    std::string margem = std::to_string(c0);
    margem.insert(0, kMargem - 1 - margem.size(), ' ');
    o_ << "<span class=\"regua\">" << margem << "</span> <span class=\"texto\" data-coluna=\"" << c0 << "\">";
    std::int64_t c = c0;
    while (c <= c1) {
      std::vector<std::size_t> cobrem = Cobrem(achados, c);
      std::int64_t fim = c;
      while (fim + 1 <= c1 && Cobrem(achados, fim + 1) == cobrem) ++fim;
      const std::string bytes = Bytes(
          std::string_view(r.bytes).substr(static_cast<std::size_t>(c - 1), static_cast<std::size_t>(fim - c + 1)));
      if (cobrem.empty()) {
        o_ << bytes;
      } else {
        o_ << "<span class=\"sel" << (cobrem.size() > 1 ? " dupla" : "") << "\" title=\""
           << (cobrem.size() > 1 ? "Erros " : "Erro ");
        for (std::size_t k = 0; k < cobrem.size(); ++k) o_ << (k == 0 ? "" : ", ") << cobrem[k];
        o_ << "\">" << bytes << "</span>";
      }
      c = fim + 1;
    }
    o_ << "</span>" << kFim;
  }

  static std::vector<std::size_t> Cobrem(const std::vector<Mostrado>& achados, std::int64_t coluna) {
    std::vector<std::size_t> numeros;
    for (const auto& m : achados)
      if (m.achado->coluna_inicial <= coluna && coluna <= m.achado->coluna_final) numeros.push_back(m.numero);
    return numeros;
  }

  // The marks of the findings over columns c0..c1: a finding's carets over
  // exactly its columns and its number after them; findings that would meet
  // on a row take rows of their own, so that overlapping ones all show.
  void Marcas(const std::vector<Mostrado>& achados, std::int64_t c0, std::int64_t c1) {
    std::vector<Segmento> segmentos;
    for (const auto& m : achados) {
      const AchadoRelatorio& e = *m.achado;
      if (e.coluna_final < c0 || e.coluna_inicial > c1) continue;
      segmentos.push_back({std::max(e.coluna_inicial, c0), std::min(e.coluna_final, c1), m.numero, &e});
    }
    std::stable_sort(segmentos.begin(), segmentos.end(),
                     [](const Segmento& x, const Segmento& y) { return x.s < y.s; });
    // Each row: its segments and the first column after the last one's label.
    std::vector<std::pair<std::vector<const Segmento*>, std::int64_t>> fileiras;
    for (const auto& s : segmentos) {
      const auto rotulo = static_cast<std::int64_t>(std::to_string(s.numero).size()) + 1;
      auto livre = std::find_if(fileiras.begin(), fileiras.end(), [&](const auto& f) { return f.second < s.s; });
      if (livre == fileiras.end()) livre = fileiras.insert(fileiras.end(), {{}, 0});
      livre->first.push_back(&s);
      livre->second = s.e + rotulo + 1;
    }
    for (const auto& [fileira, fim] : fileiras) {
      o_ << "<span class=\"marcas\" data-coluna=\"" << c0 << "\">" << std::string(kMargem, ' ');
      std::int64_t pos = c0;
      for (const Segmento* s : fileira) {
        o_ << std::string(static_cast<std::size_t>(s->s - pos), ' ') << "<span class=\"marca " << ClasseCor(s->numero)
           << "\" data-marca=\"" << s->numero << "\">" << std::string(static_cast<std::size_t>(s->e - s->s + 1), '^')
           << "</span> <span class=\"rot " << ClasseCor(s->numero) << "\">" << s->numero << "</span>";
        pos = s->e + 2 + static_cast<std::int64_t>(std::to_string(s->numero).size());
      }
      o_ << "</span>" << kFim;
    }
  }

  std::ostream& o_;
  const Limites& limites_;
};

}  // namespace

int MaiorRegistro(std::string_view tipo) {
  for (const auto& t : kTipos)
    if (t.nome == tipo) return t.maior_registro;
  return 0;
}

bool DesenhaNoRegistro(const AchadoRelatorio& achado, std::string_view tipo) {
  return achado.linha >= 1 && achado.coluna_inicial >= 1 && achado.coluna_inicial <= achado.coluna_final &&
         achado.coluna_final <= MaiorRegistro(tipo);
}

RegistrosArquivo LeRegistros(plataforma::ArquivoLeitura& arquivo, std::string_view tipo,
                             std::span<const AchadoRelatorio> achados, const Limites& limites) {
  RegistrosArquivo r;
  std::vector<std::int64_t> linhas = LinhasDesenhadas(tipo, achados, limites.achados_por_arquivo);
  if (linhas.empty()) return r;
  const std::size_t guarda = std::max(limites.bytes_por_linha, static_cast<std::size_t>(MaiorRegistro(tipo)));
  Leitor leitor(std::move(linhas), guarda, r);
  const auto bloco = std::make_unique<char[]>(kBlocoLeitura);
  while (!leitor.Terminou()) {
    std::size_t lidos = 0;
    const plataforma::Status status = arquivo.Ler(bloco.get(), kBlocoLeitura, &lidos);
    if (!status.ok()) {
      r.falha = MotivoFalha(status);
      return r;
    }
    if (lidos == 0) {
      leitor.Fim();
      break;
    }
    leitor.Consome(bloco.get(), lidos);
  }
  return r;
}

RegistrosArquivo LeRegistros(plataforma::Ambiente& ambiente, const std::string& caminho, std::string_view tipo,
                             std::span<const AchadoRelatorio> achados, const Limites& limites) {
  if (LinhasDesenhadas(tipo, achados, limites.achados_por_arquivo).empty()) return {};
  std::unique_ptr<plataforma::ArquivoLeitura> arquivo;
  const plataforma::Status status = ambiente.AbrirLeitura(caminho, &arquivo);
  if (!status.ok()) {
    RegistrosArquivo r;
    r.falha = MotivoFalha(status);
    return r;
  }
  return LeRegistros(*arquivo, tipo, achados, limites);
}

void EscreveHtml(std::ostream& saida, std::span<const ArquivoValidado> arquivos, const Limites& limites) {
  Pagina(saida, limites).Escreve(arquivos);
}

std::string GeraHtml(std::span<const ArquivoValidado> arquivos, const Limites& limites) {
  std::ostringstream saida;
  EscreveHtml(saida, arquivos, limites);
  return saida.str();
}

}  // namespace validagia
