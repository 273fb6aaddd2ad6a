// The HTML report: pages for files of every kind, accepted and rejected, with
// real findings of valida; the structure of a page (each finding once, its
// mark over exactly its columns, the record shown byte for byte, the counts
// and the cap); hostile bytes and names; and the one-pass reader of records.
#include "validagia/html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "common/cp1252.h"
#include "fuzz/declaracoes.h"
#include "fuzz/memoria.h"
#include "tests/validagia/pagina.h"
#include "tests/validagia/validacao_memoria.h"

namespace validagia {
namespace {

using teste::Celula;
using teste::Celulas;
using teste::Valida;

// Width of the margin before the columns of every row of a drawing.
constexpr std::size_t kMargem = 6;

// --- What a page must show of the files it was made from ------------------------

// The character that the drawing shows for a byte of a record.
char32_t Mostrado(unsigned char b) {
  if (b == ' ') return 0x2423;
  if (b < 0x20) return 0x2400 + b;
  if (b == 0x7F) return 0x2421;
  if (b == 0xA0 || b == 0xAD || cp1252::CodigoDe(b) == 0) return 0x25AF;
  return cp1252::CodigoDe(b);
}

std::string Milhar(std::int64_t n) {
  std::string d = std::to_string(n);
  for (int k = static_cast<int>(d.size()) - 3; k > 0; k -= 3) d.insert(static_cast<std::size_t>(k), ".");
  return d;
}

const std::set<std::string> kEtiquetas = {
    "!doctype", "html", "head", "meta",  "title",   "style", "body",  "header", "main",   "section",   "h1",
    "h2",       "h3",   "p",    "table", "caption", "thead", "tbody", "tr",     "th",     "td",        "a",
    "span",     "dl",   "dt",   "dd",    "ol",      "li",    "code",  "pre",    "figure", "figcaption"};
const std::set<std::string> kAtributos = {"lang", "charset", "http-equiv", "content", "name",  "class",
                                          "id",   "href",    "scope",      "title",   "style", "html"};

// Only the tags and attributes the page is made of; hrefs only to the page
// itself; styles only the widths of blank runs.
void ConfereEtiquetas(std::string_view pagina) {
  for (const auto& e : teste::Etiquetas(pagina)) {
    const std::string nome = e.nome.starts_with("/") ? e.nome.substr(1) : e.nome;
    EXPECT_TRUE(kEtiquetas.contains(nome)) << "a tag the page does not make: <" << e.nome << ">";
    for (const auto& [atributo, valor] : e.atributos) {
      EXPECT_TRUE(kAtributos.contains(atributo) || atributo.starts_with("data-") || atributo.starts_with("aria-"))
          << "an attribute the page does not make: " << atributo << " in <" << e.nome << ">";
      if (atributo == "href") {
        EXPECT_TRUE(valor.starts_with("#")) << valor;
      }
      if (atributo == "style") {
        EXPECT_TRUE(std::regex_match(valor, std::regex("width:[0-9]+ch"))) << valor;
      }
    }
  }
}

// Everything a page must be whatever it shows: UTF-8 declared and held, whole
// CR LF lines, no control character, no script, nothing fetched.
void ConfereDocumento(const std::string& pagina) {
  EXPECT_TRUE(pagina.starts_with("<!DOCTYPE html>\r\n<html lang=\"pt-BR\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"));
  EXPECT_TRUE(pagina.ends_with("</html>\r\n"));
  EXPECT_TRUE(teste::Utf8Valido(pagina));
  for (std::size_t i = 0; i < pagina.size(); ++i) {
    const auto b = static_cast<unsigned char>(pagina[i]);
    if (b == '\r') {
      EXPECT_EQ(pagina[i + 1], '\n') << "a lone CR at " << i;
    } else if (b == '\n') {
      EXPECT_EQ(pagina[i - 1], '\r') << "a lone LF at " << i;
    } else {
      ASSERT_FALSE(b < 0x20 || b == 0x7F) << "control byte " << int(b) << " at " << i;
    }
  }
  std::string minusculas = pagina;
  std::transform(minusculas.begin(), minusculas.end(), minusculas.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const std::string_view proibido : {"<script", "<img", "<link", "<iframe", "<object", "<embed", "<base", "<form"})
    EXPECT_EQ(minusculas.find(proibido), std::string::npos) << proibido;
  const std::size_t estilo = minusculas.find("<style>");
  const std::string_view css = std::string_view(minusculas).substr(estilo, minusculas.find("</style>") - estilo);
  for (const std::string_view proibido : {"url(", "@import", "<"})
    EXPECT_EQ(css.find(proibido, 1), std::string::npos) << proibido;
  ConfereEtiquetas(pagina);
}

// The part of the page about the rejected file of that place (from 1).
std::string_view SecaoDoArquivo(std::string_view pagina, std::size_t indice) {
  const std::string inicio = "<section class=\"rejeitado\" id=\"arq" + std::to_string(indice) + "\"";
  const std::size_t de = pagina.find(inicio);
  if (de == std::string_view::npos) return {};
  std::size_t ate = pagina.find("<section class=\"rejeitado\"", de + 1);
  if (ate == std::string_view::npos) ate = pagina.find("</main>", de);
  return pagina.substr(de, ate - de);
}

struct Desenho {
  std::map<std::size_t, std::vector<std::int64_t>> marcas;       // finding -> columns of its carets
  std::map<std::int64_t, std::map<std::int64_t, Celula>> texto;  // line -> column -> cell
  std::set<std::size_t> gerais;                                  // findings in the block of their own
  std::map<std::size_t, int> linhas_da_tabela;                   // finding -> rows listing it
};

Desenho LeDesenho(std::string_view secao) {
  Desenho d;
  std::int64_t linha = 0;
  bool gerais = false;
  static const std::regex kLinha(R"re(^<section class="linha" id="[^"]*" data-linha="([0-9]+)")re");
  static const std::regex kColuna(R"re(data-coluna="([0-9]+)")re");
  static const std::regex kAchado(R"re(^<tr class="achado" id="[^"]*" data-achado="([0-9]+)")re");
  for (const std::string_view l : teste::Linhas(secao)) {
    const std::string s(l);
    std::smatch m;
    if (std::regex_search(s, m, kLinha)) {
      linha = std::stoll(m[1]);
      gerais = false;
    } else if (s.starts_with("<section class=\"gerais\"")) {
      gerais = true;
    } else if (std::regex_search(s, m, kAchado)) {
      const auto k = std::stoul(m[1]);
      ++d.linhas_da_tabela[k];
      if (gerais) d.gerais.insert(k);
    } else if (s.starts_with("<span class=\"marcas\"") && std::regex_search(s, m, kColuna)) {
      const std::int64_t c0 = std::stoll(m[1]);
      const auto celulas = Celulas(s);
      for (std::size_t i = 0; i < celulas.size(); ++i) {
        if (!celulas[i].Em("marca")) continue;
        EXPECT_EQ(celulas[i].caractere, U'^');
        EXPECT_GE(i, kMargem);
        d.marcas[std::stoul(celulas[i].Atributo("data-marca"))].push_back(c0 + static_cast<std::int64_t>(i - kMargem));
      }
    } else if (s.find("<span class=\"texto\"") != std::string::npos && std::regex_search(s, m, kColuna)) {
      const std::int64_t c0 = std::stoll(m[1]);
      const auto celulas = Celulas(s);
      for (std::size_t i = kMargem; i < celulas.size(); ++i)
        d.texto[linha][c0 + static_cast<std::int64_t>(i - kMargem)] = celulas[i];
    }
  }
  return d;
}

// The page holds, for every file, its summary row with the whole counts and,
// for a rejected file, each finding shown exactly once, drawn over exactly its
// columns on a record shown byte for byte, and the count of those not shown.
void ConfereArquivos(const std::string& pagina, const std::vector<ArquivoValidado>& arquivos,
                     const Limites& limites = {}) {
  ConfereDocumento(pagina);
  for (std::size_t i = 0; i < arquivos.size(); ++i) {
    const ArquivoValidado& a = arquivos[i];
    SCOPED_TRACE("file " + std::to_string(i + 1) + " " + a.tipo);
    const std::string linha_resumo = "<tr class=\"arquivo\" data-arquivo=\"" + std::to_string(i + 1) + "\">";
    const std::size_t r = pagina.find(linha_resumo);
    ASSERT_NE(r, std::string::npos);
    const std::string resumo = pagina.substr(r, pagina.find("\r\n", r) - r);
    EXPECT_TRUE(resumo.ends_with("<td class=\"n\">" + Milhar(static_cast<std::int64_t>(a.declaracoes.size())) +
                                 "</td><td class=\"n\">" + Milhar(static_cast<std::int64_t>(a.achados.size())) +
                                 "</td></tr>"))
        << resumo;
    EXPECT_NE(resumo.find(a.aceito ? "Aceito (OK)" : "Rejeitado (NOK)"), std::string::npos);

    const std::string_view secao = SecaoDoArquivo(pagina, i + 1);
    if (a.aceito) {
      EXPECT_TRUE(secao.empty());
      continue;
    }
    ASSERT_FALSE(secao.empty());
    const std::size_t mostrados = std::min(a.achados.size(), limites.achados_por_arquivo);
    const std::string nao_mostrados = "data-nao-mostrados=\"" + std::to_string(a.achados.size() - mostrados) + "\"";
    EXPECT_EQ(secao.find(nao_mostrados) != std::string_view::npos, mostrados < a.achados.size());

    const Desenho d = LeDesenho(secao);
    EXPECT_EQ(d.linhas_da_tabela.size(), mostrados);
    for (std::size_t k = 1; k <= mostrados; ++k) {
      const AchadoRelatorio& e = a.achados[k - 1];
      SCOPED_TRACE("finding " + std::to_string(k) + " at line " + std::to_string(e.linha) + ", columns " +
                   std::to_string(e.coluna_inicial) + "-" + std::to_string(e.coluna_final));
      EXPECT_EQ(d.linhas_da_tabela.count(k) ? d.linhas_da_tabela.at(k) : 0, 1) << "each finding listed once";
      const bool desenhado = DesenhaNoRegistro(e, a.tipo);
      EXPECT_EQ(d.gerais.contains(k), !desenhado);
      const bool lido = std::any_of(a.registros.registros.begin(), a.registros.registros.end(),
                                    [&](const RegistroLido& r) { return r.linha == e.linha; });
      std::vector<std::int64_t> esperadas;
      if (desenhado && lido)
        for (std::int64_t c = e.coluna_inicial; c <= e.coluna_final; ++c) esperadas.push_back(c);
      const auto marcas = d.marcas.contains(k) ? d.marcas.at(k) : std::vector<std::int64_t>{};
      EXPECT_EQ(marcas, esperadas) << "the mark covers exactly the finding's columns";
    }
    for (const auto& [k, colunas] : d.marcas) EXPECT_LE(k, mostrados) << "a mark of a finding not shown";

    // Each record drawn: byte for byte, and highlighted where findings shown lie.
    for (const auto& registro : a.registros.registros) {
      if (!d.texto.contains(registro.linha)) continue;
      SCOPED_TRACE("record of line " + std::to_string(registro.linha));
      const auto& celulas = d.texto.at(registro.linha);
      EXPECT_EQ(static_cast<std::size_t>(celulas.rbegin()->first), registro.bytes.size());
      for (const auto& [coluna, celula] : celulas) {
        const auto b = static_cast<unsigned char>(registro.bytes[static_cast<std::size_t>(coluna - 1)]);
        EXPECT_EQ(celula.caractere, Mostrado(b)) << "column " << coluna;
        int cobrem = 0;
        for (std::size_t k = 1; k <= mostrados; ++k) {
          const auto& e = a.achados[k - 1];
          cobrem += e.linha == registro.linha && DesenhaNoRegistro(e, a.tipo) && e.coluna_inicial <= coluna &&
                    coluna <= e.coluna_final;
        }
        EXPECT_EQ(celula.Em("sel"), cobrem > 0) << "column " << coluna;
        EXPECT_EQ(celula.Em("dupla"), cobrem > 1) << "column " << coluna;
      }
    }
  }
}

// --- Files of every kind ---------------------------------------------------------

std::vector<std::string> LinhasDe(const std::string& arquivo) {
  std::vector<std::string> linhas;
  for (const auto l : teste::Linhas(arquivo)) linhas.emplace_back(l);
  return linhas;
}

// The file with `texto` written over the given (line, column)s.
std::string Danificado(const std::string& arquivo, const std::vector<std::pair<int, int>>& onde,
                       std::string_view texto) {
  auto linhas = LinhasDe(arquivo);
  for (const auto& [linha, coluna] : onde)
    linhas[static_cast<std::size_t>(linha - 1)].replace(static_cast<std::size_t>(coluna - 1), texto.size(), texto);
  std::string saida;
  for (const auto& l : linhas) saida += l + "\r\n";
  return saida;
}

std::vector<DeclaracaoRecibo> DeclaracoesDe(const ArquivoValidado& aceito) { return aceito.declaracoes; }

struct CasoTipo {
  std::string_view tipo;
  // Where the damaged copy gets letters into its numeric fields.
  std::vector<std::pair<int, int>> danos;
};

const std::vector<CasoTipo> kTipos = {
    {"GIA03", {{1, 84}, {1, 90}, {2, 300}}},     {"GIA04", {{1, 74}, {1, 76}, {1, 194}}},
    {"GIA05", {{1, 74}, {1, 76}, {1, 194}}},     {"GIAST01", {{1, 300}, {2, 200}, {2, 202}}},
    {"GIAST02", {{1, 100}, {1, 102}, {1, 200}}},
};

TEST(HtmlPagina, ArquivosDeCadaTipoAceitosERejeitados) {
  std::vector<ArquivoValidado> arquivos;
  for (const auto& caso : kTipos) {
    const std::string valido = fuzz::DeclaracaoValida(caso.tipo, 3, 7, caso.tipo == "GIA05");
    ArquivoValidado aceito = Valida(caso.tipo, std::string(caso.tipo) + "-ok.txt", valido);
    ASSERT_TRUE(aceito.aceito) << caso.tipo;
    ASSERT_EQ(aceito.declaracoes.size(), 3U) << caso.tipo;
    ArquivoValidado rejeitado = Valida(caso.tipo, std::string(caso.tipo) + "-nok.txt",
                                       Danificado(valido, caso.danos, "A&"), DeclaracoesDe(aceito));
    ASSERT_FALSE(rejeitado.aceito) << caso.tipo;
    const auto desenhados = std::count_if(rejeitado.achados.begin(), rejeitado.achados.end(),
                                          [&](const auto& e) { return DesenhaNoRegistro(e, caso.tipo); });
    EXPECT_GE(desenhados, 2) << caso.tipo << ": findings on records";
    for (const auto& e : rejeitado.achados) EXPECT_NE(e.codigo, 0) << e.texto;
    // One byte short: the file is no multiple of its record (one finding at 0-0).
    std::string curto = valido.substr(0, valido.size() - 1);
    ArquivoValidado tamanho = Valida(caso.tipo, std::string(caso.tipo) + "-curto.txt", curto, DeclaracoesDe(aceito));
    ASSERT_FALSE(tamanho.aceito);
    arquivos.push_back(std::move(aceito));
    arquivos.push_back(std::move(rejeitado));
    arquivos.push_back(std::move(tamanho));
  }
  const std::string pagina = GeraHtml(arquivos);
  ConfereArquivos(pagina, arquivos);
  // The receipt's declarations of every accepted file are listed.
  const std::string texto = teste::TextoVisivel(pagina);
  for (const auto& a : arquivos) {
    if (!a.aceito) continue;
    for (const auto& d : a.declaracoes) {
      EXPECT_NE(texto.find(d.inscricao + ", referência " + d.periodo), std::string::npos);
    }
  }
  EXPECT_NE(texto.find("15 arquivos validados: 5 aceitos, 10 rejeitados."), std::string::npos);
}

// GIA 4 and 5 name a CFOP whose annex amounts disagree at 999-999: about no
// column of a record, it stands with the file-level findings.
TEST(HtmlPagina, CFOPForaDoRegistro) {
  for (const std::string_view tipo : {"GIA04", "GIA05"}) {
    std::ifstream in(std::string(GIA_RAIZ) + "/fuzz/corpus/" + (tipo == "GIA04" ? "gia04" : "gia05") + "/cfop-999",
                     std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::vector<ArquivoValidado> arquivos = {Valida(tipo, "cfop.txt", bytes.str())};
    ASSERT_FALSE(arquivos[0].aceito);
    const auto cfop = std::find_if(arquivos[0].achados.begin(), arquivos[0].achados.end(),
                                   [](const auto& e) { return e.coluna_inicial == 999; });
    ASSERT_NE(cfop, arquivos[0].achados.end());
    EXPECT_EQ(cfop->codigo, 36);
    EXPECT_FALSE(DesenhaNoRegistro(*cfop, tipo));
    ConfereArquivos(GeraHtml(arquivos), arquivos);
  }
}

// Findings over the same columns, one inside another, side by side: each has
// its own mark, and the columns under more than one are marked as such.
TEST(HtmlPagina, AchadosSobrepostos) {
  ArquivoValidado a;
  a.nome = "sobrepostos.txt";
  a.tipo = "GIA05";
  const std::string registro = geradores::RegistroPrincipalGIA0405({}, {}, {});
  const std::vector<std::pair<std::int64_t, std::int64_t>> colunas = {{74, 88},  {74, 88},  {80, 82}, {89, 89},
                                                                      {95, 105}, {99, 101}, {1, 898}, {898, 898}};
  for (const auto& [p, u] : colunas)
    a.achados.push_back({"123/4567897", "05/2005", 1, p, u, Catalogo::kGIA, 7, 0, "X"});
  fuzz::AmbienteMemoria memoria{"/m"};
  memoria.PoeArquivo("gia.txt", registro + "\r\n");
  a.registros = LeRegistros(memoria, "gia.txt", a.tipo, a.achados);
  ASSERT_EQ(a.registros.registros.size(), 1U);
  ConfereArquivos(GeraHtml(std::vector{a}), {a});
}

// --- The cap on what is drawn ------------------------------------------------------

TEST(HtmlPagina, LimiteDoQueSeDesenha) {
  struct Caso {
    std::size_t limite;
    int declaracoes;
  };
  for (const Caso caso : {Caso{1, 4}, Caso{50, 120}, Caso{500, 30}}) {
    SCOPED_TRACE(caso.limite);
    const std::string valido = fuzz::DeclaracaoValida("GIA03", caso.declaracoes, 11, false);
    std::vector<std::pair<int, int>> danos;
    for (int l = 1; l <= caso.declaracoes; ++l) danos.push_back({l, 84});
    Limites limites;
    limites.achados_por_arquivo = caso.limite;
    const std::vector<ArquivoValidado> arquivos = {
        Valida("GIA03", "muitos.txt", Danificado(valido, danos, "AB"), {}, limites)};
    ASSERT_GE(arquivos[0].achados.size(), static_cast<std::size_t>(caso.declaracoes));
    // Only the lines of the findings shown are read back.
    for (const auto& r : arquivos[0].registros.registros)
      EXPECT_LE(r.linha, arquivos[0].achados[std::min(caso.limite, arquivos[0].achados.size()) - 1].linha);
    const std::string pagina = GeraHtml(arquivos, limites);
    ConfereArquivos(pagina, arquivos, limites);
    if (caso.limite < arquivos[0].achados.size()) {
      const auto total = static_cast<std::int64_t>(arquivos[0].achados.size());
      EXPECT_NE(teste::TextoVisivel(pagina).find(
                    "Esta página mostra os " + Milhar(static_cast<std::int64_t>(caso.limite)) + " primeiros dos " +
                    Milhar(total) + " erros: " + Milhar(total - static_cast<std::int64_t>(caso.limite))),
                std::string::npos);
    }
  }
}

// A hundred thousand findings: every count whole, a page of bounded size.
TEST(HtmlPagina, CemMilAchados) {
  ArquivoValidado a;
  a.nome = "enorme.txt";
  a.tipo = "GIAST01";
  for (int i = 0; i < 100000; ++i)
    a.achados.push_back(
        {"123/4567897", "05/2005", i + 1, 10, 20, Catalogo::kGIAST, 13, 13, "Valor do campo 13 incorreto"});
  const std::string pagina = GeraHtml(std::vector{a});
  EXPECT_LT(pagina.size(), 2'000'000U);
  EXPECT_NE(pagina.find("<td class=\"n\">100.000</td></tr>"), std::string::npos);
  EXPECT_NE(pagina.find("data-nao-mostrados=\"99500\""), std::string::npos);
  EXPECT_NE(teste::TextoVisivel(pagina).find("99.500 erros não são mostrados"), std::string::npos);
}

// --- What the file holds reaches the page as text ------------------------------------

// Records and names made to break out of the page: every byte shows, as the
// character it stands for or as a visible symbol, and no tag but the page's own.
TEST(HtmlPagina, ArquivoHostil) {
  std::string registro = geradores::RegistroPrincipalGIA0405({}, {}, {});
  const std::string script = "<script>alert('x')</script>";
  const std::string pre = "</pre></span><b onclick=\"x\">&amp;&#0;";
  std::string altos;
  for (int b = 0x80; b <= 0xFF; ++b) altos += static_cast<char>(b);
  std::string controles;
  for (int b = 0; b < 0x20; ++b)
    if (b != '\r' && b != '\n') controles += static_cast<char>(b);
  controles += '\x7F';
  geradores::Poe(registro, 84, script);
  geradores::Poe(registro, 120, pre);
  geradores::Poe(registro, 300, altos);
  geradores::Poe(registro, 500, controles);
  // A lone CR and a lone LF inside the line are part of its text.
  geradores::Poe(registro, 600, "\rx\n");
  const std::string arquivo = registro + "\r\n" + registro + "\r\n";

  // Real findings of valida on it, and findings made to cover every hostile run.
  ArquivoValidado real = Valida("GIA05", "<img src=x onerror=alert(1)>&\"'.txt", arquivo);
  ASSERT_FALSE(real.aceito);
  ArquivoValidado feito;
  feito.nome = std::string("nome\x1B[31m\xFF\xC3(</pre>.txt");
  feito.tipo = "GIA05";
  for (const auto& [p, u] :
       std::vector<std::pair<std::int64_t, std::int64_t>>{{84, 110}, {120, 160}, {300, 427}, {500, 531}, {600, 602}}) {
    feito.achados.push_back(
        {"\"><script>x</script>", "05/2005'", 2, p, u, Catalogo::kGIA, 7, 0, "<b>texto</b> & \"aspas\" \x01"});
  }
  fuzz::AmbienteMemoria memoria{"/m"};
  memoria.PoeArquivo("gia.txt", arquivo);
  feito.registros = LeRegistros(memoria, "gia.txt", feito.tipo, feito.achados);
  ASSERT_EQ(feito.registros.registros.size(), 1U);
  EXPECT_EQ(feito.registros.registros[0].bytes, registro);

  const std::vector<ArquivoValidado> arquivos = {real, feito};
  const std::string pagina = GeraHtml(arquivos);
  ConfereArquivos(pagina, arquivos);
  const std::string texto = teste::TextoVisivel(pagina);
  // The hostile texts are there to be read, as text.
  EXPECT_NE(texto.find("<img src=x onerror=alert(1)>&\"'.txt"), std::string::npos);
  EXPECT_NE(texto.find("<script>alert('x')</script>"), std::string::npos);
  EXPECT_NE(texto.find("</pre></span><b\u2423onclick=\"x\">&amp;&#0;"), std::string::npos);
  EXPECT_NE(texto.find("\"><script>x</script>"), std::string::npos);
  EXPECT_NE(texto.find("<b>texto</b> & \"aspas\" \u2401"), std::string::npos);
  EXPECT_NE(texto.find("nome\u241B[31m\uFFFD\uFFFD(</pre>.txt"), std::string::npos);
  EXPECT_NE(texto.find("\u20AC\u25AF\u201A"), std::string::npos) << "0x80 to 0x82";
  EXPECT_NE(texto.find("\u2400\u2401\u2402"), std::string::npos);
  EXPECT_NE(texto.find("\u240Dx\u240A"), std::string::npos) << "the lone CR and LF";
}

// --- Lines and columns that are not there --------------------------------------------

TEST(HtmlPagina, LinhasEColunasQueFaltam) {
  ArquivoValidado a;
  a.nome = "curto.txt";
  a.tipo = "GIAST02";
  // Three lines: an "A3" of 46 characters, then two shorter ones, the last without its CR LF.
  const std::string arquivo = std::string(46, '1') + "\r\n" + "22\r\n" + "333";
  a.achados = {
      {"12345678901234", "05/2005", 1, 40, 60, Catalogo::kGIAST, 5, 0, "Campo Fixo Incorreto"},
      {"12345678901234", "05/2005", 57, 1, 2, Catalogo::kGIAST, 5, 0, "Campo Fixo Incorreto"},
      {"12345678901234", "05/2005", 3, 2, 5, Catalogo::kGIAST, 5, 0, "Campo Fixo Incorreto"},
  };
  fuzz::AmbienteMemoria memoria{"/m"};
  memoria.PoeArquivo("st.txt", arquivo);
  a.registros = LeRegistros(memoria, "st.txt", a.tipo, a.achados);
  EXPECT_TRUE(a.registros.fim);
  EXPECT_EQ(a.registros.linhas, 3);
  const std::string pagina = GeraHtml(std::vector{a});
  ConfereArquivos(pagina, {a});
  const std::string texto = teste::TextoVisivel(pagina);
  EXPECT_NE(texto.find("A linha 57 não existe no arquivo, que tem 3 linhas."), std::string::npos);
  EXPECT_NE(texto.find("A linha termina na coluna 46: as colunas 47 a 60 não existem nela"), std::string::npos);
  EXPECT_NE(texto.find("(colunas 47 a 60 além do fim da linha)"), std::string::npos);
  EXPECT_NE(texto.find("A linha termina na coluna 3: as colunas 4 a 5 não existem nela"), std::string::npos);

  // A file that cannot be read again: the findings are listed, nothing drawn.
  a.registros = LeRegistros(memoria, "sumiu.txt", a.tipo, a.achados);
  EXPECT_FALSE(a.registros.falha.empty());
  const std::string sem_registros = GeraHtml(std::vector{a});
  ConfereArquivos(sem_registros, {a});
  EXPECT_NE(teste::TextoVisivel(sem_registros).find("Os registros não puderam ser lidos de novo"), std::string::npos);
}

// --- The reader of records -----------------------------------------------------------

// Serves a file's bytes in reads of a given size, counting what it served,
// failing once it has served `falha_em` bytes.
class LeituraContada : public plataforma::ArquivoLeitura {
 public:
  LeituraContada(std::string bytes, std::size_t passo, std::size_t falha_em = SIZE_MAX)
      : bytes_(std::move(bytes)), passo_(passo), falha_em_(falha_em) {}
  plataforma::Status Ler(char* buf, std::size_t n, std::size_t* lidos) override {
    if (servidos_ >= falha_em_) return plataforma::Status::Erro(plataforma::Falha::kDispositivoIndisponivel, "EIO");
    *lidos = std::min({n, passo_, bytes_.size() - servidos_});
    std::copy_n(bytes_.data() + servidos_, *lidos, buf);
    servidos_ += *lidos;
    return plataforma::Status::Ok();
  }
  plataforma::Status Tamanho(std::uint64_t* b) override {
    *b = bytes_.size();
    return plataforma::Status::Ok();
  }
  std::size_t servidos_ = 0;

 private:
  std::string bytes_;
  std::size_t passo_;
  std::size_t falha_em_;
};

std::vector<AchadoRelatorio> NasLinhas(std::initializer_list<std::int64_t> linhas) {
  std::vector<AchadoRelatorio> achados;
  for (const auto l : linhas) achados.push_back({"", "", l, 1, 1, Catalogo::kGIA, 7, 0, ""});
  return achados;
}

TEST(LeRegistros, LinhasAteCRLF) {
  struct Caso {
    std::string_view regra;
    std::string arquivo;
    std::vector<std::int64_t> pedidas;
    std::vector<std::pair<std::int64_t, std::string>> lidas;
    std::int64_t linhas;
    bool fim;
  };
  const std::vector<Caso> casos = {
      {"lines end at CR LF", "a\r\nbb\r\nccc\r\n", {1, 3}, {{1, "a"}, {3, "ccc"}}, 3, false},
      {"a lone CR or LF is text", "a\rb\nc\r\nd\r\r\n", {1, 2}, {{1, "a\rb\nc"}, {2, "d\r"}}, 2, false},
      {"text after the last CR LF is a last line", "a\r\nb", {2}, {{2, "b"}}, 2, true},
      {"a final CR alone is text", "a\r\nb\r", {2}, {{2, "b\r"}}, 2, true},
      {"no line after the last CR LF", "a\r\n", {2}, {}, 1, true},
      {"an empty line exists", "a\r\n\r\nc\r\n", {2}, {{2, ""}}, 2, false},
      {"an empty file has no line", "", {1}, {}, 0, true},
      {"lines past the end are missing", "a\r\nb\r\n", {2, 5, 9}, {{2, "b"}}, 2, true},
      {"one line asked for twice is read once", "a\r\nb\r\n", {2, 2}, {{2, "b"}}, 2, false},
  };
  for (const auto& caso : casos) {
    for (const std::size_t passo : {1, 2, 3, 7, 65536}) {
      SCOPED_TRACE(std::string(caso.regra) + ", reads of " + std::to_string(passo));
      LeituraContada leitura(caso.arquivo, passo);
      std::vector<AchadoRelatorio> achados;
      for (const auto l : caso.pedidas) achados.push_back(NasLinhas({l})[0]);
      const RegistrosArquivo r = LeRegistros(leitura, "GIA05", achados);
      std::vector<std::pair<std::int64_t, std::string>> lidas;
      for (const auto& reg : r.registros) {
        lidas.emplace_back(reg.linha, reg.bytes);
        EXPECT_EQ(reg.tamanho, reg.bytes.size());
      }
      EXPECT_EQ(lidas, caso.lidas);
      EXPECT_EQ(r.linhas, caso.linhas);
      EXPECT_EQ(r.fim, caso.fim);
      EXPECT_TRUE(r.falha.empty());
    }
  }
}

TEST(LeRegistros, MemoriaLimitada) {
  // A line of 20 MB without a line end: its first bytes are kept, its length counted.
  {
    LeituraContada leitura(std::string(20'000'000, 'x'), 1 << 20);
    const RegistrosArquivo r = LeRegistros(leitura, "GIA05", NasLinhas({1}));
    ASSERT_EQ(r.registros.size(), 1U);
    EXPECT_EQ(r.registros[0].bytes.size(), 1024U);
    EXPECT_EQ(r.registros[0].tamanho, 20'000'000U);
  }
  // The reading stops after the last line needed.
  {
    std::string arquivo;
    for (int i = 0; i < 100000; ++i) arquivo += std::string(898, 'a') + "\r\n";
    LeituraContada leitura(arquivo, 4096);
    const RegistrosArquivo r = LeRegistros(leitura, "GIA03", NasLinhas({3, 10}));
    EXPECT_EQ(r.registros.size(), 2U);
    EXPECT_LT(leitura.servidos_, 16'384U);
    EXPECT_FALSE(r.fim);
  }
  // Only the lines of the findings shown are kept; findings not drawn need none.
  {
    Limites limites;
    limites.achados_por_arquivo = 2;
    auto achados = NasLinhas({4, 1, 2, 3});
    achados.push_back({"", "", 5, 0, 0, Catalogo::kGIA, 21, 0, ""});
    LeituraContada leitura("1\r\n2\r\n3\r\n4\r\n5\r\n", 1);
    const RegistrosArquivo r = LeRegistros(leitura, "GIA03", achados, limites);
    ASSERT_EQ(r.registros.size(), 2U);
    EXPECT_EQ(r.registros[0].linha, 1);
    EXPECT_EQ(r.registros[1].linha, 4);
    LeituraContada nada("1\r\n", 1);
    EXPECT_TRUE(LeRegistros(nada, "GIA03", std::vector{achados.back()}).registros.empty());
    EXPECT_EQ(nada.servidos_, 0U);
  }
}

TEST(LeRegistros, FalhaDeLeitura) {
  LeituraContada leitura("a\r\nb\r\nc\r\n", 1, 4);
  const RegistrosArquivo r = LeRegistros(leitura, "GIA03", NasLinhas({1, 3}));
  EXPECT_EQ(r.registros.size(), 1U);
  EXPECT_NE(r.falha.find("a unidade não está disponível"), std::string::npos) << r.falha;
  fuzz::AmbienteMemoria memoria{"/m"};
  EXPECT_NE(LeRegistros(memoria, "/m/nao-existe.txt", "GIA03", NasLinhas({1})).falha.find("não encontrado"),
            std::string::npos);
}

}  // namespace
}  // namespace validagia
