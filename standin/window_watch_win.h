#pragma once

#include <windows.h>

#include "standin/observation_log.h"

namespace vm::standin {

// The class of the Runner's main window, into which it embeds the projector's window.
constexpr char kRunnerWindowClass[] = "GaGaMossantWindow";

// The Runner re-parents, shows and hides the projector's window from its own process; this
// notices such changes and logs them.
class WindowWatch {
 public:
  // Logs what changed since the last check. True when the window has just become a child of a
  // window of kRunnerWindowClass.
  bool Check(HWND window, const ObservationLog& log);

 private:
  HWND parent_ = nullptr;
  bool visible_ = false;
};

}  // namespace vm::standin
