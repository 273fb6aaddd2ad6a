// The run parameters: the fixed-column first line of "param.txt".
#pragma once

#include <string>
#include <string_view>

namespace valida {

// Each field is cut from the line by column and width, trimmed of blanks and
// held left-aligned, padded with blanks to its width.
struct Parametros {
  std::string Identificador;      //   1-8
  std::string TipoDocumento;      //   9-20
  std::string ArquivoDeclaracao;  //  21-148
  std::string EmailContribuinte;  // 149-218
  std::string EnderecoConsulta;   // 219-288
  std::string CabecalhoOrgao;     // 289-358
  std::string CabecalhoEstado;    // 359-388
};

// The first line of param.txt: it ends at the first CR or LF.
std::string_view PrimeiraLinha(std::string_view conteudo);

Parametros LeParametros(std::string_view linha);

// Identificador "PARAM", one of the five kinds, and an e-mail address.
bool ParametrosValidos(const Parametros& parametros);

// The report and the receipt take the registration layout (a 14-character
// state registration, "Inscrição" headings, the ST wording) for a GIA ST 2
// file, and for a blank kind: the parameters were invalid.
bool LayoutInscricao(std::string_view tipo_documento);

}  // namespace valida
