// libvalida for C++: a thin wrapper over the C interface (libvalida.h), header
// only, so that it binds to whichever build of the library (shared or
// static) the program links. Owners free their handles; errors of the
// library come back as lv::Erro (a std::runtime_error with the library's code
// and message), the validation's own verdict never does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "libvalida/libvalida.h"

namespace lv {

class Erro : public std::runtime_error {
 public:
  Erro(int codigo, const std::string& mensagem) : std::runtime_error(mensagem), codigo_(codigo) {}
  [[nodiscard]] int codigo() const { return codigo_; }

 private:
  int codigo_;
};

struct Achado {
  std::string inscricao, periodo;
  std::int64_t linha = 0;
  int coluna_inicial = 0, coluna_final = 0;
  std::string catalogo;
  int codigo = 0, campo = 0;
  std::string texto;

  static Achado De(const lv_achado& a) {
    return {a.inscricao, a.periodo, a.linha, a.coluna_inicial, a.coluna_final, a.catalogo, a.codigo, a.campo, a.texto};
  }
};

struct Declaracao {
  std::string inscricao, periodo;
};

// The outcome of one validation; owns its lv_resultado.
class Resultado {
 public:
  explicit Resultado(lv_resultado* r) : r_(r, &lv_resultado_libera) {}

  // LV_SUCESSO, or the error that stopped the validation.
  [[nodiscard]] int estado() const { return lv_resultado_estado(r_.get()); }
  [[nodiscard]] bool ok() const { return estado() == LV_SUCESSO; }
  [[nodiscard]] std::string mensagem() const { return lv_resultado_mensagem(r_.get()); }
  [[nodiscard]] std::string tipo() const { return lv_resultado_tipo(r_.get()); }
  [[nodiscard]] bool aceito() const { return lv_resultado_veredito(r_.get()) == LV_ACEITO; }
  [[nodiscard]] std::vector<Achado> achados() const {
    std::vector<Achado> v;
    for (std::size_t i = 0; i < lv_resultado_num_achados(r_.get()); ++i)
      v.push_back(Achado::De(*lv_resultado_achado(r_.get(), i)));
    return v;
  }
  [[nodiscard]] std::vector<Declaracao> declaracoes() const {
    std::vector<Declaracao> v;
    for (std::size_t i = 0; i < lv_resultado_num_declaracoes(r_.get()); ++i) {
      const lv_declaracao* d = lv_resultado_declaracao(r_.get(), i);
      v.push_back({d->inscricao, d->periodo});
    }
    return v;
  }
  // The report or receipt in UTF-8, and in its own Windows-1252 bytes.
  [[nodiscard]] std::string relatorio() const {
    std::size_t n = 0;
    const char* t = lv_resultado_relatorio(r_.get(), &n);
    return {t, n};
  }
  [[nodiscard]] std::string relatorio_cp1252() const {
    std::size_t n = 0;
    const char* t = lv_resultado_relatorio_cp1252(r_.get(), &n);
    return {t, n};
  }

 private:
  std::unique_ptr<lv_resultado, void (*)(lv_resultado*)> r_;
};

// A validator: its settings, then one validation at a time. Not copyable;
// one thread at a time.
class Validador {
 public:
  Validador() : v_(lv_novo(), &lv_libera) {
    if (v_ == nullptr) throw std::bad_alloc();
  }

  // Empty: the kind is detected from the first record.
  void tipo(const std::string& nome) { Exige(lv_define_tipo(v_.get(), nome.c_str()), "tipo desconhecido: " + nome); }
  void recibo(const std::string& email, const std::string& endereco = {}, const std::string& orgao = {},
              const std::string& estado = {}) {
    Exige(lv_define_recibo(v_.get(), email.c_str(), endereco.c_str(), orgao.c_str(), estado.c_str()),
          "texto fora do Windows-1252");
  }
  // The callbacks run inside the validation's calls (see libvalida.h).
  void ao_achar(std::function<void(const Achado&)> f) {
    ao_achar_ = std::move(f);
    lv_define_funcao_achado(v_.get(), ao_achar_ ? &Achou : nullptr, this);
  }
  void ao_progredir(std::function<void(int)> f) {
    ao_progredir_ = std::move(f);
    lv_define_funcao_progresso(v_.get(), ao_progredir_ ? &Progrediu : nullptr, this);
  }

  // A result in every case (see Resultado::estado for errors).
  Resultado arquivo(const std::string& caminho) {
    lv_resultado* r = nullptr;
    (void)lv_valida_arquivo(v_.get(), caminho.c_str(), &r);
    return Conclui(r);
  }
  Resultado memoria(std::string_view bytes, const std::string& nome = "(memória)") {
    lv_resultado* r = nullptr;
    (void)lv_valida_memoria(v_.get(), bytes.data(), bytes.size(), nome.c_str(), &r);
    return Conclui(r);
  }
  // A stream: inicia, envia as often as needed, termina.
  void inicia(std::int64_t total = -1, const std::string& nome = "(fluxo)") {
    Exige(lv_fluxo_inicia(v_.get(), total, nome.c_str()), "fluxo já aberto");
  }
  void envia(std::string_view bytes) {
    Exige(lv_fluxo_envia(v_.get(), bytes.data(), bytes.size()), "o fluxo não pode ser guardado");
  }
  Resultado termina() {
    lv_resultado* r = nullptr;
    const int e = lv_fluxo_termina(v_.get(), &r);
    if (r == nullptr) Exige(e, "nenhum fluxo aberto");
    return Conclui(r);
  }

 private:
  static void Exige(int codigo, const std::string& mensagem) {
    if (codigo != LV_SUCESSO) throw Erro(codigo, mensagem);
  }
  static Resultado Conclui(lv_resultado* r) {
    if (r == nullptr) throw std::bad_alloc();
    return Resultado(r);
  }
  static void Achou(void* contexto, const lv_achado* a) {
    static_cast<Validador*>(contexto)->ao_achar_(Achado::De(*a));
  }
  static void Progrediu(void* contexto, int p) { static_cast<Validador*>(contexto)->ao_progredir_(p); }

  std::unique_ptr<lv_validador, void (*)(lv_validador*)> v_;
  std::function<void(const Achado&)> ao_achar_;
  std::function<void(int)> ao_progredir_;
};

}  // namespace lv
