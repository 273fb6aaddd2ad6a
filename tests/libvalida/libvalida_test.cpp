// libvalida through its C interface and the C++ wrapper: the kind from the
// first record, a stream in any pieces giving what the whole bytes give,
// findings as they are recorded, the errors, and many validations at once on
// several threads giving what each gives alone.
#include "libvalida/libvalida.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/cp1252.h"
#include "fuzz/declaracoes.h"

namespace {

const std::vector<std::string> kTipos = {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"};

// The file with a letter written into each line at a column that moves from
// line to line: findings of many rules, on many lines.
std::string Danificada(std::string arquivo) {
  std::size_t inicio = 0;
  for (int linha = 0; inicio < arquivo.size(); ++linha) {
    const std::size_t fim = arquivo.find("\r\n", inicio);
    const std::size_t tamanho = fim - inicio;
    if (tamanho > 10) arquivo[inicio + 8 + (static_cast<std::size_t>(linha) * 37) % (tamanho - 8)] = 'X';
    inicio = fim + 2;
  }
  return arquivo;
}

struct Caso {
  std::string nome;
  std::string tipo;
  std::string bytes;
};

std::vector<Caso> Casos() {
  std::vector<Caso> casos;
  std::uint64_t semente = 11;
  for (const auto& tipo : kTipos) {
    const std::string valida = fuzz::DeclaracaoValida(tipo, 4, ++semente, true);
    casos.push_back({tipo + " válida", tipo, valida});
    casos.push_back({tipo + " danificada", tipo, Danificada(valida)});
  }
  return casos;
}

// What a result holds, in one comparable value.
struct Visto {
  int estado = 0;
  std::string tipo;
  bool aceito = false;
  std::string relatorio;
  std::vector<std::string> achados;
  std::vector<std::string> declaracoes;
  bool operator==(const Visto&) const = default;
};

std::string Linha(const lv::Achado& a) {
  return a.inscricao + "|" + a.periodo + "|" + std::to_string(a.linha) + "|" + std::to_string(a.coluna_inicial) + "|" +
         std::to_string(a.coluna_final) + "|" + a.catalogo + "|" + std::to_string(a.codigo) + "|" +
         std::to_string(a.campo) + "|" + a.texto;
}

Visto Ve(const lv::Resultado& r) {
  Visto v{r.estado(), r.tipo(), r.aceito(), r.relatorio_cp1252(), {}, {}};
  for (const auto& a : r.achados()) v.achados.push_back(Linha(a));
  for (const auto& d : r.declaracoes()) v.declaracoes.push_back(d.inscricao + "|" + d.periodo);
  return v;
}

Visto Memoria(const Caso& c, bool com_tipo) {
  lv::Validador v;
  if (com_tipo) v.tipo(c.tipo);
  return Ve(v.memoria(c.bytes, c.nome));
}

// The bytes fed in pieces of `pedaco` bytes; `total` known or not.
Visto Fluxo(const Caso& c, std::size_t pedaco, bool total_conhecido) {
  lv::Validador v;
  v.inicia(total_conhecido ? static_cast<std::int64_t>(c.bytes.size()) : -1, c.nome);
  for (std::size_t i = 0; i < c.bytes.size(); i += pedaco) v.envia(std::string_view(c.bytes).substr(i, pedaco));
  return Ve(v.termina());
}

TEST(Deteccao, CadaTipoPeloPrimeiroRegistro) {
  for (const auto& c : Casos()) {
    const char* tipo = lv_detecta_tipo(c.bytes.data(), c.bytes.size());
    ASSERT_NE(tipo, nullptr) << c.nome;
    EXPECT_EQ(std::string(tipo), c.tipo) << c.nome;
    EXPECT_EQ(Memoria(c, false), Memoria(c, true)) << c.nome;
  }
}

TEST(Deteccao, NenhumTipo) {
  const struct {
    std::string regra, inicio;
  } kCasos[] = {
      {"arquivo vazio", ""},
      {"versão da GIA que não existe", "****06" + std::string(892, '0') + "\r\n"},
      {"marca da GIA incompleta", "***05"},
      {"GIA ST de versão desconhecida", "GST03"},
      {"GIA ST 2 começando por anexo", "A1GST02"},
      {"marca em minúsculas", "a0gst02"},
      {"bytes quaisquer", std::string("\x00\xff\r\n****05", 10)},
  };
  for (const auto& c : kCasos) {
    EXPECT_EQ(lv_detecta_tipo(c.inicio.data(), c.inicio.size()), nullptr) << c.regra;
    lv::Validador v;
    const lv::Resultado r = v.memoria(c.inicio, "x.txt");
    EXPECT_EQ(r.estado(), LV_ERRO_TIPO) << c.regra;
    EXPECT_NE(r.mensagem().find("x.txt"), std::string::npos) << c.regra;
    EXPECT_FALSE(r.aceito()) << c.regra;
  }
}

TEST(Fluxo, EmQualquerPedacoComoOsBytesInteiros) {
  for (const auto& c : Casos()) {
    const Visto inteiro = Memoria(c, false);
    EXPECT_EQ(inteiro.estado, LV_SUCESSO) << c.nome;
    for (const std::size_t pedaco : {std::size_t{1}, std::size_t{7}, std::size_t{900}, std::size_t{1} << 20}) {
      EXPECT_EQ(Fluxo(c, pedaco, true), inteiro) << c.nome << ", pedaços de " << pedaco << ", total dado";
      EXPECT_EQ(Fluxo(c, pedaco, false), inteiro) << c.nome << ", pedaços de " << pedaco << ", total desconhecido";
    }
  }
}

TEST(Fluxo, TotalQueNaoConfereEhArquivoCortado) {
  const std::string bytes = fuzz::DeclaracaoValida("GIA05", 2, 3, false);
  for (const std::int64_t total :
       {static_cast<std::int64_t>(bytes.size()) + 900, static_cast<std::int64_t>(bytes.size()) - 900}) {
    lv::Validador v;
    v.inicia(total);
    v.envia(bytes);
    const lv::Resultado r = v.termina();
    ASSERT_EQ(r.estado(), LV_SUCESSO);
    EXPECT_FALSE(r.aceito()) << total;
    ASSERT_FALSE(r.achados().empty());
    EXPECT_EQ(r.achados().back().codigo, 21) << total;
  }
}

TEST(Fluxo, ChamadasForaDeOrdem) {
  lv_validador* v = lv_novo();
  lv_resultado* r = nullptr;
  EXPECT_EQ(lv_fluxo_envia(v, "a", 1), LV_ERRO_ESTADO);
  EXPECT_EQ(lv_fluxo_termina(v, &r), LV_ERRO_ESTADO);
  EXPECT_EQ(r, nullptr);
  EXPECT_EQ(lv_fluxo_inicia(v, -1, nullptr), LV_SUCESSO);
  EXPECT_EQ(lv_fluxo_inicia(v, -1, nullptr), LV_ERRO_ESTADO);
  EXPECT_EQ(lv_fluxo_envia(v, "****05", 6), LV_SUCESSO);
  // Freed with the stream open: abandoned, nothing leaks (sanitizers).
  lv_libera(v);
}

TEST(Achados, FuncaoChamadaNaOrdemDoRelatorio) {
  for (const auto& c : Casos()) {
    lv::Validador v;
    std::vector<std::string> vistos;
    v.ao_achar([&](const lv::Achado& a) { vistos.push_back(Linha(a)); });
    int maior = -1;
    v.ao_progredir([&](int p) {
      EXPECT_GE(p, 0);
      EXPECT_LE(p, 100);
      maior = std::max(maior, p);
    });
    const Visto r = Ve(v.memoria(c.bytes));
    EXPECT_EQ(vistos, r.achados) << c.nome;
    EXPECT_EQ(r.aceito, r.achados.empty()) << c.nome;
    // Every finding is one line of the report, after its four heading lines.
    const auto linhas = std::count(r.relatorio.begin(), r.relatorio.end(), '\n');
    if (!r.aceito) {
      EXPECT_EQ(static_cast<std::size_t>(linhas), r.achados.size() + 4) << c.nome;
    }
  }
}

TEST(Relatorio, Utf8EhOsBytesCp1252Convertidos) {
  for (const auto& c : Casos()) {
    lv::Validador v;
    const lv::Resultado r = v.memoria(c.bytes);
    EXPECT_EQ(r.relatorio(), cp1252::ParaUtf8(r.relatorio_cp1252())) << c.nome;
  }
}

TEST(Erros, ArquivosQueNaoPodemSerLidos) {
  const auto pasta = std::filesystem::temp_directory_path() / ("libvalida-teste-" + std::to_string(::getpid()));
  std::filesystem::create_directories(pasta);
  const struct {
    std::string regra, caminho, tipo;
  } kCasos[] = {
      {"arquivo que não existe", (pasta / "nao-existe.txt").string(), ""},
      {"arquivo que não existe, tipo dado", (pasta / "nao-existe.txt").string(), "GIA05"},
      {"pasta", pasta.string(), ""},
      {"pasta, tipo dado", pasta.string(), "GIAST02"},
  };
  for (const auto& c : kCasos) {
    lv::Validador v;
    v.tipo(c.tipo);
    const lv::Resultado r = v.arquivo(c.caminho);
    EXPECT_EQ(r.estado(), LV_ERRO_LEITURA) << c.regra;
    EXPECT_NE(r.mensagem().find(c.caminho), std::string::npos) << c.regra << ": " << r.mensagem();
    EXPECT_TRUE(r.relatorio().empty()) << c.regra;
  }
  std::filesystem::remove_all(pasta);

  lv_validador* v = lv_novo();
  EXPECT_EQ(lv_define_tipo(v, "GIA5"), LV_ERRO_TIPO);
  EXPECT_EQ(lv_define_tipo(v, "gia05"), LV_ERRO_TIPO);
  EXPECT_EQ(lv_define_tipo(v, "GIA05 "), LV_ERRO_TIPO);
  EXPECT_EQ(lv_valida_arquivo(v, nullptr, nullptr), LV_ERRO_ARGUMENTO);
  EXPECT_EQ(lv_define_recibo(v, "\xff", nullptr, nullptr, nullptr), LV_ERRO_ARGUMENTO);
  lv_libera(v);
}

TEST(Recibo, CamposDoValidador) {
  lv::Validador v;
  v.recibo("fiscal@exemplo.com.br", "HTTPS://EXEMPLO.GOV.BR/RECIBOS", "SECRETARIA DA FAZENDA", "ESTADO");
  const lv::Resultado r = v.memoria(fuzz::DeclaracaoValida("GIAST01", 1, 5, false));
  ASSERT_TRUE(r.aceito());
  const std::string texto = r.relatorio();
  EXPECT_NE(texto.find("  E-Mail       :fiscal@exemplo.com.br"), std::string::npos);
  EXPECT_NE(texto.find("https://exemplo.gov.br/recibos"), std::string::npos);
  EXPECT_NE(texto.find("SECRETARIA DA FAZENDA"), std::string::npos);
  ASSERT_EQ(r.declaracoes().size(), 1U);
}

// Each case validated alone first; then every case at once, many times, from
// several threads, by file, memory and stream: each must give what it gave alone.
TEST(Threads, MuitasValidacoesAoMesmoTempoComoSozinhas) {
  const std::vector<Caso> casos = Casos();
  const auto pasta = std::filesystem::temp_directory_path() / ("libvalida-threads-" + std::to_string(::getpid()));
  std::filesystem::create_directories(pasta);
  std::vector<Visto> sozinhos;
  std::vector<std::string> caminhos;
  for (std::size_t i = 0; i < casos.size(); ++i) {
    caminhos.push_back((pasta / (std::to_string(i) + ".txt")).string());
    std::ofstream(caminhos.back(), std::ios::binary) << casos[i].bytes;
    sozinhos.push_back(Memoria(casos[i], false));
  }
  constexpr int kThreads = 8;
  constexpr int kRodadas = 3;
  std::vector<std::vector<std::string>> falhas(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int rodada = 0; rodada < kRodadas; ++rodada)
        for (std::size_t k = 0; k < casos.size(); ++k) {
          const std::size_t i = (k + static_cast<std::size_t>(t)) % casos.size();
          lv::Validador v;
          Visto visto;
          switch ((t + rodada) % 3) {
            case 0:
              visto = Ve(v.arquivo(caminhos[i]));
              break;
            case 1:
              visto = Ve(v.memoria(casos[i].bytes, casos[i].nome));
              break;
            default:
              visto = Fluxo(casos[i], 333, t % 2 == 0);
              break;
          }
          if (!(visto == sozinhos[i])) falhas[static_cast<std::size_t>(t)].push_back(casos[i].nome);
        }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(falhas[static_cast<std::size_t>(t)].empty()) << "thread " << t;
  std::filesystem::remove_all(pasta);
}

}  // namespace
