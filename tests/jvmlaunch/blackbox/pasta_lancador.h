// Black-box harness of jvmlaunch: a temporary tree with a copy of the built
// launcher (app/), the folder of its caller (chamador/), fake runtimes and a
// fake command interpreter (programa_falso), and program-files folders; the
// launcher is started as a caller does, inside a private network namespace
// (rede_teste), with or without a server on 127.0.0.1:8020.
//
// The launcher comes from JVMLAUNCH_PROGRAMA; the fake (programa_falso, with
// the launcher's suffix) lies beside it, the runner beside this program. When
// the launcher is a Windows program it runs under JVMLAUNCH_WINE (default
// /usr/lib/wine/wine64) in the prefix WINEPREFIX (default: the folder
// wineprefix beside this program).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lancador {

class PastaLancador {
 public:
  // app: the launcher's folder below the tree's root (it may hold folders).
  explicit PastaLancador(std::string app = "app");
  PastaLancador(const PastaLancador&) = delete;
  PastaLancador& operator=(const PastaLancador&) = delete;
  ~PastaLancador();

  // True when the launcher is a Windows program run under Wine.
  static bool SobWine();
  // Empty when the launcher can run in its own network namespace here;
  // otherwise why not.
  static std::string SemNamespace();

  [[nodiscard]] const std::filesystem::path& Raiz() const { return raiz_; }
  // The launcher's folder.
  [[nodiscard]] std::filesystem::path App() const { return raiz_ / app_; }
  // A path as the launcher sees it (Z:\... under Wine).
  [[nodiscard]] static std::string Visto(const std::filesystem::path& caminho);
  // The folder separator as the launcher writes it.
  static char Separador() { return SobWine() ? '\\' : '/'; }
  // The program suffix: ".exe" under Wine.
  static std::string Sufixo() { return SobWine() ? ".exe" : ""; }

  // Copies the fake as pasta/nome; returns its path.
  std::filesystem::path Falso(const std::filesystem::path& pasta, const std::string& nome) const;
  // Writes a file.
  static void Escreve(const std::filesystem::path& caminho, std::string_view conteudo);
  // Reads a file; empty when it is not there.
  static std::string Le(const std::filesystem::path& caminho);

  // A fake command interpreter whose "ftype jarfile" prints saida and erro:
  // on PATH natively, beside the launcher under Wine (where it comes before
  // Wine's own). Returns its folder.
  std::filesystem::path Associacao(std::string_view saida, std::string_view erro = {});
  // A fake runtime at home/bin/java (java.exe under Wine) whose answer to
  // "-d32 -version" on the standard error is versao; returns its folder.
  std::filesystem::path Runtime(const std::filesystem::path& home, std::string_view versao) const;

  // The program-files folders: index 0 ProgramFiles, 1 ProgramFiles(x86),
  // 2 ProgramW6432. Natively the three variables point to raiz/pf0..pf2;
  // under Wine (which sets them itself: C:\Program Files, C:\Program Files
  // (x86), and C:\Program Files again) pfN/Java is mounted over the prefix's
  // Java folder of the same program-files folder.
  [[nodiscard]] std::filesystem::path ProgramFiles(int i) const { return raiz_ / ("pf" + std::to_string(i)); }
  // The folder as the launcher names it.
  [[nodiscard]] static std::string ProgramFilesVisto(int i);
  // A variable for the run (natively only for the program-files ones);
  // Remove unsets it.
  void Variavel(const std::string& nome, const std::string& valor) { variaveis_[nome] = valor; }
  void Remove(const std::string& nome) { removidas_.push_back(nome); }
  // Mounts folder origem over folder destino for the run.
  void Monta(const std::filesystem::path& origem, const std::filesystem::path& destino) {
    montagens_.push_back(origem.string() + ":" + destino.string());
  }

  struct Resultado {
    int codigo = -1;
    std::string erro;      // the launcher's standard error
    std::string recebido;  // what the server received
    std::string fim;       // how the connection ended: fim, erro N, nenhuma
  };
  // Starts the launcher from chamador/ with the arguments, the server
  // listening when escuta.
  Resultado Executa(const std::vector<std::string>& argumentos, bool escuta = false);

  // The names of the files in app/Log.
  [[nodiscard]] std::vector<std::string> ArquivosLog() const;
  // The one log file that a run left in app/Log ("" when none or more).
  [[nodiscard]] std::string Log() const;

 private:
  std::filesystem::path raiz_;
  std::string app_;
  std::vector<std::string> montagens_;
  std::map<std::string, std::string> variaveis_;
  std::vector<std::string> removidas_;
};

// The log with its time stamps masked ("<level>", "<data>"), without the
// messages of level 7 (the reads from children, whose chunks vary), without
// empty lines, and with the numbers that vary masked: buffer addresses in
// ExecutarComando(...) as <end>, handles in "fechando" and "send(...)" as <id>.
std::vector<std::string> LinhasDoLog(const std::string& log);

}  // namespace lancador
