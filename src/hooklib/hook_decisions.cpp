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

bool AwaitsFullScreenCommand(const SharedBlockView& block) {
  return block.Get(kBlockFullScreenCommand) == 0 && block.Get(kBlockMainWindow) != 0 &&
         !block.IsSet(kBlockProjectorReady);
}

namespace {

enum class Stroke { None, Press, Release };

struct ButtonMessage {
  Stroke stroke;
  bool right;         // the right button, in the client area or on the frame
  bool leftInClient;  // the left button in the client area: the one that drags
};

ButtonMessage ButtonOf(uint32_t message) {
  switch (message) {
    case kLeftButtonDown:
    case kLeftButtonDoubleClick:
      return {Stroke::Press, false, true};
    case kLeftButtonUp:
      return {Stroke::Release, false, true};
    case kMiddleButtonDown:
    case kMiddleButtonDoubleClick:
    case kExtraButtonDown:
    case kExtraButtonDoubleClick:
    case kFrameLeftButtonDown:
    case kFrameLeftButtonDoubleClick:
    case kFrameMiddleButtonDown:
    case kFrameMiddleButtonDoubleClick:
      return {Stroke::Press, false, false};
    case kMiddleButtonUp:
    case kExtraButtonUp:
    case kFrameLeftButtonUp:
    case kFrameMiddleButtonUp:
      return {Stroke::Release, false, false};
    case kRightButtonDown:
    case kRightButtonDoubleClick:
    case kFrameRightButtonDown:
    case kFrameRightButtonDoubleClick:
      return {Stroke::Press, true, false};
    case kRightButtonUp:
    case kFrameRightButtonUp:
      return {Stroke::Release, true, false};
  }
  return {Stroke::None, false, false};
}

// The Runner builds its menu from the same three settings, and opens none without an item.
bool RunnersMenuOpens(const SharedBlockView& block) {
  return !block.IsSet(kBlockRightClickMenuOff) &&
         (block.IsSet(kBlockCloseMenu) || block.IsSet(kBlockSetupMenu) || block.IsSet(kBlockMinimizeMenu));
}

}  // namespace

// The Runner closes the movie on ESC: its first press is passed on once, and the projector sees
// none of it, since it would leave its full-screen mode on ESC just before it closes. With key
// interaction off no key reaches the movie, and the first press of any key ends it. The Runner
// rewrites that byte while the movie plays, so it is read anew for every key.
KeyResponse DecideKey(const SharedBlockView& block, const KeyEvent& event) {
  KeyResponse response;
  if (event.code != kHookAction || !event.focusOnMovie) return response;
  const bool pressed = !(event.flags & kKeyReleased);
  const bool firstPress = pressed && !(event.flags & kKeyWasDown);
  if (event.virtualKey == kKeyEscape && block.IsSet(kBlockExitOnEsc) && pressed) {
    response.sendEscape = firstPress;
    response.swallow = true;
  } else if (block.IsSet(kBlockKeyInteractionOff)) {
    response.endMovie = firstPress;
    response.swallow = true;
  }
  return response;
}

// The projector's own context menu would offer its player commands inside the Runner's frame, so
// the right button never reaches it; its release opens the Runner's menu when there is one. With
// mouse interaction off no button reaches the movie and a press ends it, except the right button
// while it opens the Runner's menu, which offers its own way out; moving the mouse ends nothing.
MouseResponse DecideMouse(const SharedBlockView& block, const MouseEvent& event) {
  MouseResponse response;
  if (event.code != kHookAction || !event.onMovie) return response;
  const ButtonMessage button = ButtonOf(event.message);
  if (button.stroke == Stroke::None) return response;
  const bool pressed = button.stroke == Stroke::Press;
  const bool mouseOff = block.IsSet(kBlockMouseInteractionOff);
  if (button.right) {
    const bool menu = RunnersMenuOpens(block);
    response.swallow = true;
    response.showMenu = !pressed && menu;
    response.endMovie = pressed && mouseOff && !menu;
    response.movieClicked = pressed && !response.endMovie;
  } else if (mouseOff) {
    response.swallow = true;
    response.endMovie = pressed;
  } else {
    const bool drags = button.leftInClient && block.IsSet(kBlockDraggable);
    response.movieClicked = pressed;
    response.dragStart = pressed && drags;
    response.dragEnd = !pressed && drags;
  }
  return response;
}

}  // namespace vm
