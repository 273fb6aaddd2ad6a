// Reading back a page of the HTML report for its tests: the tags it holds,
// and the rows of a record's drawing cell by cell (what the eye sees in the
// monospaced block, one character per column).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace validagia::teste {

struct Etiqueta {
  std::string nome;  // lower case; "/x" for a closing tag, "!doctype" for the doctype
  std::map<std::string, std::string> atributos;
};

// One character that the page shows, and the spans around it.
struct Celula {
  char32_t caractere = 0;
  std::vector<Etiqueta> dentro;  // the open spans, outermost first

  [[nodiscard]] bool Em(std::string_view classe) const;
  [[nodiscard]] std::string Atributo(std::string_view nome) const;  // of the innermost span that has it
};

// Every tag of the page, in order; the text of <style> is skipped. Fails the
// test (ADD_FAILURE) where the page is not plain tags and text.
std::vector<Etiqueta> Etiquetas(std::string_view pagina);

// The page's text with the tags removed and the entities decoded.
std::string TextoVisivel(std::string_view pagina);

// The characters of one line of the page, with the spans each stands in.
std::vector<Celula> Celulas(std::string_view linha);

// The lines of the page (CR LF).
std::vector<std::string_view> Linhas(std::string_view pagina);

// Whether the bytes are valid UTF-8.
bool Utf8Valido(std::string_view texto);

}  // namespace validagia::teste
