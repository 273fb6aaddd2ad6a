// The log of jvmlaunch: one text file per process with levels and banners,
// the in-memory history (LogMemoria) of what was logged while logging was off,
// and the line writers GravaLog, GravaLogHex and the exported EventoLog.
// Level 0 is for errors and is always written; 3 traces the launcher's steps;
// 7 is the detail of what child processes wrote. Any thread may call any of
// these at any time: the file and the history are guarded by one mutex.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ambiente.h"

namespace jvmlaunch {

// The current level; 0 is logging off (only level-0 messages are written).
// The launcher sets it to 7 directly for "-l".
extern std::atomic<std::int16_t> NivelLog;

// Most characters of CaminhoLog and of the program's base name. CaminhoLog
// takes the longest path that Windows knows (32767), so that any path either
// system can open is kept whole: a longer one, cut, names no file that could
// be opened (Linux takes at most 4096), and the opening fails.
inline constexpr std::size_t kTamanhoCaminhoLog = 32767;
inline constexpr std::size_t kTamanhoNomePrograma = 199;
// Most characters of a name given to LigarLog.
inline constexpr std::size_t kTamanhoNomeDado = 29;

// The base path of the log file (the file is CaminhoLog + ".LOG"); set before
// the first message to choose the file, empty to let AbreLog choose its folder.
// Longer texts are cut to kTamanhoCaminhoLog characters.
void DefineCaminhoLog(std::string_view caminho);
std::string CaminhoLog();

// Opens (or reopens, truncating) the log file at CaminhoLog + ".LOG", choosing
// CaminhoLog first when it is empty. Returns 0, or 1 after writing E#C0503 to
// the standard error stream and switching logging off.
int AbreLog();

// The opening test for a message of level nivel: opens the file when this is
// the first message at an enabled level, or CaminhoLog changed. False when the
// file had to be opened and could not be: the message must be dropped.
bool PreparaLog(unsigned nivel);

// Writes one prepared message (its "\n" become CR LF in the file), keeps it in
// LogMemoria, or drops it, by the level; writes the banners.
void EscreveLog(unsigned nivel, const char* texto, std::size_t tamanho);

// One message with the prefix "dd/mm hh:mm:ss.mmm[thread.level]:"; the format
// supplies its own line end. Returns 1 when the log file could not be opened.
int GravaLog(unsigned nivel, const char* formato, ...) __attribute__((format(printf, 2, 3)));

// The bytes as a hex dump, shortened to the first and last 256 bytes when
// there are more than 1000 and the level is 8 or below.
void GravaLogHex(unsigned nivel, const void* dados, std::size_t tamanho);

// Returns the facility to its start state: logging off, file closed, no name
// or path, an empty history (the pool block, once allocated, is kept).
void ReiniciaLog();

}  // namespace jvmlaunch

// Exported for host processes: from jvmlaunch.exe on Windows, from the shared
// library of the log facility on POSIX.
extern "C" {
// Logging off when on (closing the file); otherwise on at nivel, taking nome
// (its first 29 characters) as the program name when the file has not been
// opened yet. Returns 0.
int PLATAFORMA_STDCALL LigarLog(const char* nome, std::int16_t nivel);
// GravaLog(nivel, "******* %s\n", texto). Returns 0.
int PLATAFORMA_STDCALL EventoLog(std::int32_t nivel, const char* texto);
}
