#pragma once

#include <cstdint>

#include "engine/shared_block.h"

// Which presses of the Windows keys (left, right) and of the application-menu key the Runner
// keeps from the system while its movie has the focus.
namespace vm {

constexpr uint32_t kKeyLeftWindows = 0x5B;  // VK_LWIN
constexpr uint32_t kKeyRightWindows = 0x5C;
constexpr uint32_t kKeyApplications = 0x5D;

// True while the block asks for the Windows keys to be kept (offset 73) and the foreground
// window (foregroundRoot: its top-level window) is the Runner's main window, which holds the movie.
bool WindowsKeysKept(const SharedBlockView& block, uint32_t foregroundRoot);

// A key's release goes where its press went: a release kept from the system whose press it saw
// would leave the key down for it, and a release that it sees alone can still open the Start menu.
class WindowsKeyFilter {
 public:
  // keyUp: the event releases the key; kept: WindowsKeysKept at this moment. True when the event
  // is to be kept from the system.
  bool Keeps(uint32_t virtualKey, bool keyUp, bool kept);

 private:
  // One bit per key that is down: its press kept from the system, or let through.
  uint32_t kept_ = 0;
  uint32_t passed_ = 0;
};

}  // namespace vm
