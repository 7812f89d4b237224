#pragma once

#include <windows.h>

#include "core/main_window_creation_win.h"
#include "engine/runner_messages.h"

namespace vm {


LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vm
