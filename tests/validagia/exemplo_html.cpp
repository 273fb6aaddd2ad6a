// Writes a sample page of the HTML report, made of real findings of valida:
// an accepted GIA 5 file, a rejected GIA 4 file with findings side by side and
// over the same columns, a GIA ST 2 file cut short, and a record that holds
// markup and control bytes. The browser test opens it.
//   validagia_exemplo_html PAGE.html
#include <fstream>
#include <iostream>

#include "fuzz/declaracoes.h"
#include "tests/validagia/validacao_memoria.h"
#include "validagia/html.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "uso: validagia_exemplo_html PAGINA.html\n";
    return 2;
  }
  using validagia::teste::Valida;
  std::vector<validagia::ArquivoValidado> arquivos;
  arquivos.push_back(Valida("GIA05", "empresa-2005.txt", fuzz::DeclaracaoValida("GIA05", 4, 3, true)));

  // GIA 4: letters in amounts of the main record, and markup in a record.
  std::string gia04 = fuzz::DeclaracaoValida("GIA04", 2, 5, false);
  const auto declaracoes04 = Valida("GIA04", "", gia04).declaracoes;
  gia04.replace(73, 4, "12A4");
  gia04.replace(193, 25, "<script>alert(1)</script>");
  gia04.replace(900 + 83, 6, "\x01\t 7&\"");
  arquivos.push_back(Valida("GIA04", "filial <sul> & \"centro\".txt", gia04, declaracoes04));

  // GIA ST 2, one byte short: a finding about the whole file.
  const std::string st = fuzz::DeclaracaoValida("GIAST02", 2, 9, false);
  arquivos.push_back(
      Valida("GIAST02", "st-incompleto.txt", st.substr(0, st.size() - 1), Valida("GIAST02", "", st).declaracoes));

  std::ofstream saida(argv[1], std::ios::binary);
  validagia::EscreveHtml(saida, arquivos);
  saida.close();
  if (!saida) {
    std::cerr << "não foi possível escrever " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
