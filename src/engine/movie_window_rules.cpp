#include "engine/movie_window_rules.h"

namespace vm {

bool RefusesSystemCommand(const SharedBlockView& block, uint32_t command, int32_t argument) {
  if (!block.IsSet(kBlockDisableScreenSaver)) return false;
  switch (command & kCommandTypeMask) {
    case kScreenSaveCommand: return true;
    case kMonitorPowerCommand: return argument != kMonitorPowerOn;
  }
  return false;
}

bool HidesCursor(const SharedBlockView& block, int hitTest) {
  return block.IsSet(kBlockHideCursor) && hitTest == kHitClient;
}

}  // namespace vm
