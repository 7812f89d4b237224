#include "hooklib/hook_session_win.h"

#include "engine/shared_block.h"
#include "hooklib/library_name.h"
#include "support/win_handles.h"

namespace vm {
namespace {

// Mapped while the library stays loaded. A plain pointer: the library has no runtime to run the
// destructor of a global, so its unloading unmaps it.
void* g_block = nullptr;
HMODULE g_library = nullptr;

}  // namespace

void OpenHookSession(HMODULE library) noexcept {
  g_library = library;
  char path[MAX_PATH];
  char name[kSharedMappingNameCapacity];
  if (!LibraryPath(library, path) || !SharedMappingNameFor(path, name)) return;
  // The view keeps the mapping alive; the handle is not needed beyond this.
  const UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name));
  if (!mapping) return;
  g_block = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kSharedBlockSize);
}

bool WriteSessionBlock(DwordField field, uint32_t value) noexcept {
  char path[MAX_PATH];
  char name[kSharedMappingNameCapacity];
  if (!LibraryPath(g_library, path) || !SharedMappingNameFor(path, name)) return false;
  const UniqueHandle mapping(OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
  if (!mapping) return false;
  const UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, kSharedBlockSize));
  if (!view) return false;
  SharedBlock(static_cast<uint8_t*>(view.get())).Set(field, value);
  return true;
}

void CloseHookSession() noexcept {
  if (g_block) UnmapViewOfFile(g_block);
  g_block = nullptr;
}

HMODULE HookLibraryModule() { return g_library; }

const uint8_t* HookSessionBlock() { return static_cast<const uint8_t*>(g_block); }

bool LibraryPath(HMODULE library, char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
  return length > 0 && length < MAX_PATH;
}

bool KeepLibraryLoaded() {
  char path[MAX_PATH];
  return LibraryPath(g_library, path) && LoadLibraryA(path) != nullptr;
}

}  // namespace vm
