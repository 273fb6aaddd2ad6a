// The C interface of libvalida over its C++ validation: handles, texts in
// UTF-8, errors as numbers. No exception crosses it.
#include "libvalida/include/libvalida/libvalida.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "libvalida/validacao.h"
#include "platform/ambiente.h"
#include "valida/run/modEspecifico.h"

#ifndef LIBVALIDA_VERSAO
#define LIBVALIDA_VERSAO "0.0.0"
#endif

struct lv_resultado {
  libvalida::Resultado r;
  std::vector<lv_achado> achados;
  std::vector<lv_declaracao> declaracoes;
};

struct lv_validador {
  libvalida::Configuracao configuracao;
  lv_funcao_achado funcao_achado = nullptr;
  void* contexto_achado = nullptr;
  lv_funcao_progresso funcao_progresso = nullptr;
  void* contexto_progresso = nullptr;
  std::unique_ptr<libvalida::Fluxo> fluxo;
};

namespace {

lv_achado VisaoC(const libvalida::Achado& a) {
  return {a.inscricao.c_str(), a.periodo.c_str(), a.linha, a.coluna_inicial, a.coluna_final,
          a.catalogo.c_str(),  a.codigo,          a.campo, a.texto.c_str()};
}

// The result handed out; null only when there is no memory for it.
lv_resultado* Entrega(libvalida::Resultado r) {
  auto* c = new (std::nothrow) lv_resultado;
  if (c == nullptr) return nullptr;
  try {
    c->r = std::move(r);
    c->achados.reserve(c->r.achados.size());
    for (const auto& a : c->r.achados) c->achados.push_back(VisaoC(a));
    c->declaracoes.reserve(c->r.declaracoes.size());
    for (const auto& d : c->r.declaracoes) c->declaracoes.push_back({d.inscricao.c_str(), d.periodo.c_str()});
  } catch (...) {
    delete c;
    return nullptr;
  }
  return c;
}

libvalida::Resultado SemMemoria() {
  libvalida::Resultado r;
  r.estado = libvalida::Estado::kExecucao;
  r.mensagem = "memória esgotada";
  return r;
}

// The callbacks of the validator, bound into its settings for one validation.
libvalida::Configuracao Configuracao(lv_validador* v) {
  libvalida::Configuracao c = v->configuracao;
  if (v->funcao_achado != nullptr) {
    c.ao_achar = [f = v->funcao_achado, x = v->contexto_achado](const libvalida::Achado& a) {
      const lv_achado visao = VisaoC(a);
      f(x, &visao);
    };
  }
  if (v->funcao_progresso != nullptr)
    c.ao_progredir = [f = v->funcao_progresso, x = v->contexto_progresso](int p) { f(x, p); };
  return c;
}

int Conclui(libvalida::Resultado r, lv_resultado** resultado) {
  const int estado = static_cast<int>(r.estado);
  *resultado = Entrega(std::move(r));
  return *resultado == nullptr ? LV_ERRO_EXECUCAO : estado;
}

template <typename F>
int Valida(lv_validador* v, lv_resultado** resultado, F&& validacao) {
  if (resultado == nullptr) return LV_ERRO_ARGUMENTO;
  *resultado = nullptr;
  if (v == nullptr) return LV_ERRO_ARGUMENTO;
  try {
    return Conclui(validacao(Configuracao(v)), resultado);
  } catch (...) {
    return Conclui(SemMemoria(), resultado);
  }
}

// A text of the receipt's settings: UTF-8 in, cp1252 kept; false when it
// holds a character that Windows-1252 lacks.
bool TextoRecibo(const char* utf8, std::string* cp1252) {
  cp1252->clear();
  if (utf8 == nullptr) return true;
  const std::string texto = cp1252::DeUtf8(utf8);
  if (cp1252::ParaUtf8(texto) != utf8) return false;
  *cp1252 = texto;
  return true;
}

}  // namespace

extern "C" {

const char* lv_versao(void) { return LIBVALIDA_VERSAO; }

const char* lv_detecta_tipo(const void* dados, size_t n) {
  if (dados == nullptr && n > 0) return nullptr;
  const std::string_view inicio(static_cast<const char*>(dados), dados == nullptr ? 0 : n);
  const std::string_view tipo = libvalida::DetectaTipo(inicio);
  return tipo.empty() ? nullptr : tipo.data();
}

int lv_resultado_estado(const lv_resultado* r) {
  return r == nullptr ? LV_ERRO_ARGUMENTO : static_cast<int>(r->r.estado);
}
const char* lv_resultado_mensagem(const lv_resultado* r) { return r == nullptr ? "" : r->r.mensagem.c_str(); }
const char* lv_resultado_tipo(const lv_resultado* r) { return r == nullptr ? "" : r->r.tipo.c_str(); }
int lv_resultado_veredito(const lv_resultado* r) {
  return r != nullptr && r->r.estado == libvalida::Estado::kSucesso && r->r.aceito ? LV_ACEITO : LV_REJEITADO;
}
size_t lv_resultado_num_achados(const lv_resultado* r) { return r == nullptr ? 0 : r->achados.size(); }
const lv_achado* lv_resultado_achado(const lv_resultado* r, size_t i) {
  return r == nullptr || i >= r->achados.size() ? nullptr : &r->achados[i];
}
size_t lv_resultado_num_declaracoes(const lv_resultado* r) { return r == nullptr ? 0 : r->declaracoes.size(); }
const lv_declaracao* lv_resultado_declaracao(const lv_resultado* r, size_t i) {
  return r == nullptr || i >= r->declaracoes.size() ? nullptr : &r->declaracoes[i];
}
const char* lv_resultado_relatorio(const lv_resultado* r, size_t* tamanho) {
  if (tamanho != nullptr) *tamanho = r == nullptr ? 0 : r->r.relatorio.size();
  return r == nullptr ? "" : r->r.relatorio.c_str();
}
const char* lv_resultado_relatorio_cp1252(const lv_resultado* r, size_t* tamanho) {
  if (tamanho != nullptr) *tamanho = r == nullptr ? 0 : r->r.relatorio_cp1252.size();
  return r == nullptr ? "" : r->r.relatorio_cp1252.c_str();
}
void lv_resultado_libera(lv_resultado* r) { delete r; }

lv_validador* lv_novo(void) { return new (std::nothrow) lv_validador; }
void lv_libera(lv_validador* v) { delete v; }

int lv_define_tipo(lv_validador* v, const char* tipo) {
  if (v == nullptr) return LV_ERRO_ARGUMENTO;
  if (tipo == nullptr || *tipo == '\0') {
    v->configuracao.tipo.clear();
    return LV_SUCESSO;
  }
  try {
    const auto nome = libvalida::NomeDoTipo(tipo);
    if (!nome) return LV_ERRO_TIPO;
    v->configuracao.tipo = *nome;
    return LV_SUCESSO;
  } catch (...) {
    return LV_ERRO_EXECUCAO;
  }
}

int lv_define_recibo(lv_validador* v, const char* email, const char* endereco, const char* orgao, const char* estado) {
  if (v == nullptr) return LV_ERRO_ARGUMENTO;
  try {
    std::string e, d, o, s;
    if (!TextoRecibo(email, &e) || !TextoRecibo(endereco, &d) || !TextoRecibo(orgao, &o) || !TextoRecibo(estado, &s))
      return LV_ERRO_ARGUMENTO;
    v->configuracao.email = e.substr(0, 70);
    v->configuracao.endereco = d.substr(0, 70);
    v->configuracao.orgao = o.substr(0, 70);
    v->configuracao.estado = s.substr(0, 30);
    return LV_SUCESSO;
  } catch (...) {
    return LV_ERRO_EXECUCAO;
  }
}

void lv_define_funcao_achado(lv_validador* v, lv_funcao_achado funcao, void* contexto) {
  if (v == nullptr) return;
  v->funcao_achado = funcao;
  v->contexto_achado = contexto;
}

void lv_define_funcao_progresso(lv_validador* v, lv_funcao_progresso funcao, void* contexto) {
  if (v == nullptr) return;
  v->funcao_progresso = funcao;
  v->contexto_progresso = contexto;
}

int lv_valida_arquivo(lv_validador* v, const char* caminho, lv_resultado** resultado) {
  if (caminho == nullptr) {
    if (resultado != nullptr) *resultado = nullptr;
    return LV_ERRO_ARGUMENTO;
  }
  return Valida(v, resultado, [&](const libvalida::Configuracao& c) { return libvalida::ValidaArquivo(c, caminho); });
}

int lv_valida_memoria(lv_validador* v, const void* dados, size_t n, const char* nome, lv_resultado** resultado) {
  if (dados == nullptr && n > 0) {
    if (resultado != nullptr) *resultado = nullptr;
    return LV_ERRO_ARGUMENTO;
  }
  return Valida(v, resultado, [&](const libvalida::Configuracao& c) {
    return libvalida::ValidaMemoria(c, std::string_view(static_cast<const char*>(dados), dados == nullptr ? 0 : n),
                                    nome != nullptr ? nome : "(memória)");
  });
}

int lv_fluxo_inicia(lv_validador* v, int64_t total, const char* nome) {
  if (v == nullptr) return LV_ERRO_ARGUMENTO;
  if (v->fluxo != nullptr) return LV_ERRO_ESTADO;
  try {
    v->fluxo = std::make_unique<libvalida::Fluxo>(Configuracao(v), total, nome != nullptr ? nome : "(fluxo)");
    return LV_SUCESSO;
  } catch (...) {
    return LV_ERRO_EXECUCAO;
  }
}

int lv_fluxo_envia(lv_validador* v, const void* dados, size_t n) {
  if (v == nullptr || (dados == nullptr && n > 0)) return LV_ERRO_ARGUMENTO;
  if (v->fluxo == nullptr) return LV_ERRO_ESTADO;
  try {
    std::string mensagem;
    return static_cast<int>(
        v->fluxo->Envia(std::string_view(static_cast<const char*>(dados), dados == nullptr ? 0 : n), &mensagem));
  } catch (...) {
    return LV_ERRO_EXECUCAO;
  }
}

int lv_fluxo_termina(lv_validador* v, lv_resultado** resultado) {
  if (resultado == nullptr) return LV_ERRO_ARGUMENTO;
  *resultado = nullptr;
  if (v == nullptr) return LV_ERRO_ARGUMENTO;
  if (v->fluxo == nullptr) return LV_ERRO_ESTADO;
  const std::unique_ptr<libvalida::Fluxo> fluxo = std::move(v->fluxo);
  try {
    return Conclui(fluxo->Termina(), resultado);
  } catch (...) {
    return Conclui(SemMemoria(), resultado);
  }
}

int lv_executa_pasta(const char* pasta, int janela) {
  try {
    plataforma::Ambiente& ambiente = plataforma::Ambiente::Padrao();
    const valida::Desfecho desfecho =
        pasta == nullptr ? valida::MainPrograma(ambiente, janela != 0) : valida::Main(ambiente, pasta, janela != 0);
    return desfecho == valida::Desfecho::kRelatorio ? 0 : 2;
  } catch (...) {
    return 2;
  }
}

}  // extern "C"
