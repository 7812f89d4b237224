#pragma once

#include <windows.h>

#include "engine/shared_block.h"

namespace vm {

// Asks the Runner to end the movie politely, as its close request does: the runner message with
// wParam 0, posted to the Runner's thread. ERROR_SUCCESS, or the system's error code.
DWORD AskRunnerToEndMovie(const SharedBlockView& block);

}  // namespace vm
