#pragma once

#include <windows.h>

#include "core/window_layout.h"
#include "engine/runner_messages.h"

namespace vm {

// Creates the hidden main window of the registered class with the layout's styles and rectangle.
// A window that cannot be created ends the run: throws vm::Exception naming the call and the error.
HWND CreateMainWindow(const WindowLayout& layout, HINSTANCE instance);

}  // namespace vm
