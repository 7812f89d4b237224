#pragma once

#include <cstdint>

#include "engine/shared_block.h"

// What the movie window, inside the projector, turns away or changes while its session runs.
namespace vm {

// Windows' own numbers; the Win32 half checks them against windows.h.
constexpr uint32_t kCommandTypeMask = 0xFFF0;  // the system keeps the low four bits of a command
constexpr uint32_t kScreenSaveCommand = 0xF140;   // SC_SCREENSAVE
constexpr uint32_t kMonitorPowerCommand = 0xF170;  // SC_MONITORPOWER
constexpr int32_t kMonitorPowerOn = -1;            // SC_MONITORPOWER's argument for "on"
constexpr int kHitClient = 1;                      // HTCLIENT

// True when a WM_SYSCOMMAND (its wParam and lParam) would start the screen saver or power the
// monitor down while the Runner asks for the display to stay on. Turning the monitor on goes
// through.
bool RefusesSystemCommand(const SharedBlockView& block, uint32_t command, int32_t argument);

// True when the cursor is to be hidden where WM_SETCURSOR's hit-test code puts it: over the movie
// itself, not over a frame the projector may still draw around it.
bool HidesCursor(const SharedBlockView& block, int hitTest);

}  // namespace vm
