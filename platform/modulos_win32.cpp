// Modules on Windows: libraries and programs loaded with LoadLibrary, and the
// binding of this program's imports when a host loaded it as a module.
// windows.h comes before the headers that build on it.
// clang-format off
#include "platform/win32_comum.h"
#include <winternl.h>
// clang-format on

#include <atomic>
#include <memory>
#include <string>

#include "platform/ambiente.h"

extern "C" void _pei386_runtime_relocator();  // NOLINT(bugprone-reserved-identifier)

namespace plataforma {

using win32::Cp1252ParaUtf16;
using win32::FalhouAgora;
using win32::UltimoErro;

namespace {

class BibliotecaWin32 final : public Biblioteca {
 public:
  explicit BibliotecaWin32(HMODULE m) : m_(m) {}
  ~BibliotecaWin32() override { ::FreeLibrary(m_); }

  Status Funcao(const std::string& nome, EnderecoFuncao* endereco) override {
    FARPROC f = ::GetProcAddress(m_, nome.c_str());
    if (f == nullptr) return UltimoErro();
    *endereco = reinterpret_cast<EnderecoFuncao>(f);  // NOLINT: GetProcAddress's contract
    return Status::Ok();
  }

 private:
  HMODULE m_;
};

}  // namespace

namespace win32 {

Status CarregaBiblioteca(const std::wstring& nome, std::unique_ptr<Biblioteca>* biblioteca) {
  HMODULE m = ::LoadLibraryW(nome.c_str());
  if (m == nullptr) return UltimoErro();
  *biblioteca = std::make_unique<BibliotecaWin32>(m);
  return Status::Ok();
}

}  // namespace win32

ResultadoSistema CarregarModulo(const char* caminho, std::unique_ptr<Biblioteca>* modulo) {
  HMODULE m = ::LoadLibraryW(Cp1252ParaUtf16(caminho).c_str());
  if (m == nullptr) return FalhouAgora();
  *modulo = std::make_unique<BibliotecaWin32>(m);
  return {};
}

// ---------------------------------------------------------------------------
// Binding the imports of jvmlaunch.exe when a host loaded it as a module.
// Until the imports are bound no function of another module may be called,
// the C library's included: the code below walks the process's module list
// and the export table of kernel32 by hand.
// ---------------------------------------------------------------------------
namespace {

using LoadLibraryAFuncao = HMODULE(WINAPI*)(LPCSTR);
using GetProcAddressFuncao = FARPROC(WINAPI*)(HMODULE, LPCSTR);

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

void* Exportada(void* modulo, const char* nome) {
  auto* b = static_cast<unsigned char*>(modulo);
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(b)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (d.VirtualAddress == 0) return nullptr;
  const auto* e = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(b + d.VirtualAddress);
  const auto* nomes = reinterpret_cast<const DWORD*>(b + e->AddressOfNames);
  const auto* ordinais = reinterpret_cast<const WORD*>(b + e->AddressOfNameOrdinals);
  const auto* funcoes = reinterpret_cast<const DWORD*>(b + e->AddressOfFunctions);
  for (DWORD i = 0; i < e->NumberOfNames; ++i)
    if (MesmoNome(reinterpret_cast<const char*>(b + nomes[i]), nome)) return b + funcoes[ordinais[i]];
  return nullptr;
}

void* Kernel32(const PEB* peb) {
  const LIST_ENTRY* cabeca = &peb->Ldr->InMemoryOrderModuleList;
  for (const LIST_ENTRY* l = cabeca->Flink; l != cabeca; l = l->Flink) {
    const auto* m = CONTAINING_RECORD(l, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    if (TerminaCom(m->FullDllName, "kernel32.dll")) return m->DllBase;
  }
  return nullptr;
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

using ProtegeFuncao = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD, PDWORD);

// An address that the base relocations keep up to date, when they are applied.
void* volatile const kEnderecoRelocado = reinterpret_cast<void*>(&ModuloProprio);

// Applies the base relocations when the loader mapped the image away from its
// preferred base without applying them (as Wine does for a program).
void Reloca(unsigned char* base, void* kernel32) {
  const std::intptr_t delta =
      reinterpret_cast<const unsigned char*>(&ModuloProprio) - static_cast<const unsigned char*>(kEnderecoRelocado);
  if (delta == 0) return;
  auto protege = reinterpret_cast<ProtegeFuncao>(Exportada(kernel32, "VirtualProtect"));
  const IMAGE_NT_HEADERS* nt = Cabecalho(base);
  const IMAGE_DATA_DIRECTORY& d = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  if (protege == nullptr || d.VirtualAddress == 0) return;
  DWORD antes = 0;
  protege(base, nt->OptionalHeader.SizeOfImage, PAGE_EXECUTE_READWRITE, &antes);
  const unsigned char* bloco = base + d.VirtualAddress;
  const unsigned char* fim = bloco + d.Size;
  while (bloco < fim) {
    const auto* b = reinterpret_cast<const IMAGE_BASE_RELOCATION*>(bloco);
    if (b->SizeOfBlock < sizeof(IMAGE_BASE_RELOCATION)) break;
    const auto* item = reinterpret_cast<const WORD*>(b + 1);
    const std::size_t itens = (b->SizeOfBlock - sizeof(IMAGE_BASE_RELOCATION)) / sizeof(WORD);
    for (std::size_t i = 0; i < itens; ++i) {
      if ((item[i] >> 12) != IMAGE_REL_BASED_DIR64) continue;
      auto* alvo = reinterpret_cast<std::intptr_t*>(base + b->VirtualAddress + (item[i] & 0xFFF));
      *alvo += delta;
    }
    bloco += b->SizeOfBlock;
  }
  // Pages go back to what the sections ask for: code executable, data writable.
  const IMAGE_SECTION_HEADER* secao = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++secao) {
    const DWORD c = secao->Characteristics;
    const bool executa = (c & IMAGE_SCN_MEM_EXECUTE) != 0;
    const bool escreve = (c & IMAGE_SCN_MEM_WRITE) != 0;
    const DWORD modo =
        executa ? (escreve ? PAGE_EXECUTE_READWRITE : PAGE_EXECUTE_READ) : (escreve ? PAGE_READWRITE : PAGE_READONLY);
    protege(base + secao->VirtualAddress, secao->Misc.VirtualSize, modo, &antes);
  }
}

void VinculaImportacoes() {
  const PEB* peb = NtCurrentTeb()->ProcessEnvironmentBlock;
  auto* base = static_cast<unsigned char*>(ModuloProprio(peb));
  if (base == nullptr || peb->Reserved3[1] == base) return;  // the process's own program: bound at its start
  const IMAGE_DATA_DIRECTORY& d = Cabecalho(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (d.VirtualAddress == 0) return;
  void* kernel32 = Kernel32(peb);
  if (kernel32 == nullptr) return;
  auto carrega = reinterpret_cast<LoadLibraryAFuncao>(Exportada(kernel32, "LoadLibraryA"));
  auto procura = reinterpret_cast<GetProcAddressFuncao>(Exportada(kernel32, "GetProcAddress"));
  if (carrega == nullptr || procura == nullptr) return;
  Reloca(base, kernel32);
  bool vinculou = false;
  for (auto* i = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + d.VirtualAddress); i->Name != 0; ++i) {
    auto* tabela = reinterpret_cast<IMAGE_THUNK_DATA*>(base + i->FirstThunk);
    const auto* nomes = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (i->OriginalFirstThunk != 0 ? i->OriginalFirstThunk : i->FirstThunk));
    // An entry that still holds what the name table holds was never bound.
    if (tabela->u1.Function != nomes->u1.AddressOfData) continue;
    HMODULE m = carrega(reinterpret_cast<const char*>(base + i->Name));
    if (m == nullptr) continue;
    for (; nomes->u1.AddressOfData != 0; ++nomes, ++tabela) {
      const char* nome = IMAGE_SNAP_BY_ORDINAL(nomes->u1.Ordinal)
                             ? reinterpret_cast<const char*>(static_cast<ULONG_PTR>(IMAGE_ORDINAL(nomes->u1.Ordinal)))
                             : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + nomes->u1.AddressOfData)->Name;
      tabela->u1.Function = reinterpret_cast<ULONG_PTR>(procura(m, nome));
    }
    vinculou = true;
  }
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
