#include "core/window_layout.h"

namespace vm {
namespace {

constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kBaseStyle = kStylePopup | kStyleSysMenu;

uint32_t WindowedStyle(const RunnerSettings& o) {
  if (o.NoBorder) return kBaseStyle;
  if (o.NoTitle) return kBaseStyle | (o.AllowResize ? kStyleThickFrame : kStyleBorder);
  uint32_t style = kBaseStyle | kStyleCaption | kStyleMaximizeBox | kStyleMinimizeBox;
  return o.AllowResize ? style | kStyleThickFrame : style;
}

}  // namespace

OsFlags ComputeOsFlags(uint32_t version, uint32_t platformId) {
  const uint32_t major = version & 0xFF;
  const uint32_t minor = (version >> 8) & 0xFF;
  const bool nt = platformId == kPlatformNt;
  OsFlags os;
  os.IsWin95 = !nt && major == 4 && minor < 10;
  os.IsWin98 = !nt && !os.IsWin95 && major == 4 && minor < 90;
  os.IsWinMe = !nt && !os.IsWin95 && !os.IsWin98;
  os.IsWin2000 = nt && major == 5;
  return os;
}

WindowLayout ChooseWindowLayout(const RunnerSettings& o, int32_t width, int32_t height, const OsFlags& os,
                                int32_t screenWidth, int32_t screenHeight) {
  WindowLayout layout;
  if (!o.FullScreen || o.CustomSize) {
    layout.ExStyle = kExStyleAppWindow | (o.AlwaysOnTop || o.FullScreen ? kExStyleTopmost : 0);
    layout.Style = WindowedStyle(o);
    layout.Left = o.Left;
    layout.Top = o.Top;
    layout.Width = width;
    layout.Height = height;
  } else {
    layout.ExStyle = kExStyleAppWindow | (os.IsWin2000 || os.IsWinMe ? kExStyleTopmost : 0);
    layout.Style = kBaseStyle;
    layout.Width = screenWidth;
    layout.Height = screenHeight;
  }
  if (o.FullScreen && o.CustomSize) {
    if (o.NoTitle || o.NoBorder) {
      layout.Left = 0;
      layout.Top = 0;
      layout.Width = screenWidth;
      layout.Height = screenHeight;
    } else {
      layout.Maximize = true;
    }
  }
  return layout;
}

std::vector<MenuItem> RightClickMenuItems(bool closeMenu, bool setupMenu, bool minimizeMenu) {
  std::vector<MenuItem> items;
  if (closeMenu) items.push_back({kMenuClose, "Close"});
  if (setupMenu) items.push_back({kMenuSetup, "Setup"});
  if (minimizeMenu) items.push_back({kMenuMinimize, "Minimize"});
  return items;
}

}  // namespace vm
