// The annex records X01 to X12 of a GIA 4/5 declaration: one table of the
// seventeen types and one function per occurrence layout, fed by the walk.
#include "valida/validators/gia0405_anexos.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "valida/checks/campos.h"
#include "valida/checks/registro.h"

namespace valida {

namespace {

// Every annex record: the number of occurrences at 44-45, the occurrences
// from column 46 on.
constexpr Campo kQuantidade{44, 2};
constexpr int kColunaOcorrencias = 46;

// The first and last day of the declaration's period, in the record's own prefix.
constexpr Campo kPrimeiroDia{16, 2};
constexpr Campo kUltimoDia{18, 2};

constexpr int kLarguraCFOP = 3;
constexpr int kLarguraValor = 13;
constexpr int kLarguraInscricao = 10;
constexpr int kLarguraData = 8;
constexpr int kDataDDMMAAAA = 8;  // the kind of ValidaData for a whole date
constexpr int kLarguraDescricao = 60;

// A short text put together on the stack from pieces of a record: a date's
// DDMMAAAA or AAAAMM, compared as text.
class Junta {
 public:
  Junta(std::initializer_list<std::string_view> partes) {
    for (std::string_view parte : partes) {
      parte = parte.substr(0, texto_.size() - tamanho_);
      std::copy(parte.begin(), parte.end(), texto_.begin() + static_cast<std::ptrdiff_t>(tamanho_));
      tamanho_ += parte.size();
    }
  }
  [[nodiscard]] std::string_view texto() const { return {texto_.data(), tamanho_}; }

 private:
  std::array<char, 16> texto_{};
  std::size_t tamanho_ = 0;
};

// A field as the later tests of its occurrence see it.
struct Lido {
  Montante valor = 0;   // 0 when the field is not numeric
  bool aceito = false;  // no finding yet, so the field's further tests apply
};

// Whether the state registration of a layout may be zero.
enum class Zero { kObrigatorio, kAceito };

// One occurrence: its record and its base column b. The field helpers take
// columns relative to b, record a finding at the field's own columns and
// return what the later tests of the occurrence use; within one field only
// the first finding is recorded.
class Ocorrencia {
 public:
  Ocorrencia(Execucao& execucao, std::string_view linha, int base)
      : estado(execucao.EstadoDoValidador<EstadoGIA0405>()), registro(execucao, linha), b(base) {}

  void Erro(int codigo, int rel, int largura) const { registro.Erro(codigo, Em(rel, largura)); }
  [[nodiscard]] std::string_view Texto(int rel, int largura) const { return registro.Texto(Em(rel, largura)); }
  [[nodiscard]] bool Vazio(int rel, int largura) const { return registro.Vazio(Em(rel, largura)); }
  [[nodiscard]] int Inteiro(int rel, int largura) const { return static_cast<int>(registro.ValorDe(Em(rel, largura))); }
  [[nodiscard]] bool DataValida(int rel) const { return registro.EhData(Em(rel, kLarguraData)); }
  // A field of the record itself, outside the occurrence.
  [[nodiscard]] std::string_view NoRegistro(Campo c) const { return registro.Texto(c); }

  // A day bound of the period in the record's prefix, read as a number from
  // its leading digits after leading blanks, whatever its own tests found.
  [[nodiscard]] int DiaDoPeriodo(Campo campo) const {
    std::string_view texto = NoRegistro(campo);
    while (!texto.empty() && texto.front() == ' ') texto.remove_prefix(1);
    int dia = 0;
    for (const char c : texto) {
      if (c < '0' || c > '9') break;
      dia = dia * 10 + (c - '0');
    }
    return dia;
  }

  // Numeric, else code 7.
  Lido Numerico(int rel, int largura) const {
    const std::optional<Montante> valor = registro.Numerico(Em(rel, largura));
    return valor ? Lido{*valor, true} : Lido{};
  }

  // Numeric, else code 7; zero: code 16.
  Lido Obrigatorio(int rel, int largura) const {
    Lido campo = Numerico(rel, largura);
    if (campo.aceito && campo.valor == 0) {
      Erro(16, rel, largura);
      campo.aceito = false;
    }
    return campo;
  }

  // Obrigatorio, and a multiple of 100: code 23.
  Lido CFOP(int rel) const {
    Lido cfop = Obrigatorio(rel, kLarguraCFOP);
    if (cfop.aceito && cfop.valor % 100 == 0) {
      Erro(23, rel, kLarguraCFOP);
      cfop.aceito = false;
    }
    return cfop;
  }

  // A CGC/TE: numeric, else code 7; zero: code 16 or accepted; otherwise its
  // tenth character must be its check digit, else code 4.
  void Inscricao(int rel, Zero zero) const {
    const Lido inscricao = Numerico(rel, kLarguraInscricao);
    if (!inscricao.aceito) return;
    if (inscricao.valor == 0) {
      if (zero == Zero::kObrigatorio) Erro(16, rel, kLarguraInscricao);
      return;
    }
    const std::string_view texto = Texto(rel, kLarguraInscricao);
    if (texto.back() != DigitoControleCGCTE(texto)) Erro(4, rel, kLarguraInscricao);
  }

  // The description of an amount greater than zero must not be blank: code 16.
  void Descricao(int rel, Montante valor) const {
    if (valor > 0 && Vazio(rel, kLarguraDescricao)) Erro(16, rel, kLarguraDescricao);
  }

  // A total: numeric, else code 7; differs from the sum of its amounts: code 24.
  void Total(int rel, Montante soma) const {
    const Lido total = Numerico(rel, kLarguraValor);
    if (total.aceito && total.valor != soma) Erro(24, rel, kLarguraValor);
  }

  EstadoGIA0405& estado;

 private:
  // The field at `rel` columns from the base.
  [[nodiscard]] Campo Em(int rel, int largura) const { return {b + rel, largura}; }

  Registro registro;
  int b;
};

// Whether the position kept for `codigo` still holds it in the list.
template <typename Lista, typename Codigo>
bool Presente(const Lista& lista, const std::array<std::size_t, kCodigosAnexo>& posicao, int codigo, Codigo de) {
  if (codigo < 0 || static_cast<std::size_t>(codigo) >= kCodigosAnexo) return false;
  const std::size_t p = posicao[static_cast<std::size_t>(codigo)];
  return p < lista.size() && de(lista[p]) == codigo;
}

// The CFOP merge: a CFOP greater than zero that some entry already carries
// selects that entry; any other CFOP takes a new entry after the last one.
// Returns the position of the entry that the occurrence's amounts go to.
template <typename Entrada>
std::size_t MesclaCFOP(std::vector<Entrada>& lista, std::array<std::size_t, kCodigosAnexo>& posicao, int cfop) {
  if (cfop > 0 && Presente(lista, posicao, cfop, [](const Entrada& e) { return e.CFOP; }))
    return posicao[static_cast<std::size_t>(cfop)];
  lista.push_back(Entrada{.CFOP = cfop});
  const std::size_t nova = lista.size() - 1;
  if (cfop > 0 && static_cast<std::size_t>(cfop) < kCodigosAnexo) posicao[static_cast<std::size_t>(cfop)] = nova;
  return nova;
}

// X01 and X05 (68 characters): CFOP and five amounts. Amount 3 feeds the
// annex sum; in X05, amounts 4 and 5 go to the CFOP's entry of ListaCFOPX05.
void OcorrenciaX01X05(const Ocorrencia& o, Montante& soma, bool lista_cfop) {
  const Lido cfop = o.CFOP(0);
  std::optional<std::size_t> entrada;
  if (lista_cfop) entrada = MesclaCFOP(o.estado.ListaCFOPX05, o.estado.PosicaoCFOPX05, static_cast<int>(cfop.valor));
  o.Numerico(3, kLarguraValor);
  o.Numerico(16, kLarguraValor);
  soma += o.Numerico(29, kLarguraValor).valor;
  const Montante valor_x05a = o.Numerico(42, kLarguraValor).valor;
  const Montante valor_x05b = o.Numerico(55, kLarguraValor).valor;
  if (entrada) {
    CFOPX05& e = o.estado.ListaCFOPX05[*entrada];
    e.ValorX05A += valor_x05a;
    e.ValorX05B += valor_x05b;
  }
}

// X02 and X06 (26 characters): state registration, code, amount.
void OcorrenciaX02X06(const Ocorrencia& o, Montante& soma) {
  o.Inscricao(0, Zero::kObrigatorio);
  o.Obrigatorio(10, 3);
  soma += o.Numerico(13, kLarguraValor).valor;
}

// X03 (16 characters): code and amount; the code is listed for X03A, 0 when
// it is not numeric.
void OcorrenciaX03(const Ocorrencia& o) {
  const int codigo = static_cast<int>(o.Obrigatorio(0, 3).valor);
  std::vector<int>& codigos = o.estado.CodigosX03;
  codigos.push_back(codigo);
  o.estado.PosicaoCodigoX03[static_cast<std::size_t>(codigo)] = codigos.size() - 1;
  o.estado.SomaX03 += o.Numerico(3, kLarguraValor).valor;
}

// X03A (38 characters): a code of an X03 occurrence read before it, kind,
// two numbers, state registration, amount (no sum).
void OcorrenciaX03A(const Ocorrencia& o) {
  const Lido codigo = o.Obrigatorio(0, 3);
  if (codigo.aceito && !Presente(o.estado.CodigosX03, o.estado.PosicaoCodigoX03, static_cast<int>(codigo.valor),
                                 [](int c) { return c; }))
    o.Erro(29, 0, 3);
  const std::string_view tipo = o.Texto(3, 1);
  if (tipo != "A" && tipo != "B" && tipo != "S") o.Erro(11, 3, 1);
  o.Obrigatorio(4, 9);
  o.Obrigatorio(13, 2);
  o.Inscricao(15, Zero::kAceito);
  o.Numerico(25, kLarguraValor);
}

// The period of an X04 occurrence (first day, last day, month, year): days of
// one month strictly before the declaration's reference month.
void PeriodoX04(const Ocorrencia& o) {
  constexpr int kLarguraPeriodo = 10;
  if (!o.Obrigatorio(0, kLarguraPeriodo).aceito) return;
  const Junta ano_mes{o.Texto(6, 4), o.Texto(4, 2)};
  const int mes = o.Inteiro(4, 2);
  int codigo = 0;
  if (!ValidaData(Junta{o.Texto(0, 2), o.Texto(4, 2), o.Texto(6, 4)}.texto(), 1, kDataDDMMAAAA) ||
      !ValidaData(Junta{o.Texto(2, 2), o.Texto(4, 2), o.Texto(6, 4)}.texto(), 1, kDataDDMMAAAA))
    codigo = 12;
  else if (o.Inteiro(2, 2) < o.Inteiro(0, 2))
    codigo = 15;
  else if (mes < 1 || mes > 12 || o.Inteiro(6, 4) < 1900)
    codigo = 12;
  else if (ano_mes.texto() >= o.estado.ReferenciaAAAAMM)
    codigo = 31;
  if (codigo != 0) o.Erro(codigo, 0, kLarguraPeriodo);
}

// A date DDMMAAAA: numeric, else code 7; zero: code 16; not a date: code 12.
// Returns its year and month (AAAAMM) when it passed.
std::optional<Junta> Data(const Ocorrencia& o, int rel) {
  if (!o.Obrigatorio(rel, kLarguraData).aceito) return std::nullopt;
  if (!o.DataValida(rel)) {
    o.Erro(12, rel, kLarguraData);
    return std::nullopt;
  }
  return Junta{o.Texto(rel + 4, 4), o.Texto(rel + 2, 2)};
}

// X04 (44 characters): period, date, two amounts; amount 2 - amount 1 feeds
// SomaX04. The date may not lie in a month after the reference month.
void OcorrenciaX04(const Ocorrencia& o) {
  PeriodoX04(o);
  if (const auto ano_mes = Data(o, 10); ano_mes && ano_mes->texto() > o.estado.ReferenciaAAAAMM)
    o.Erro(25, 10, kLarguraData);
  const Montante valor1 = o.Numerico(18, kLarguraValor).valor;
  const Lido valor2 = o.Numerico(31, kLarguraValor);
  if (valor2.aceito && valor1 > valor2.valor) o.Erro(24, 31, kLarguraValor);
  o.estado.SomaX04 += valor2.valor - valor1;
}

// X05A and X05B (19 characters): a CFOP of an X05 occurrence read before
// it, code, amount; the amount goes to the CFOP's entry of the type's list.
void OcorrenciaX05AB(const Ocorrencia& o, std::vector<CFOPValor>& lista,
                     std::array<std::size_t, kCodigosAnexo>& posicao) {
  const Lido cfop = o.CFOP(0);
  if (cfop.aceito && !Presente(o.estado.ListaCFOPX05, o.estado.PosicaoCFOPX05, static_cast<int>(cfop.valor),
                               [](const CFOPX05& e) { return e.CFOP; }))
    o.Erro(23, 0, kLarguraCFOP);
  const std::size_t entrada = MesclaCFOP(lista, posicao, static_cast<int>(cfop.valor));
  o.Obrigatorio(3, 3);
  lista[entrada].Valor += o.Numerico(6, kLarguraValor).valor;
}

// X07 (one occurrence of 198 characters at column 46): the two amounts that
// X07A and X07B must sum to, each with a second amount, its description and
// their total.
void OcorrenciaX07(const Ocorrencia& o) {
  const Montante a1 = o.Numerico(0, kLarguraValor).valor;
  o.estado.AlvoX07A = a1;
  const Montante a2 = o.Numerico(13, kLarguraValor).valor;
  o.Descricao(26, a2);
  o.Total(86, a1 + a2);
  const Montante b1 = o.Numerico(99, kLarguraValor).valor;
  o.estado.AlvoX07B = b1;
  const Montante b2 = o.Numerico(112, kLarguraValor).valor;
  o.Descricao(125, b2);
  o.Total(185, b1 + b2);
}

// X07A and X07B (29 characters): CFOP (not looked up), two amounts.
void OcorrenciaX07AB(const Ocorrencia& o, Montante& soma) {
  o.CFOP(0);
  o.Numerico(3, kLarguraValor);
  soma += o.Numerico(16, kLarguraValor).valor;
}

// The first and last day of an X08 or X10 occurrence must lie within the
// days of the declaration's period, compared as numbers.
void DiasX08X10(const Ocorrencia& o) {
  constexpr int kLarguraDias = 4;
  if (!o.Obrigatorio(0, kLarguraDias).aceito) return;
  const int inicio = o.DiaDoPeriodo(kPrimeiroDia);
  const int fim = o.DiaDoPeriodo(kUltimoDia);
  const int primeiro = o.Inteiro(0, 2);
  const int ultimo = o.Inteiro(2, 2);
  if (primeiro < inicio || primeiro > fim)
    o.Erro(12, 0, kLarguraDias);
  else if (ultimo < inicio || ultimo > fim)
    o.Erro(15, 0, kLarguraDias);
}

// X08 and X10 (48 characters): days, date, two amounts, state registration.
// The date may not lie in a month before the reference month.
void OcorrenciaX08X10(const Ocorrencia& o, Montante& soma1, Montante& soma2) {
  DiasX08X10(o);
  if (const auto ano_mes = Data(o, 4); ano_mes && ano_mes->texto() < o.estado.ReferenciaAAAAMM)
    o.Erro(25, 4, kLarguraData);
  soma1 += o.Numerico(12, kLarguraValor).valor;
  soma2 += o.Numerico(25, kLarguraValor).valor;
  o.Inscricao(38, Zero::kAceito);
}

// X09 (38 characters): day within the declaration's period, compared as
// two-character text; two amounts; state registration.
void OcorrenciaX09(const Ocorrencia& o) {
  if (o.Obrigatorio(0, 2).aceito) {
    const std::string_view dia = o.Texto(0, 2);
    if (dia < o.NoRegistro(kPrimeiroDia) || dia > o.NoRegistro(kUltimoDia)) o.Erro(32, 0, 2);
  }
  o.estado.SomaX09A += o.Numerico(2, kLarguraValor).valor;
  o.estado.SomaX09B += o.Numerico(15, kLarguraValor).valor;
  o.Inscricao(28, Zero::kAceito);
}

// X11 (28 characters): a code that must not be blank, two amounts.
void OcorrenciaX11(const Ocorrencia& o) {
  if (o.Vazio(0, 2)) o.Erro(16, 0, 2);
  o.estado.SomaX11A += o.Numerico(2, kLarguraValor).valor;
  o.estado.SomaX11B += o.Numerico(15, kLarguraValor).valor;
}

// X12 (29 characters): code, two amounts.
void OcorrenciaX12(const Ocorrencia& o) {
  o.Obrigatorio(0, 3);
  o.estado.SomaX12A += o.Numerico(3, kLarguraValor).valor;
  o.estado.SomaX12B += o.Numerico(16, kLarguraValor).valor;
}

struct TipoAnexo {
  std::string_view tipo;                // columns 40-43
  int maximo;                           // occurrences allowed: 1 to maximo
  int tamanho;                          // characters per occurrence
  std::int64_t Execucao::*linha_anexo;  // line kept for the closing, before the count
  std::int64_t Execucao::*linha_cfop;   // line kept for the closing once the count passed
  void (*ocorrencia)(const Ocorrencia&);
};

// The seventeen annex types in the order of their count index.
constexpr std::array<TipoAnexo, kTiposAnexo> kTiposAnexoGIA = {{
    {"X01 ", 12, 68, nullptr, nullptr, [](const Ocorrencia& o) { OcorrenciaX01X05(o, o.estado.SomaX01, false); }},
    {"X02 ", 32, 26, nullptr, nullptr, [](const Ocorrencia& o) { OcorrenciaX02X06(o, o.estado.SomaX02); }},
    {"X03 ", 53, 16, nullptr, nullptr, OcorrenciaX03},
    {"X03A", 22, 38, &Execucao::LinhaX03A, nullptr, OcorrenciaX03A},
    {"X04 ", 19, 44, nullptr, nullptr, OcorrenciaX04},
    {"X05 ", 12, 68, nullptr, &Execucao::LinhaCFOP,
     [](const Ocorrencia& o) { OcorrenciaX01X05(o, o.estado.SomaX05, true); }},
    {"X05A", 44, 19, &Execucao::LinhaX05AB, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX05AB(o, o.estado.ListaCFOPX05A, o.estado.PosicaoCFOPX05A); }},
    {"X05B", 44, 19, &Execucao::LinhaX05AB, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX05AB(o, o.estado.ListaCFOPX05B, o.estado.PosicaoCFOPX05B); }},
    {"X06 ", 32, 26, nullptr, nullptr, [](const Ocorrencia& o) { OcorrenciaX02X06(o, o.estado.SomaX06); }},
    {"X07 ", 1, 198, &Execucao::LinhaX07, nullptr, OcorrenciaX07},
    {"X07A", 29, 29, &Execucao::LinhaX07AB, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX07AB(o, o.estado.SomaX07A); }},
    {"X07B", 29, 29, &Execucao::LinhaX07AB, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX07AB(o, o.estado.SomaX07B); }},
    {"X08 ", 17, 48, nullptr, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX08X10(o, o.estado.SomaX08A, o.estado.SomaX08B); }},
    {"X09 ", 22, 38, nullptr, nullptr, OcorrenciaX09},
    {"X10 ", 17, 48, nullptr, nullptr,
     [](const Ocorrencia& o) { OcorrenciaX08X10(o, o.estado.SomaX10A, o.estado.SomaX10B); }},
    {"X11 ", 30, 28, nullptr, nullptr, OcorrenciaX11},
    {"X12 ", 29, 29, nullptr, nullptr, OcorrenciaX12},
}};

}  // namespace

void ValidaAnexoGIA(Execucao& run, std::string_view linha, int indice) {
  if (indice < 1 || indice > kTiposAnexo) return;
  const TipoAnexo& anexo = kTiposAnexoGIA[static_cast<std::size_t>(indice - 1)];
  if (anexo.linha_anexo != nullptr) run.*anexo.linha_anexo = run.NumeroLinha;

  const Registro r(run, linha);
  const std::optional<Montante> quantidade = r.Numerico(kQuantidade);
  if (!quantidade) return;
  if (*quantidade < 1 || *quantidade > anexo.maximo) {
    r.Erro(10, kQuantidade);
    return;
  }
  const int n = static_cast<int>(*quantidade);
  run.EstadoDoValidador<EstadoGIA0405>().LinhasContadas[static_cast<std::size_t>(indice - 1)] += n;
  if (anexo.linha_cfop != nullptr) run.*anexo.linha_cfop = run.NumeroLinha;

  for (int i = 0; i < n; ++i) anexo.ocorrencia(Ocorrencia(run, linha, kColunaOcorrencias + anexo.tamanho * i));
}

}  // namespace valida
