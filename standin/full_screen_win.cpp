#include "standin/full_screen_win.h"

namespace vm::standin {
namespace {

constexpr LONG_PTR kFrameStyles =
    WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// Styles that others change while the mode is on (the Runner shows the window, for one); leaving
// the mode keeps them as they are by then.
constexpr LONG_PTR kLiveStyles = WS_VISIBLE | WS_CHILD | WS_DISABLED;
constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// A window that another process has re-parented keeps its pop-up or overlapped style, so the
// area to fill is that of whatever GetAncestor names, not of GetParent.
HWND ParentOf(HWND window) {
  HWND parent = GetAncestor(window, GA_PARENT);
  return parent == GetDesktopWindow() ? nullptr : parent;
}

RECT AreaToFill(HWND parent) {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (parent != nullptr) GetClientRect(parent, &area);
  return area;
}

void Place(HWND window, const RECT& rect) {
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               kPlaceFlags);
}

}  // namespace

void FullScreenMode::Toggle(HWND window) {
  if (on_)
    Leave(window);
  else
    Enter(window);
}

void FullScreenMode::Enter(HWND window) {
  HWND parent = ParentOf(window);
  savedStyle_ = GetWindowLongPtrA(window, GWL_STYLE);
  GetWindowRect(window, &savedRect_);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&savedRect_), 2);

  // A child window's menu handle is its id: there is no menu to take away.
  if ((savedStyle_ & WS_CHILD) == 0) {
    detachedMenu_.reset(GetMenu(window));
    SetMenu(window, nullptr);
  }
  LONG_PTR style = savedStyle_ & ~kFrameStyles;
  if ((style & WS_CHILD) == 0) style |= WS_POPUP;
  SetWindowLongPtrA(window, GWL_STYLE, style);
  Place(window, AreaToFill(parent));
  on_ = true;
}

void FullScreenMode::Leave(HWND window) {
  LONG_PTR live = GetWindowLongPtrA(window, GWL_STYLE) & kLiveStyles;
  SetWindowLongPtrA(window, GWL_STYLE, (savedStyle_ & ~kLiveStyles) | live);
  if (detachedMenu_ && (live & WS_CHILD) == 0) SetMenu(window, detachedMenu_.release());
  Place(window, savedRect_);
  on_ = false;
}

}  // namespace vm::standin
