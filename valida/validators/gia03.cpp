// ValidaGIA03: a GIA version 3 file holds one whole declaration per record.
// Each record is checked field by field in column order; every finding goes
// to the GIA catalogue with the columns of the field concerned.
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
constexpr Campo kMarca{1, 4};
constexpr Campo kVersao{5, 2};
constexpr Campo kIndicador{15, 1};
constexpr Campo kDiaInicio{16, 2};
constexpr Campo kDiaFim{18, 2};
constexpr Campo kReferencia{20, 6};
constexpr Campo kCGCTE{26, 10};

constexpr int kLarguraValor = 16;
constexpr Campo kA{84, kLarguraValor};
constexpr Campo kB{100, kLarguraValor};
constexpr Campo kC{116, kLarguraValor};
constexpr Campo kT1{292, kLarguraValor};
constexpr Campo kT2{420, kLarguraValor};
constexpr Campo kR1{436, kLarguraValor};
constexpr Campo kR2{452, kLarguraValor};
constexpr Campo kR3{468, kLarguraValor};
constexpr Campo kR4{484, kLarguraValor};
constexpr Campo kR5{500, kLarguraValor};
constexpr Campo kR6{732, kLarguraValor};

// G1 to G10 (summed in T1) and H1 to H7 (summed in T2).
constexpr int kQtdG = 10;
constexpr int kQtdH = 7;
constexpr Campo G(int i) { return {132 + kLarguraValor * (i - 1), kLarguraValor}; }
constexpr Campo H(int i) { return {308 + kLarguraValor * (i - 1), kLarguraValor}; }

// Nine instalments: a due date DDMMAAAA followed by its amount.
constexpr int kQtdParcelas = 9;
constexpr Parcela ParcelaNo(int i) { return Parcela::Em(516 + 24 * (i - 1), kLarguraValor); }

// The numeric fields that close the record: eight amounts and one of four digits.
constexpr int kQtdFinais = 8;
constexpr Campo Final(int i) { return {748 + kLarguraValor * (i - 1), kLarguraValor}; }
constexpr Campo kUltimoCampo{876, 4};

// The reference periods (AAAAMM) this version covers.
constexpr int kPrimeiraReferencia = 199407;
constexpr int kUltimaReferencia = 199809;

// The GIA 3 record: an amount as the rules use it, 0 when it is not numeric
// (GIA code 7).
class RegistroGIA03 : public Registro {
 public:
  using Registro::Registro;
  [[nodiscard]] Montante Quantia(Campo c) const { return Numerico(c).value_or(0); }
};

// The AAAAMM key of a numeric MMAAAA period or DDMMAAAA date whose month
// starts at `mes`.
int Chave(std::string_view texto, std::size_t mes) {
  int chave = 0;
  for (const std::size_t i : {mes + 2, mes + 3, mes + 4, mes + 5, mes, mes + 1}) chave = chave * 10 + (texto[i] - '0');
  return chave;
}

// Marker, version, indicator, days, period and CGC/TE. Returns the reference
// key, 0 when the period is not numeric.
int ConfereCabecalho(RegistroGIA03& r) {
  if (r.Texto(kMarca) != "****") r.Erro(1, kMarca);
  if (r.Numerico(kVersao).has_value() && r.Texto(kVersao) != "03") r.Erro(2, kVersao);
  if (r.Texto(kIndicador) != " " && r.Texto(kIndicador) != "X") r.Erro(14, kIndicador);

  // The end day is compared with the start day's text as it stands, whether
  // or not the start day passed its own test.
  const std::string_view inicio = r.Texto(kDiaInicio);
  if (r.Numerico(kDiaInicio).has_value() && (inicio < "01" || inicio > "31")) r.Erro(26, kDiaInicio);
  if (r.Numerico(kDiaFim).has_value() && !(r.Texto(kDiaFim) > inicio)) r.Erro(15, kDiaFim);

  int chave = 0;
  if (r.Numerico(kReferencia).has_value()) {
    chave = Chave(r.Texto(kReferencia), 0);
    if (!ValidaData(r.Texto(kReferencia), 1, 6))
      r.Erro(12, kReferencia);
    else if (chave < kPrimeiraReferencia || chave > kUltimaReferencia)
      r.Erro(3, kReferencia);
  }

  if (const auto numero = r.Numerico(kCGCTE)) {
    const std::string_view cgcte = r.Texto(kCGCTE);
    if (*numero == 0) {
      r.run().InscricaoAtual = "0";
      r.Erro(16, kCGCTE);
    } else if (cgcte.back() != DigitoControleCGCTE(cgcte)) {
      r.Erro(4, kCGCTE);
    }
  }
  return chave;
}

// What the closing rules need of the amounts from A to R4.
struct Apuracao {
  Montante G10 = 0;
  Montante R3 = 0;
  Montante R4 = 0;
};

// The amounts A to R4 in column order, with rules 1 to 6 as soon as their
// fields are read.
Apuracao ConfereApuracao(RegistroGIA03& r) {
  Apuracao apuracao;
  const Montante a = r.Quantia(kA);
  const Montante b = r.Quantia(kB);
  if (a - b != r.Quantia(kC)) r.Erro(24, kC);

  Montante soma_g = 0;
  for (int i = 1; i <= kQtdG; ++i) {
    const auto g = r.Numerico(G(i));
    soma_g += g.value_or(0);
    if (i == kQtdG) apuracao.G10 = g.value_or(0);
  }
  const auto t1 = r.Numerico(kT1);
  if (t1.has_value() && *t1 != soma_g) r.Erro(24, kT1);

  Montante soma_h = 0;
  for (int i = 1; i <= kQtdH; ++i) soma_h += r.Numerico(H(i)).value_or(0);
  const auto t2 = r.Numerico(kT2);
  if (t2.has_value() && *t2 != soma_h) r.Erro(24, kT2);

  const Montante debitos = t1.value_or(0);
  const Montante creditos = t2.value_or(0);
  const auto r1 = r.Numerico(kR1);
  if (r1.has_value() && debitos > creditos && *r1 != debitos - creditos) r.Erro(24, kR1);

  const Montante saldo = r1.value_or(0);
  const Montante r2 = r.Quantia(kR2);
  if (saldo < r2) r.Erro(24, kR2);

  const auto r3 = r.Numerico(kR3);
  if (r3.has_value()) {
    if (*r3 > 0 && saldo != r2) r.Erro(24, kR3);
    if (creditos > debitos && *r3 != creditos - debitos + r2) r.Erro(24, kR3);
  }
  apuracao.R3 = r3.value_or(0);
  apuracao.R4 = r.Quantia(kR4);
  return apuracao;
}

// The nine instalments, each checked in two passes that are kept apart on
// purpose: the date pass and then the amount pass, which may repeat a
// finding of the first. Returns the sum of the numeric amounts.
Montante ConfereParcelas(RegistroGIA03& r, int referencia) {
  Montante soma = 0;
  for (int i = 1; i <= kQtdParcelas; ++i) {
    const Parcela p = ParcelaNo(i);
    const auto data_lida = r.Digitos(p.data);
    const auto valor_lido = r.Digitos(p.valor);
    const bool data_numerica = data_lida.has_value();
    const bool valor_numerico = valor_lido.has_value();
    const Montante data = data_lida.value_or(0);
    const Montante valor = valor_lido.value_or(0);
    // The date's calendar test, made once for the passes that ask for it.
    const bool data_valida = data_numerica && (data > 0 || valor > 0) && r.EhData(p.data);
    const auto antes_da_referencia = [&] { return Chave(r.Texto(p.data), 2) < referencia; };

    if (!data_numerica) {
      r.Erro(7, p.data);
    } else if (data > 0) {
      if (!data_valida)
        r.Erro(12, p.data);
      else if (antes_da_referencia())
        r.Erro(25, p.data);
      else if (!valor_numerico)
        r.Erro(7, p.valor);
      else if (valor < 1)
        r.Erro(16, p.valor);
    }

    if (!valor_numerico) {
      r.Erro(7, p.valor);
    } else {
      soma += valor;
      if (valor > 0 && data_numerica) {
        if (!data_valida)
          r.Erro(12, p.data);
        else if (antes_da_referencia())
          r.Erro(25, p.data);
        else if (data < 1)
          r.Erro(16, p.data);
      }
    }
  }
  return soma;
}

}  // namespace

void ValidaGIA03(Execucao& run, std::string_view linha) {
  RegistroGIA03 r(run, linha);
  run.VersaoArquivo.assign(r.Texto(kVersao));
  run.PeriodoAtual.assign(r.Texto(kReferencia));
  run.InscricaoAtual.assign(r.Texto(kCGCTE));

  const int referencia = ConfereCabecalho(r);

  run.MostraContribuinte(FormataCGCTE(run.InscricaoAtual));
  AcrescentaReciboCGCTE(run);
  ++run.QtdGIAs;

  const Apuracao apuracao = ConfereApuracao(r);

  // Rule 9 looks at the first instalment as it stands, before any finding.
  const Parcela primeira = ParcelaNo(1);
  const Montante data_primeira = r.Digitos(primeira.data).value_or(0);
  const Montante valor_primeira = r.Digitos(primeira.valor).value_or(0);

  Montante soma = ConfereParcelas(r, referencia);
  const auto r6 = r.Numerico(kR6);
  soma += r6.value_or(0);

  const auto r5 = r.Numerico(kR5);
  if (r5.has_value()) {
    if (*r5 != apuracao.R4 + apuracao.R3) r.Erro(24, kR5);
    if (apuracao.G10 != 0) {
      if (soma - apuracao.G10 > *r5) r.Erro(24, kR5);
    } else if (soma != *r5) {
      r.Erro(24, kR5);
    }
  }

  if (r5.value_or(0) > r6.value_or(0)) {
    if (data_primeira == 0) r.Erro(16, primeira.data);
    if (valor_primeira == 0) r.Erro(16, primeira.valor);
  }

  for (int i = 1; i <= kQtdFinais; ++i) r.Numerico(Final(i));
  r.Numerico(kUltimoCampo);
}

}  // namespace valida
