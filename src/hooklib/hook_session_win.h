#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vm {

// Maps, for reading, the shared block of the Runner instance that the library's own file name
// numbers. Called once, as the library is loaded into a process; when the name carries no
// number or the mapping is missing, the library only passes events on.
void OpenHookSession(HMODULE library) noexcept;

// The mapped block, or nullptr.
const uint8_t* HookSessionBlock();

// The library's full path; empty when the system gives none within MAX_PATH.
std::string LibraryPath(HMODULE library);

}  // namespace vm
