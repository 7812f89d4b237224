#include "hooklib/hook_decisions.h"

namespace vm {

bool ActsInProcess(const SharedBlockView& block, uint32_t processId) {
  const uint32_t projector = block.Get(kBlockProjectorProcessId);
  return projector != 0 && projector == processId && block.Get(kBlockMainWindow) != 0;
}

bool MovieJustEmbedded(const SharedBlockView& block, uint32_t movieParent) {
  const uint32_t mainWindow = block.Get(kBlockMainWindow);
  return block.Get(kBlockProjectorWindow) != 0 && mainWindow != 0 && movieParent == mainWindow &&
         !block.IsSet(kBlockProjectorReady);
}

// The Runner closes the movie on ESC: its first press is passed on once, and the projector sees
// none of it, since it would leave its full-screen mode on ESC just before it closes.
KeyResponse DecideKey(const SharedBlockView& block, const KeyEvent& event) {
  KeyResponse response;
  if (event.code != kHookAction || !event.focusOnMovie) return response;
  if (event.virtualKey == kKeyEscape && block.IsSet(kBlockExitOnEsc) && !(event.flags & kKeyReleased)) {
    response.sendEscape = !(event.flags & kKeyWasDown);
    response.swallow = true;
  }
  return response;
}

// The projector's own context menu would offer its player commands inside the Runner's frame, so
// the right button never reaches it; its release opens the Runner's menu when there is one.
MouseResponse DecideMouse(const SharedBlockView& block, const MouseEvent& event) {
  MouseResponse response;
  if (event.code != kHookAction || !event.onMovie) return response;
  switch (event.message) {
    case kLeftButtonDown:
    case kLeftButtonDoubleClick:
      response.movieClicked = true;
      response.dragStart = block.IsSet(kBlockDraggable);
      break;
    case kLeftButtonUp:
      response.dragEnd = block.IsSet(kBlockDraggable);
      break;
    case kMiddleButtonDown:
    case kMiddleButtonDoubleClick:
    case kFrameLeftButtonDown:
    case kFrameLeftButtonDoubleClick:
    case kFrameMiddleButtonDown:
    case kFrameMiddleButtonDoubleClick:
      response.movieClicked = true;
      break;
    case kRightButtonDown:
    case kRightButtonDoubleClick:
    case kFrameRightButtonDown:
    case kFrameRightButtonDoubleClick:
      response.movieClicked = true;
      response.swallow = true;
      break;
    case kRightButtonUp:
    case kFrameRightButtonUp:
      response.showMenu = !block.IsSet(kBlockRightClickMenuOff);
      response.swallow = true;
      break;
  }
  return response;
}

}  // namespace vm
