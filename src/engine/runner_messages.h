#pragma once

#include <cstdint>

// The private messages of the Runner's main window, the whole WM_USER table in number order. The
// Runner posts WM_USER+1 and WM_USER+6 to itself; the others come from the hook library, which
// includes this header too. WM_USER+2, +5 and +13 mean nothing; WM_USER+1 to WM_USER+50 never
// get default processing.
namespace vm {

constexpr uint32_t kWindowsUserMessage = 0x0400;  // WM_USER

constexpr uint32_t WM_RUNNER_START = kWindowsUserMessage + 1;  // posted by start-up: run the session
constexpr uint32_t WM_RUNNER_MOVIE_CLICKED = kWindowsUserMessage + 3;
constexpr uint32_t WM_RUNNER_READY = kWindowsUserMessage + 4;
constexpr uint32_t WM_RUNNER_START_MIDI = kWindowsUserMessage + 6;  // posted once the movie is up
// wParam: the window being activated.
constexpr uint32_t WM_RUNNER_ACTIVATION = kWindowsUserMessage + 7;
constexpr uint32_t WM_RUNNER_FOREGROUND = kWindowsUserMessage + 8;
constexpr uint32_t WM_RUNNER_SHOW_MENU = kWindowsUserMessage + 9;
// The button went up: the drag ends as on WM_CANCELMODE, its timer with it.
constexpr uint32_t WM_RUNNER_CANCEL_DRAG = kWindowsUserMessage + 10;
// wParam: the mouse message that pressed the button.
constexpr uint32_t WM_RUNNER_DRAG_START = kWindowsUserMessage + 11;
// wParam 0: close the main window.
constexpr uint32_t WM_RUNNER_CLOSE = kWindowsUserMessage + 12;
// Only the dragging flag is cleared; a running drag timer stays and finds nothing to move.
constexpr uint32_t WM_RUNNER_CLEAR_DRAGGING = kWindowsUserMessage + 14;

constexpr uint32_t kFirstRunnerMessage = kWindowsUserMessage + 1;
constexpr uint32_t kLastRunnerMessage = kWindowsUserMessage + 50;

// The class of the Runner's main window, which the projector's movie window is embedded in.
constexpr char kMainWindowClass[] = "GaGaMossantWindow";

// Registered by every Runner: lParam is a global atom naming an executable; wParam is 0 to close
// the Runner of that name, or the main window of a Runner whose session ends.
constexpr char kGlobalCloseMessageName[] = "VGlobalCloseMessage_s-z";

}  // namespace vm
