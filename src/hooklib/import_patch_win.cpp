#include "hooklib/import_patch_win.h"

#include "hooklib/address_request.h"

namespace vm {
namespace {

template <typename T>
const T* At(HMODULE module, DWORD offset) {
  return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + offset);
}

const IMAGE_IMPORT_DESCRIPTOR* FirstImport(HMODULE module) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0 || imports.Size == 0) return nullptr;
  return At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress);
}

bool SameText(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

// Some linkers leave out the names (no lookup table) once the entries are bound; then the entry
// is recognised by the address the system gave it.
bool IsEntryFor(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& import, size_t index, const char* function,
                const void* address) {
  const auto* entries = At<IMAGE_THUNK_DATA>(module, import.FirstThunk);
  if (import.OriginalFirstThunk == 0) return address && reinterpret_cast<const void*>(entries[index].u1.Function) == address;
  const IMAGE_THUNK_DATA& lookup = At<IMAGE_THUNK_DATA>(module, import.OriginalFirstThunk)[index];
  if (IMAGE_SNAP_BY_ORDINAL(lookup.u1.Ordinal)) return false;
  const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(lookup.u1.AddressOfData));
  return SameText(reinterpret_cast<const char*>(byName->Name), function);
}

bool Replace(IMAGE_THUNK_DATA& entry, void* replacement, void** original) {
  DWORD protection = 0;
  if (!VirtualProtect(&entry, sizeof entry, PAGE_READWRITE, &protection)) return false;
  *original = reinterpret_cast<void*>(entry.u1.Function);
  entry.u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
  VirtualProtect(&entry, sizeof entry, protection, &protection);
  return true;
}

}  // namespace

bool PatchImport(HMODULE module, const char* library, const char* function, void* replacement, void** original) {
  const HMODULE loaded = GetModuleHandleA(library);
  const void* address = loaded ? reinterpret_cast<const void*>(GetProcAddress(loaded, function)) : nullptr;
  for (const IMAGE_IMPORT_DESCRIPTOR* import = FirstImport(module); import && import->Name != 0; ++import) {
    if (!EqualIgnoringCase(At<char>(module, import->Name), library)) continue;
    auto* entries = const_cast<IMAGE_THUNK_DATA*>(At<IMAGE_THUNK_DATA>(module, import->FirstThunk));
    for (size_t i = 0; entries[i].u1.Function != 0; ++i)
      if (IsEntryFor(module, *import, i, function, address)) return Replace(entries[i], replacement, original);
  }
  return false;
}

}  // namespace vm
