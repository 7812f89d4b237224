#include "standin/window_watch_win.h"

#include <string>

#include "standin/log_lines.h"

namespace vm::standin {
namespace {

constexpr int kClassNameCapacity = 256;

std::string ClassOf(HWND window) {
  char name[kClassNameCapacity] = {};
  int length = GetClassNameA(window, name, kClassNameCapacity);
  return std::string(name, length > 0 ? length : 0);
}

}  // namespace

bool WindowWatch::Check(HWND window, const ObservationLog& log) {
  // The window's own WS_VISIBLE: it counts as shown even while the Runner's window is hidden.
  bool visible = (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != visible_) {
    visible_ = visible;
    log.Write(visible ? kShownLine : kHiddenLine);
  }

  // SetParent leaves WS_CHILD alone, so GetParent would not see the new parent.
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent == GetDesktopWindow()) parent = nullptr;
  if (parent == parent_) return false;
  parent_ = parent;
  if (parent == nullptr) return false;
  std::string className = ClassOf(parent);
  log.Write(ParentClassLine(className));
  return className == kRunnerWindowClass;
}

}  // namespace vm::standin
