// The fuzz targets and their properties.
#include "fuzz/alvos.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "DllInscE32/DllInscE32.h"
#include "fuzz/confere.h"
#include "fuzz/declaracoes.h"
#include "fuzz/memoria.h"
#include "valida/run/modEspecifico.h"

namespace fuzz {

namespace {

constexpr std::string_view kDeclaracao = "decl.txt";

// What every run takes: the folder and the path of its param.txt, made once.
const std::string& Pasta() {
  static const std::string pasta(kPasta);
  return pasta;
}

const std::string& CaminhoParametros() {
  static const std::string caminho = Pasta() + plataforma::Ambiente::Separador() + "param.txt";
  return caminho;
}

// A whole run in memory: param.txt and the files given, then the properties.
// The input is served as it stands, never copied.
std::vector<std::string> Corre(AmbienteMemoria& memoria, std::string_view parametros,
                               std::optional<std::string_view> declaracao) {
  memoria.PoeArquivoAlheio(CaminhoParametros(), parametros);
  const valida::Desfecho desfecho = valida::Main(memoria, Pasta(), true);
  return ConfereCorrida(memoria, {parametros, declaracao, desfecho});
}

// `parametros`: the parameter line of the kind, naming kDeclaracao.
std::vector<std::string> ExecutaDeclaracao(const std::string& parametros, std::string_view dados) {
  AmbienteMemoria memoria{Pasta()};
  memoria.PoeArquivoAlheio(kDeclaracao, dados);
  // Reads of a size that the input chooses, so that the line reader meets
  // the end of what it was served anywhere in a line.
  memoria.LimitaLeitura(1 + dados.size() % 509);
  return Corre(memoria, parametros, dados);
}

// The files that the parameter target's runs may name: a valid declaration
// file of each kind, under the name of its kind in lower case.
const std::vector<std::pair<std::string, std::string>>& ArquivosNomeaveis() {
  static const std::vector<std::pair<std::string, std::string>> arquivos = {
      {"gia03.txt", DeclaracaoValida("GIA03", 2, 1, false)},
      {"gia04.txt", DeclaracaoValida("GIA04", 1, 2, true)},
      {"gia05.txt", DeclaracaoValida("GIA05", 2, 3, false)},
      {"giast01.txt", DeclaracaoValida("GIAST01", 2, 4, false)},
      {"giast02.txt", DeclaracaoValida("GIAST02", 2, 5, false)},
  };
  return arquivos;
}

std::vector<std::string> ExecutaParametros(std::string_view dados) {
  AmbienteMemoria memoria{Pasta()};
  for (const auto& [nome, bytes] : ArquivosNomeaveis()) memoria.PoeArquivoAlheio(nome, bytes);
  return Corre(memoria, dados, std::nullopt);
}

// --- The registration check ------------------------------------------------

// The text in a heap block of exactly its bytes and a NUL, so that a read
// past the block is a sanitizer's report; null for no text.
std::unique_ptr<char[]> TextoC(std::optional<std::string_view> texto) {
  if (!texto) return nullptr;
  auto c = std::make_unique<char[]>(texto->size() + 1);
  if (!texto->empty()) std::memcpy(c.get(), texto->data(), texto->size());
  c[texto->size()] = '\0';
  return c;
}

int Consiste(std::optional<std::string_view> inscricao, std::optional<std::string_view> uf) {
  const auto i = TextoC(inscricao);
  const auto u = TextoC(uf);
  return ::ConsisteInscricaoEstadual(i.get(), u.get());
}

// The text as far as the function may read it: up to its first NUL.
std::string_view AteNul(std::string_view texto) { return texto.substr(0, texto.find('\0')); }

bool SoDigitos(std::string_view texto) {
  return std::all_of(texto.begin(), texto.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The states whose rule is one weighted sum modulo 11 (0 for a remainder of
// 0 or 1, else 11 - r) over the digits before the last, with a length and
// fixed leading digits: written here from the published rules, apart from
// the library, to check it against.
struct RegraSimples {
  std::string_view uf;
  std::size_t tamanho;
  std::string_view prefixo;
  std::array<int, 9> pesos;  // one per digit before the check digit
};

constexpr std::array<RegraSimples, 11> kRegrasSimples = {{
    {"AL", 9, "24", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"CE", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"ES", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"MA", 9, "12", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"MS", 9, "28", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"PB", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"PI", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"SC", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"SE", 9, "", {9, 8, 7, 6, 5, 4, 3, 2}},
    {"RJ", 8, "", {2, 7, 6, 5, 4, 3, 2}},
    {"RS", 10, "", {2, 9, 8, 7, 6, 5, 4, 3, 2}},
}};

std::optional<int> PelaRegraSimples(std::string_view uf, std::string_view inscricao) {
  for (const auto& r : kRegrasSimples) {
    if (r.uf != uf) continue;
    if (inscricao.size() != r.tamanho || !SoDigitos(inscricao) || !inscricao.starts_with(r.prefixo)) return 1;
    int soma = 0;
    for (std::size_t i = 0; i + 1 < r.tamanho; ++i) soma += (inscricao[i] - '0') * r.pesos[i];
    const int resto = soma % 11;
    const int dv = resto < 2 ? 0 : 11 - resto;
    return inscricao.back() - '0' == dv ? 0 : 1;
  }
  return std::nullopt;
}

constexpr std::string_view kUFs = "AC AL AP AM BA CE DF ES GO MA MT MS MG PA PB PR PE PI RN RJ RO RS RR SC SP SE TO";

bool UFConhecida(std::string_view uf) {
  if (uf.size() != 2) return false;
  for (std::size_t i = 0; i < kUFs.size(); i += 3)
    if (kUFs.substr(i, 2) == uf) return true;
  return false;
}

std::string Mostra(std::string_view texto) {
  std::string s = "\"";
  for (const char c : texto) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '"' && c != '\\') {
      s += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      s += hex;
    }
  }
  return s + "\"";
}

std::vector<std::string> ExecutaInscricao(std::string_view dados) {
  std::vector<std::string> falhas;
  if (dados.empty()) return falhas;
  const std::size_t tamanho_uf = std::min<std::size_t>(static_cast<unsigned char>(dados[0]) & 3U, dados.size() - 1);
  const std::string_view uf = dados.substr(1, tamanho_uf);
  const std::string_view inscricao = dados.substr(1 + tamanho_uf);
  const std::string caso = " (registration " + Mostra(inscricao) + ", UF " + Mostra(uf) + ")";
  const auto falha = [&](const std::string& texto) { falhas.push_back(texto + caso); };

  const int r = Consiste(inscricao, uf);
  if (r != 0 && r != 1) falha("returned " + std::to_string(r));
  if (Consiste(inscricao, uf) != r) falha("a second call gave another verdict");
  // Nothing past a NUL counts: the texts cut at it, in blocks that end there.
  const std::string_view i = AteNul(inscricao);
  const std::string_view u = AteNul(uf);
  if (Consiste(i, u) != r) falha("the bytes after a NUL changed the verdict");
  if (Consiste(std::string(i) + "   ", u) != r) falha("trailing blanks changed the verdict");
  if (Consiste(" " + std::string(i), u) != 1) falha("a leading blank was accepted");
  if (Consiste(std::nullopt, u) != 1 || Consiste(i, std::nullopt) != 1) falha("a null pointer was not refused");
  if (!UFConhecida(u) && r != 1) falha("an unknown UF was accepted");
  const std::string_view sem_brancos = i.substr(0, i.find_last_not_of(' ') + 1);
  if (r == 0) {
    const std::string_view digitos = u == "SP" && sem_brancos.starts_with('P') ? sem_brancos.substr(1) : sem_brancos;
    if (digitos.empty() || !SoDigitos(digitos)) falha("accepted what is not digits");
  }
  if (const auto esperado = PelaRegraSimples(u, sem_brancos))
    if (*esperado != r)
      falha("the state's rule gives " + std::to_string(*esperado) + ", the library " + std::to_string(r));
  return falhas;
}

// The parameter line of a declaration target, made at its first run.
template <const char* tipo>
std::vector<std::string> ExecutaTipo(std::string_view dados) {
  static const std::string parametros = LinhaParametros(tipo, kDeclaracao) + "\r\n";
  return ExecutaDeclaracao(parametros, dados);
}

constexpr char kGIA03[] = "GIA03";
constexpr char kGIA04[] = "GIA04";
constexpr char kGIA05[] = "GIA05";
constexpr char kGIAST01[] = "GIAST01";
constexpr char kGIAST02[] = "GIAST02";

constexpr std::array<Alvo, 7> kAlvos = {{
    {"gia03", &ExecutaTipo<kGIA03>},
    {"gia04", &ExecutaTipo<kGIA04>},
    {"gia05", &ExecutaTipo<kGIA05>},
    {"giast01", &ExecutaTipo<kGIAST01>},
    {"giast02", &ExecutaTipo<kGIAST02>},
    {"parametros", &ExecutaParametros},
    {"inscricao", &ExecutaInscricao},
}};

}  // namespace

std::string LinhaParametros(std::string_view tipo, std::string_view arquivo) {
  std::string linha = "PARAM   " + std::string(tipo);
  linha.resize(20, ' ');
  linha += arquivo;
  linha.resize(148, ' ');
  linha += "contribuinte@exemplo.com.br";
  linha.resize(218, ' ');
  return linha;
}

std::span<const Alvo> Alvos() { return kAlvos; }

const Alvo* AlvoDe(std::string_view nome) {
  for (const auto& a : kAlvos)
    if (a.nome == nome) return &a;
  return nullptr;
}

void ExecutaOuAborta(const Alvo& alvo, std::string_view dados) {
  const auto falhas = alvo.executa(dados);
  if (falhas.empty()) return;
  for (const auto& f : falhas)
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(alvo.nome.size()), alvo.nome.data(), f.c_str());
  std::abort();
}

}  // namespace fuzz
