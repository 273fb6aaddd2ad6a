// Writes the seed corpora of the fuzz targets, made by the generators of the
// tests: valid files of every kind (which the fuzzer then breaks in every
// way), parameter lines naming each of them, and the registrations of every
// state's examples.
//   fuzz_sementes FOLDER   (writes FOLDER/<target>/<seed>, replacing them)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/alvos.h"
#include "fuzz/declaracoes.h"
#include "tests/DllInscE32/exemplos.h"
#include "tests/geradores/giast02.h"

namespace {

namespace fs = std::filesystem;

class Semeador {
 public:
  explicit Semeador(fs::path pasta) : pasta_(std::move(pasta)) {}

  void Escreve(std::string_view alvo, const std::string& nome, std::string_view bytes) {
    const fs::path pasta = pasta_ / alvo;
    fs::create_directories(pasta);
    std::ofstream out(pasta / nome, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "cannot write %s\n", (pasta / nome).c_str());
      ok_ = false;
    }
  }
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  fs::path pasta_;
  bool ok_ = true;
};

std::string Minusculas(std::string_view texto) {
  std::string s(texto);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A parameter line with every field of the receipt.
std::string LinhaCompleta(std::string_view tipo, std::string_view arquivo) {
  std::string linha = fuzz::LinhaParametros(tipo, arquivo);
  linha += "https://www.sefaz.exemplo.gov.br/gia/Consulta";
  linha.resize(288, ' ');
  linha += "SECRETARIA DA FAZENDA";
  linha.resize(358, ' ');
  linha += "RECEITA ESTADUAL";
  linha.resize(388, ' ');
  return linha;
}

// A GIA 4 or 5 declaration of every annex type cut into one main record and
// each family of annexes that check one another (X03 and X03A; X05, X05A and
// X05B; X07, X07A and X07B; every other type alone), the sequence numbers
// (columns 36-39) renumbered and the main record's count of every other type
// (columns 841-891, three digits a type in the order in which the records
// come) made 0: each seed is a valid declaration of a few records, within the
// fuzzer's -max_len.
void FamiliasDeAnexos(Semeador& s, std::string_view tipo, const std::string& alvo) {
  constexpr std::size_t kRegistro = 898 + 2;
  constexpr std::size_t kSequencia = 35;
  constexpr std::size_t kTipo = 39;
  constexpr std::size_t kContagens = 840;
  const std::string declaracao = fuzz::DeclaracaoValida(tipo, 1, 11, true);
  std::vector<std::string> familias;
  std::vector<std::string> tipos;  // in the order of the counts
  std::string familia_atual;
  std::string atual;
  for (std::size_t r = kRegistro; r + kRegistro <= declaracao.size(); r += kRegistro) {
    const std::string_view registro(declaracao.data() + r, kRegistro);
    if (std::find(tipos.begin(), tipos.end(), registro.substr(kTipo, 4)) == tipos.end())
      tipos.emplace_back(registro.substr(kTipo, 4));
    // X03A follows X03, X05A and X05B follow X05, X07A and X07B follow X07.
    const std::string familia(registro.substr(kTipo, 3));
    if (familia != familia_atual && !atual.empty()) {
      familias.push_back(std::move(atual));
      atual.clear();
    }
    familia_atual = familia;
    atual += registro;
  }
  if (!atual.empty()) familias.push_back(std::move(atual));
  const std::string principal = declaracao.substr(0, kRegistro);
  for (const auto& familia : familias) {
    std::string semente = principal + familia;
    for (std::size_t i = 0; i < tipos.size(); ++i) {
      bool presente = false;
      for (std::size_t r = 0; r < familia.size(); r += kRegistro)
        presente = presente || familia.compare(r + kTipo, 4, tipos[i]) == 0;
      if (!presente) semente.replace(kContagens + 3 * i, 3, "000");
    }
    for (std::size_t r = kRegistro, sequencia = 2; r < semente.size(); r += kRegistro, ++sequencia) {
      char numero[5];
      std::snprintf(numero, sizeof numero, "%04zu", sequencia);
      semente.replace(r + kSequencia, 4, numero);
    }
    s.Escreve(alvo, "anexos-" + familia.substr(kTipo, 3), semente);
  }
}

void Declaracoes(Semeador& s) {
  for (const std::string_view tipo : {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"}) {
    const std::string alvo = Minusculas(tipo);
    const bool gia0405 = tipo == "GIA04" || tipo == "GIA05";
    for (int quantas = 1; quantas <= 3; ++quantas)
      s.Escreve(alvo, "valida-" + std::to_string(quantas), fuzz::DeclaracaoValida(tipo, quantas, quantas, false));
    if (gia0405) {
      s.Escreve(alvo, "anexos-1", fuzz::DeclaracaoValida(tipo, 1, 11, true));
      s.Escreve(alvo, "anexos-2", fuzz::DeclaracaoValida(tipo, 1, 12, true));
      FamiliasDeAnexos(s, tipo, alvo);
    }
    if (tipo == "GIAST02") s.Escreve(alvo, "valida-6", fuzz::DeclaracaoValida(tipo, 6, 6, false));
    s.Escreve(alvo, "vazio", "");
  }
}

void Parametros(Semeador& s) {
  int n = 0;
  for (const std::string_view tipo : {"GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"}) {
    const std::string arquivo = Minusculas(tipo) + ".txt";
    s.Escreve("parametros", "simples-" + std::to_string(++n), fuzz::LinhaParametros(tipo, arquivo) + "\r\n");
    s.Escreve("parametros", "completo-" + std::to_string(n), LinhaCompleta(tipo, arquivo) + "\r\nsegunda linha\r\n");
  }
  // A kind that is not the file's, a file that is not there, the program's
  // own files as the declaration, parameters that are not valid.
  s.Escreve("parametros", "outro-tipo", fuzz::LinhaParametros("GIA05", "gia04.txt") + "\r\n");
  s.Escreve("parametros", "sem-arquivo", fuzz::LinhaParametros("GIA03", "nenhum.txt") + "\r\n");
  s.Escreve("parametros", "param", fuzz::LinhaParametros("GIAST02", "/valida/param.txt") + "\r\n");
  s.Escreve("parametros", "aux", fuzz::LinhaParametros("GIA03", "/valida/aux00001.txt") + "\r\n");
  s.Escreve("parametros", "minusculas", "param   GIA03" + fuzz::LinhaParametros("GIA03", "gia03.txt").substr(13));
  s.Escreve("parametros", "sem-email", fuzz::LinhaParametros("GIA03", "gia03.txt").substr(0, 148) + "\n");
  s.Escreve("parametros", "vazio", "");
}

void Inscricoes(Semeador& s) {
  int n = 0;
  const auto escreve = [&](std::string_view uf, std::string_view inscricao) {
    s.Escreve("inscricao", "ie-" + std::to_string(++n),
              std::string(1, static_cast<char>(uf.size())) + std::string(uf) + std::string(inscricao));
  };
  for (const auto& tabela : dllinsce32::teste::kTabelas)
    for (const auto& e : tabela.exemplos) escreve(tabela.uf, e.inscricao);
  // The 14-column field of a GIA ST 2 line, blank-padded.
  geradores::Sorteio sorteio(7);
  for (const auto& regra : geradores::RegrasInscricao())
    escreve(regra.uf, geradores::Texto(geradores::InscricaoValida(sorteio, regra), 14));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_sementes FOLDER\n");
    return 2;
  }
  Semeador s{fs::path(argv[1])};
  Declaracoes(s);
  Parametros(s);
  Inscricoes(s);
  return s.ok() ? 0 : 1;
}
