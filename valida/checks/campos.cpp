// The shared field checks: numbers, dates, check digits and state codes.
#include "valida/checks/campos.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "valida/checks/erros.h"

namespace valida {

namespace {

// The number that the digits of a short text spell, any other character
// skipped: the parts of a date.
int Numero(std::string_view texto) {
  int numero = 0;
  for (const char c : texto)
    if (EhDigito(c)) numero = numero * 10 + (c - '0');
  return numero;
}

int DigitoModulo11(int soma) {
  const int r = soma % 11;
  return r < 2 ? 0 : 11 - r;
}

// The weights of a CPF's or a CNPJ's two check digits, one per digit of its
// base (the rest 0), for the first check digit and for the second.
using Pesos = std::array<std::int16_t, 16>;
constexpr Pesos kPesosCPF1 = {10, 9, 8, 7, 6, 5, 4, 3, 2};
constexpr Pesos kPesosCPF2 = {11, 10, 9, 8, 7, 6, 5, 4, 3};
constexpr Pesos kPesosCNPJ1 = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
constexpr Pesos kPesosCNPJ2 = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3};

// What a base of digits weighs: both sums, and whether every digit is 0.
struct Somas {
  int primeira;
  int segunda;
  bool zeros;
};

// The first N characters of `numero` (at most 16, and `numero` no shorter)
// as digits weighed by both sets of weights, a character that is no digit
// counting as 0.
template <std::size_t N>
Somas SomasPonderadas(std::string_view numero, const Pesos& pesos1, const Pesos& pesos2) {
  static_assert(N <= 16);
#if defined(VALIDA_CAMPO_SSE2)
  // The sixteen places at once: the digits as bytes (0 where there is none),
  // widened to 16 bits and multiplied and added in pairs with the weights.
  std::array<char, 16> bytes{};
  std::memcpy(bytes.data(), numero.data(), N);
  const __m128i zero = _mm_setzero_si128();
  __m128i d = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data())),  // NOLINT: unaligned
                           _mm_set1_epi8('0'));
  d = _mm_and_si128(d, _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d));  // 0 to 9, or 0
  const __m128i baixos = _mm_unpacklo_epi8(d, zero);
  const __m128i altos = _mm_unpackhi_epi8(d, zero);
  const auto soma = [&](const Pesos& pesos) {
    const auto* p = reinterpret_cast<const __m128i*>(pesos.data());  // NOLINT: unaligned
    __m128i s =
        _mm_add_epi32(_mm_madd_epi16(baixos, _mm_loadu_si128(p)), _mm_madd_epi16(altos, _mm_loadu_si128(p + 1)));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0x4E));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0xB1));
    return _mm_cvtsi128_si32(s);
  };
  return {soma(pesos1), soma(pesos2), _mm_movemask_epi8(_mm_cmpeq_epi8(d, zero)) == 0xFFFF};
#else
  Somas somas{0, 0, true};
  for (std::size_t i = 0; i < N; ++i) {
    const int digito = EhDigito(numero[i]) ? numero[i] - '0' : 0;
    somas.primeira += digito * pesos1[i];
    somas.segunda += digito * pesos2[i];
    somas.zeros = somas.zeros && digito == 0;
  }
  return somas;
#endif
}

}  // namespace

bool ValidaNumerico(std::string_view linha, int coluna, int largura) {
  // Every one of the `largura` positions a digit; so never blank.
  if (ValorDoCampo(linha, coluna, largura).has_value()) return true;
  // Wider than 18 places, or not numeric: tested whole.
  const std::string_view fatia = Fatia(linha, coluna, largura);
  if (largura <= 0 || fatia.size() != static_cast<std::size_t>(largura)) return false;
  return std::all_of(fatia.begin(), fatia.end(), EhDigito);
}

namespace {

// The day, month and year of a whole DDMMAAAA field of eight digits, read
// from one eight-byte load: the digits weighed into pairs at once.
bool PartesDaData(std::string_view linha, int coluna, int& dia, int& mes, int& ano) {
  const auto inicio = static_cast<std::size_t>(coluna) - 1;
  if (std::endian::native != std::endian::little || coluna < 1 || inicio + 8 > linha.size()) return false;
  std::uint64_t x = 0;
  std::memcpy(&x, linha.data() + inicio, 8);
  if (!detalhe::OitoSaoDigitos(x)) return false;
  // Each pair's number in the low byte of its sixteen bits: DD, MM, AA, AA.
  x = ((x & 0x0F0F0F0F0F0F0F0FULL) * (10 * 0x100 + 1)) >> 8;
  const auto par = [x](int i) { return static_cast<int>((x >> (16 * i)) & 0xFF); };
  dia = par(0);
  mes = par(1);
  ano = par(2) * 100 + par(3);
  return true;
}

}  // namespace

bool ValidaData(std::string_view linha, int coluna, int tipo) {
  int dia = 0;
  int mes = 0;
  int ano = 0;
  if (tipo == 8 && PartesDaData(linha, coluna, dia, mes, ano)) {
    // The usual date, all digits.
  } else if (const auto numero = ValorDoCampo(linha, coluna, tipo == 8 ? 8 : 6)) {
    // All digits, the usual case: the parts of one number.
    const auto n = static_cast<int>(*numero);
    dia = tipo == 8 ? n / 1000000 : 0;
    mes = n / 10000 % 100;
    ano = n % 10000;
  } else if (tipo == 8) {
    dia = Numero(Fatia(linha, coluna, 2));
    mes = Numero(Fatia(linha, coluna + 2, 2));
    ano = Numero(Fatia(linha, coluna + 4, 4));
  } else {
    mes = Numero(Fatia(linha, coluna, 2));
    ano = Numero(Fatia(linha, coluna + 2, 4));
  }
  if (dia == 0 && mes == 0 && ano == 0) return true;
  bool valida = true;
  if (dia >= 1) {
    static constexpr std::array<int, 13> kDias = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes < 1 || mes > 12) {
      valida = false;
    } else {
      const int limite = mes == 2 ? (ano % 4 == 0 ? 29 : 28) : kDias[static_cast<std::size_t>(mes)];
      if (dia > limite) valida = false;
    }
  }
  if (dia <= 0 && tipo == 8) valida = false;
  if (mes < 1 || mes > 12) valida = false;
  if (ano < 1900) valida = false;
  return valida;
}

bool DataCalendario(std::string_view aaaammdd) {
  if (aaaammdd.size() != 8) return false;
  for (const char c : aaaammdd)
    if (!EhDigito(c)) return false;
  const int ano = Numero(aaaammdd.substr(0, 4));
  const int mes = Numero(aaaammdd.substr(4, 2));
  const int dia = Numero(aaaammdd.substr(6, 2));
  if (ano < 1 || mes < 1 || mes > 12 || dia < 1) return false;
  static constexpr std::array<int, 13> kDias = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
  const int limite = mes == 2 && bissexto ? 29 : kDias[static_cast<std::size_t>(mes)];
  return dia <= limite;
}

std::string_view UltimoDiaDoMes(std::int64_t mes, std::int64_t ano) {
  switch (mes) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return "31";
    case 4:
    case 6:
    case 9:
    case 11:
      return "30";
    case 2:
      return ano % 4 == 0 ? "29" : "28";
    default:
      return {};
  }
}

char DigitoControleCGCTE(std::string_view numero) {
  // The usual field, ten characters without blanks at its ends: the weights
  // below, in a loop of fixed length.
  if (numero.size() == 10 && numero.front() != ' ' && numero.back() != ' ') {
    static constexpr std::array<int, 9> kPesos = {2, 9, 8, 7, 6, 5, 4, 3, 2};
    int soma = 0;
    for (std::size_t i = 0; i < kPesos.size(); ++i) soma += (numero[i] - '0') * kPesos[i];
    const int d = 11 - soma % 11;
    return d >= 10 ? '0' : static_cast<char>('0' + d);
  }
  numero = Apara(numero).substr(0, 11);
  const auto n = static_cast<int>(numero.size());
  int soma = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const int peso = i == 0 ? 2 : n - i;
    soma += (numero[static_cast<std::size_t>(i)] - '0') * peso;
  }
  const int d = 11 - soma % 11;
  return d >= 10 ? '0' : static_cast<char>('0' + d);
}

bool ValidaCPFCNPJ(std::string_view numero) {
  auto d = [&](std::size_t i) { return EhDigito(numero[i - 1]) ? numero[i - 1] - '0' : 0; };
  if (numero.size() <= 11) {
    if (numero.size() != 11) return false;
    const Somas somas = SomasPonderadas<9>(numero, kPesosCPF1, kPesosCPF2);
    const int c1 = DigitoModulo11(somas.primeira);
    const int c2 = DigitoModulo11(somas.segunda + c1 * 2);
    return d(10) == c1 && d(11) == c2;
  }
  if (numero.size() < 14) return false;
  const Somas somas = SomasPonderadas<12>(numero, kPesosCNPJ1, kPesosCNPJ2);
  const int c1 = DigitoModulo11(somas.primeira);
  const int c2 = DigitoModulo11(somas.segunda + c1 * 2);
  return !somas.zeros && d(13) == c1 && d(14) == c2;
}

namespace {

constexpr std::string_view kUFs = "AC|AL|AP|AM|BA|CE|DF|ES|GO|MA|MT|MS|MG|PA|PB|PR|PE|PI|RN|RJ|RO|RS|RR|SC|SP|SE|TO";

bool Maiuscula(char c) { return c >= 'A' && c <= 'Z'; }

constexpr std::size_t PosicaoUF(char a, char b) {
  return static_cast<std::size_t>(a - 'A') * 26 + static_cast<std::size_t>(b - 'A');
}

// Which pairs of capital letters the list holds.
constexpr std::array<bool, 26 * 26> kParesDeUF = [] {
  std::array<bool, 26 * 26> pares{};
  for (std::size_t i = 0; i + 1 < kUFs.size(); i += 3) pares[PosicaoUF(kUFs[i], kUFs[i + 1])] = true;
  return pares;
}();

}  // namespace

bool ValidaUF(std::string_view codigo) {
  // Two capital letters, the usual code, lie within the list only as one of
  // its codes: a table says which. Anything else is searched in the text.
  if (codigo.size() == 2 && Maiuscula(codigo[0]) && Maiuscula(codigo[1]))
    return kParesDeUF[PosicaoUF(codigo[0], codigo[1])];
  return kUFs.find(codigo) != std::string_view::npos;
}

int ConsisteInscricaoEstadual(Execucao& run, std::string_view inscricao, std::string_view uf) {
  if (run.ConsisteInscricaoEstadual == nullptr) {
    static constexpr const char* kBiblioteca = "DllInscE32";
    Exige(run.ambiente.CarregarBiblioteca(kBiblioteca, &run.DllInscE32), kBiblioteca);
    plataforma::EnderecoFuncao endereco = nullptr;
    Exige(run.DllInscE32->Funcao("ConsisteInscricaoEstadual", &endereco), kBiblioteca);
    run.ConsisteInscricaoEstadual = reinterpret_cast<FuncaoConsisteInscricao>(endereco);  // NOLINT: bound by name
  }
  // The library reads NUL-terminated texts: a field's usual width is copied
  // on the stack, anything longer into strings.
  constexpr std::size_t kUsual = 32;
  int resultado = 0;
  if (inscricao.size() < kUsual && uf.size() < kUsual) {
    std::array<char, kUsual> registro{};
    std::array<char, kUsual> estado{};
    std::copy(inscricao.begin(), inscricao.end(), registro.begin());
    std::copy(uf.begin(), uf.end(), estado.begin());
    resultado = run.ConsisteInscricaoEstadual(registro.data(), estado.data());
  } else {
    resultado = run.ConsisteInscricaoEstadual(std::string(inscricao).c_str(), std::string(uf).c_str());
  }
  // A NUL in the registration shows the library only what comes before, and
  // what follows would pass unchecked. A field that holds one is no
  // registration of digits. (A state code cut by a NUL is at most one
  // letter, which no state is.)
  if (resultado == 0 && inscricao.find('\0') != std::string_view::npos) return 1;
  return resultado;
}

namespace detalhe {

[[gnu::noinline]] std::optional<std::int64_t> ValorSeNumericoDevagar(std::string_view linha, int coluna, int largura) {
  return ValorDoCampoForaDoDireto(linha, coluna, largura);
}

[[gnu::noinline]] std::optional<Montante> LeNumericoDevagar(Execucao& run, std::string_view linha, int coluna,
                                                            int largura) {
  if (const auto valor = ValorDoCampoForaDoDireto(linha, coluna, largura)) return *valor;
  const std::string_view fatia = Fatia(linha, coluna, largura);
  if (largura <= 0 || fatia.size() != static_cast<std::size_t>(largura) ||
      !std::all_of(fatia.begin(), fatia.end(), EhDigito)) {
    RegistraErroGIA(run, 7, coluna, coluna + largura - 1);
    return std::nullopt;
  }
  // Wider than 18 digits: digit by digit, in the width of any amount.
  Montante valor = 0;
  for (const char c : fatia) valor = valor * 10 + (c - '0');
  return valor;
}

}  // namespace detalhe

}  // namespace valida
