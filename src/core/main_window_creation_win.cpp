#include "core/main_window_creation_win.h"

#include "support/errors.h"
#include "support/failure_text.h"
#include "support/trace.h"

namespace vm {

HWND CreateMainWindow(const WindowLayout& layout, HINSTANCE instance) {
  HWND window = CreateWindowExA(layout.ExStyle, kMainWindowClass, "", layout.Style | kStyleClipChildren, layout.Left,
                                layout.Top, layout.Width, layout.Height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    const std::string text = Win32FailureText("CreateWindowExA", kMainWindowClass, GetLastError());
    Trace("start: ", text);
    throw Exception(text);
  }
  return window;
}

}  // namespace vm
