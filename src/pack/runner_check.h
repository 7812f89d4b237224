#pragma once

#include <cstdint>
#include <string>

#include "support/file_stream.h"

namespace vm::pack {

// Refuses (Exception naming the file) a base that is not a Runner of this project, whatever its
// first bytes: it must be a Windows program (PE32 or PE32+), not a DLL, whose resources hold the
// dialogs "SETUP_DIALOG" and "PW_DIALOG" and the icon group "MAINICON", which the Runner loads
// by name. Only the bytes before its first session are read. Returns the program's machine.
uint16_t CheckRunner(FileStream& base);

}  // namespace vm::pack
