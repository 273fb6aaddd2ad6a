// ValidaGIAST02: a GIA ST version 2 file is a sequence of declarations, each
// a main record "A0" followed by its annex records "A1" (annex I), "A2"
// (annex II) and "A3" (annex III). A declaration can only be closed when the
// next "A0" arrives, so every "A0" first closes the one before it
// (FechaDeclaracaoST) and the driver closes the last one after the file.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "valida/checks/campos.h"
#include "valida/checks/formato.h"
#include "valida/checks/recibo.h"
#include "valida/checks/registro.h"
#include "valida/validators/giast02_estado.h"
#include "valida/validators/validadores.h"

namespace valida {

namespace {

// Record "A0", the declaration.
constexpr Campo kPeriodo{8, 6};
constexpr Campo kInscricao{14, 14};
constexpr Campo kSemMovimento{28, 1};
constexpr Campo kMarca29{29, 1};
constexpr Campo kUF{168, 2};
constexpr Campo kCampo28{395, 14};  // a CNPJ
constexpr Campo kCampo29{409, 46};
constexpr Campo kCampo30{455, 11};  // a CPF
constexpr Campo kCampo31{466, 30};
constexpr Campo kNumero496{496, 12};
constexpr Campo kNumero508{508, 12};
constexpr Campo kCampo35{560, 30};
constexpr Campo kDataA0{590, 8};
constexpr Campo kIndicador778{778, 1};
constexpr Campo kIndicadorAnexoIII{779, 1};
constexpr Campo kLinhasAnexoI{786, 4};
constexpr Campo kLinhasAnexoII{790, 4};
constexpr Campo kLinhasAnexoIII{794, 4};
constexpr Campo kValorLongo{798, 15};  // only in records of 812 columns
constexpr std::size_t kRegistroA0Curto = 797;

// The amount fields 7 to 21, fifteen digits each, in field order.
constexpr int kLarguraValor = 15;
constexpr Campo CampoValor(int numero) { return {170 + kLarguraValor * (numero - 7), kLarguraValor}; }

// Six instalments: a due date AAAAMMDD followed by its amount.
constexpr int kQtdParcelas = 6;
constexpr Parcela ParcelaNo(int i) { return Parcela::Em(30 + 23 * (i - 1), kLarguraValor); }

// Records "A1" and "A2" (one layout), and "A3".
constexpr Campo kChaveA1A2{1, 27};
constexpr Campo kDuplicadoA1A2{3, 25};
constexpr Campo kNumeroA1A2{3, 8};
constexpr Campo kCodigoA1A2{11, 3};
constexpr Campo kInscricaoA1A2{14, 14};
constexpr Campo kDataA1A2{28, 8};
constexpr Campo kValorA1A2{36, 15};
constexpr Campo kChaveA3{1, 16};
constexpr Campo kInscricaoA3{3, 14};
constexpr Campo kValorA{17, 15};
constexpr Campo kValorB{32, 15};

// The first reference month of this version, and the month from which the
// balance counts field 19 and the amount at 798-812 the other way.
constexpr std::int64_t kPrimeiraReferencia = 200007;
constexpr std::int64_t kReferenciaNovoSaldo = 201302;
// The "A0" date falls at most this many years after the reference month,
// an annex date at most this many years before it.
constexpr std::int64_t kAnosDataA0 = 6;
constexpr std::int64_t kAnosDataAnexo = 5;

// The AAAAMMDD text as the DDMMAAAA date that ValidaData reads.
bool DataValida(std::string_view aaaammdd) {
  std::array<char, 8> ddmmaaaa{};
  const std::string_view ordem = "67450123";  // where each DDMMAAAA character comes from
  for (std::size_t i = 0; i < ddmmaaaa.size(); ++i) ddmmaaaa[i] = aaaammdd[static_cast<std::size_t>(ordem[i] - '0')];
  return ValidaData(std::string_view(ddmmaaaa.data(), ddmmaaaa.size()), 1, 8);
}

// The Inscrição rule: the registration fails when the library refuses it
// for the UF, when an RS registration is not ten characters long, when it
// starts with a blank or when its leading digits are zero. All four are
// evaluated and the library is asked every time.
bool InscricaoCorreta(Registro& r, Campo inscricao, std::string_view uf) {
  const std::string_view texto = r.Texto(inscricao);
  const bool aceita = ConsisteInscricaoEstadual(r.run(), texto, uf) == 0;
  const bool tamanho_rs = uf != "RS" || texto.substr(0, texto.find_last_not_of(' ') + 1).size() == 10;
  const bool sem_branco = texto.empty() || texto.front() != ' ';
  // The number that the leading digits spell is not zero: a digit 1 to 9
  // follows the leading zeros.
  const std::size_t zeros = std::min(texto.find_first_not_of('0'), texto.size());
  const bool numero_nao_zero = zeros < texto.size() && texto[zeros] >= '1' && texto[zeros] <= '9';
  return aceita && tamanho_rs && sem_branco && numero_nao_zero;
}

// Step 8: the period. Returns P, 0 when the period is not a valid month.
std::int64_t ConferePeriodo(Registro& r) {
  if (!r.Numerico(kPeriodo).has_value()) return 0;
  if (!ValidaData(r.linha(), kPeriodo.primeira, 6)) {
    r.Erro(3, kPeriodo);
    return 0;
  }
  const std::string_view mmaaaa = r.Texto(kPeriodo);
  const std::int64_t p = Valor(mmaaaa, 3, 4) * 100 + Valor(mmaaaa, 1, 2);
  if (p < kPrimeiraReferencia) r.ErroST(34, 0, kPeriodo);
  return p;
}

// Step 9: the six instalments, each due date with its amount, then the
// order and uniqueness of the due dates. Returns the sum of the amounts.
Montante ConfereParcelas(Registro& r, std::int64_t p) {
  // AAAAMMDD of each due date; 0 when there is none or it is faulty.
  std::array<std::int64_t, kQtdParcelas + 1> vencimento{};
  Montante total = 0;
  for (int i = 1; i <= kQtdParcelas; ++i) {
    const Parcela parcela = ParcelaNo(i);
    bool faltosa = true;
    if (const auto lida = r.Numerico(parcela.data)) {
      const std::string_view data = r.Texto(parcela.data);
      if (data != "00000000" && !DataValida(data)) {
        r.Erro(12, parcela.data);
      } else {
        vencimento[i] = static_cast<std::int64_t>(*lida);
        faltosa = false;
      }
    }
    const Montante valor = r.Numerico(parcela.valor).value_or(0);
    total += valor;
    if (vencimento[i] == 0 && valor > 0 && !faltosa) r.ErroST(20, i, parcela.data);
    if (vencimento[i] != 0 && valor == 0) r.ErroST(19, i, parcela.valor);
  }

  for (int j = 1; j <= kQtdParcelas; ++j) {
    if (vencimento[j] == 0) continue;
    const Campo data = ParcelaNo(j).data;
    if (vencimento[j] < p * 100)
      r.ErroST(15, j, data);
    else if (j >= 2 && vencimento[j - 1] == 0)
      r.ErroST(6, 0, data);
    // Each of two equal due dates is reported at the other one.
    for (int i = 1; i <= kQtdParcelas; ++i)
      if (i != j && vencimento[i] == vencimento[j]) r.ErroST(16, 0, ParcelaNo(i).data);
  }
  return total;
}

// Step 10: the UF favorecida, the same in every declaration of the file.
void ConfereUF(Registro& r, EstadoGIAST02& st) {
  const std::string_view uf = r.Texto(kUF);
  if (!ValidaUF(uf))
    r.ErroST(21, 0, kUF);
  else if (!st.UFFavorecida.empty() && uf != st.UFFavorecida)
    r.ErroST(33, 0, kUF);
  st.UFFavorecida.assign(uf);
}

// Steps 11 to 13: the amount fields in the order that the rules take them,
// with the mark of column 28, the movement of the declaration and its balance.
class ValoresA0 {
 public:
  ValoresA0(Registro& r, EstadoGIAST02& st) : r_(r), st_(st), marcada_(r.Texto(kSemMovimento) == "X") {}

  void Confere(Montante total_parcelas, std::int64_t p) {
    Quantia(7, kMarcaEMovimento);
    Quantia(8, kMarcaEMovimento);
    Quantia(9, kMarcaEMovimento);
    const auto v10 = Quantia(10, kMarcaEMovimento);
    // Field 10 must be less than field 11, unless both are zero.
    Quantia(11, kMarcaEMovimento, [&](Montante v11) {
      if (v10.has_value() && *v10 >= v11 && (*v10 > 0 || v11 > 0)) r_.ErroST(25, 0, CampoValor(11));
    });
    const auto v12 = Quantia(12, kMarcaEMovimento);
    // Field 13 must be less than field 12, unless both are zero.
    const auto v13 = Quantia(13, kMarcaEMovimento, [&](Montante treze) {
      if (v12.has_value() && *v12 <= treze && (*v12 > 0 || treze > 0)) r_.ErroST(26, 0, CampoValor(13));
    });
    const auto v14 = Quantia(14, kMarcaEMovimento);
    if (v14.has_value()) st_.ValorCampo14 = *v14;
    const auto v15 = Quantia(15, kMarcaEMovimento);
    if (v15.has_value()) st_.ValorCampo15 = *v15;
    const auto v16 = Quantia(16, kNenhuma);
    const auto v17 = Quantia(17, kMarcaEMovimento);
    const auto v19 = Quantia(19, kMarcaEMovimento);
    std::optional<Montante> longo;
    if (r_.linha().size() > kRegistroA0Curto) longo = Le(kValorLongo, kSoMarca);
    const auto v18 = Quantia(18, kMarcaEMovimento);
    const auto v20 = Quantia(20, kNenhuma);
    // Field 21 is what the instalments add up to.
    const auto v21 = Quantia(21, kMarcaEMovimento, [&](Montante v21) {
      if (v21 != total_parcelas) r_.ErroST(14, 21, CampoValor(21));
    });

    if (movimento_ == 0 && !marcada_) r_.ErroST(32, 0, kSemMovimento);

    if (v13 && v14 && v15 && v16 && v17 && v18 && v19 && v20 && v21)
      ConfereSaldo(p, {*v13, *v14 + *v15 + *v16 + *v17, *v19, longo.value_or(0)}, *v18, *v20, *v21);
  }

 private:
  struct Regras {
    bool marca;
    bool movimento;
  };
  static constexpr Regras kMarcaEMovimento{true, true};
  static constexpr Regras kSoMarca{true, false};
  static constexpr Regras kNenhuma{false, false};

  static void Nada(Montante /*valor*/) {}

  // The amount of field `numero`; no value (GIA 7) when it is not numeric.
  // `antes` runs first on a numeric amount: the rule that compares it with
  // an earlier field.
  template <typename Antes = void (*)(Montante)>
  std::optional<Montante> Quantia(int numero, Regras regras, Antes antes = Nada) {
    return Le(CampoValor(numero), regras, antes);
  }

  template <typename Antes = void (*)(Montante)>
  std::optional<Montante> Le(Campo campo, Regras regras, Antes antes = Nada) {
    const auto valor = r_.Numerico(campo);
    if (!valor.has_value()) return valor;
    antes(*valor);
    if (regras.marca && marcada_ && *valor > 0) r_.ErroST(3, 0, campo);
    if (regras.movimento) movimento_ += *valor;
    return valor;
  }

  // What step 13 computes from: D, C, R and X.
  struct Apuracao {
    Montante debito;     // D: field 13
    Montante credito;    // C: fields 14 to 17
    Montante retido;     // R: field 19
    Montante adicional;  // X: the amount at 798-812
  };

  void ConfereSaldo(std::int64_t p, const Apuracao& a, Montante v18, Montante v20, Montante v21) {
    const bool novo_saldo = p >= kReferenciaNovoSaldo;
    Montante e20 = novo_saldo ? a.credito - a.debito : a.credito - a.debito - a.retido;
    if (e20 < 0) e20 = 0;
    Montante e18 = a.debito - a.credito;
    Montante e21 = a.retido + e18 + (novo_saldo ? a.adicional : 0);
    if (e21 > 0) e20 = 0;
    if (e21 < 0) {
      e21 = 0;
      e18 = 0;
    }
    if (e18 < 0) e18 = 0;
    if (v18 != e18) r_.ErroST(13, 18, CampoValor(18));
    if (v20 != e20) r_.ErroST(13, 20, CampoValor(20));
    if (v21 != e21) r_.ErroST(13, 21, CampoValor(21));
  }

  Registro& r_;
  EstadoGIAST02& st_;
  const bool marcada_;
  Montante movimento_ = 0;
};

// A CNPJ or CPF identification field: numeric, not zero, with its check digits.
void ConfereDocumento(Registro& r, Campo campo, int numero) {
  const auto valor = r.Numerico(campo);
  if (!valor.has_value()) return;
  if (*valor == 0)
    r.ErroST(8, numero, campo);
  else if (!ValidaCPFCNPJ(r.Texto(campo)))
    r.ErroST(9, numero, campo);
}

// A text field that must be filled in.
void ConfereInformado(Registro& r, Campo campo, int numero) {
  if (r.Vazio(campo)) r.ErroST(8, numero, campo);
}

// Step 14: who declares, and the date of the declaration, which falls in
// the six years after the reference month.
void ConfereIdentificacao(Registro& r, std::int64_t p) {
  ConfereDocumento(r, kCampo28, 28);
  ConfereInformado(r, kCampo29, 29);
  ConfereDocumento(r, kCampo30, 30);
  ConfereInformado(r, kCampo31, 31);
  r.Numerico(kNumero496);
  r.Numerico(kNumero508);
  ConfereInformado(r, kCampo35, 35);
  const auto data = r.Numerico(kDataA0);
  if (!data.has_value()) return;
  if (!DataCalendario(r.Texto(kDataA0))) {
    r.Erro(12, kDataA0);
    return;
  }
  const auto mes = static_cast<std::int64_t>(*data / 100);
  if (p >= mes)
    r.ErroST(35, 0, kDataA0);
  else if (mes > (p / 100 + kAnosDataA0) * 100 + p % 100)
    r.ErroST(4, 0, kDataA0);
}

// A column that holds "S" or "N".
void ConfereSimNao(Registro& r, Campo campo) {
  if (r.Texto(campo) != "S" && r.Texto(campo) != "N") r.Erro(8, campo);
}

// Step 16: the line counts of the three annexes.
void ConfereLinhasDeclaradas(Registro& r, EstadoGIAST02& st) {
  if (const auto qtd = r.Numerico(kLinhasAnexoI)) st.QtdLinhasAnexoI = static_cast<std::int64_t>(*qtd);
  if (const auto qtd = r.Numerico(kLinhasAnexoII)) st.QtdLinhasAnexoII = static_cast<std::int64_t>(*qtd);
  if (const auto qtd = r.Numerico(kLinhasAnexoIII)) {
    if (*qtd == 0 && r.Texto(kIndicadorAnexoIII) == "S")
      r.ErroST(37, 0, kLinhasAnexoIII);
    else
      st.QtdLinhasAnexoIII = static_cast<std::int64_t>(*qtd);
  }
}

// The closing checks of the declaration that the run state still holds;
// `fim_do_arquivo` chooses the form run after the last line.
void FechaDeclaracao(Execucao& run, bool fim_do_arquivo) {
  const EstadoGIAST02& st = run.EstadoDoValidador<EstadoGIAST02>();
  if (st.TotalAnexoI != st.ValorCampo14) RegistraErroST(run, 31, 14, CampoValor(14).primeira, CampoValor(14).ultima());
  if (st.TotalAnexoII != st.ValorCampo15) RegistraErroST(run, 31, 15, CampoValor(15).primeira, CampoValor(15).ultima());
  if (st.ContLinhasAnexoI != st.QtdLinhasAnexoI)
    RegistraErroST(run, 28, 0, kLinhasAnexoI.primeira, kLinhasAnexoI.ultima());
  if (st.ContLinhasAnexoII != st.QtdLinhasAnexoII)
    RegistraErroST(run, 28, 0, kLinhasAnexoII.primeira, kLinhasAnexoII.ultima());
  const bool contagem_certa = st.ContLinhasAnexoIII == st.QtdLinhasAnexoIII;
  if (!contagem_certa || (fim_do_arquivo && st.IndicadorAnexoIII == "N" && st.QtdLinhasAnexoIII != 0))
    RegistraErroST(run, 28, 0, kLinhasAnexoIII.primeira, kLinhasAnexoIII.ultima());
  else if (fim_do_arquivo && st.IndicadorAnexoIII == "S" && st.QtdLinhasAnexoIII == 0)
    RegistraErroST(run, 27, 0, kIndicadorAnexoIII.primeira, kIndicadorAnexoIII.ultima());
}

// Steps 1 to 16 of the main record.
void ValidaA0(Execucao& run, std::string_view linha) {
  Registro r(run, linha);
  EstadoGIAST02& st = run.EstadoDoValidador<EstadoGIAST02>();
  st.UltimoAnexoI.clear();
  st.UltimoAnexoII.clear();
  st.UltimoAnexoIII.clear();
  FechaDeclaracao(run, false);

  run.InscricaoAtual.assign(r.Texto(kInscricao));
  run.PeriodoAtual.assign(r.Texto(kPeriodo));
  run.MostraContribuinte(run.InscricaoAtual);
  AcrescentaReciboInscricao(run);
  ++run.QtdGIAs;

  st.TotalAnexoI = 0;
  st.TotalAnexoII = 0;
  st.ContLinhasAnexoI = 0;
  st.ContLinhasAnexoII = 0;
  st.ContLinhasAnexoIII = 0;
  run.LinhaA0 = run.NumeroLinha;

  if (!InscricaoCorreta(r, kInscricao, r.Texto(kUF))) r.ErroST(22, 0, kInscricao);
  if (r.Texto(kSemMovimento) != "X" && r.Texto(kSemMovimento) != " ") r.Erro(14, kSemMovimento);
  if (r.Texto(kMarca29) != "X" && r.Texto(kMarca29) != " ") r.Erro(14, kMarca29);
  st.P = ConferePeriodo(r);
  const Montante total_parcelas = ConfereParcelas(r, st.P);
  ConfereUF(r, st);
  ValoresA0(r, st).Confere(total_parcelas, st.P);
  ConfereIdentificacao(r, st.P);
  ConfereSimNao(r, kIndicador778);
  st.IndicadorAnexoIII.assign(r.Texto(kIndicadorAnexoIII));
  ConfereSimNao(r, kIndicadorAnexoIII);
  ConfereLinhasDeclaradas(r, st);
}

// What distinguishes annex I ("A1") from annex II ("A2").
struct AnexoST {
  int numero;
  std::int64_t EstadoGIAST02::*contagem;
  std::string EstadoGIAST02::*ultimo;
  Montante EstadoGIAST02::*total;
};
constexpr AnexoST kAnexoI{1, &EstadoGIAST02::ContLinhasAnexoI, &EstadoGIAST02::UltimoAnexoI,
                          &EstadoGIAST02::TotalAnexoI};
constexpr AnexoST kAnexoII{2, &EstadoGIAST02::ContLinhasAnexoII, &EstadoGIAST02::UltimoAnexoII,
                           &EstadoGIAST02::TotalAnexoII};

// An annex date: a calendar date in the five years up to the reference
// month. The month rules wait for a declaration whose period passed.
void ConfereDataAnexo(Registro& r, std::int64_t p) {
  const auto data = r.Numerico(kDataA1A2);
  if (!data.has_value()) return;
  if (!DataCalendario(r.Texto(kDataA1A2))) {
    r.Erro(12, kDataA1A2);
    return;
  }
  if (p == 0) return;
  const auto mes = static_cast<std::int64_t>(*data / 100);
  if (mes > p)
    r.ErroST(4, 0, kDataA1A2);
  else if (mes < (p / 100 - kAnosDataAnexo) * 100 + 1)
    r.ErroST(4, 0, kDataA1A2);
}

// Records "A1" and "A2".
void ValidaA1A2(Execucao& run, std::string_view linha, const AnexoST& anexo) {
  Registro r(run, linha);
  EstadoGIAST02& st = run.EstadoDoValidador<EstadoGIAST02>();
  ++(st.*anexo.contagem);
  const std::string_view chave = r.Texto(kChaveA1A2);
  if (chave == st.*anexo.ultimo) r.ErroST(36, anexo.numero, kDuplicadoA1A2);
  (st.*anexo.ultimo).assign(chave);

  if (const auto numero = r.Numerico(kNumeroA1A2); numero.has_value() && *numero == 0) r.Erro(16, kNumeroA1A2);
  if (r.Vazio(kCodigoA1A2)) r.Erro(16, kCodigoA1A2);
  if (!InscricaoCorreta(r, kInscricaoA1A2, st.UFFavorecida)) r.ErroST(22, 0, kInscricaoA1A2);
  ConfereDataAnexo(r, st.P);
  if (const auto valor = r.Numerico(kValorA1A2)) {
    if (*valor == 0)
      r.Erro(16, kValorA1A2);
    else
      st.*anexo.total += *valor;
  }
}

// Record "A3": a counterpart whose amount A must exceed its amount B.
void ValidaA3(Execucao& run, std::string_view linha) {
  Registro r(run, linha);
  EstadoGIAST02& st = run.EstadoDoValidador<EstadoGIAST02>();
  ++st.ContLinhasAnexoIII;
  const std::string_view chave = r.Texto(kChaveA3);
  if (chave == st.UltimoAnexoIII) r.ErroST(36, 3, kInscricaoA3);
  st.UltimoAnexoIII.assign(chave);

  if (!InscricaoCorreta(r, kInscricaoA3, st.UFFavorecida))
    r.ErroST(22, 0, kInscricaoA3);
  else if (Apara(r.Texto(kInscricaoA3)) == Apara(run.InscricaoAtual))
    r.ErroST(30, 0, kInscricaoA3);

  const auto b = r.Numerico(kValorB);
  if (!b.has_value()) return;
  // A that is not numeric counts as 0 here; its own test comes after.
  const Montante a_como_esta = r.Digitos(kValorA).value_or(0);
  if (*b == 0 && a_como_esta != 0) r.Erro(16, kValorB);
  if (const auto a = r.Numerico(kValorA); a.has_value() && *a <= *b && (*a != 0 || *b != 0)) r.Erro(24, kValorA);
}

}  // namespace

void ValidaGIAST02(Execucao& run, std::string_view linha) {
  const std::string_view tipo = Apara(Fatia(linha, 1, 2));
  if (tipo == "A0")
    ValidaA0(run, linha);
  else if (tipo == "A1")
    ValidaA1A2(run, linha, kAnexoI);
  else if (tipo == "A2")
    ValidaA1A2(run, linha, kAnexoII);
  else if (tipo == "A3")
    ValidaA3(run, linha);
}

void FechaDeclaracaoST(Execucao& run) { FechaDeclaracao(run, true); }

}  // namespace valida
