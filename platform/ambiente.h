// The one way of the programs to the operating system, in three concerns,
// each implemented once per platform:
//   - files, folders, the lock file, message boxes and the progress window:
//     arquivos_posix.cpp, arquivos_win32.cpp;
//   - processes: the environment, the clock and ids, the program's own path
//     and command line, hidden children with pipes on their output, and the
//     sockets of the hand-off to a running client (jvmlaunch):
//     processos_posix.cpp, processos_win32.cpp;
//   - modules: libraries and programs loaded by name or path
//     (modulos_posix.cpp, modulos_win32.cpp), and the loader that prepares
//     this program's image when a host loads it as a module
//     (carregador_win32.cpp; POSIX needs none).
// Nothing else includes a system header; windows.h is included only by the
// Win32 files (through win32_comum.h, as the POSIX ones share posix_comum.h;
// both build on comum.h, which needs no system header).
//
// Two families of calls, one per program:
//   - Ambiente (valida) and what it makes take paths as UTF-8 texts and
//     report failures as a Status whose kind is one of the failure kinds the
//     programs tell apart. Every call of Ambiente that takes a path refuses
//     one that holds a NUL byte with kNaoEncontrado before it reaches the
//     system, which would take it cut short, naming another file.
//   - The free functions, Processos, Rede and what they make (jvmlaunch)
//     take 8-bit texts in Windows-1252, as jvmlaunch keeps its texts, and
//     report failures as a ResultadoSistema with the system's own code and
//     text, which jvmlaunch logs. The Win32 implementation converts them to
//     and from UTF-16, the POSIX one to and from UTF-8 at the system's
//     boundary (a character that Windows-1252 lacks comes back as '?').
//     Bytes read from a child's streams are never converted.
// Texts shown to the user are Windows-1252 in both. Nobody outside this
// layer reads errno or GetLastError(), and no result is dropped unread:
// Status and ResultadoSistema are [[nodiscard]], as are the queries; a
// caller that means to ignore one writes (void) and says why.
//
// All calls may be made from several threads at once; one object that a
// call makes (a file, a lock, a window, a pipe, a socket, a library) belongs
// to one thread at a time.
//
// The programs run in folders that others can write to and on input that may
// be hostile: no call blocks on what a name opens, follows a link when it
// creates or replaces a file, or ends the process when a standard stream is
// closed or broken (POSIX: the first call of Ambiente::Padrao() ignores
// SIGPIPE and gives a closed standard stream /dev/null, so that no file takes
// its number).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The standard Windows calling convention, for functions that libraries of
// the project export; empty where the platform has only one.
#if defined(_WIN32) && !defined(_WIN64)
#define PLATAFORMA_STDCALL __stdcall
#else
#define PLATAFORMA_STDCALL
#endif

namespace plataforma {

// ===========================================================================
// Results
// ===========================================================================

// The kinds of failure the programs act on differently.
enum class Falha {
  kNenhuma,
  // File or path not found, access refused, a folder where a file was expected,
  // a library or a function in it that is not there.
  kNaoEncontrado,
  // Device absent or not ready (Windows ERROR_NOT_READY, ERROR_DEV_NOT_EXIST,
  // ERROR_BAD_NETPATH; POSIX ENXIO, ENODEV, ENOMEDIUM, EIO).
  kDispositivoIndisponivel,
  // Disk full, quota exceeded, or no more files can be opened.
  kDiscoCheio,
  // Anything else.
  kOutra,
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Ok() { return {}; }
  static Status Erro(Falha falha, std::string mensagem) { return Status(falha, std::move(mensagem)); }

  [[nodiscard]] bool ok() const { return falha_ == Falha::kNenhuma; }
  [[nodiscard]] Falha falha() const { return falha_; }
  // The system's own text for the failure (UTF-8), empty when ok.
  [[nodiscard]] const std::string& mensagem() const { return mensagem_; }

 private:
  Status(Falha falha, std::string mensagem) : falha_(falha), mensagem_(std::move(mensagem)) {}
  Falha falha_ = Falha::kNenhuma;
  std::string mensagem_;
};

// The result of a call of jvmlaunch's family.
struct [[nodiscard]] ResultadoSistema {
  bool ok = true;
  long codigo = 0;    // the system's error code; 0 when ok
  std::string texto;  // the system's text for codigo, cp1252, no trailing line end

  static ResultadoSistema Sucesso() { return {}; }
};

// ===========================================================================
// Files, folders, the lock file, message boxes and the progress window
// ===========================================================================

class Biblioteca;  // a library loaded by Ambiente: see "Modules" below

// A file open for sequential reading.
class ArquivoLeitura {
 public:
  ArquivoLeitura() = default;
  ArquivoLeitura(const ArquivoLeitura&) = delete;
  ArquivoLeitura& operator=(const ArquivoLeitura&) = delete;
  virtual ~ArquivoLeitura() = default;

  // Reads up to n bytes into buf; *lidos is 0 only at the end of the file.
  // Fails with kDispositivoIndisponivel when the medium is gone, kOutra otherwise.
  virtual Status Ler(char* buf, std::size_t n, std::size_t* lidos) = 0;
  // Length of the file in bytes as it is now.
  virtual Status Tamanho(std::uint64_t* bytes) = 0;
};

// A file open for writing, created empty.
class ArquivoEscrita {
 public:
  ArquivoEscrita() = default;
  ArquivoEscrita(const ArquivoEscrita&) = delete;
  ArquivoEscrita& operator=(const ArquivoEscrita&) = delete;
  // Closes the file if Fechar was not called; a failure then is lost.
  virtual ~ArquivoEscrita() = default;

  // Writes all of texto or fails: kDiscoCheio when the disk or the quota is full.
  virtual Status Escrever(std::string_view texto) = 0;
  // Flushes to the disk and closes; kDiscoCheio when what was buffered no
  // longer fits.
  virtual Status Fechar() = 0;
  // Closes without waiting for the disk, for a work file that the program
  // reads back and deletes itself: its reading comes from the system's
  // cache, and a copy on the disk would serve no one. Failures as Fechar's,
  // where the system tells them at the close. Where a file cannot be closed
  // so, Fechar.
  virtual Status FecharTemporario() { return Fechar(); }
};

// The exclusive lock of a file, held until it is destroyed (then released).
class Trava {
 public:
  Trava() = default;
  Trava(const Trava&) = delete;
  Trava& operator=(const Trava&) = delete;
  virtual ~Trava() = default;
};

// The progress window of valida: title "Validador", a bar from 0 to 100, the
// fixed label "Contribuinte:", the taxpayer label and the version label. It is
// repainted only by Atualiza, never by itself. POSIX: a line on the standard
// error stream when it is a terminal, control characters shown as '?'.
class JanelaProgresso {
 public:
  JanelaProgresso() = default;
  JanelaProgresso(const JanelaProgresso&) = delete;
  JanelaProgresso& operator=(const JanelaProgresso&) = delete;
  virtual ~JanelaProgresso() = default;

  virtual void DefineProgresso(int valor) = 0;                  // 0 to 100
  virtual void DefineContribuinte(std::string_view texto) = 0;  // cp1252
  virtual void DefineVersao(std::string_view texto) = 0;        // cp1252
  virtual void Atualiza() = 0;
  // Hides and destroys the window.
  virtual void Fecha() = 0;
};

class Ambiente {
 public:
  Ambiente() = default;
  Ambiente(const Ambiente&) = delete;
  Ambiente& operator=(const Ambiente&) = delete;
  virtual ~Ambiente() = default;

  // The platform's own environment; lives for the whole process.
  static Ambiente& Padrao();

  // Folder separator of the platform: '\\' on Windows, '/' elsewhere.
  [[nodiscard]] static char Separador();

  // The folder that holds the running program, without a trailing separator,
  // however long its path. kOutra, with the system's text, when the system
  // cannot tell it (POSIX: no /proc, a path the kernel will not give); there
  // is no fallback to another folder.
  virtual Status PastaPrograma(std::string* pasta) = 0;

  // Opens a regular file (Windows: a disk file) for reading. Never blocks:
  // a FIFO, a device, a socket, a terminal or a console opens nothing and
  // is kNaoEncontrado, as are a missing file or path, refused access, a
  // folder and a path that holds a NUL byte. kDispositivoIndisponivel;
  // kDiscoCheio for no more files; kOutra.
  virtual Status AbrirLeitura(const std::string& caminho, std::unique_ptr<ArquivoLeitura>* arquivo) = 0;

  // Creates a new, empty file of its own under the name. Whatever stands
  // there is replaced and never followed: a file, a symbolic link (the link
  // goes, its target stays as it was), a hard link (the other names keep
  // their content). POSIX: the name is unlinked, then created with
  // O_CREAT | O_EXCL | O_NOFOLLOW. Windows: created with CREATE_NEW; when the
  // name is taken, a file made the same way beside it is renamed over it
  // (Wine follows a Unix link even when it deletes one). A folder under the
  // name is not removed: kOutra, as when something takes the name between
  // the two steps. kNaoEncontrado for a missing folder or refused access;
  // kDiscoCheio; kDispositivoIndisponivel; kOutra.
  virtual Status CriarEscrita(const std::string& caminho, std::unique_ptr<ArquivoEscrita>* arquivo) = 0;

  // Replaces destino by origem in one step (same folder). kNaoEncontrado for
  // a missing origem, a missing folder or refused access; kOutra, among
  // others, for two different file systems.
  virtual Status Renomear(const std::string& origem, const std::string& destino) = 0;

  // Deletes the file; a file that is not there, or a folder that is not, is
  // not a failure. A folder under the name is kNaoEncontrado.
  virtual Status Apagar(const std::string& caminho) = 0;

  // Loads a library of the project by its base name ("DllInscE32"), from the
  // program's folder first. kNaoEncontrado when it is not there, and for a
  // name holding a NUL byte.
  virtual Status CarregarBiblioteca(const std::string& nome, std::unique_ptr<Biblioteca>* biblioteca) = 0;

  // A message box with the caption, the text and one OK button; returns when
  // it is closed. Texts are cp1252. POSIX: one line on the standard error
  // stream, control characters shown as '?'; a failed write is ignored.
  virtual void MensagemAviso(std::string_view titulo, std::string_view texto) = 0;

  // Creates and shows (without blocking) the progress window.
  [[nodiscard]] virtual std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() = 0;

  // --- A folder that several runs share ---------------------------------

  // Waits, with no time limit, until this process holds the exclusive lock
  // of the lock file `caminho` (POSIX flock, Windows LockFileEx), creating
  // the file empty when it is missing; the lock lasts as long as *trava. The
  // file is never written nor deleted, so a hard link under its name leaves
  // its other names as they were. A symbolic link under the name is removed,
  // never followed (Windows: it is opened as a link); so is a FIFO, a socket
  // or a device (POSIX), whether or not it can be opened. A folder under the
  // name is kOutra; kNaoEncontrado for a missing folder or refused access;
  // kDiscoCheio; kOutra.
  virtual Status Travar(const std::string& caminho, std::unique_ptr<Trava>* trava) = 0;

  // Gives the file `caminho` (a regular file, opened without following a
  // link) the permission bits of the file `modelo` (POSIX: rwx for owner,
  // group and others). On Windows a new file takes the folder's defaults, as
  // any file does: nothing is done there.
  virtual Status CopiarPermissoes(const std::string& modelo, const std::string& caminho) = 0;
};

// Forwards every call to another Ambiente, so that a test can override only
// the calls it wants to break.
class AmbienteIntermediario : public Ambiente {
 public:
  explicit AmbienteIntermediario(Ambiente& alvo) : alvo_(alvo) {}

  Status PastaPrograma(std::string* p) override { return alvo_.PastaPrograma(p); }
  Status AbrirLeitura(const std::string& c, std::unique_ptr<ArquivoLeitura>* a) override {
    return alvo_.AbrirLeitura(c, a);
  }
  Status CriarEscrita(const std::string& c, std::unique_ptr<ArquivoEscrita>* a) override {
    return alvo_.CriarEscrita(c, a);
  }
  Status Renomear(const std::string& o, const std::string& d) override { return alvo_.Renomear(o, d); }
  Status Apagar(const std::string& c) override { return alvo_.Apagar(c); }
  Status CarregarBiblioteca(const std::string& n, std::unique_ptr<Biblioteca>* b) override {
    return alvo_.CarregarBiblioteca(n, b);
  }
  void MensagemAviso(std::string_view t, std::string_view x) override { alvo_.MensagemAviso(t, x); }
  std::unique_ptr<JanelaProgresso> CriarJanelaProgresso() override { return alvo_.CriarJanelaProgresso(); }
  Status Travar(const std::string& c, std::unique_ptr<Trava>* t) override { return alvo_.Travar(c, t); }
  Status CopiarPermissoes(const std::string& m, const std::string& c) override { return alvo_.CopiarPermissoes(m, c); }

 protected:
  Ambiente& alvo() { return alvo_; }

 private:
  Ambiente& alvo_;
};

// --- jvmlaunch's folders, log file and messages ---------------------------

// Creates one folder (not its parents). A folder that already exists is
// success; a missing parent, refused access or a file of that name fail.
ResultadoSistema CriarPasta(const char* caminho);
// True when the path names an existing folder.
[[nodiscard]] bool EhPasta(const char* caminho);
// The system's folder for temporary files, without a trailing separator
// (Windows: GetTempPath; POSIX: TMPDIR, else "/tmp"); false when the system
// cannot tell.
[[nodiscard]] bool PastaTemporariaSistema(std::string* pasta);
// The fixed folder that the log tries before the system's temporary folder
// and falls back to: "c:\temp" on Windows, "/tmp" on POSIX.
[[nodiscard]] const char* PastaTemporariaFixa();

// True when the path names an existing entry that is not a folder (links
// followed).
[[nodiscard]] bool EhArquivo(const char* caminho);

// One entry of a folder listing.
struct EntradaPasta {
  std::string nome;    // the name alone, without the folder
  bool pasta = false;  // a folder (links followed)
};

// Lists the entries of a folder whose names match the last component of the
// pattern ("folder<separator>jre*"), in the order the file system gives them.
// The last component may hold the wildcards * and ?; the folder part is taken
// literally. Windows: FindFirstFile's matching (case-insensitive, short names
// too); POSIX: fnmatch, case-sensitive. A pattern without a separator lists
// the current folder. A folder with no match gives an empty list; a missing
// or unreadable folder fails with the system's code.
ResultadoSistema ListarEntradas(const char* padrao, std::vector<EntradaPasta>* entradas);

// The log file: written unbuffered, byte for byte (no line-end translation).
class ArquivoLog {
 public:
  ArquivoLog() = default;
  ArquivoLog(const ArquivoLog&) = delete;
  ArquivoLog& operator=(const ArquivoLog&) = delete;
  // Closes the file.
  virtual ~ArquivoLog() = default;

  // Writes all the bytes as far as the system takes them; never allocates.
  // A failed write is not reported.
  virtual void Escrever(const char* dados, std::size_t n) = 0;
  // Reads the status of the open file (fstat, GetFileInformationByHandle);
  // fails only when the system cannot.
  virtual ResultadoSistema Estado() = 0;
};

// Opens the log file for writing only: created when missing, truncated when
// present, not inherited by child processes, readable but not writable by
// other processes while open (Windows; POSIX has no such sharing rule), a new
// file readable and writable (POSIX: 0666 less the umask). Fails with the
// system's code for a missing folder, refused access, a full disk and so on.
ResultadoSistema AbrirArquivoLog(const char* caminho, std::unique_ptr<ArquivoLog>* arquivo);

// Writes the text to the standard error stream at once, unbuffered (POSIX:
// converted to UTF-8). Failures are not reported.
void EscreverErroPadrao(std::string_view texto);

// The standard streams of a command-line program (validagia), byte for byte:
// no line-end translation, no conversion (Windows: the handles of the
// process, read and written as files). A closed standard stream reads as
// empty and swallows what is written to it; a failed write is reported.
ResultadoSistema LerEntradaPadrao(char* dados, std::size_t n, std::size_t* lidos);
ResultadoSistema EscreverSaidaPadrao(std::string_view bytes);
// True when the standard error stream is a terminal (Windows: a console).
[[nodiscard]] bool ErroPadraoEhTerminal();

// A message box with the caption, the text, a warning icon and one OK button;
// returns when it is closed. POSIX: one line "caption: text" on the standard
// error stream, converted to UTF-8, with each carriage return or line feed
// inside the text written as a blank. Texts are cp1252.
void MensagemAtencao(std::string_view titulo, std::string_view texto);

// ===========================================================================
// Processes: the environment, the clock and ids, the program's own path and
// command line, hidden children, sockets
// ===========================================================================

// The local time now, to the millisecond. Never fails.
struct HoraLocal {
  int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0, milissegundo = 0;
};
[[nodiscard]] HoraLocal AgoraLocal();

// The id the system gives the calling thread (Windows: GetCurrentThreadId;
// Linux: the kernel thread id) and the process id.
[[nodiscard]] long IdThreadAtual();
[[nodiscard]] long IdProcessoAtual();

// The value of an environment variable of the process; false when it is not
// set (an empty value is set).
[[nodiscard]] bool LerVariavel(const char* nome, std::string* valor);
// Sets the variable for the process and the children it starts afterwards.
// Fails only for an invalid name or when the system has no memory for it.
ResultadoSistema DefinirVariavel(const char* nome, const char* valor);

// Makes the folder the current folder of the process and of the children it
// starts afterwards. Fails with the system's code for a missing folder, a
// file of that name or refused access.
ResultadoSistema DefinirPastaAtual(const char* pasta);

// The full path of the running program (Windows: GetModuleFileName; POSIX:
// the link /proc/self/exe), whole whatever its length. Fails with the
// system's code and text when the system cannot tell.
ResultadoSistema CaminhoProprio(std::string* caminho);

// The command line of the running program, as two texts:
// - argumentos: Windows, what follows the program name in the command line
//   (the program name ends at the first blank or tab outside double quotes;
//   the blanks and tabs after it are skipped), as WinMain receives it;
//   POSIX, argv[1] onward joined by single blanks, each as received (no
//   quotes added or removed);
// - completa: Windows, the whole command line (GetCommandLine); POSIX,
//   argv[0], a blank and argumentos (argv[0] alone without arguments).
// Windows ignores argc and argv. Never fails.
void LinhaDeComando(int argc, char** argv, std::string* argumentos, std::string* completa);

// The arguments of the running program in UTF-8, argv[0] first. POSIX: argv
// as received. Windows: the wide command line split as the C runtime splits
// it (CommandLineToArgvW), so that a name outside the ANSI code page arrives
// whole; argv when the system cannot split it. Never fails.
std::vector<std::string> ArgumentosUtf8(int argc, char** argv);

// ".exe" on Windows, empty on POSIX: what follows a program's name in the
// name of its file.
[[nodiscard]] const char* SufixoPrograma();

// One anonymous pipe for one output stream of a child: the parent keeps the
// read end (not inherited by children); the write end is inheritable and is
// given to the child. The destructor closes both ends if still open, and
// waits for any read still in progress to be cancelled.
class Canal {
 public:
  Canal() = default;
  Canal(const Canal&) = delete;
  Canal& operator=(const Canal&) = delete;
  virtual ~Canal() = default;

  // The numbers by which the system knows the two ends (handle value, file
  // descriptor), for the log.
  [[nodiscard]] virtual long IdEscrita() const = 0;
  [[nodiscard]] virtual long IdLeitura() const = 0;
  virtual void FecharEscrita() = 0;
  virtual void FecharLeitura() = 0;
  [[nodiscard]] virtual bool LeituraAberta() const = 0;

  // Reads at most n (> 0) bytes, blocking until some are there. *lidos is 0
  // (with ok) when the stream has ended: every write end, the child's and
  // those its own children inherited, is closed. A failure is any other read
  // error. Call only while the read end is open.
  virtual ResultadoSistema Ler(char* dados, std::size_t n, std::size_t* lidos) = 0;
};

// Starting hidden children whose output streams go to Canais.
class Processos {
 public:
  Processos() = default;
  Processos(const Processos&) = delete;
  Processos& operator=(const Processos&) = delete;
  virtual ~Processos() = default;

  // The platform's own; lives for the whole process.
  static Processos& Padrao();

  // A new pipe with a buffer of about 5120 bytes (POSIX: the system's pipe
  // size). Fails with the system's code when no pipe can be had (no more
  // handles or descriptors, no memory).
  virtual ResultadoSistema CriarCanal(std::unique_ptr<Canal>* canal) = 0;

  // Starts the command line as a child process with the write end of saida as
  // its standard output, that of erro as its standard error and no standard
  // input (POSIX: /dev/null), hidden (Windows: SW_HIDE), with the parent's
  // environment and current folder, and closes the parent's handles of the
  // process and its thread at once (POSIX: the child is reaped when it is
  // found ended, never waited for). Windows: CreateProcess from the command
  // line alone, handles inherited. POSIX: the line is split by the Windows
  // rules (blanks and tabs separate, double quotes group, 2n backslashes
  // before a quote give n and the quote groups, 2n+1 give n and a literal
  // quote, "" inside quotes is a literal quote; the program name takes no
  // escapes) and the program is started directly, searched on PATH, never
  // through a shell. Fails with the system's code when the program is missing
  // (Windows ERROR_FILE_NOT_FOUND, POSIX ENOENT), not executable, or the
  // process cannot be created; an empty command line fails as a missing file.
  virtual ResultadoSistema IniciarOculto(std::string_view linha, Canal& saida, Canal& erro) = 0;

  // Waits, with no time limit, until one of the two Canais whose read end is
  // open can be read without blocking (data or the end of the stream) and
  // sets *pronto to 0 for the first, 1 for the second (the first when both
  // are). Both must come from this Processos. Fails when neither read end is
  // open or the system's wait fails.
  virtual ResultadoSistema AguardarCanais(Canal& primeiro, Canal& segundo, int* pronto) = 0;
};

// Forwards every call to another Processos, so that a test can break only
// the calls it wants to.
class ProcessosIntermediario : public Processos {
 public:
  explicit ProcessosIntermediario(Processos& alvo) : alvo_(alvo) {}
  ResultadoSistema CriarCanal(std::unique_ptr<Canal>* canal) override { return alvo_.CriarCanal(canal); }
  ResultadoSistema IniciarOculto(std::string_view linha, Canal& saida, Canal& erro) override {
    return alvo_.IniciarOculto(linha, saida, erro);
  }
  ResultadoSistema AguardarCanais(Canal& primeiro, Canal& segundo, int* pronto) override {
    return alvo_.AguardarCanais(primeiro, segundo, pronto);
  }

 private:
  Processos& alvo_;
};

// --- Sockets (Windows Sockets 1.1 on Windows, BSD sockets on POSIX), for the
// one TCP connection of the hand-off to a running client. Error codes are the
// sockets' own (WSAGetLastError, errno).

// One IPv4 stream socket. The destructor closes it (closesocket, close).
class Soquete {
 public:
  Soquete() = default;
  Soquete(const Soquete&) = delete;
  Soquete& operator=(const Soquete&) = delete;
  virtual ~Soquete() = default;

  // The number by which the system knows the socket, for the log.
  [[nodiscard]] virtual long Id() const = 0;
  // Connects, blocking, to the IPv4 address (host byte order: 0x7F000001 is
  // 127.0.0.1) and port. Fails with the sockets' code (nobody listens:
  // WSAECONNREFUSED, ECONNREFUSED).
  virtual ResultadoSistema Conectar(std::uint32_t endereco, std::uint16_t porta) = 0;
  // One send call, blocking, of the bytes; *enviados is what the system took
  // (it may take fewer). Never raises SIGPIPE. Fails with the sockets' code.
  virtual ResultadoSistema Enviar(const char* dados, std::size_t n, std::size_t* enviados) = 0;
  // Shuts down the sending direction: the peer reads the end of the stream.
  virtual ResultadoSistema EncerrarEnvio() = 0;
};

class Rede {
 public:
  Rede() = default;
  Rede(const Rede&) = delete;
  Rede& operator=(const Rede&) = delete;
  virtual ~Rede() = default;

  // The platform's own; lives for the whole process.
  static Rede& Padrao();

  // Starts Windows Sockets, version 1.1 (WSAStartup); fails with the code it
  // returns. POSIX: nothing to start, never fails.
  virtual ResultadoSistema Iniciar() = 0;
  // Releases Windows Sockets (WSACleanup) after a successful Iniciar, once
  // every socket is closed. POSIX: nothing.
  virtual void Liberar() = 0;
  // A new IPv4 stream socket, not inherited by child processes. Fails with
  // the sockets' code (no more sockets, no memory).
  virtual ResultadoSistema CriarSoquete(std::unique_ptr<Soquete>* soquete) = 0;
};

// Forwards every call to another Rede, so that a test can break only the
// calls it wants to.
class RedeIntermediaria : public Rede {
 public:
  explicit RedeIntermediaria(Rede& alvo) : alvo_(alvo) {}
  ResultadoSistema Iniciar() override { return alvo_.Iniciar(); }
  void Liberar() override { alvo_.Liberar(); }
  ResultadoSistema CriarSoquete(std::unique_ptr<Soquete>* soquete) override { return alvo_.CriarSoquete(soquete); }

 private:
  Rede& alvo_;
};

// ===========================================================================
// Modules
// ===========================================================================

// A function found in a library, as an untyped address.
using EnderecoFuncao = void (*)();

// A library or a program loaded as a module; unloaded when it goes.
class Biblioteca {
 public:
  Biblioteca() = default;
  Biblioteca(const Biblioteca&) = delete;
  Biblioteca& operator=(const Biblioteca&) = delete;
  virtual ~Biblioteca() = default;
  // kNaoEncontrado when the library has no function of that name.
  virtual Status Funcao(const std::string& nome, EnderecoFuncao* endereco) = 0;
};

// Loads a module that exports functions (a library, or a program such as
// jvmlaunch.exe) by its path, or by its file name as the system searches for
// it. Fails with the system's code when it is not there or cannot be loaded.
ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo);

// Makes the calling module's code usable when a host process has loaded it
// as a module: a program (jvmlaunch.exe) loaded that way may have its imports
// left unbound by the loader (Wine binds only those of libraries), and its
// start-up code never runs. Binds them once, from any thread; does nothing
// when the module is the process's own program, when the loader bound them,
// and on POSIX. Exported functions call it first.
void PreparaModuloCarregado();

}  // namespace plataforma
