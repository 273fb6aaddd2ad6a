// ValidaGIAST01: a GIA ST version 1 file holds one whole declaration per
// record. The checks mix the two catalogues: the field tests shared with the
// GIA layouts (numeric, date, day rules) record GIA codes, the rules of the ST
// declaration record ST codes with the number by which the messages name the
// field.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "valida/checks/campos.h"
#include "valida/checks/formato.h"
#include "valida/checks/recibo.h"
#include "valida/checks/registro.h"
#include "valida/validators/validadores.h"

namespace valida {

namespace {

// The record layout.
constexpr Campo kMarca{1, 5};
constexpr Campo kIndicador{6, 1};
constexpr Campo kBlocoPeriodo{7, 10};  // field 4: start day, end day, MMAAAA
constexpr Campo kDiaInicio{7, 2};
constexpr Campo kDiaFim{9, 2};
constexpr Campo kMes{11, 2};
constexpr Campo kAno{13, 4};
constexpr Campo kPeriodo{11, 6};
constexpr Campo kCGCTE{17, 10};  // field 5
constexpr Campo kCNPJ{27, 14};   // field 23
constexpr Campo kSemMovimento{41, 1};

// The amount fields 6 to 17, fifteen digits each, one after the other.
constexpr int kLarguraValor = 15;
constexpr Campo CampoValor(int numero) { return {48 + kLarguraValor * (numero - 6), kLarguraValor}; }

// Six payments: a due date DDMMAAAA followed by its amount.
constexpr int kQtdPagamentos = 6;
constexpr Parcela PagamentoNo(int n) { return Parcela::Em(228 + 23 * (n - 1), kLarguraValor); }

// The closing block.
constexpr Campo kNome{366, 46};   // field 24
constexpr Campo kCPF{412, 11};    // field 25
constexpr Campo kCargo{423, 30};  // field 26
constexpr Campo kNumero1{453, 4};
constexpr Campo kNumero2{457, 8};
constexpr Campo kLocal{465, 30};       // field 28
constexpr Campo kDataEntrega{495, 8};  // field 28 as well
constexpr Campo kNumero3{503, 4};
constexpr Campo kNumero4{507, 8};

// The reference periods (AAAAMM) this version covers.
constexpr std::int64_t kPrimeiraReferencia = 199905;
constexpr std::int64_t kUltimaReferencia = 200006;

// The period block, field 4. Returns the reference value AAAAMM, 0 when the
// block is not a whole month of a valid period. The end day is tested as the
// date of the block's month first, so the month is one of 1 to 12.
std::int64_t ConferePeriodo(Registro& r) {
  if (!r.Numerico(kBlocoPeriodo).has_value()) return 0;
  const std::string_view inicio = r.Texto(kDiaInicio);
  const std::string_view fim = r.Texto(kDiaFim);
  if (!r.EhData(kDiaFim) || inicio == "00" || !(inicio < fim)) {
    r.Erro(12, kBlocoPeriodo);
    return 0;
  }
  const std::int64_t mes = r.ValorDe(kMes);
  const std::int64_t ano = r.ValorDe(kAno);
  const std::int64_t referencia = ano * 100 + mes;
  if (referencia < kPrimeiraReferencia)
    r.ErroST(7, 4, kBlocoPeriodo);
  else if (referencia > kUltimaReferencia)
    r.ErroST(41, 4, kBlocoPeriodo);
  if (inicio != "01") r.Erro(26, kBlocoPeriodo);
  if (fim != UltimoDiaDoMes(mes, ano)) r.Erro(15, kBlocoPeriodo);
  return referencia;
}

// The CGC/TE (field 5) and the CNPJ (field 23).
void ConfereIdentificacao(Registro& r) {
  if (const auto cgcte = r.Numerico(kCGCTE)) {
    if (*cgcte == 0)
      r.ErroST(8, 5, kCGCTE);
    else if (r.Texto(kCGCTE).back() != DigitoControleCGCTE(r.Texto(kCGCTE)))
      r.ErroST(9, 5, kCGCTE);
  }
  if (const auto cnpj = r.Numerico(kCNPJ)) {
    if (*cnpj == 0)
      r.ErroST(8, 23, kCNPJ);
    else if (!ValidaCPFCNPJ(r.Texto(kCNPJ)))
      r.ErroST(9, 23, kCNPJ);
  }
}

// The amount fields 6 to 17 with the mark of column 41 and the computed
// fields 16 and 17. Returns V17, 0 when field 17 is not numeric.
Montante ConfereValores(Registro& r) {
  const auto valor = [&](int numero) { return r.Numerico(CampoValor(numero)); };

  // S: the sum of fields 6 to 14 that says whether the declaration has movement.
  const Montante v6 = valor(6).value_or(0);
  Montante soma = v6;
  for (const int numero : {7, 8}) {
    if (const auto v = valor(numero)) {
      if (*v > v6)
        r.ErroST(11, numero, CampoValor(numero));
      else
        soma += *v;
    }
  }
  const Montante v10 = valor(10).value_or(-1);
  if (v10 > 0) soma += v10;
  if (const auto v9 = valor(9)) {
    if ((*v9 > 0 || v10 > 0) && *v9 <= v10) r.ErroST(12, 9, CampoValor(9));
    soma += *v9;
  }
  const auto v11 = valor(11);
  if (v11.has_value()) soma += *v11;
  const Montante onze = v11.value_or(-1);
  const auto v12 = valor(12);
  // Reported at the columns of field 11, the one that has to be the greater.
  if (v12.has_value() && (onze > 0 || *v12 > 0) && onze <= *v12) r.ErroST(17, 0, CampoValor(11));
  const Montante doze = v12.value_or(0);
  soma += doze;
  const Montante treze = valor(13).value_or(0);
  const Montante quatorze = valor(14).value_or(0);
  soma += treze + quatorze;

  const bool marcada = !r.Vazio(kSemMovimento);
  if (marcada && soma > 0)
    r.ErroST(3, 0, kSemMovimento);
  else if (!marcada && soma == 0)
    r.Erro(16, kSemMovimento);

  const Montante quinze = valor(15).value_or(0);
  const Montante debito = quatorze + treze + quinze;
  if (const auto v16 = valor(16)) {
    const Montante esperado = debito > doze ? debito - doze : 0;
    if (*v16 != esperado) r.ErroST(13, 16, CampoValor(16));
  }
  const auto v17 = valor(17);
  if (v17.has_value()) {
    const Montante esperado = doze > debito ? doze - debito : 0;
    if (*v17 != esperado) r.ErroST(13, 17, CampoValor(17));
  }
  return v17.value_or(0);
}

// A date DDMMAAAA of digits, read as a number, as AAAAMMDD: in the order of
// the calendar.
std::int64_t AAAAMMDD(Montante ddmmaaaa) {
  const auto n = static_cast<std::int64_t>(ddmmaaaa);
  return n % 10000 * 10000 + n / 10000 % 100 * 100 + n / 1000000;
}

// The six payments: each due date with its amount, their sum against field
// 17, then the order and uniqueness of the due dates.
void ConferePagamentos(Registro& r, std::int64_t referencia, Montante v17) {
  // AAAAMMDD of each payment's due date; 0 when there is none or it is not a date.
  std::array<std::int64_t, kQtdPagamentos + 1> vencimento{};
  Montante total = 0;
  for (int n = 1; n <= kQtdPagamentos; ++n) {
    const Parcela p = PagamentoNo(n);
    if (const auto data = r.Numerico(p.data)) {
      if (!r.EhData(p.data))
        r.Erro(12, p.data);
      else
        vencimento[n] = AAAAMMDD(*data);
    }
    // An amount that is not numeric has been reported and pairs as 0.
    const Montante valor = r.Numerico(p.valor).value_or(0);
    total += valor;
    if (vencimento[n] > 0 && valor == 0) r.ErroST(19, n, p.valor);
    if (vencimento[n] == 0 && valor > 0) r.ErroST(20, n, p.data);
  }

  if (total != v17) r.ErroST(14, 17, CampoValor(17));

  for (int n = 1; n <= kQtdPagamentos; ++n) {
    if (vencimento[n] == 0) continue;
    const Campo data = PagamentoNo(n).data;
    if (vencimento[n] / 100 < referencia)
      r.ErroST(15, n, data);
    else if (n > 1 && vencimento[n - 1] == 0)
      r.ErroST(6, 0, data);
    // Each of two equal due dates is reported from the other one.
    for (int i = 1; i <= kQtdPagamentos; ++i)
      if (i != n && vencimento[i] == vencimento[n]) r.ErroST(16, 0, PagamentoNo(i).data);
  }
}

// The closing block: who signs, where and when.
void ConfereEncerramento(Registro& r, std::int64_t referencia) {
  if (r.Vazio(kNome)) r.ErroST(8, 24, kNome);
  if (const auto cpf = r.Numerico(kCPF)) {
    if (*cpf == 0)
      r.ErroST(8, 25, kCPF);
    else if (!ValidaCPFCNPJ(r.Texto(kCPF)))
      r.ErroST(9, 25, kCPF);
  }
  if (r.Vazio(kCargo)) r.ErroST(8, 26, kCargo);
  r.Numerico(kNumero1);
  r.Numerico(kNumero2);
  if (r.Vazio(kLocal)) r.ErroST(8, 28, kLocal);
  if (const auto data = r.Numerico(kDataEntrega)) {
    if (*data == 0)
      r.ErroST(8, 28, kDataEntrega);
    else if (!r.EhData(kDataEntrega))
      r.Erro(12, kDataEntrega);
    else if (AAAAMMDD(*data) / 100 < referencia)
      r.ErroST(4, 0, kDataEntrega);
  }
  r.Numerico(kNumero3);
  r.Numerico(kNumero4);
}

}  // namespace

void ValidaGIAST01(Execucao& run, std::string_view linha) {
  Registro r(run, linha);
  run.PeriodoAtual.assign(r.Texto(kPeriodo));
  run.InscricaoAtual.assign(r.Texto(kCGCTE));

  run.MostraContribuinte(FormataCGCTE(run.InscricaoAtual));
  AcrescentaReciboCGCTE(run);
  ++run.QtdGIAs;

  if (r.Texto(kMarca) != "GST01") r.ErroST(5, 0, kMarca);
  if (r.Texto(kIndicador) != " " && r.Texto(kIndicador) != "X") r.Erro(14, kIndicador);
  const std::int64_t referencia = ConferePeriodo(r);
  ConfereIdentificacao(r);
  const Montante v17 = ConfereValores(r);
  ConferePagamentos(r, referencia, v17);
  ConfereEncerramento(r, referencia);
}

}  // namespace valida
