// The loader of this program's own image, for a host process that loaded
// jvmlaunch.exe as a module to call LigarLog and EventoLog: a program loaded
// that way may be mapped away from its preferred base without its base
// relocations applied and with its imports left unbound (Wine binds only
// those of libraries), and its start-up code never runs.
//
// What it supports, and checks:
//   - a 64-bit image (PE32+), whose base relocations are of the kind
//     IMAGE_REL_BASED_DIR64 (IMAGE_REL_BASED_ABSOLUTE pads a block); an image
//     that holds any other kind is left as it was mapped, checked before any
//     relocation is applied;
//   - imports by name or by ordinal, bound through LoadLibraryA and
//     GetProcAddress; a descriptor whose table the loader bound is left alone;
//   - the four functions of kernel32 that it needs (LoadLibraryA,
//     GetProcAddress, VirtualQuery, VirtualProtect), found in kernel32's
//     export table by hand; a forwarded export is not followed and counts as
//     missing, and without all four nothing is done.
// Until the imports are bound no function of another module may be called,
// the C library's included (no memset, no string): the code below walks the
// process's module list and the export tables by hand, and initializes no
// structure the compiler could clear with a call.
//
// The pages it writes (the targets of the relocations, the entries of the
// import address table) are made writable one at a time and only for the
// write: a page that runs code keeps running it, one that is writable already
// is left as it is, and each gets back the protection it had.
//
// windows.h comes before the headers that build on it.
// clang-format off
#include "platform/win32_comum.h"
#include <winternl.h>
// clang-format on

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/ambiente.h"

extern "C" void _pei386_runtime_relocator();  // NOLINT(bugprone-reserved-identifier)

namespace plataforma {

namespace {

static_assert(sizeof(void*) == 8 && std::is_same_v<IMAGE_NT_HEADERS, IMAGE_NT_HEADERS64>,
              "the loader knows 64-bit images only, whose relocations are IMAGE_REL_BASED_DIR64");
static_assert(sizeof(IMAGE_THUNK_DATA) == sizeof(ULONG_PTR), "an entry of the import address table is one address");
static_assert(offsetof(PEB, Reserved3) + sizeof(PVOID) == 0x10,
              "the program's base (ImageBaseAddress) is the second pointer of Reserved3 in a 64-bit PEB");

// The page of x64 Windows, the unit of VirtualProtect and of a block of base
// relocations.
constexpr std::uintptr_t kPagina = 0x1000;

using LoadLibraryAFuncao = HMODULE(WINAPI*)(LPCSTR);
using GetProcAddressFuncao = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using VirtualQueryFuncao = SIZE_T(WINAPI*)(LPCVOID, PMEMORY_BASIC_INFORMATION, SIZE_T);
using VirtualProtectFuncao = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

// The functions of kernel32 that the loader calls.
struct Kernel32 {
  LoadLibraryAFuncao carrega;
  GetProcAddressFuncao procura;
  VirtualQueryFuncao consulta;
  VirtualProtectFuncao protege;
};

bool MesmoNome(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// True when the UTF-16 path ends with the ASCII name, ignoring case.
bool TerminaCom(const UNICODE_STRING& caminho, const char* nome) {
  std::size_t n = 0;
  while (nome[n] != '\0') ++n;
  const std::size_t total = caminho.Length / sizeof(wchar_t);
  if (caminho.Buffer == nullptr || total < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    wchar_t c = caminho.Buffer[total - n + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != static_cast<wchar_t>(nome[i])) return false;
  }
  return total == n || caminho.Buffer[total - n - 1] == L'\\' || caminho.Buffer[total - n - 1] == L'/';
}

const IMAGE_NT_HEADERS* Cabecalho(const void* base) {
  const auto* b = static_cast<const unsigned char*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(b + reinterpret_cast<const IMAGE_DOS_HEADER*>(b)->e_lfanew);
}

// The function that the module exports under the name; nullptr when it
// exports none, or only forwards the name to another module.
void* Exportada(void* modulo, const char* nome) {
  auto* b = static_cast<unsigned char*>(modulo);
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(b)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (d.VirtualAddress == 0) return nullptr;
  const auto* e = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(b + d.VirtualAddress);
  const auto* nomes = reinterpret_cast<const DWORD*>(b + e->AddressOfNames);
  const auto* ordinais = reinterpret_cast<const WORD*>(b + e->AddressOfNameOrdinals);
  const auto* funcoes = reinterpret_cast<const DWORD*>(b + e->AddressOfFunctions);
  for (DWORD i = 0; i < e->NumberOfNames; ++i) {
    if (!MesmoNome(reinterpret_cast<const char*>(b + nomes[i]), nome)) continue;
    const DWORD endereco = funcoes[ordinais[i]];
    // An address inside the export directory is the text of a forwarder.
    if (endereco >= d.VirtualAddress && endereco - d.VirtualAddress < d.Size) return nullptr;
    return b + endereco;
  }
  return nullptr;
}

// The process's environment block. GCC takes the read relative to the gs
// segment for an access through a null pointer.
const PEB* BlocoDoProcesso() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  return NtCurrentTeb()->ProcessEnvironmentBlock;
#pragma GCC diagnostic pop
}

void* ModuloKernel32(const PEB* peb) {
  const LIST_ENTRY* cabeca = &peb->Ldr->InMemoryOrderModuleList;
  for (const LIST_ENTRY* l = cabeca->Flink; l != cabeca; l = l->Flink) {
    const auto* m = CONTAINING_RECORD(l, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    if (TerminaCom(m->FullDllName, "kernel32.dll")) return m->DllBase;
  }
  return nullptr;
}

// The four functions, or false when kernel32 lacks one.
bool AchaKernel32(const PEB* peb, Kernel32* k) {
  void* modulo = ModuloKernel32(peb);
  if (modulo == nullptr) return false;
  k->carrega = reinterpret_cast<LoadLibraryAFuncao>(Exportada(modulo, "LoadLibraryA"));
  k->procura = reinterpret_cast<GetProcAddressFuncao>(Exportada(modulo, "GetProcAddress"));
  k->consulta = reinterpret_cast<VirtualQueryFuncao>(Exportada(modulo, "VirtualQuery"));
  k->protege = reinterpret_cast<VirtualProtectFuncao>(Exportada(modulo, "VirtualProtect"));
  return k->carrega != nullptr && k->procura != nullptr && k->consulta != nullptr && k->protege != nullptr;
}

// The module that holds this code, found by address: the linker's __ImageBase
// keeps the preferred base when the image is loaded elsewhere.
void* ModuloProprio(const PEB* peb) {
  const auto* aqui = reinterpret_cast<const unsigned char*>(&ModuloProprio);
  const LIST_ENTRY* cabeca = &peb->Ldr->InMemoryOrderModuleList;
  for (const LIST_ENTRY* l = cabeca->Flink; l != cabeca; l = l->Flink) {
    const auto* m = CONTAINING_RECORD(l, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    const auto* inicio = static_cast<const unsigned char*>(m->DllBase);
    if (inicio != nullptr && aqui >= inicio && aqui < inicio + Cabecalho(inicio)->OptionalHeader.SizeOfImage)
      return m->DllBase;
  }
  return nullptr;
}

// The protection that lets a page of the protection `atual` be written and
// keeps the rest (a page that runs code keeps running it); 0 for a page that
// cannot even be read.
DWORD Gravavel(DWORD atual) {
  constexpr DWORD kModificadores = PAGE_GUARD | PAGE_NOCACHE | PAGE_WRITECOMBINE;
  const DWORD modificadores = atual & kModificadores;
  switch (atual & ~kModificadores) {
    case PAGE_READONLY:
      return PAGE_READWRITE | modificadores;
    case PAGE_EXECUTE:
    case PAGE_EXECUTE_READ:
      return PAGE_EXECUTE_READWRITE | modificadores;
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
      return atual;
    default:
      return 0;
  }
}

// One page made writable while it lives, then given back its protection.
class PaginaGravavel {
 public:
  PaginaGravavel(const Kernel32& k, unsigned char* endereco)
      : k_(k), pagina_(endereco - (reinterpret_cast<std::uintptr_t>(endereco) & (kPagina - 1))) {
    MEMORY_BASIC_INFORMATION info;  // NOLINT(cppcoreguidelines-pro-type-member-init): VirtualQuery fills it
    if (k_.consulta(pagina_, &info, sizeof info) != sizeof info) return;
    const DWORD gravavel = Gravavel(info.Protect);
    if (gravavel == 0) return;
    if (gravavel == info.Protect) {
      gravavel_ = true;
      return;
    }
    mudou_ = k_.protege(pagina_, 1, gravavel, &antes_) != 0;
    gravavel_ = mudou_;
  }
  PaginaGravavel(const PaginaGravavel&) = delete;
  PaginaGravavel& operator=(const PaginaGravavel&) = delete;
  ~PaginaGravavel() {
    DWORD depois = 0;
    if (mudou_) k_.protege(pagina_, 1, antes_, &depois);
  }

  [[nodiscard]] bool gravavel() const { return gravavel_; }

 private:
  const Kernel32& k_;
  void* pagina_;
  DWORD antes_ = 0;
  bool mudou_ = false;
  bool gravavel_ = false;
};

// Writes one address into the image, each page that its bytes lie on made
// writable for this write alone. A page that cannot be made writable keeps
// what it holds: before the imports are bound there is nobody to tell.
void Grava(const Kernel32& k, ULONG_PTR* destino, ULONG_PTR valor) {
  auto* inicio = reinterpret_cast<unsigned char*>(destino);
  const PaginaGravavel primeira(k, inicio);
  const PaginaGravavel ultima(k, inicio + sizeof valor - 1);  // the same page, or the next one
  if (primeira.gravavel() && ultima.gravavel()) *destino = valor;
}

// An address that the base relocations keep up to date, when they are applied.
void* volatile const kEnderecoRelocado = reinterpret_cast<void*>(&ModuloProprio);

// Calls the function for each base relocation of the image: its kind and the
// address it fixes.
template <typename Funcao>
void ParaCadaRelocacao(unsigned char* base, Funcao funcao) {
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  const unsigned char* bloco = base + d.VirtualAddress;
  const unsigned char* fim = bloco + d.Size;
  while (d.VirtualAddress != 0 && bloco < fim) {
    const auto* b = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(bloco);
    if (b->SizeOfBlock < sizeof(IMAGE_BASE_RELOCATION)) break;
    const auto* item = reinterpret_cast<const WORD*>(b + 1);
    const std::size_t itens = (b->SizeOfBlock - sizeof(IMAGE_BASE_RELOCATION)) / sizeof(WORD);
    for (std::size_t i = 0; i < itens; ++i)
      funcao(item[i] >> 12, reinterpret_cast<ULONG_PTR*>(base + b->VirtualAddress + (item[i] & 0xFFF)));
    bloco += b->SizeOfBlock;
  }
}

// Applies the base relocations when the loader mapped the image away from its
// preferred base without applying them (as Wine does for a program). An image
// with a relocation of a kind not known here is left as it is.
void Reloca(const Kernel32& k, unsigned char* base) {
  const std::intptr_t delta =
      reinterpret_cast<const unsigned char*>(&ModuloProprio) - static_cast<const unsigned char*>(kEnderecoRelocado);
  if (delta == 0) return;
  bool conhecidas = true;
  ParaCadaRelocacao(base, [&](int tipo, ULONG_PTR*) {
    conhecidas = conhecidas && (tipo == IMAGE_REL_BASED_ABSOLUTE || tipo == IMAGE_REL_BASED_DIR64);
  });
  if (!conhecidas) return;
  ParaCadaRelocacao(base, [&](int tipo, ULONG_PTR* alvo) {
    if (tipo == IMAGE_REL_BASED_DIR64) Grava(k, alvo, *alvo + static_cast<ULONG_PTR>(delta));
  });
}

void VinculaImportacoes() {
  const PEB* peb = BlocoDoProcesso();
  auto* base = static_cast<unsigned char*>(ModuloProprio(peb));
  if (base == nullptr || peb->Reserved3[1] == base) return;  // the process's own program: bound at its start
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (d.VirtualAddress == 0) return;
  Kernel32 k;  // NOLINT(cppcoreguidelines-pro-type-member-init): AchaKernel32 sets every member
  if (!AchaKernel32(peb, &k)) return;
  Reloca(k, base);
  bool vinculou = false;
  for (auto* i = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + d.VirtualAddress); i->Name != 0; ++i) {
    auto* tabela = reinterpret_cast<IMAGE_THUNK_DATA*>(base + i->FirstThunk);
    const auto* nomes = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (i->OriginalFirstThunk != 0 ? i->OriginalFirstThunk : i->FirstThunk));
    // An entry that still holds what the name table holds was never bound.
    if (tabela->u1.Function != nomes->u1.AddressOfData) continue;
    HMODULE m = k.carrega(reinterpret_cast<const char*>(base + i->Name));
    if (m == nullptr) continue;
    for (; nomes->u1.AddressOfData != 0; ++nomes, ++tabela) {
      // GetProcAddress takes an ordinal in place of the name's address.
      const char* nome = IMAGE_SNAP_BY_ORDINAL(nomes->u1.Ordinal)
                             ? reinterpret_cast<const char*>(  // NOLINT(performance-no-int-to-ptr)
                                   static_cast<ULONG_PTR>(IMAGE_ORDINAL(nomes->u1.Ordinal)))
                             : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + nomes->u1.AddressOfData)->Name;
      Grava(k, &tabela->u1.Function, reinterpret_cast<ULONG_PTR>(k.procura(m, nome)));
    }
    vinculou = true;
  }
  // The MinGW runtime's own fix-ups of the data that refers to imports.
  if (vinculou) _pei386_runtime_relocator();
}

constinit std::atomic<int> estado_modulo{0};  // 0 not yet, 1 binding, 2 done

}  // namespace

void PreparaModuloCarregado() {
  int esperado = 0;
  if (estado_modulo.load(std::memory_order_acquire) == 2) return;
  if (estado_modulo.compare_exchange_strong(esperado, 1, std::memory_order_acq_rel)) {
    VinculaImportacoes();
    estado_modulo.store(2, std::memory_order_release);
    return;
  }
  while (estado_modulo.load(std::memory_order_acquire) != 2) YieldProcessor();
}

}  // namespace plataforma
