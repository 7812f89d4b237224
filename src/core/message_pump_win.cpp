#include "core/message_pump_win.h"

#include <windows.h>

#include "core/process_state.h"

namespace vm {

bool PumpMessage() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    Sleep(0);
    return false;
  }
  if (message.message == WM_QUIT) {
    QuitFlag = true;
    return true;
  }
  bool handled = false;
  if (MessageFilter.Assigned()) MessageFilter.Code(*MessageFilter.Object, message, handled);
  if (!handled) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void PumpPending() {
  while (PumpMessage()) {
  }
}

}  // namespace vm
