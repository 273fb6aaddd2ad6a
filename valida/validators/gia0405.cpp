// ValidaGIA0405: the record walk of GIA version 4 and 5 files and their main
// record "ABC ". Annex records go on to ValidaAnexoGIA; every main record
// closes the declaration before it and opens its own.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "valida/checks/campos.h"
#include "valida/checks/formato.h"
#include "valida/checks/recibo.h"
#include "valida/checks/registro.h"
#include "valida/validators/gia0405_anexos.h"
#include "valida/validators/gia0405_estado.h"
#include "valida/validators/validadores.h"

namespace valida {

namespace {

// The prefix that every record carries.
constexpr Campo kMarca{1, 4};
constexpr Campo kVersao{5, 2};
constexpr Campo kCamposDeclaracao{7, 8};
constexpr Campo kIndicador{15, 1};
constexpr Campo kPrimeiroDia{16, 2};
constexpr Campo kUltimoDia{18, 2};
constexpr Campo kReferencia{20, 6};
constexpr Campo kInscricao{26, 10};
constexpr Campo kSequencia{36, 4};
constexpr Campo kTipo{40, 4};

constexpr std::string_view kTipoPrincipal = "ABC ";
// The annex record types in the order of their count index, 1 to 17.
constexpr std::array<std::string_view, kTiposAnexo> kTiposAnexoGIA = {"X01 ", "X02 ", "X03 ", "X03A", "X04 ", "X05 ",
                                                                      "X05A", "X05B", "X06 ", "X07 ", "X07A", "X07B",
                                                                      "X08 ", "X09 ", "X10 ", "X11 ", "X12 "};

constexpr std::string_view kMarcaTeleprocessamento = "****";
constexpr std::string_view kVersao4 = "04";
constexpr std::string_view kVersao5 = "05";
constexpr std::string_view kPrimeiroDiaDoPeriodo = "01";
// Reference months (AAAAMM) that each version may declare.
constexpr std::string_view kInicioVersao4 = "199810";
constexpr std::string_view kFimVersao4 = "200008";
constexpr std::string_view kInicioVersao5 = "200009";
constexpr int kLarguraDescricao = 60;

// A record type of four characters as one word: every record's type is
// looked up, and words compare in one step.
constexpr std::uint32_t Palavra(std::string_view tipo) {
  std::uint32_t palavra = 0;
  for (std::size_t i = 0; i < 4; ++i)
    palavra |= static_cast<std::uint32_t>(static_cast<unsigned char>(tipo[i])) << (8 * i);
  return palavra;
}

// The count index (1 to 17) of an annex record type; 0 for any other type.
int IndiceAnexo(std::string_view tipo) {
  static constexpr auto kPalavras = [] {
    std::array<std::uint32_t, kTiposAnexo> palavras{};
    for (std::size_t i = 0; i < kTiposAnexo; ++i) palavras[i] = Palavra(kTiposAnexoGIA[i]);
    return palavras;
  }();
  if (tipo.size() != 4) return 0;
  const std::uint32_t palavra = Palavra(tipo);
  for (std::size_t i = 0; i < kPalavras.size(); ++i)
    if (kPalavras[i] == palavra) return static_cast<int>(i) + 1;
  return 0;
}

// An annex record, or one of an unknown type, repeats the prefix of its main
// record. Only the first difference is recorded.
void ConfereCabecalhoAnexo(const Registro& r) {
  const Execucao& run = r.run();
  const EstadoGIA0405& g = run.EstadoDoValidador<EstadoGIA0405>();
  const std::array<std::pair<Campo, std::string_view>, 6> repetidos = {{
      {kMarca, g.MarcaGIA},
      {kVersao, g.VersaoGIA},
      {kPrimeiroDia, g.PrimeiroDiaGIA},
      {kUltimoDia, g.UltimoDiaGIA},
      {kReferencia, run.PeriodoGIA},
      {kInscricao, run.InscricaoGIA},
  }};
  for (const auto& [campo, guardado] : repetidos) {
    if (!Iguais(r.Texto(campo), guardado)) {
      r.Erro(20, campo);
      return;
    }
  }
}

// The identity fields of a main record (columns 1-35), checked in the order
// mark, version, indicator, reference, first day, last day, registration: the
// last-day rule needs the reference.
class IdentidadePrincipal : private Registro {
 public:
  using Registro::Registro;

  void Confere() {
    Marca();
    Versao();
    Indicador();
    Referencia();
    PrimeiroDia();
    UltimoDia();
    Inscricao();
  }

 private:
  void Marca() {
    if (Texto(kMarca) != kMarcaTeleprocessamento) Erro(1, kMarca);
  }

  void Versao() {
    if (!Numerico(kVersao)) return;
    const std::string_view versao = Texto(kVersao);
    if (versao != kVersao5 && versao != kVersao4)
      Erro(2, kVersao);
    else if (versao != run().VersaoInicial)
      Erro(50, kVersao);
  }

  void Indicador() {
    const std::string_view indicador = Texto(kIndicador);
    if (indicador != " " && indicador != "X") Erro(14, kIndicador);
  }

  // A reference that is not numeric leaves ReferenciaAAAAMM as the previous
  // declaration set it. Each failed test ends the field.
  void Referencia() {
    if (!Numerico(kReferencia)) return;
    const std::string_view mmaaaa = Texto(kReferencia);
    std::string& aaaamm = run().EstadoDoValidador<EstadoGIA0405>().ReferenciaAAAAMM;
    aaaamm = std::string(mmaaaa.substr(2, 4)) + std::string(mmaaaa.substr(0, 2));
    if (!ValidaData(linha(), kReferencia.primeira, 6)) {
      Erro(12, kReferencia);
      return;
    }
    const std::string_view referencia = aaaamm;
    const bool na_faixa = Texto(kVersao) == kVersao4 ? kInicioVersao4 <= referencia && referencia <= kFimVersao4
                                                     : referencia >= kInicioVersao5;
    if (!na_faixa) Erro(51, kReferencia);
  }

  void PrimeiroDia() {
    if (!Numerico(kPrimeiroDia)) return;
    if (Texto(kPrimeiroDia) != kPrimeiroDiaDoPeriodo) Erro(26, kPrimeiroDia);
  }

  void UltimoDia() {
    if (!Numerico(kUltimoDia)) return;
    const std::string_view aaaamm = run().EstadoDoValidador<EstadoGIA0405>().ReferenciaAAAAMM;
    const std::string_view esperado = UltimoDiaDoMes(Valor(aaaamm, 5, 2), Valor(aaaamm, 1, 4));
    if (!esperado.empty() && Texto(kUltimoDia) != esperado) Erro(15, kUltimoDia);
  }

  // A zero registration is held as "0", so that the annex records that repeat
  // the ten zeros are told apart from it.
  void Inscricao() {
    const std::optional<Montante> valor = Numerico(kInscricao);
    if (!valor) return;
    if (*valor == 0) {
      run().InscricaoAtual = "0";
      Erro(16, kInscricao);
      return;
    }
    const std::string& inscricao = run().InscricaoAtual;
    if (inscricao[9] != DigitoControleCGCTE(inscricao)) Erro(4, kInscricao);
  }
};

// The amounts of a main record (columns 44-833) and its declared annex line
// counts (841-891), in the order of the layout. A field that is not numeric
// is recorded once (code 7) and counts as zero in this record's sums and
// comparisons; an amount kept for the closing then keeps its earlier value.
class MontantesPrincipal : private Registro {
 public:
  MontantesPrincipal(Execucao& run, std::string_view linha)
      : Registro(run, linha), g_(run.EstadoDoValidador<EstadoGIA0405>()) {}

  void Confere() {
    const auto a1 = Guarda(g_.A1, Montante15(kColunaA1));
    const auto a2 = Montante15(59);
    const auto a3 = Guarda(g_.A3, Montante15(kColunaA3));
    const auto a4 = Guarda(g_.A4, Montante15(kColunaA4));
    const auto a5 = Guarda(g_.A5, Montante15(kColunaA5));
    const auto a6 = Montante15(119);
    ExigeDescricao(a6, 134);
    ConfereTotal(194, {a1, a2, a3, a4, a5, a6});

    const auto b1 = Guarda(g_.B1, Montante15(kColunaB1));
    const auto b2 = Montante15(224);
    const auto b3 = Montante15(239);
    const auto b4 = Guarda(g_.B4, Montante15(kColunaB4));
    const auto b5 = Montante15(269);
    const auto b6 = Montante15(284);
    ExigeDescricao(b6, 299);
    ConfereTotal(359, {b1, b2, b3, b4, b5, b6});

    g_.FlagAnexo7 = Flag(kColunaFlagAnexo7);

    Montante15(375);  // C1
    Montante15(390);  // C2
    const auto c3 = Montante15(405);
    if (c3) g_.SomaX10A -= *c3;
    const auto c4 = Montante15(420);
    Guarda(g_.C5, Montante15(kColunaC5));
    Guarda(g_.C6, Montante15(kColunaC6));
    Guarda(g_.C7, Montante15(kColunaC7));
    const auto c8 = Guarda(g_.C8, Montante15(480));
    const auto c9 = Guarda(g_.C9, Montante15(495));
    if (c9 && *c9 > c8.value_or(0)) Erro(24, {495, kLarguraMontanteGIA});
    const auto c10 = Guarda(g_.C10, Montante15(kColunaC10));
    Montante15(525);
    Montante15(540);
    Montante15(555);

    // The flag at column 834 decides what D1 and D2 must hold.
    const bool saldo_informado = Flag(834) == 'S';
    ConfereIgual(570, saldo_informado ? Soma({c3, c10}) : 0);  // D1
    ConfereIgual(585, saldo_informado ? Soma({c4, c9}) : 0);   // D2
    Montante15(600);
    Numerico({615, 6});
    Montante15(621);
    Numerico({636, 7});
    Montante15(643);
    Montante15(658);

    const auto e1 = Montante15(673);
    const auto f1 = Montante15(688);
    const auto e2 = Guarda(g_.E2, Montante15(kColunaE2));
    const auto f2 = Guarda(g_.F2, Montante15(kColunaF2));
    const auto e3 = Guarda(g_.E3, Montante15(kColunaE3));
    const auto f3 = Guarda(g_.F3, Montante15(kColunaF3));
    ConfereTotal(763, {e1, e2, e3});
    ConfereTotal(778, {f1, f2, f3});

    // G1 and G2 open the declaration's X08 sums, which its annexes add to.
    if (const auto g1 = Montante15(804)) g_.SomaX08A += *g1;
    if (const auto g2 = Montante15(819)) g_.SomaX08B += *g2;
  }

  // The declared counts are taken after LinhaGIA, which they need no more:
  // a count that is not numeric leaves both the declared and the counted
  // lines of its annex type as they were.
  void LinhasDeclaradas() {
    for (int k = 0; k < kTiposAnexo; ++k) {
      const auto contagem =
          Numerico({kColunaLinhasDeclaradas + k * kLarguraLinhasDeclaradas, kLarguraLinhasDeclaradas});
      if (!contagem) continue;
      g_.LinhasDeclaradas[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(*contagem);
      g_.LinhasContadas[static_cast<std::size_t>(k)] = 0;
    }
  }

 private:
  using Lido = std::optional<Montante>;

  Lido Montante15(int coluna) { return Numerico({coluna, kLarguraMontanteGIA}); }

  static Lido Guarda(Montante& guardado, Lido valor) {
    if (valor) guardado = *valor;
    return valor;
  }

  static Montante Soma(std::initializer_list<Lido> parcelas) {
    Montante soma = 0;
    for (const Lido& p : parcelas) soma += p.value_or(0);
    return soma;
  }

  // A positive amount needs its 60-column description.
  void ExigeDescricao(const Lido& valor, int coluna) {
    if (valor && *valor > 0 && Vazio({coluna, kLarguraDescricao})) Erro(16, {coluna, kLarguraDescricao});
  }

  void ConfereIgual(int coluna, Montante esperado) {
    const Lido valor = Montante15(coluna);
    if (valor && *valor != esperado) Erro(24, {coluna, kLarguraMontanteGIA});
  }

  void ConfereTotal(int coluna, std::initializer_list<Lido> parcelas) { ConfereIgual(coluna, Soma(parcelas)); }

  // An "S" or "N" flag; any other character is recorded and returned as it is.
  char Flag(int coluna) {
    const std::string_view flag = Texto({coluna, 1});
    if (flag != "S" && flag != "N") Erro(8, {coluna, 1});
    return flag.empty() ? ' ' : flag[0];
  }

  EstadoGIA0405& g_;
};

// A main record closes the declaration before it, is checked, is listed on
// the receipt and opens its own declaration, in that order: the closing's
// findings still carry the previous declaration's identity.
void ValidaPrincipal(Execucao& run, std::string_view linha) {
  const Registro r(run, linha);
  EstadoGIA0405& g = run.EstadoDoValidador<EstadoGIA0405>();
  run.MostraContribuinte(FormataCGCTE(run.InscricaoAtual));
  if (!run.InscricaoGIA.empty()) FechaDeclaracaoGIA(run);
  g.IniciaDeclaracao();

  IdentidadePrincipal(run, linha).Confere();

  // Listed whatever the identity checks found: the list is shown only when
  // the file has no finding at all.
  AcrescentaReciboCGCTE(run);
  run.QtdGIAs += 1;

  g.MarcaGIA = r.Texto(kMarca);
  g.VersaoGIA = r.Texto(kVersao);
  g.CamposDeclaracao = r.Texto(kCamposDeclaracao);
  g.IndicadorGIA = r.Texto(kIndicador);
  g.PrimeiroDiaGIA = r.Texto(kPrimeiroDia);
  g.UltimoDiaGIA = r.Texto(kUltimoDia);
  run.PeriodoGIA = r.Texto(kReferencia);
  run.InscricaoGIA = run.InscricaoAtual;

  MontantesPrincipal montantes(run, linha);
  montantes.Confere();
  run.LinhaGIA = run.NumeroLinha;
  montantes.LinhasDeclaradas();
}

}  // namespace

// Every record: its prefix becomes the current taxpayer and period, then the
// prefix is compared with the declaration's (annex records), the sequence
// number and the type are tested, and the record goes on to its own rules.
// The findings come in exactly that order.
void ValidaGIA0405(Execucao& run, std::string_view linha) {
  const Registro r(run, linha);
  EstadoGIA0405& g = run.EstadoDoValidador<EstadoGIA0405>();
  run.VersaoArquivo = r.Texto(kVersao);
  run.PeriodoAtual = r.Texto(kReferencia);
  run.InscricaoAtual = r.Texto(kInscricao);
  const std::string_view tipo = r.Texto(kTipo);
  const bool principal = tipo == kTipoPrincipal;
  const int indice = IndiceAnexo(tipo);

  if (principal) {
    // The counts still belong to the declaration that ends here.
    ConfereLinhasAnexos(run);
    g.ContadorSequencia = 1;
  } else {
    ConfereCabecalhoAnexo(r);
  }

  if (const auto sequencia = r.Numerico(kSequencia); sequencia && *sequencia != g.ContadorSequencia)
    r.Erro(9, kSequencia);
  if (!principal && indice == 0) r.Erro(6, kTipo);
  g.ContadorSequencia += 1;

  if (principal)
    ValidaPrincipal(run, linha);
  else if (indice > 0)
    ValidaAnexoGIA(run, linha, indice);
}

}  // namespace valida
