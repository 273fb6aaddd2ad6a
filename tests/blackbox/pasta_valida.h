// Black-box harness: a temporary folder with a copy of the built valida, in
// which a test writes "param.txt" and the declaration, starts the program as a
// caller does and reads both results back.
//
// The program comes from VALIDA_PROGRAMA; when it is a Windows executable it
// runs under the Wine named by VALIDA_WINE (with the caller's WINEPREFIX).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <filesystem>

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
  int Executa();
  // What the program wrote on its standard error stream in the last run.
  [[nodiscard]] const std::string& Erro() const { return erro_; }

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

}  // namespace blackbox
