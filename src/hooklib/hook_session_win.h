#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/shared_block.h"

namespace vm {

// Maps, for reading, the shared block of the Runner instance that the library's own file name
// numbers. Called once, as the library is loaded into a process; when the name carries no
// number or the mapping is missing, the library only passes events on.
void OpenHookSession(HMODULE library) noexcept;

// Unmaps the block, as the library unloads.
void CloseHookSession() noexcept;

// The library's own module, once loaded.
HMODULE HookLibraryModule();

// The mapped block, or nullptr.
const uint8_t* HookSessionBlock();

// Writes one field of the block. The view that every process maps is for reading; the one write
// goes through a view opened for it alone. False when the mapping cannot be opened so.
bool WriteSessionBlock(DwordField field, uint32_t value) noexcept;

// Writes the library's full path into `path`; false when the system gives none within MAX_PATH.
bool LibraryPath(HMODULE library, char (&path)[MAX_PATH]);

// Takes a reference on the library that is never released. The system unloads the library from a
// process once the Runner's hooks are gone, but what the library leaves in the process (a watch
// hook, patched imports, a window procedure, a thread) calls into it for as long as the process
// runs.
bool KeepLibraryLoaded();

}  // namespace vm
