// The runtime discovery: every probe goes through ExecutarComando, every step
// is traced at level 3, and the failures the user must act on end in a
// message box.
#include "jvmlaunch/launcher/descoberta.h"

#include <cstring>
#include <vector>

#include "common/cp1252.h"
#include "jvmlaunch/launcher/executar.h"
#include "jvmlaunch/log/log.h"

namespace jvmlaunch {

namespace {

// Bytes captured of each stream: of the association's answer, of a probe.
constexpr int kCapturaAssociacao = 9999;
constexpr int kCapturaVersao = 999;

constexpr std::string_view kPrefixoAssociacao = "jarfile=";
constexpr std::string_view kFimCandidato = " -jar";
constexpr std::string_view kPrefixoVersao = "java version \"";
constexpr std::string_view kSem32bits = "not support a 32-bit JVM";
constexpr const char* kVersaoMinima = "1.7";

// The variables whose values are program-files folders, in the order tried,
// and the Java home variables.
constexpr const char* kProgramFiles[] = {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"};
constexpr const char* kJavaHome[] = {"JAVA_HOME", "JDK_HOME", "JRE_HOME"};

void Aviso(std::string_view texto) { plataforma::MensagemAtencao("jvmlaunch", texto); }

std::string Pasta(std::string_view a, std::string_view b) {
  return std::string(a) + plataforma::Ambiente::Separador() + std::string(b);
}

// The runtime program below a folder: bin, then java with the program suffix.
std::string ProgramaJava(std::string_view pasta) {
  return Pasta(Pasta(pasta, "bin"), std::string("java") + plataforma::SufixoPrograma());
}

// Room for the bytes of a capture and the 0 after them.
struct Captura {
  explicit Captura(int bytes) : saida(static_cast<std::size_t>(bytes) + 1), erro(static_cast<std::size_t>(bytes) + 1) {}
  int Executa(plataforma::Processos& processos, const std::string& comando) {
    return ExecutarComando(processos, comando.c_str(), saida.data(), static_cast<int>(saida.size()), erro.data(),
                           static_cast<int>(erro.size()));
  }
  std::vector<char> saida;
  std::vector<char> erro;
};

}  // namespace

std::optional<std::string> CandidatoDaAssociacao(std::string_view resposta) {
  const std::size_t igual = resposta.find('=');
  const std::size_t jar = resposta.find(kFimCandidato);
  if (igual == std::string_view::npos || jar == std::string_view::npos || jar < igual) return std::nullopt;
  std::string candidato(resposta.substr(igual + 1, jar - igual - 1));
  // Only the program's own name is looked at, never a folder (C:\Users\wanda).
  const std::size_t separador = candidato.rfind(plataforma::Ambiente::Separador());
  const std::size_t w = candidato.find('w', separador == std::string::npos ? 0 : separador + 1);
  // The double quote after the suffix closes a quoted path; an unquoted one
  // gets none, which would leave a quote open in the command line.
  if (w != std::string::npos)
    candidato = candidato.substr(0, w) + plataforma::SufixoPrograma() + (candidato.starts_with('"') ? "\"" : "");
  return candidato;
}

bool EhJava32bits(plataforma::Processos& processos, const std::string& java) {
  GravaLog(3, "  EhJava32bits(%s)\n", java.c_str());
  Captura c(kCapturaVersao);
  if (c.Executa(processos, ComoPrograma(java) + " -d32 -version") == -1) {
    GravaLog(0, "Erro interno 2\n");
    Aviso("ATENÇÃO: Deu erro interno 2!"_cp);
    return false;
  }
  // The runtime prints its version on the standard error stream.
  const std::string_view erro = c.erro.data();
  std::string versao;
  if (erro.starts_with(kPrefixoVersao)) {
    const std::string_view resto = erro.substr(kPrefixoVersao.size());
    versao = resto.substr(0, resto.find('"'));
  } else if (erro.find(kSem32bits) != std::string_view::npos) {
    GravaLog(3, "O JAVA encontrado não funciona em 32 bits.\nResultado: %s\n"_cp.data(), c.erro.data());
    return false;
  }
  // Byte by byte: 1.7, 1.8, 9 and 10 qualify; 1.6 and an empty version do not.
  if (std::strncmp(versao.c_str(), kVersaoMinima, std::strlen(kVersaoMinima)) >= 0) return true;
  GravaLog(3, "O JAVA encontrado é inferior à versão 1.7. Resultado: %s\n"_cp.data(), c.erro.data());
  return false;
}

std::optional<std::string> TemJRE(plataforma::Processos& processos, const std::string& pasta) {
  GravaLog(3, "  TemJRE(%s)\n", pasta.c_str());
  const std::string java = Pasta(pasta, "Java");
  std::vector<plataforma::EntradaPasta> entradas;
  // A folder that cannot be listed holds no runtime.
  (void)plataforma::ListarEntradas(Pasta(java, "jre*").c_str(), &entradas);
  for (const plataforma::EntradaPasta& e : entradas) {
    if (e.nome == "." || e.nome == ".." || !e.pasta) continue;
    std::string candidato = ProgramaJava(Pasta(java, e.nome));
    if (plataforma::EhArquivo(candidato.c_str()) && EhJava32bits(processos, candidato)) {
      GravaLog(3, "  Retorno TemJRE: %s\n", candidato.c_str());
      return candidato;
    }
  }
  GravaLog(3, "  Retorno TemJRE: NULL\n");
  return std::nullopt;
}

std::optional<std::string> ProcuraJava(plataforma::Processos& processos) {
  Captura c(kCapturaAssociacao);
  if (c.Executa(processos, kComandoAssociacao) == -1) {
    GravaLog(0, "Erro interno 1\n");
    Aviso("ATENÇÃO: Deu erro interno 1!"_cp);
    return std::nullopt;
  }
  const std::string_view associacao = c.saida.data();
  if (!associacao.starts_with(kPrefixoAssociacao)) {
    GravaLog(0, "Não encontrou o JAVA. Resultado: %s\n"_cp.data(), c.saida.data());
    Aviso("ATENÇÃO: Não encontrou o JAVA instalado nesta máquina!"_cp);
    return std::nullopt;
  }
  if (const std::optional<std::string> candidato = CandidatoDaAssociacao(associacao);
      candidato && EhJava32bits(processos, *candidato))
    return *candidato;

  std::string valor;
  // Without ProgramFiles none of the three is tried.
  if (plataforma::LerVariavel(kProgramFiles[0], &valor)) {
    for (const char* variavel : kProgramFiles) {
      if (!plataforma::LerVariavel(variavel, &valor)) continue;
      if (std::optional<std::string> java = TemJRE(processos, valor)) return *java;
    }
  }
  for (const char* variavel : kJavaHome) {
    if (!plataforma::LerVariavel(variavel, &valor)) continue;
    std::string candidato = ProgramaJava(valor);
    if (EhJava32bits(processos, candidato)) return candidato;
  }
  Aviso(
      "ATENÇÃO: Não encontrou uma instalação do JAVA de 32 bits!\rPrecisa ser instalado o JAVA de 32 bits da versão "
      "1.7 ou superior."_cp);
  return std::nullopt;
}

}  // namespace jvmlaunch
