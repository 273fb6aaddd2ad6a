// The main flow: own path and folders, the log, the hand-off over TCP with
// every failure path, and the client's run. Each step is traced at level 3;
// failures are logged at level 0.
#include "jvmlaunch/launcher/lancador.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "jvmlaunch/launcher/descoberta.h"
#include "jvmlaunch/launcher/executar.h"
#include "jvmlaunch/log/log.h"

namespace jvmlaunch {

namespace {

// Bytes captured of each of the client's streams.
constexpr int kCapturaCliente = 9999;

constexpr std::string_view kOpcaoSsl = "-debugssl";
constexpr const char* kPassaSsl = " -l 7";

std::string Junta(std::string_view pasta, std::string_view nome) {
  return std::string(pasta) + plataforma::Ambiente::Separador() + std::string(nome);
}

// The address as four decimal numbers joined by dots.
std::string TextoEndereco(std::uint32_t endereco) {
  return std::to_string(endereco >> 24) + "." + std::to_string((endereco >> 16) & 0xFF) + "." +
         std::to_string((endereco >> 8) & 0xFF) + "." + std::to_string(endereco & 0xFF);
}

// Ends a run on the sockets path: the socket is closed before Windows
// Sockets is released.
int EncerraRede(plataforma::Rede& rede, std::unique_ptr<plataforma::Soquete>& soquete, int saida) {
  soquete.reset();
  rede.Liberar();
  return saida;
}

// The connection to a running client. Connected: the text is sent and the
// result is the exit code; nobody listens: none, with Windows Sockets
// released.
std::optional<int> EntregaAoCliente(plataforma::Rede& rede, const std::string& nova) {
  const plataforma::ResultadoSistema inicio = rede.Iniciar();
  if (!inicio.ok) {
    GravaLog(0, "E#C1410: Falhou WSAStartup: %d - %s\n", static_cast<int>(inicio.codigo), inicio.texto.c_str());
    return kSaidaFalha;
  }
  std::unique_ptr<plataforma::Soquete> soquete;
  const plataforma::ResultadoSistema criado = rede.CriarSoquete(&soquete);
  if (!criado.ok) {
    GravaLog(0, "Falhou socket: %d\n", static_cast<int>(criado.codigo));
    return EncerraRede(rede, soquete, kSaidaFalha);
  }
  GravaLog(3, "    connect() %s porta: %d\n", TextoEndereco(kEnderecoCliente).c_str(), kPortaCliente);
  const plataforma::ResultadoSistema conexao = soquete->Conectar(kEnderecoCliente, kPortaCliente);
  if (!conexao.ok) {
    GravaLog(3, "  connect retornou: %d\n", static_cast<int>(conexao.codigo));
    EncerraRede(rede, soquete, kSaidaFalha);
    return std::nullopt;
  }

  GravaLog(3, "  send(%d)\n", static_cast<int>(soquete->Id()));
  GravaLogHex(3, nova.data(), nova.size());
  std::size_t enviados = 0;
  const plataforma::ResultadoSistema envio = soquete->Enviar(nova.data(), nova.size(), &enviados);
  if (!envio.ok) {
    GravaLog(0, "Falhou send com erro %d\n", static_cast<int>(envio.codigo));
    return EncerraRede(rede, soquete, kSaidaFalha);
  }
  if (enviados < nova.size()) {
    GravaLog(0, "Faltou transmitir %d bytes de um total de %d bytes!\n", static_cast<int>(nova.size() - enviados),
             static_cast<int>(nova.size()));
    return EncerraRede(rede, soquete, kSaidaFalha);
  }
  GravaLog(3, "  transmitiu %d bytes\n", static_cast<int>(enviados));
  const plataforma::ResultadoSistema fim = soquete->EncerrarEnvio();
  if (!fim.ok) {
    GravaLog(0, "Falhou shutdown com erro %d\n", static_cast<int>(fim.codigo));
    return EncerraRede(rede, soquete, kSaidaFalha);
  }
  return kSaidaConcluida;
}

}  // namespace

std::string NovaLinhaDeComando(std::string_view argumentos, std::string_view completa) {
  const std::size_t aspas = completa.find("\"\"");
  if (aspas == std::string_view::npos) return std::string(argumentos);
  return std::string(completa.substr(aspas + 1));
}

std::string ComandoCliente(std::string_view java, std::string_view pasta_log, std::string_view nova) {
  // The runtime writes its crash report to the log folder, "%p" being its
  // process id.
  const std::string relatorio = ComoArgumento("-XX:ErrorFile=" + Junta(pasta_log, "VEK_JVM_%p.LOG"));
  std::string comando = ComoPrograma(java);
  if (nova.find(kOpcaoSsl) != std::string_view::npos) {
    comando += " -Djavax.net.debug=all:handshake " + relatorio + " -jar vek.jar";
  } else {
    comando += " -jar " + relatorio + " vek.jar";
  }
  // The whole text, however long, is passed on.
  std::size_t i = 0;
  while (i < nova.size()) {
    const std::size_t inicio = nova.find_first_not_of(" \t", i);
    if (inicio == std::string_view::npos) break;
    const std::size_t fim = std::min(nova.find_first_of(" \t", inicio), nova.size());
    const std::string_view token = nova.substr(inicio, fim - inicio);
    if (token == kOpcaoSsl) {
      comando += kPassaSsl;
    } else {
      comando += " ";
      comando += token;
    }
    i = fim;
  }
  return comando;
}

int Lancador(Recursos& recursos, std::string_view argumentos, std::string_view completa) {
  std::string caminho;
  const plataforma::ResultadoSistema proprio = plataforma::CaminhoProprio(&caminho);
  if (!proprio.ok) {
    GravaLog(0, "Não conseguiu executar GetModuleFileName()! Erro: %d\n%s\n"_cp.data(),
             static_cast<int>(proprio.codigo), proprio.texto.c_str());
    return kSaidaSemCaminho;
  }
  const std::size_t separador = caminho.rfind(plataforma::Ambiente::Separador());
  const std::string pasta = separador == std::string::npos ? "." : caminho.substr(0, separador);
  const std::string pasta_log = Junta(pasta, "Log");
  // An existing folder is fine; one that cannot be made shows when the log
  // file cannot be opened.
  (void)plataforma::CriarPasta(pasta_log.c_str());
  // The children inherit the log folder. Setting it fails only for want of
  // memory; the children then choose their own folder, and the launcher's
  // log is not affected.
  (void)plataforma::DefinirVariavel("DIRLOG", pasta_log.c_str());
  DefineCaminhoLog(pasta_log + "/jvmlaunch_" + std::to_string(plataforma::IdProcessoAtual()));

  if (completa.find("-l") != std::string_view::npos || completa.find("-L") != std::string_view::npos) NivelLog = 7;

  const std::string texto_argumentos(argumentos);
  const std::string texto_completa(completa);
  GravaLog(3, "WinMain() 1: %s 2: %s\n", texto_argumentos.c_str(), texto_completa.c_str());
  const std::string nova = NovaLinhaDeComando(argumentos, completa);
  GravaLog(3, "NovaLinhaDeComando: %s\n", nova.c_str());

  if (const std::optional<int> entregue = EntregaAoCliente(recursos.rede, nova)) return *entregue;

  const std::optional<std::string> java = ProcuraJava(recursos.processos);
  if (!java) return kSaidaFalha;

  // The client finds vek.jar in the program's folder; started anywhere else
  // it could run another vek.jar.
  const plataforma::ResultadoSistema mudou = plataforma::DefinirPastaAtual(pasta.c_str());
  if (!mudou.ok) {
    GravaLog(0, "E#C1411: Não conseguiu mudar para a pasta %s. Erro: %d\n%s\n"_cp.data(), pasta.c_str(),
             static_cast<int>(mudou.codigo), mudou.texto.c_str());
    return kSaidaFalha;
  }

  const std::string comando = ComandoCliente(*java, pasta_log, nova);
  std::vector<char> saida(static_cast<std::size_t>(kCapturaCliente) + 1);
  std::vector<char> erro(static_cast<std::size_t>(kCapturaCliente) + 1);
  if (ExecutarComando(recursos.processos, comando.c_str(), saida.data(), static_cast<int>(saida.size()), erro.data(),
                      static_cast<int>(erro.size())) == -1) {
    GravaLog(0, "Erro interno 3\n");
    plataforma::MensagemAtencao("jvmlaunch", "ATENÇÃO: Deu erro interno 3!"_cp);
    return kSaidaFalha;
  }
  // What the client wrote to its standard error reaches the log even with
  // logging off, after the kept history.
  if (erro[0] != '\0') {
    GravaLog(0, "SAIDA STDOUT: %s\n", saida.data());
    GravaLog(0, "SAIDA STDERR: %s\n", erro.data());
  } else if (saida[0] != '\0') {
    GravaLog(3, "SAIDA STDOUT: %s\n", saida.data());
    GravaLog(3, "SAIDA STDERR: %s\n", erro.data());
  }
  GravaLog(3, "retorno WinMain: %d\n", kSaidaConcluida);
  return kSaidaConcluida;
}

}  // namespace jvmlaunch
