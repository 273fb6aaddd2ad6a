// The formats "texto" (the report or receipt as valida writes it), "json"
// (one object a line per file) and "html" (one page for all the files).
#include "validagia/formatos.h"

#include <array>
#include <functional>
#include <nlohmann/json.hpp>

#include "platform/ambiente.h"
#include "validagia/html.h"

namespace validagia {

namespace {

const char* Veredito(const lv::Resultado& r) { return r.aceito() ? "OK" : "NOK"; }

// The report or receipt of each file; with several files each is headed by
// its name, as head(1) heads them, and separated by an empty line.
class Texto final : public Formatador {
 public:
  explicit Texto(const OpcoesSaida& opcoes) : opcoes_(opcoes) {}
  std::string Arquivo(const Relato& relato, std::size_t indice) override {
    // Every line ends as the report's own lines do.
    const std::string fim = "\r\n";
    if (opcoes_.quieto) return relato.arquivo + ": " + Veredito(relato.resultado) + fim;
    std::string texto;
    if (opcoes_.arquivos > 1) texto = (indice > 0 ? fim : std::string()) + "==> " + relato.arquivo + " <==" + fim;
    // The report keeps its CR LF line ends: it is the very text of saida.txt.
    return texto + (opcoes_.cp1252 ? relato.resultado.relatorio_cp1252() : relato.resultado.relatorio());
  }

 private:
  OpcoesSaida opcoes_;
};

// One object a line; the library's texts are UTF-8 whatever the file held,
// so the JSON is valid whatever its bytes.
class Json final : public Formatador {
 public:
  explicit Json(const OpcoesSaida& opcoes) : opcoes_(opcoes) {}
  std::string Arquivo(const Relato& relato, std::size_t /*indice*/) override {
    const lv::Resultado& r = relato.resultado;
    nlohmann::ordered_json objeto;
    objeto["arquivo"] = relato.arquivo;
    objeto["tipo"] = r.tipo();
    objeto["veredito"] = Veredito(r);
    if (!opcoes_.quieto) {
      objeto["declaracoes"] = nlohmann::ordered_json::array();
      for (const auto& d : r.declaracoes())
        objeto["declaracoes"].push_back({{"inscricao", d.inscricao}, {"periodo", d.periodo}});
      objeto["erros"] = nlohmann::ordered_json::array();
      for (const auto& a : r.achados())
        objeto["erros"].push_back({{"inscricao", a.inscricao},
                                   {"periodo", a.periodo},
                                   {"linha", a.linha},
                                   {"coluna_inicial", a.coluna_inicial},
                                   {"coluna_final", a.coluna_final},
                                   {"catalogo", a.catalogo},
                                   {"codigo", a.codigo},
                                   {"campo", a.campo},
                                   {"texto", a.texto}});
    }
    // A name given on the command line may hold any bytes: replaced, never refused.
    return objeto.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  }

 private:
  OpcoesSaida opcoes_;
};

std::string SemBrancosNoFim(std::string texto) {
  texto.erase(texto.find_last_not_of(' ') + 1);
  return texto;
}

// One page for all the files, written after the last one (its summary comes
// first). Each file's records are read back from it when its result comes;
// standard input cannot be read again, so its findings are listed undrawn.
class Html final : public Formatador {
 public:
  std::string Arquivo(const Relato& relato, std::size_t /*indice*/) override {
    const lv::Resultado& r = relato.resultado;
    ArquivoValidado a;
    a.nome = relato.arquivo;
    a.tipo = r.tipo();
    a.aceito = r.aceito();
    for (auto& d : r.declaracoes()) a.declaracoes.push_back({std::move(d.inscricao), std::move(d.periodo)});
    for (auto& f : r.achados())
      a.achados.push_back({SemBrancosNoFim(std::move(f.inscricao)), SemBrancosNoFim(std::move(f.periodo)), f.linha,
                           f.coluna_inicial, f.coluna_final, f.catalogo == "GIAST" ? Catalogo::kGIAST : Catalogo::kGIA,
                           f.codigo, f.campo, std::move(f.texto)});
    if (relato.arquivo == "-")
      a.registros.falha = "a entrada padrão não pode ser lida de novo: os registros não são mostrados";
    else if (!a.aceito)
      a.registros = LeRegistros(plataforma::Ambiente::Padrao(), relato.arquivo, a.tipo, a.achados);
    arquivos_.push_back(std::move(a));
    return {};
  }
  std::string Fim() override { return GeraHtml(arquivos_); }

 private:
  std::vector<ArquivoValidado> arquivos_;
};

struct Formato {
  std::string_view nome;
  std::function<std::unique_ptr<Formatador>(const OpcoesSaida&)> cria;
};

const std::array<Formato, 3> kFormatos = {{
    {"texto", [](const OpcoesSaida& o) { return std::make_unique<Texto>(o); }},
    {"json", [](const OpcoesSaida& o) { return std::make_unique<Json>(o); }},
    {"html", [](const OpcoesSaida& /*o*/) { return std::make_unique<Html>(); }},
}};

}  // namespace

std::vector<std::string> NomesFormatos() {
  std::vector<std::string> nomes;
  nomes.reserve(kFormatos.size());
  for (const auto& f : kFormatos) nomes.emplace_back(f.nome);
  return nomes;
}

std::unique_ptr<Formatador> CriaFormatador(std::string_view nome, const OpcoesSaida& opcoes) {
  for (const auto& f : kFormatos)
    if (f.nome == nome) return f.cria(opcoes);
  return nullptr;
}

}  // namespace validagia
