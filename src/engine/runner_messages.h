#pragma once

#include <cstdint>

// The private messages that the hook library sends to the Runner's main window, numbered as the
// Runner's message table numbers them.
namespace vm {

constexpr uint32_t kWindowsUserMessage = 0x0400;  // WM_USER

constexpr uint32_t WM_RUNNER_MOVIE_CLICKED = kWindowsUserMessage + 3;
constexpr uint32_t WM_RUNNER_READY = kWindowsUserMessage + 4;
// wParam: the window being activated.
constexpr uint32_t WM_RUNNER_ACTIVATION = kWindowsUserMessage + 7;
constexpr uint32_t WM_RUNNER_SHOW_MENU = kWindowsUserMessage + 9;
constexpr uint32_t WM_RUNNER_DRAG_END = kWindowsUserMessage + 10;
// wParam: the mouse message that pressed the button.
constexpr uint32_t WM_RUNNER_DRAG_START = kWindowsUserMessage + 11;

}  // namespace vm
