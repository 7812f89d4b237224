#pragma once

#include <windows.h>

namespace vm {

constexpr char kMainWindowClass[] = "GaGaMossantWindow";
constexpr UINT WM_RUNNER_START = WM_USER + 1;  // posted by start-up: run the session

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace vm
