// The line writers: GravaLog (one time-stamped line), GravaLogHex (a hex
// dump) and the exported EventoLog. Each formats its whole message in a
// buffer of the calling thread, outside the lock, and hands it to EscreveLog.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "common/cp1252.h"
#include "jvmlaunch/log/log.h"

namespace jvmlaunch {

namespace {

constexpr std::size_t kTamanhoLinha = 40000;
constexpr std::size_t kBytesPorLinha = 16;
// A dump of more than kLimiteDumpCompleto bytes at a level of kNivelDumpCompleto
// or below shows only the first and the last kParteDumpCurto bytes.
constexpr std::size_t kLimiteDumpCompleto = 1000;
constexpr int kNivelDumpCompleto = 8;
constexpr std::size_t kParteDumpCurto = 256;
constexpr char kRecuo[] = "            ";  // 12 blanks, the width of "    msg:    "

int IdThread() { return static_cast<int>(plataforma::IdThreadAtual()); }

// Appends the rows of a part of the dump; every row after the first starts
// with kRecuo.
char* LinhasDump(const unsigned char* b, std::size_t n, char* p) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < n; i += kBytesPorLinha) {
    if (i > 0) p = std::copy_n(kRecuo, sizeof kRecuo - 1, p);
    const std::size_t k = std::min(kBytesPorLinha, n - i);
    for (std::size_t j = 0; j < kBytesPorLinha; ++j) {
      if (j < k) {
        *p++ = kHex[b[i + j] >> 4];
        *p++ = kHex[b[i + j] & 0xF];
        *p++ = ' ';
      } else {
        p = std::copy_n("   ", 3, p);
      }
    }
    p = std::copy_n("   ", 3, p);
    for (std::size_t j = 0; j < kBytesPorLinha; ++j) {
      const unsigned char c = j < k ? b[i + j] : ' ';
      *p++ = c < 32 || c > 126 ? '.' : static_cast<char>(c);
    }
    *p++ = '\n';
  }
  return p;
}

}  // namespace

int GravaLog(unsigned nivel, const char* formato, ...) {
  if (!PreparaLog(nivel)) return 1;
  const plataforma::HoraLocal h = plataforma::AgoraLocal();
  char linha[kTamanhoLinha];
  const int prefixo = std::snprintf(linha, sizeof linha, "%02d/%02d %02d:%02d:%02d.%03d[%d.%d]:", h.dia, h.mes, h.hora,
                                    h.minuto, h.segundo, h.milissegundo, IdThread(), static_cast<int>(nivel));
  const std::size_t espaco = kTamanhoLinha - static_cast<std::size_t>(prefixo);
  va_list args;
  va_start(args, formato);
  // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): started just above
  const int mensagem = std::vsnprintf(linha + prefixo, espaco, formato, args);
  va_end(args);
  if (mensagem < 0 || static_cast<std::size_t>(mensagem) > espaco - 1) {
    constexpr std::string_view kSemEspaco = "ATENÇÃO: LOG com falta de espaço\n"_cp;
    EscreveLog(nivel, kSemEspaco.data(), kSemEspaco.size());
  } else {
    EscreveLog(nivel, linha, static_cast<std::size_t>(prefixo) + static_cast<std::size_t>(mensagem));
  }
  return 0;
}

void GravaLogHex(unsigned nivel, const void* dados, std::size_t tamanho) {
  if (!PreparaLog(nivel)) return;
  const plataforma::HoraLocal h = plataforma::AgoraLocal();
  const auto* b = static_cast<const unsigned char*>(dados);
  const bool completo = NivelLog.load() > kNivelDumpCompleto || tamanho <= kLimiteDumpCompleto;
  // A row of 16 bytes takes 80 characters: 7 a byte leaves room for the rest.
  constexpr std::size_t kFolga = 3072;
  if (completo && tamanho > (SIZE_MAX - kFolga) / 7) return;
  const std::size_t capacidade = completo ? 7 * tamanho + kFolga : 7 * 2 * kParteDumpCurto + kFolga;
  const std::unique_ptr<char[]> mensagem(new (std::nothrow) char[capacidade]);
  if (!mensagem) return;

  char* p = mensagem.get();
  p += std::snprintf(p, capacidade, "%02d/%02d %2.2d:%2.2d:%2.2d.%03d[%d.%d]: tam: %lld\n    msg:    ", h.dia, h.mes,
                     h.hora, h.minuto, h.segundo, h.milissegundo, IdThread(), static_cast<int>(nivel),
                     static_cast<long long>(tamanho));
  if (completo) {
    p = LinhasDump(b, tamanho, p);
  } else {
    p = LinhasDump(b, kParteDumpCurto, p);
    p += std::snprintf(
        p, 256, "\n<<<<<<<<<<<<<<<<... saltando %lld bytes ... >>>>>>>>>>>>>>>>>>>>>>>>>\n\n\n   %6lld:  ",
        static_cast<long long>(tamanho - 2 * kParteDumpCurto), static_cast<long long>(tamanho - kParteDumpCurto));
    p = LinhasDump(b + tamanho - kParteDumpCurto, kParteDumpCurto, p);
  }
  *p++ = '\n';
  EscreveLog(nivel, mensagem.get(), static_cast<std::size_t>(p - mensagem.get()));
}

}  // namespace jvmlaunch

int PLATAFORMA_STDCALL EventoLog(std::int32_t nivel, const char* texto) {
  plataforma::PreparaModuloCarregado();
  jvmlaunch::GravaLog(static_cast<unsigned>(nivel), "******* %s\n", texto != nullptr ? texto : "");
  return 0;
}
