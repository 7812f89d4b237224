#include "hooklib/windows_key.h"

namespace vm {
namespace {

// The key's bit in WindowsKeyFilter's record, 0 for any other key.
uint32_t KeyBit(uint32_t virtualKey) {
  switch (virtualKey) {
    case kKeyLeftWindows: return 1u;
    case kKeyRightWindows: return 2u;
    case kKeyApplications: return 4u;
  }
  return 0;
}

}  // namespace

bool WindowsKeysKept(const SharedBlockView& block, uint32_t foregroundRoot) {
  const uint32_t mainWindow = block.Get(kBlockMainWindow);
  return block.IsSet(kBlockDisableWindowsKey) && mainWindow != 0 && foregroundRoot == mainWindow;
}

bool WindowsKeyFilter::Keeps(uint32_t virtualKey, bool keyUp, bool kept) {
  const uint32_t bit = KeyBit(virtualKey);
  if (bit == 0) return false;
  const bool pressKept = (kept_ & bit) != 0;
  if (keyUp) {
    kept_ &= ~bit;
    passed_ &= ~bit;
    return pressKept;
  }
  // Auto-repeats go where the press that started them went.
  if (!pressKept && ((passed_ & bit) != 0 || !kept)) {
    passed_ |= bit;
    return false;
  }
  kept_ |= bit;
  return true;
}

}  // namespace vm
