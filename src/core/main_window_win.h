#pragma once

#include <windows.h>

namespace vm {

constexpr char kMainWindowClass[] = "GaGaMossantWindow";
constexpr UINT WM_RUNNER_START = WM_USER + 1;       // posted by start-up: run the session
constexpr UINT WM_RUNNER_START_MIDI = WM_USER + 6;  // posted once the movie is up

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vm
