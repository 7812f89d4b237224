#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/runner_settings.h"

namespace vm {

// Window style bits, spelled out so that the layout rules stay portable.
constexpr uint32_t kStylePopup = 0x80000000;
constexpr uint32_t kStyleClipChildren = 0x02000000;
constexpr uint32_t kStyleCaption = 0x00C00000;
constexpr uint32_t kStyleBorder = 0x00800000;
constexpr uint32_t kStyleSysMenu = 0x00080000;
constexpr uint32_t kStyleThickFrame = 0x00040000;
constexpr uint32_t kStyleMinimizeBox = 0x00020000;
constexpr uint32_t kStyleMaximizeBox = 0x00010000;
constexpr uint32_t kExStyleAppWindow = 0x00040000;
constexpr uint32_t kExStyleTopmost = 0x00000008;

// The Windows family the Runner runs on, from GetVersion's low word and the platform id.
struct OsFlags {
  bool IsWin95 = false;
  bool IsWin98 = false;
  bool IsWinMe = false;
  bool IsWin2000 = false;
};
OsFlags ComputeOsFlags(uint32_t version, uint32_t platformId);

struct WindowLayout {
  uint32_t Style = 0;  // without WS_CLIPCHILDREN, which the window always gets
  uint32_t ExStyle = 0;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Maximize = false;  // maximise right after creation
};

// The main window's styles and rectangle, as the settings ask, at the size width x height.
// Full screen without a custom size covers the screen; a custom size in full screen is
// maximised, or covers the screen when it has no title or border.
WindowLayout ChooseWindowLayout(const RunnerSettings& settings, int32_t width, int32_t height, const OsFlags& os,
                                int32_t screenWidth, int32_t screenHeight);

// The right-click menu: its items in order, each with its command id.
struct MenuItem {
  uint32_t Id;
  std::string Text;
};
constexpr uint32_t kMenuClose = 129;
constexpr uint32_t kMenuSetup = 130;
constexpr uint32_t kMenuMinimize = 131;
std::vector<MenuItem> RightClickMenuItems(bool closeMenu, bool setupMenu, bool minimizeMenu);

}  // namespace vm
