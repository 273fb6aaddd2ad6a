// The HTML report of validagia (-f html): one self-contained page that shows,
// for every file validated, its verdict and, for a rejected file, each
// finding's columns marked on the record that it concerns. The page holds no
// script and reaches no network; everything that came from a declaration file
// or a file name is escaped text. The records are read back from the file in
// one pass, keeping only the lines with findings to draw (LeRegistros).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ambiente.h"

namespace validagia {

// One declaration as the receipt lists it (UTF-8): "123/4567897" and
// "05/2005", or a GIA ST 2 state registration.
struct DeclaracaoRecibo {
  std::string inscricao;
  std::string periodo;
};

enum class Catalogo { kGIA, kGIAST };

// One finding, as the report prints it (texts in UTF-8). Columns 0-0 concern
// the whole file; columns outside the record of the kind (GIA 4/5 code 36 at
// 999-999) concern none of its columns: neither is drawn on a record.
struct AchadoRelatorio {
  std::string inscricao;  // as printed, blanks trimmed; empty for a file-level finding
  std::string periodo;    // "MM/AAAA" as printed
  std::int64_t linha = 0;
  std::int64_t coluna_inicial = 0;
  std::int64_t coluna_final = 0;
  Catalogo catalogo = Catalogo::kGIA;
  int codigo = 0;
  int campo = 0;  // GIA ST field number; 0 when the text names none
  std::string texto;
};

// One line of the declaration file as read back for drawing: its first bytes
// (Windows-1252, any byte value, without the CR LF) and its whole length.
struct RegistroLido {
  std::int64_t linha = 0;
  std::string bytes;          // at most Limites::bytes_por_linha of them
  std::uint64_t tamanho = 0;  // the line's length; more than bytes.size() when cut
};

// What the page draws at most. Counts are never cut: a finding past the cap
// is counted and said not to be shown.
struct Limites {
  // Findings shown (listed and drawn) per file, the first ones recorded.
  std::size_t achados_por_arquivo = 500;
  // Bytes kept of a line read back; longer than any record of any kind.
  std::size_t bytes_por_linha = 1024;
  // Declarations listed per accepted file.
  std::size_t declaracoes_por_arquivo = 1000;
};

// The records that carry the findings to draw, and how the reading went.
struct RegistrosArquivo {
  // Sorted by line, one entry per line that exists in the file.
  std::vector<RegistroLido> registros;
  // Lines counted; the whole file's count when `fim` is set.
  std::int64_t linhas = 0;
  // The reading reached the end of the file (some line asked for lies past it).
  bool fim = false;
  // Empty when the reading went well; otherwise why it failed (UTF-8): the
  // records are then not drawn, the findings are still listed.
  std::string falha;
};

// One file validated.
struct ArquivoValidado {
  std::string nome;  // as given (UTF-8; invalid sequences are shown as U+FFFD)
  std::string tipo;  // "GIA03", "GIA04", "GIA05", "GIAST01" or "GIAST02"
  bool aceito = false;
  std::vector<DeclaracaoRecibo> declaracoes;
  std::vector<AchadoRelatorio> achados;  // in the order recorded
  RegistrosArquivo registros;            // from LeRegistros; may be empty
};

// The longest record of the kind (898 for the GIA kinds, 754 for "GIAST01",
// 812 for "GIAST02"); 0 for an unknown kind.
int MaiorRegistro(std::string_view tipo);

// Whether the finding is drawn on its record: it names a line (1 or more) and
// its columns lie from 1 to the longest record of the kind, the first not
// after the last. The others stand in a block of their own.
bool DesenhaNoRegistro(const AchadoRelatorio& achado, std::string_view tipo);

// Reads, in one pass over the declaration file, the lines that the first
// `limites.achados_por_arquivo` findings are drawn on (lines end at CR LF; a
// lone CR or LF is part of the line). Keeps at most `bytes_por_linha` bytes
// of each, and stops reading after the last line needed; memory stays bounded
// whatever the file's size or its lines' lengths. A read failure is noted in
// `falha`, never thrown. Give it the Limites that the page is made with.
RegistrosArquivo LeRegistros(plataforma::ArquivoLeitura& arquivo, std::string_view tipo,
                             std::span<const AchadoRelatorio> achados, const Limites& limites = {});
// The same for the file under the path (UTF-8); a file that cannot be opened
// (not a regular file among them: the open never blocks) is noted in `falha`.
RegistrosArquivo LeRegistros(plataforma::Ambiente& ambiente, const std::string& caminho, std::string_view tipo,
                             std::span<const AchadoRelatorio> achados, const Limites& limites = {});

// Writes the whole page (UTF-8) for the files, in the order given.
void EscreveHtml(std::ostream& saida, std::span<const ArquivoValidado> arquivos, const Limites& limites = {});
std::string GeraHtml(std::span<const ArquivoValidado> arquivos, const Limites& limites = {});

}  // namespace validagia
