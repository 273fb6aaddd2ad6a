// Black-box harness: a temporary folder with a copy of the built valida, in
// which a test writes "param.txt" and the declaration, starts the program as a
// caller does and reads both results back; and the expected results: the
// receipt, the rejection report and its finding lines.
//
// The program comes from VALIDA_PROGRAMA; when it is a Windows executable it
// runs under the Wine named by VALIDA_WINE (with the caller's WINEPREFIX).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace blackbox {

// A parameter line of 388 columns (longer when a field overflows its width).
struct Parametros {
  std::string identificador = "PARAM";
  std::string tipo;
  std::string arquivo;
  std::string email = "contribuinte@exemplo.com.br";
  std::string endereco;
  std::string orgao;
  std::string estado;
  [[nodiscard]] std::string Linha() const;
};

// Whole CR LF lines of a text.
std::vector<std::string> Linhas(std::string_view texto);
// The lines joined, each ended by CR LF.
std::string Texto(const std::vector<std::string>& linhas);

// How a run is started, beyond what a caller usually does.
struct Opcoes {
  int entrada = -1;                   // descriptor for the standard input; -1: /dev/null
  int erro = -1;                      // descriptor for the standard error; -1: a file that Erro() reads
  bool erro_fechado = false;          // start with the standard error closed
  std::uint64_t memoria_kb = 0;       // limit of the address space (ulimit -v); 0: none
  int limite_segundos = 300;          // then the run counts as hung and is killed
  std::filesystem::path pasta_atual;  // working folder; empty: the program's folder
  std::string programa;               // the program to start; empty: the folder's copy
};

class PastaValida {
 public:
  PastaValida();
  PastaValida(const PastaValida&) = delete;
  PastaValida& operator=(const PastaValida&) = delete;
  ~PastaValida();

  [[nodiscard]] const std::filesystem::path& Caminho() const { return pasta_; }
  // True when the program is a Windows executable run under Wine.
  [[nodiscard]] static bool SobWine();

  void EscreveArquivo(const std::string& nome, std::string_view bytes) const;
  // "param.txt" with the parameter line and CR LF.
  void EscreveParametros(std::string_view tipo, std::string_view arquivo) const;
  void EscreveParametros(const Parametros& parametros) const;

  // A path of this machine as the program sees it (Z:\... under Wine).
  [[nodiscard]] static std::string CaminhoDoPrograma(const std::filesystem::path& caminho);

  // Starts the program in the folder (also its working folder), waits for it
  // and returns its exit status (-1 when it was killed after a time-out).
  int Executa(const Opcoes& opcoes = {});
  // Starts the program without waiting for it (several may run at once);
  // Espera waits for the one started, with Executa's result.
  struct Processo {
    int pid = -1;
    std::filesystem::path arquivo_erro;
    int limite_segundos = 0;
  };
  Processo Inicia(const Opcoes& opcoes = {});
  int Espera(const Processo& processo);
  // What the program wrote on its standard error stream in the last run.
  [[nodiscard]] const std::string& Erro() const { return erro_; }
  // Executa, expecting a report: exit status 0, `veredito` on the second line
  // of "param.txt" and no work file left. Returns saida.txt's lines.
  std::vector<std::string> ExecutaComRelatorio(std::string_view veredito);

  [[nodiscard]] bool Existe(const std::string& nome) const;
  [[nodiscard]] std::string Le(const std::string& nome) const;
  [[nodiscard]] std::vector<std::string> LinhasSaida() const { return Linhas(Le("saida.txt")); }
  [[nodiscard]] std::vector<std::string> LinhasParametros() const { return Linhas(Le("param.txt")); }
  // Files of the folder other than the program itself.
  [[nodiscard]] std::vector<std::string> Arquivos() const;

 private:
  std::filesystem::path pasta_;
  std::filesystem::path programa_;
  std::string erro_;
};

// Runs the declaration `conteudo`, written as `nome` in a new folder, as kind
// `tipo` (the path given whole) with ExecutaComRelatorio. Returns saida.txt's
// lines.
std::vector<std::string> Valida(std::string_view tipo, const std::string& nome, std::string_view conteudo,
                                std::string_view veredito);

// The whole receipt in GIA wording for the default parameters (default
// headings, no consultation address): `lista` holds its list lines, `quantas`
// the declarations.
std::vector<std::string> ReciboGIA(std::string_view tipo, const std::vector<std::string>& lista, int quantas);
// The same in the wording of GIA ST 2 files, with "INSCRIÇÃO" headings.
std::vector<std::string> ReciboST(const std::vector<std::string>& lista, int quantas);

// The column headings of the report: the registration as a CGC/TE or as an
// "Inscrição".
extern const std::string kCabecalhoCGCTE;
extern const std::string kCabecalhoInscricao;

// The rejection report: its frame with `cabecalho`, then the finding lines.
std::vector<std::string> Relatorio(const std::string& cabecalho, const std::vector<std::string>& achados);

// A finding line: taxpayer and period ("123/4567897    09/1998"), line,
// first and last column, text.
std::string Achado(std::string_view contribuinte_periodo, int linha, int primeira, int ultima, std::string_view texto);

}  // namespace blackbox
