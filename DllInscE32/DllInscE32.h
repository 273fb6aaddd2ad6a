/* DllInscE32: the check of a state taxpayer registration (Inscricao Estadual)
 * against the published check-digit rules of its state, for the 27 federative
 * units of Brazil. A plain C interface: DllInscE32.dll on Windows (exported
 * undecorated, standard Windows calling convention), libDllInscE32.so on
 * POSIX (C linkage). valida binds it by name at its first use. */
#ifndef DLLINSCE32_DLLINSCE32_H
#define DLLINSCE32_DLLINSCE32_H

#include <stdint.h>

/* The calling convention of the exported function: __stdcall on Windows
 * (which the 64-bit compilers ignore, so that one pointer type serves both
 * widths), nothing elsewhere. */
#if defined(_WIN32)
#define DLLINSCE32_CHAMADA __stdcall
#else
#define DLLINSCE32_CHAMADA
#endif

/* On Windows the export is named in DllInscE32.def; on POSIX the library hides
 * everything but what carries this mark. */
#if !defined(_WIN32) && defined(__GNUC__)
#define DLLINSCE32_EXPORTA __attribute__((visibility("default")))
#else
#define DLLINSCE32_EXPORTA
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Checks the registration `inscricao` for the state `uf`.
 *
 * Returns 0 when the registration is correct for the state, 1 when it is not.
 * Both arguments are NUL-terminated 8-bit texts; nothing past the NUL is read.
 *
 *  1. `uf` must be exactly one of the 27 upper-case codes AC AL AP AM BA CE DF
 *     ES GO MA MT MS MG PA PB PR PE PI RN RJ RO RS RR SC SP SE TO (no trimming,
 *     no case folding).
 *  2. Trailing blanks (0x20 only) of `inscricao` are dropped; the caller may
 *     pass the whole blank-padded field (14 columns in the GIA ST).
 *  3. Something must remain.
 *  4. Every remaining character must be a digit, except that for SP the first
 *     may be an upper-case P (rural producer). Leading or inner blanks,
 *     separators, other letters and bytes above 0x7F fail.
 *  5. The digits must satisfy the state's rule: length, fixed digits and check
 *     digits. No separator is removed and no padding is added, except MT's
 *     zero-padding of 9 and 10 digits to 11.
 *
 * A null pointer gives 1. Any length is accepted as input; a registration
 * longer than its state's formats simply fails. The function keeps no state
 * and may be called from several threads at once. */
DLLINSCE32_EXPORTA int16_t DLLINSCE32_CHAMADA ConsisteInscricaoEstadual(const char* inscricao, const char* uf);

#ifdef __cplusplus
}
#endif

#endif /* DLLINSCE32_DLLINSCE32_H */
