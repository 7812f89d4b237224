#pragma once

#include <cstdint>

#include "engine/shared_block.h"

// What a hook event inside the projector asks of the library, given the Runner's shared block.
namespace vm {

// Windows' own numbers for what the hooks report; the Win32 half checks them against windows.h.
constexpr int kHookAction = 0;  // HC_ACTION: the message is being taken from the queue
constexpr uint32_t kKeyEscape = 0x1B;
constexpr uint32_t kKeyReleased = 0x80000000u;    // keystroke flags: the key goes up
constexpr uint32_t kKeyWasDown = 0x40000000u;     // keystroke flags: auto-repeat
constexpr uint32_t kLeftButtonDown = 0x0201;      // WM_LBUTTONDOWN
constexpr uint32_t kLeftButtonUp = 0x0202;
constexpr uint32_t kLeftButtonDoubleClick = 0x0203;
constexpr uint32_t kRightButtonDown = 0x0204;
constexpr uint32_t kRightButtonUp = 0x0205;
constexpr uint32_t kRightButtonDoubleClick = 0x0206;
constexpr uint32_t kMiddleButtonDown = 0x0207;
constexpr uint32_t kMiddleButtonUp = 0x0208;
constexpr uint32_t kMiddleButtonDoubleClick = 0x0209;
constexpr uint32_t kExtraButtonDown = 0x020B;  // WM_XBUTTONDOWN
constexpr uint32_t kExtraButtonUp = 0x020C;
constexpr uint32_t kExtraButtonDoubleClick = 0x020D;
constexpr uint32_t kFrameLeftButtonDown = 0x00A1;  // WM_NCLBUTTONDOWN
constexpr uint32_t kFrameLeftButtonUp = 0x00A2;
constexpr uint32_t kFrameLeftButtonDoubleClick = 0x00A3;
constexpr uint32_t kFrameRightButtonDown = 0x00A4;
constexpr uint32_t kFrameRightButtonUp = 0x00A5;
constexpr uint32_t kFrameRightButtonDoubleClick = 0x00A6;
constexpr uint32_t kFrameMiddleButtonDown = 0x00A7;
constexpr uint32_t kFrameMiddleButtonUp = 0x00A8;
constexpr uint32_t kFrameMiddleButtonDoubleClick = 0x00A9;

// True in the projector's process while its session runs: the block names this process and the
// Runner's main window. The Runner's clean-up clears both, and from then on the library is idle.
bool ActsInProcess(const SharedBlockView& block, uint32_t processId);

// True when the movie window at offset 48 has become a direct child of the Runner's main window
// (movieParent: its parent now, 0 for none) and the Runner has not yet taken the ready notice.
bool MovieJustEmbedded(const SharedBlockView& block, uint32_t movieParent);

// True while the Runner may still wait for the projector's full-screen command, which the library
// has not handed over yet: the session runs and the Runner has not taken the ready notice, which
// follows the embedding and with it the full-screen switch.
bool AwaitsFullScreenCommand(const SharedBlockView& block);

struct KeyEvent {
  int code;
  uint32_t virtualKey;
  uint32_t flags;     // the keystroke flags (the hook's lParam)
  bool focusOnMovie;  // the keyboard focus is the movie window or inside it
};

struct KeyResponse {
  bool sendEscape = false;  // WM_CHAR 27 to the main window
  bool endMovie = false;    // the runner message with wParam 0 to the Runner's thread
  bool swallow = false;     // the projector never sees the key
  bool operator==(const KeyResponse& other) const {
    return sendEscape == other.sendEscape && endMovie == other.endMovie && swallow == other.swallow;
  }
};

KeyResponse DecideKey(const SharedBlockView& block, const KeyEvent& event);

struct MouseEvent {
  int code;
  uint32_t message;
  bool onMovie;  // the message is for the movie window or a window inside it
};

struct MouseResponse {
  bool movieClicked = false;  // WM_USER+3
  bool dragStart = false;     // WM_USER+11 with WM_LBUTTONDOWN
  bool dragEnd = false;       // WM_USER+10
  bool showMenu = false;      // WM_USER+9
  bool endMovie = false;      // the runner message with wParam 0 to the Runner's thread
  bool swallow = false;       // the projector never sees the message
  bool operator==(const MouseResponse& other) const {
    return movieClicked == other.movieClicked && dragStart == other.dragStart && dragEnd == other.dragEnd &&
           showMenu == other.showMenu && endMovie == other.endMovie && swallow == other.swallow;
  }
};

MouseResponse DecideMouse(const SharedBlockView& block, const MouseEvent& event);

}  // namespace vm
