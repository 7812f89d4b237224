#pragma once

#include <windows.h>

#include "support/win_handles.h"

namespace vm::standin {

// The projector's own full-screen mode: no frame and no menu, covering the client area of its
// parent, or the screen when it has none. The second toggle gives the window back its frame,
// menu and place.
class FullScreenMode {
 public:
  bool IsOn() const { return on_; }
  void Toggle(HWND window);

 private:
  void Enter(HWND window);
  void Leave(HWND window);

  bool on_ = false;
  LONG_PTR savedStyle_ = 0;
  RECT savedRect_ = {};  // in the coordinates of the parent's client area
  UniqueMenu detachedMenu_;
};

}  // namespace vm::standin
