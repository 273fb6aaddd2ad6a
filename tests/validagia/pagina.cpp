// Reading back a page of the HTML report for its tests.
#include "tests/validagia/pagina.h"

#include <gtest/gtest.h>

#include <cctype>

#include "common/cp1252.h"

namespace validagia::teste {

namespace {

std::string Minusculas(std::string_view texto) {
  std::string saida(texto);
  for (char& c : saida) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return saida;
}

// The tag that starts at pagina[i] ('<'); i is left after its '>'.
Etiqueta LeEtiqueta(std::string_view pagina, std::size_t& i) {
  Etiqueta e;
  const std::size_t fim = pagina.find('>', i);
  if (fim == std::string_view::npos) {
    ADD_FAILURE() << "a tag without its end at " << i;
    i = pagina.size();
    return e;
  }
  const std::string_view corpo = pagina.substr(i + 1, fim - i - 1);
  i = fim + 1;
  std::size_t k = 0;
  while (k < corpo.size() && corpo[k] != ' ') ++k;
  e.nome = Minusculas(corpo.substr(0, k));
  while (k < corpo.size()) {
    while (k < corpo.size() && corpo[k] == ' ') ++k;
    if (k >= corpo.size()) break;
    const std::size_t inicio = k;
    while (k < corpo.size() && corpo[k] != '=' && corpo[k] != ' ') ++k;
    std::string nome = Minusculas(corpo.substr(inicio, k - inicio));
    std::string valor;
    if (k < corpo.size() && corpo[k] == '=') {
      ++k;
      if (k >= corpo.size() || corpo[k] != '"') {
        ADD_FAILURE() << "an unquoted attribute value in <" << corpo << ">";
        break;
      }
      const std::size_t fecha = corpo.find('"', k + 1);
      if (fecha == std::string_view::npos) {
        ADD_FAILURE() << "an attribute value without its closing quote in <" << corpo << ">";
        break;
      }
      valor = std::string(corpo.substr(k + 1, fecha - k - 1));
      k = fecha + 1;
    }
    e.atributos[nome] = valor;
  }
  return e;
}

char32_t Entidade(std::string_view pagina, std::size_t& i) {
  const std::size_t fim = pagina.find(';', i);
  const std::string_view nome = fim == std::string_view::npos ? std::string_view{} : pagina.substr(i, fim - i + 1);
  i = fim == std::string_view::npos ? pagina.size() : fim + 1;
  if (nome == "&amp;") return '&';
  if (nome == "&lt;") return '<';
  if (nome == "&gt;") return '>';
  if (nome == "&quot;") return '"';
  if (nome == "&#39;") return '\'';
  ADD_FAILURE() << "an unknown entity " << nome;
  return 0xFFFD;
}

char32_t Utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  const std::size_t n = b0 < 0x80 ? 1 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
  char32_t cp = n == 1 ? b0 : n == 2 ? b0 & 0x1F : n == 3 ? b0 & 0x0F : b0 & 0x07;
  for (std::size_t k = 1; k < n && i + k < s.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += n;
  return cp;
}

}  // namespace

bool Celula::Em(std::string_view classe) const {
  for (const auto& e : dentro) {
    const auto it = e.atributos.find("class");
    if (it == e.atributos.end()) continue;
    std::string_view classes = it->second;
    while (!classes.empty()) {
      const std::size_t fim = classes.find(' ');
      if (classes.substr(0, fim) == classe) return true;
      classes = fim == std::string_view::npos ? std::string_view{} : classes.substr(fim + 1);
    }
  }
  return false;
}

std::string Celula::Atributo(std::string_view nome) const {
  for (auto it = dentro.rbegin(); it != dentro.rend(); ++it) {
    const auto a = it->atributos.find(std::string(nome));
    if (a != it->atributos.end()) return a->second;
  }
  return {};
}

std::vector<Etiqueta> Etiquetas(std::string_view pagina) {
  std::vector<Etiqueta> etiquetas;
  std::size_t i = 0;
  while (i < pagina.size()) {
    if (pagina[i] != '<') {
      ++i;
      continue;
    }
    etiquetas.push_back(LeEtiqueta(pagina, i));
    if (etiquetas.back().nome == "style") {
      const std::size_t fim = pagina.find("</style>", i);
      i = fim == std::string_view::npos ? pagina.size() : fim;
    }
  }
  return etiquetas;
}

std::string TextoVisivel(std::string_view pagina) {
  std::string texto;
  std::size_t i = 0;
  while (i < pagina.size()) {
    if (pagina[i] == '<') {
      if (LeEtiqueta(pagina, i).nome == "style") i = pagina.find("</style>", i);
    } else if (pagina[i] == '&') {
      cp1252::AcrescentaUtf8(texto, Entidade(pagina, i));
    } else {
      texto += pagina[i++];
    }
  }
  return texto;
}

std::vector<Celula> Celulas(std::string_view linha) {
  std::vector<Celula> celulas;
  std::vector<Etiqueta> abertas;
  std::size_t i = 0;
  while (i < linha.size()) {
    if (linha[i] == '<') {
      Etiqueta e = LeEtiqueta(linha, i);
      if (e.nome.starts_with("/")) {
        if (abertas.empty())
          ADD_FAILURE() << "a closing tag with none open: " << linha;
        else
          abertas.pop_back();
      } else {
        abertas.push_back(std::move(e));
      }
      continue;
    }
    Celula c;
    c.caractere = linha[i] == '&' ? Entidade(linha, i) : Utf8(linha, i);
    c.dentro = abertas;
    celulas.push_back(std::move(c));
  }
  return celulas;
}

std::vector<std::string_view> Linhas(std::string_view pagina) {
  std::vector<std::string_view> linhas;
  std::size_t inicio = 0;
  while (inicio < pagina.size()) {
    const std::size_t fim = pagina.find("\r\n", inicio);
    linhas.push_back(pagina.substr(inicio, fim - inicio));
    if (fim == std::string_view::npos) break;
    inicio = fim + 2;
  }
  return linhas;
}

bool Utf8Valido(std::string_view texto) {
  std::size_t i = 0;
  while (i < texto.size()) {
    const auto b0 = static_cast<unsigned char>(texto[i]);
    std::size_t n = 0;
    if (b0 < 0x80)
      n = 0;
    else if (b0 >= 0xC2 && b0 <= 0xDF)
      n = 1;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
      n = 2;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
      n = 3;
    else
      return false;
    if (i + n >= texto.size() && n > 0) return false;
    for (std::size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(texto[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace validagia::teste
