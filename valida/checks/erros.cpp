// The recorders RegistraErroGIA and RegistraErroST and their catalogues.
#include "valida/checks/erros.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "valida/checks/formato.h"
#include "valida/run/parametros.h"
#include "valida/run/texto.h"

namespace valida {

namespace {

// Where a finding takes its taxpayer, period and line from.
enum class Contexto {
  kAtual,       // the record at hand
  kDeclaracao,  // the GIA 4/5 declaration at hand, with a line of its own
  kArquivo,     // the whole file: no taxpayer, period 000000
  kSemPeriodo,  // current taxpayer and line, period 000000
};

struct EntradaGIA {
  int codigo;
  std::string_view texto;
  Contexto contexto;
};

constexpr std::array kCatalogoGIA = {
    EntradaGIA{1, "Marca teleprocessamento inválida"_cp, Contexto::kAtual},
    EntradaGIA{2, "Versão da GIA é incorreta"_cp, Contexto::kAtual},
    EntradaGIA{3, "Mês/Ano de referência inválido"_cp, Contexto::kAtual},
    EntradaGIA{4, "Dígito controle inválido"_cp, Contexto::kAtual},
    EntradaGIA{5, "Nro de linhas do anexo inválido"_cp, Contexto::kDeclaracao},
    EntradaGIA{6, "Identificação Registro Inválida"_cp, Contexto::kAtual},
    EntradaGIA{7, "Campo numérico é esperado"_cp, Contexto::kAtual},
    EntradaGIA{8, "Conteúdo deve ser 'S' ou 'N'"_cp, Contexto::kAtual},
    EntradaGIA{9, "Contador de sequência incorreto"_cp, Contexto::kAtual},
    EntradaGIA{10, "Qtd Ocorrências anexo inválida"_cp, Contexto::kAtual},
    EntradaGIA{11, "Conteúdo deve ser 'A','B' ou 'S'"_cp, Contexto::kAtual},
    EntradaGIA{12, "Data Inválida"_cp, Contexto::kAtual},
    EntradaGIA{13, "Campo alfabético é esperado"_cp, Contexto::kAtual},
    EntradaGIA{14, "Conteúdo só pode ser 'X' ou ' '"_cp, Contexto::kAtual},
    EntradaGIA{15, "Dia de término inválido"_cp, Contexto::kAtual},
    EntradaGIA{16, "Campo obrigatório não informado"_cp, Contexto::kAtual},
    EntradaGIA{17, "Arquivo não é GIA04"_cp, Contexto::kArquivo},
    EntradaGIA{18, "Arquivo de Parâmetros Inválido"_cp, Contexto::kArquivo},
    EntradaGIA{19, "Arquivo não encontrado"_cp, Contexto::kArquivo},
    EntradaGIA{20, "Anexo com cabeçalho inválido"_cp, Contexto::kAtual},
    EntradaGIA{21, "Arquivo a ser validado não é GIA"_cp, Contexto::kArquivo},
    EntradaGIA{22, "Data de Entrega deve ser zerada"_cp, Contexto::kAtual},
    EntradaGIA{23, "CFOP inválido"_cp, Contexto::kAtual},
    EntradaGIA{24, "Valor incorreto"_cp, Contexto::kAtual},
    EntradaGIA{25, "Vencimento Incorreto"_cp, Contexto::kAtual},
    EntradaGIA{26, "Dia Início Período Inválida"_cp, Contexto::kAtual},
    EntradaGIA{27, "Arquivo a ser validado não é GIA03"_cp, Contexto::kArquivo},
    EntradaGIA{28, "Não pode ler unidade informada"_cp, Contexto::kArquivo},
    EntradaGIA{29, "Código Inválido"_cp, Contexto::kAtual},
    EntradaGIA{30, "Valor Incorreto"_cp, Contexto::kDeclaracao},
    EntradaGIA{31, "Período Apuração Incorreto"_cp, Contexto::kAtual},
    EntradaGIA{32, "Dia Vencimento Incorreto"_cp, Contexto::kAtual},
    EntradaGIA{33, "Valor Incorreto da Referência"_cp, Contexto::kDeclaracao},
    EntradaGIA{34, "Deve existir apenas UM Anexo 7"_cp, Contexto::kDeclaracao},
    EntradaGIA{35, "Não pode ter anexo 7, 7a e 7b"_cp, Contexto::kDeclaracao},
    EntradaGIA{36, "Valor do CFOP "_cp, Contexto::kDeclaracao},
    EntradaGIA{37, "Referência Incorreta"_cp, Contexto::kDeclaracao},
    EntradaGIA{44, "Anexo X03a sem Anexo X03"_cp, Contexto::kDeclaracao},
    EntradaGIA{45, "Anexo X05a ou X05b sem Anexo X05"_cp, Contexto::kDeclaracao},
    EntradaGIA{46, "Anexo X07a ou X07b sem Anexo X07"_cp, Contexto::kDeclaracao},
    EntradaGIA{49, "Arquivo não é GIA05"_cp, Contexto::kArquivo},
    EntradaGIA{50, "Arquivo com GIAs de versões diferentes"_cp, Contexto::kSemPeriodo},
    EntradaGIA{51, "Referência incompatível com versão"_cp, Contexto::kAtual},
};

// The entry of each code in the catalogue, found without a search.
constexpr int kMaiorCodigoGIA = 51;
constexpr std::array<const EntradaGIA*, kMaiorCodigoGIA + 1> kEntradaDoCodigoGIA = [] {
  std::array<const EntradaGIA*, kMaiorCodigoGIA + 1> entradas{};
  for (const auto& e : kCatalogoGIA) entradas[static_cast<std::size_t>(e.codigo)] = &e;
  return entradas;
}();

const EntradaGIA* ProcuraGIA(int codigo) {
  if (codigo < 0 || codigo > kMaiorCodigoGIA) return nullptr;
  return kEntradaDoCodigoGIA[static_cast<std::size_t>(codigo)];
}

// The line of the declaration that a summary finding of GIA 4/5 names.
std::int64_t LinhaDaDeclaracao(const Execucao& run, int codigo) {
  switch (codigo) {
    case 30:
      return run.LinhaX07;
    case 36:
      return run.LinhaCFOP;
    case 44:
      return run.LinhaX03A;
    case 45:
      return run.LinhaX05AB;
    case 46:
      return run.LinhaX07AB;
    default:
      return run.LinhaGIA;
  }
}

// Appends `texto` left-aligned in `largura` characters, cut or padded with blanks.
void AcrescentaFixo(std::string& linha, std::string_view texto, std::size_t largura) {
  texto = texto.substr(0, largura);
  linha += texto;
  linha.append(largura - texto.size(), ' ');
}

// Appends the taxpayer identification, 15 characters, in the layout of the kind.
void AcrescentaContribuinte(std::string& linha, bool inscricao_estadual, std::string_view inscricao) {
  if (inscricao_estadual) {
    AcrescentaFixo(linha, inscricao, 14);
    linha += ' ';
  } else {
    const std::size_t inicio = linha.size();
    AcrescentaCGCTE(linha, inscricao);
    // Cut or padded to 11, as AcrescentaFixo does.
    linha.resize(inicio + 11, ' ');
    linha += "    ";
  }
}

struct Identidade {
  std::string_view inscricao;
  std::string_view periodo;
  std::int64_t linha;
};

// Which code of which catalogue a finding is, for an observer of the run.
struct Codigo {
  bool st;
  int codigo;
  int campo;
};

// The finding's line, built in the run's own buffer: findings can be as many
// as the lines of the file. Its first columns are printed again only when
// what they show changed since the last finding.
void Registra(Execucao& run, const Identidade& id, const Codigo& codigo, int primeira, int ultima,
              std::string_view texto) {
  ColunasDoAchado& colunas = run.ColunasErro;
  const std::string& tipo_documento = run.parametros.TipoDocumento;
  if (colunas.texto.empty() || !Iguais(colunas.inscricao, id.inscricao) || !Iguais(colunas.periodo, id.periodo) ||
      !Iguais(colunas.tipo_documento, tipo_documento)) {
    colunas.inscricao.assign(id.inscricao);
    colunas.periodo.assign(id.periodo);
    colunas.tipo_documento.assign(tipo_documento);
    colunas.texto.clear();
    AcrescentaContribuinte(colunas.texto, LayoutInscricao(tipo_documento), id.inscricao);
    colunas.inicio_periodo = colunas.texto.size();
    AcrescentaPeriodo(colunas.texto, SoBrancos(id.periodo) ? std::string_view("000000") : id.periodo);
  }
  std::string& linha = run.LinhaErro;
  linha.assign(colunas.texto);
  const std::size_t periodo = colunas.inicio_periodo;
  const std::size_t fim_periodo = linha.size();
  // " linha primeira última " in one append.
  std::array<char, 3 * (kMaiorNumero + 1) + 1> numeros;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  char* p = numeros.data();
  for (const std::int64_t numero : {id.linha, static_cast<std::int64_t>(primeira), static_cast<std::int64_t>(ultima)}) {
    *p++ = ' ';
    p = EscreveNumero(p, numero);
  }
  *p++ = ' ';
  linha.append(numeros.data(), p);
  linha += texto;
  run.HouveErro = true;
  run.ListaErros.EscreveLinha(linha);
  if (run.observador != nullptr) {
    const std::string_view escrita = linha;
    run.observador->Achado({escrita.substr(0, periodo), escrita.substr(periodo, fim_periodo - periodo), id.linha,
                            primeira, ultima, codigo.st, codigo.codigo, codigo.campo, texto});
  }
}

}  // namespace

std::string TextoErroGIA(const Execucao& run, int codigo) {
  const EntradaGIA* e = ProcuraGIA(codigo);
  if (e == nullptr) return {};
  if (codigo == 36) return std::string(e->texto) + Formata(run.ValorCFOP, kPictureNumero) + " incorreto";
  return std::string(e->texto);
}

void RegistraErroGIA(Execucao& run, int codigo, int primeira, int ultima) {
  Identidade id{run.InscricaoAtual, run.PeriodoAtual, run.NumeroLinha};
  const EntradaGIA* e = ProcuraGIA(codigo);
  const Contexto contexto = e != nullptr ? e->contexto : Contexto::kAtual;
  switch (contexto) {
    case Contexto::kDeclaracao:
      id = {run.InscricaoGIA, run.PeriodoGIA, LinhaDaDeclaracao(run, codigo)};
      break;
    case Contexto::kArquivo:
      id.inscricao = {};
      run.InscricaoAtual.clear();
      id.periodo = "000000";
      if (codigo == 18) run.parametros.TipoDocumento.assign(12, ' ');
      break;
    case Contexto::kSemPeriodo:
      id.periodo = "000000";
      break;
    default:
      break;
  }
  const Codigo qual{false, codigo, 0};
  if (codigo == 36 || e == nullptr)
    Registra(run, id, qual, primeira, ultima, TextoErroGIA(run, codigo));
  else
    Registra(run, id, qual, primeira, ultima, e->texto);
}

namespace {

// A GIA ST text: what comes before the field's number, whether the number
// stands there, and what follows it.
struct EntradaST {
  int codigo;
  std::string_view antes;
  bool com_campo;
  std::string_view depois;
};

constexpr std::array kCatalogoST = {
    EntradaST{1, "Arquivo não é GIA ST"_cp, false, ""},
    EntradaST{3, "Campo não deve ser informado"_cp, false, ""},
    EntradaST{4, "Data Incorreta", false, ""},
    EntradaST{5, "Campo Fixo Incorreto", false, ""},
    EntradaST{6, "Vencimento anterior não informado"_cp, false, ""},
    EntradaST{7, "Campo ", true, " deve ser maior que 04/1999"},
    EntradaST{8, "Informe o campo ", true, ""},
    EntradaST{9, "Dig. Controle Campo ", true, " Incorreto"},
    EntradaST{10, "Campo ", true, " deve ser positivo"},
    EntradaST{11, "Campo ", true, " não pode ser maior que o 6"_cp},
    EntradaST{12, "Campo 10 não pode ser maior que o 9"_cp, false, ""},
    EntradaST{13, "Valor do campo ", true, " incorreto"},
    EntradaST{14, "Soma parcelas difere do campo ", true, ""},
    // Followed by the period of the record, MM/AAAA.
    EntradaST{15, "", true, "° venc deve ser maior que 01/"_cp},
    EntradaST{16, "Data vencimento em duplicidade", false, ""},
    EntradaST{17, "Campo 12 não pode ser maior que o 11"_cp, false, ""},
    EntradaST{19, "Informe o valor do ", true, "° pagamento"_cp},
    EntradaST{20, "Informe o vencimento do ", true, "° pagto"_cp},
    EntradaST{21, "Código de UF Favorecida incorreto"_cp, false, ""},
    EntradaST{22, "Inscrição Estadual incorreta"_cp, false, ""},
    EntradaST{25, "Campo 10 deve ser menor que o 11", false, ""},
    EntradaST{26, "Campo 13 deve ser menor que o 12", false, ""},
    EntradaST{27, "Deve existir o Anexo III", false, ""},
    EntradaST{28, "Nro de linhas do anexo inválido"_cp, false, ""},
    EntradaST{30, "Não pode ser a mesma Inscrição da GIA"_cp, false, ""},
    EntradaST{31, "Valor do campo ", true, " incorreto"},
    EntradaST{32, "GIA deve ser marcada Sem Movimento", false, ""},
    EntradaST{33, "Todas as GIAs devem ser da mesma UF", false, ""},
    EntradaST{34, "Mês/Ano refer. incompatível com versão"_cp, false, ""},
    EntradaST{35, "Data deve ser superior a Mês/Ano refer."_cp, false, ""},
    // Followed by the annex, I, II or III (the field names it).
    EntradaST{36, "Informações duplicadas no Anexo "_cp, false, ""},
    EntradaST{37, "Informe nº de linhas do Anexo III"_cp, false, ""},
    EntradaST{41, "Campo ", true, " deve ser menor que 07/2000"},
};

// The entry of each code in the catalogue, found without a search.
constexpr std::size_t kSemEntrada = kCatalogoST.size();
constexpr int kMaiorCodigoST = 41;
constexpr std::array<std::size_t, kMaiorCodigoST + 1> kEntradaDoCodigoST = [] {
  std::array<std::size_t, kMaiorCodigoST + 1> entradas{};
  entradas.fill(kSemEntrada);
  for (std::size_t i = 0; i < kCatalogoST.size(); ++i) entradas[static_cast<std::size_t>(kCatalogoST[i].codigo)] = i;
  return entradas;
}();

// Appends the text of GIA ST code `codigo` for field `campo`; nothing for
// an unknown code.
void AcrescentaTextoErroST(std::string& saida, const Execucao& run, int codigo, int campo) {
  if (codigo < 0 || codigo > kMaiorCodigoST) return;
  const std::size_t entrada = kEntradaDoCodigoST[static_cast<std::size_t>(codigo)];
  if (entrada == kSemEntrada) return;
  const EntradaST* e = &kCatalogoST[entrada];
  saida += e->antes;
  if (e->com_campo) {
    std::array<char, 12> numero{};
    saida.append(numero.data(), std::to_chars(numero.data(), numero.data() + numero.size(), campo).ptr);
  }
  saida += e->depois;
  if (codigo == 15) AcrescentaPeriodo(saida, run.PeriodoAtual);
  if (codigo == 36) saida += campo == 1 ? "I" : campo == 2 ? "II" : "III";
}

}  // namespace

std::string TextoErroST(const Execucao& run, int codigo, int campo) {
  std::string texto;
  AcrescentaTextoErroST(texto, run, codigo, campo);
  return texto;
}

void RegistraErroST(Execucao& run, int codigo, int campo, int primeira, int ultima) {
  Identidade id{run.InscricaoAtual, run.PeriodoAtual, run.NumeroLinha};
  if (codigo == 1) {
    id.inscricao = {};
    id.periodo = {};
  } else if (codigo == 28 || codigo == 31) {
    id.linha = run.LinhaA0;
  }
  // The text in a buffer of the run, kept like the line's.
  std::string& texto = run.TextoErro;
  texto.clear();
  AcrescentaTextoErroST(texto, run, codigo, campo);
  Registra(run, id, {true, codigo, campo}, primeira, ultima, texto);
}

}  // namespace valida
