#include "hooklib/hook_session_win.h"

#include <optional>
#include <string>

#include "engine/shared_block.h"
#include "hooklib/library_name.h"
#include "support/win_handles.h"

namespace vm {
namespace {

// Mapped while the library stays loaded; unmapped as it unloads.
UniqueView g_block;

}  // namespace

void OpenHookSession(HMODULE library) noexcept {
  try {
    const std::optional<std::string> name = SharedMappingNameFor(LibraryPath(library));
    if (!name) return;
    // The view keeps the mapping alive; the handle is not needed beyond this.
    const UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name->c_str()));
    if (!mapping) return;
    g_block.reset(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kSharedBlockSize));
  } catch (...) {
    // Without memory for a name the library stays idle, as without a mapping.
  }
}

const uint8_t* HookSessionBlock() { return static_cast<const uint8_t*>(g_block.get()); }

std::string LibraryPath(HMODULE library) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

}  // namespace vm
