/* libvalida: the GIA declaration validator as a library with a C interface,
 * for programs in any language (through its foreign-function interface).
 * It is the very validation of the program valida: the same rules, the same
 * findings, and the same report or receipt text, byte for byte.
 *
 * Threads: nothing is global. Each lv_validador and each lv_resultado
 * belongs to one thread at a time; different ones may be used from as many
 * threads at once as the caller likes.
 *
 * Texts: every text passed in or handed out is UTF-8 and NUL-terminated,
 * except lv_resultado_relatorio_cp1252 (the report's own Windows-1252
 * bytes). Paths are UTF-8 on every platform.
 *
 * Memory: a pointer that a function hands out belongs to the object it came
 * from and stays valid until that object is freed (lv_libera,
 * lv_resultado_libera), unless a function says otherwise. The caller frees
 * every object it gets with the function named for it.
 *
 * Errors: functions that can fail return an int: LV_SUCESSO (0) or one of the
 * LV_ERRO_ codes below. */
#ifndef LIBVALIDA_LIBVALIDA_H
#define LIBVALIDA_LIBVALIDA_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(LIBVALIDA_COMPILANDO)
#define LV_API __declspec(dllexport)
#elif defined(LIBVALIDA_ESTATICA)
#define LV_API
#else
#define LV_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define LV_API __attribute__((visibility("default")))
#else
#define LV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results of the functions. */
#define LV_SUCESSO 0
/* A null pointer or an argument out of its range; nothing was done. */
#define LV_ERRO_ARGUMENTO 1
/* The kind is none of the five, or (when none was given) the first record
 * is of none of them. */
#define LV_ERRO_TIPO 2
/* The declaration could not be opened or read (missing, a folder, not a
 * regular file, refused, a device that failed). */
#define LV_ERRO_LEITURA 3
/* The validation could not end (no memory, no temporary file for a stream
 * of unknown length); nothing of it counts. */
#define LV_ERRO_EXECUCAO 4
/* A call out of its order (lv_fluxo_envia without lv_fluxo_inicia, ...). */
#define LV_ERRO_ESTADO 5

/* Verdicts. */
#define LV_ACEITO 0    /* no finding: "OK", the report is the receipt */
#define LV_REJEITADO 1 /* at least one finding: "NOK", the rejection report */

/* The version of the library, "MAJOR.MINOR.PATCH". Static text. */
LV_API const char* lv_versao(void);

/* The kind of a declaration from its first line: "GIA03", "GIA04", "GIA05",
 * "GIAST01" or "GIAST02" (static texts), or NULL when the bytes begin as no
 * kind's first record does ("****" and the version 03, 04 or 05; "GST01";
 * "A0GST02"). `dados` holds the file's first bytes (the first line is
 * enough); NULL with n 0 is an empty file. */
LV_API const char* lv_detecta_tipo(const void* dados, size_t n);

/* ---------------------------------------------------------------------- */
/* One finding, as the report prints it. Every text is valid until the
 * result it came from is freed (inside a callback: until the callback
 * returns). */
typedef struct lv_achado {
  const char* inscricao;  /* taxpayer as printed ("123/4567890", a state
                             registration, "" for file-level findings) */
  const char* periodo;    /* reference period as printed ("05/2005", "00/0000") */
  int64_t linha;          /* line of the file (0 for parameter findings) */
  int32_t coluna_inicial; /* columns as printed; 0 and 0 for the whole file */
  int32_t coluna_final;
  const char* catalogo; /* "GIA" or "GIAST" */
  int32_t codigo;       /* the code in its catalogue */
  int32_t campo;        /* GIA ST field number; 0 when the text names none */
  const char* texto;    /* the catalogue's text */
} lv_achado;

/* One declaration of the file, as the receipt lists it. */
typedef struct lv_declaracao {
  const char* inscricao; /* "123/4567890" or the state registration */
  const char* periodo;   /* "05/2005" */
} lv_declaracao;

/* Called for each finding at the moment it is recorded, in the order of the
 * report. On the thread that called lv_valida_arquivo or lv_valida_memoria;
 * for a stream, on a thread of the library while lv_fluxo_envia or
 * lv_fluxo_termina is running (never two calls at once). It must not call
 * back into the same lv_validador. */
typedef void (*lv_funcao_achado)(void* contexto, const lv_achado* achado);
/* Called as the declaration is read, with 0 to 100 (same threads as above). */
typedef void (*lv_funcao_progresso)(void* contexto, int percentual);

/* ---------------------------------------------------------------------- */
/* The outcome of one validation. */
typedef struct lv_resultado lv_resultado;

/* LV_SUCESSO when the validation ran to its verdict, else the error that
 * stopped it (then lv_resultado_mensagem says why). */
LV_API int lv_resultado_estado(const lv_resultado* r);
/* A text that names the file and the reason of the error; "" on success. */
LV_API const char* lv_resultado_mensagem(const lv_resultado* r);
/* The kind validated ("GIA05", ...); "" when it was not known. */
LV_API const char* lv_resultado_tipo(const lv_resultado* r);
/* LV_ACEITO or LV_REJEITADO; LV_REJEITADO also after an error. */
LV_API int lv_resultado_veredito(const lv_resultado* r);
/* The findings, in the order recorded. lv_resultado_achado gives NULL for an
 * index out of range. */
LV_API size_t lv_resultado_num_achados(const lv_resultado* r);
LV_API const lv_achado* lv_resultado_achado(const lv_resultado* r, size_t i);
/* The declarations read, in the order of the file (also of a rejected file). */
LV_API size_t lv_resultado_num_declaracoes(const lv_resultado* r);
LV_API const lv_declaracao* lv_resultado_declaracao(const lv_resultado* r, size_t i);
/* The report or receipt, exactly as valida writes "saida.txt" (CR LF line
 * ends), in UTF-8; *tamanho (when not NULL) gets its length in bytes. ""
 * after an error. */
LV_API const char* lv_resultado_relatorio(const lv_resultado* r, size_t* tamanho);
/* The same text in its own Windows-1252 bytes (also NUL-terminated). */
LV_API const char* lv_resultado_relatorio_cp1252(const lv_resultado* r, size_t* tamanho);
/* Frees the result and every text it handed out. NULL is allowed. */
LV_API void lv_resultado_libera(lv_resultado* r);

/* ---------------------------------------------------------------------- */
/* A validator: the settings of the validations it runs, one at a time. */
typedef struct lv_validador lv_validador;

/* A new validator: kind detected, no callbacks, the receipt's e-mail
 * "não informado". NULL when there is no memory. Free with lv_libera. */
LV_API lv_validador* lv_novo(void);
/* Frees the validator; a stream still open is abandoned. NULL is allowed. */
LV_API void lv_libera(lv_validador* v);

/* The kind of the next validations: "GIA03", "GIA04", "GIA05", "GIAST01",
 * "GIAST02", or NULL (or "") to detect it from the first record.
 * LV_ERRO_TIPO for any other text (the setting is then unchanged). */
LV_API int lv_define_tipo(lv_validador* v, const char* tipo);
/* The fields that valida takes from "param.txt" for the receipt: the
 * sender's e-mail (at most 70 characters; NULL or "" keeps "não informado"),
 * the consultation address (70), the two headings (70 and 30); NULL or ""
 * leaves a field blank. Longer texts are cut. LV_ERRO_ARGUMENTO for a text
 * that is not UTF-8 of Windows-1252 characters. */
LV_API int lv_define_recibo(lv_validador* v, const char* email, const char* endereco, const char* orgao,
                            const char* estado);
/* The callbacks; NULL turns one off. */
LV_API void lv_define_funcao_achado(lv_validador* v, lv_funcao_achado funcao, void* contexto);
LV_API void lv_define_funcao_progresso(lv_validador* v, lv_funcao_progresso funcao, void* contexto);

/* Validates the file at `caminho`. Returns the result's state; *resultado
 * gets a new result in every case but LV_ERRO_ARGUMENTO (then NULL), which
 * the caller frees with lv_resultado_libera. Memory stays the same whatever
 * the file's size. */
LV_API int lv_valida_arquivo(lv_validador* v, const char* caminho, lv_resultado** resultado);
/* The same for a declaration held in memory (`n` bytes; `nome` names it in
 * messages, NULL for "(memória)"). The bytes are not kept. */
LV_API int lv_valida_memoria(lv_validador* v, const void* dados, size_t n, const char* nome, lv_resultado** resultado);

/* A declaration fed in pieces, with memory that does not grow with it.
 * `total` is its whole length in bytes, or -1 when not known: the kinds
 * whose files are tested for their size first (all but GIAST02) are then
 * kept in an anonymous temporary file until lv_fluxo_termina, and validated
 * there. A stream whose bytes do not add up to `total` is rejected as a file
 * cut short is. LV_ERRO_ESTADO while another stream of the validator is
 * open. */
LV_API int lv_fluxo_inicia(lv_validador* v, int64_t total, const char* nome);
/* The next `n` bytes (any split; n may be 0). LV_ERRO_ESTADO without an open
 * stream; LV_ERRO_EXECUCAO when the temporary file cannot be written. After
 * an error the stream is still open and must be ended (lv_fluxo_termina). */
LV_API int lv_fluxo_envia(lv_validador* v, const void* dados, size_t n);
/* Ends the stream and gives its result as lv_valida_arquivo does. */
LV_API int lv_fluxo_termina(lv_validador* v, lv_resultado** resultado);

/* ---------------------------------------------------------------------- */
/* valida's own contract: validates the declaration named by "param.txt" in
 * the folder `pasta` (NULL: the folder of the running program) and writes
 * "saida.txt" and the verdict there, showing the progress window when
 * `janela` is not 0 and a message box for a run that cannot write a report.
 * Returns 0 when the report was written, 2 otherwise. */
LV_API int lv_executa_pasta(const char* pasta, int janela);

#ifdef __cplusplus
}
#endif

#endif /* LIBVALIDA_LIBVALIDA_H */
