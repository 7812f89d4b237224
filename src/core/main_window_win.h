#pragma once

#include <windows.h>

#include "core/main_window_creation_win.h"

namespace vm {

constexpr UINT WM_RUNNER_START = WM_USER + 1;       // posted by start-up: run the session
constexpr UINT WM_RUNNER_START_MIDI = WM_USER + 6;  // posted once the movie is up

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vm
