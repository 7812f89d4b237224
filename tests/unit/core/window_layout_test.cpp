#include "core/window_layout.h"

#include <gtest/gtest.h>

namespace {

using vm::WindowLayout;
using vm::RunnerSettings;

constexpr int32_t kScreenW = 1280;
constexpr int32_t kScreenH = 1024;
// The window's size, which start-up takes from the settings or the movie.
constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

RunnerSettings Windowed(bool noBorder, bool noTitle, bool allowResize) {
  RunnerSettings s;
  s.FullScreen = false;
  s.NoBorder = noBorder;
  s.NoTitle = noTitle;
  s.AllowResize = allowResize;
  s.Left = 10;
  s.Top = 20;
  return s;
}

WindowLayout Layout(const RunnerSettings& s, const vm::OsFlags& os) {
  return vm::ChooseWindowLayout(s, kWidth, kHeight, os, kScreenW, kScreenH);
}

TEST(WindowLayout, WindowedStylesFollowBorderTitleAndResize) {
  struct Case {
    bool noBorder, noTitle, allowResize;
    uint32_t style;
  } cases[] = {
      {true, false, false, 0x80080000}, {true, true, true, 0x80080000},
      {false, false, true, 0x80CF0000}, {false, false, false, 0x80CB0000},
      {false, true, true, 0x800C0000},  {false, true, false, 0x80880000},
  };
  vm::OsFlags os;
  for (const auto& c : cases) {
    WindowLayout l = Layout(Windowed(c.noBorder, c.noTitle, c.allowResize), os);
    EXPECT_EQ(l.Style, c.style) << c.noBorder << c.noTitle << c.allowResize;
    EXPECT_EQ(l.ExStyle, vm::kExStyleAppWindow);
    EXPECT_EQ((std::vector<int32_t>{l.Left, l.Top, l.Width, l.Height}), (std::vector<int32_t>{10, 20, 640, 480}));
    EXPECT_FALSE(l.Maximize);
  }
}

TEST(WindowLayout, AlwaysOnTopMakesTheWindowTopmost) {
  RunnerSettings o = Windowed(false, false, false);
  o.AlwaysOnTop = true;
  EXPECT_EQ(Layout(o, {}).ExStyle,
            vm::kExStyleAppWindow | vm::kExStyleTopmost);
}

TEST(WindowLayout, FullScreenCoversTheScreenAndIsTopmostOnlyOn2000AndMe) {
  RunnerSettings o = Windowed(false, false, true);
  o.FullScreen = true;
  vm::OsFlags modern, w2000, me;
  w2000.IsWin2000 = true;
  me.IsWinMe = true;
  WindowLayout l = Layout(o, modern);
  EXPECT_EQ(l.Style, 0x80080000u);
  EXPECT_EQ(l.ExStyle, vm::kExStyleAppWindow);
  EXPECT_EQ((std::vector<int32_t>{l.Left, l.Top, l.Width, l.Height}), (std::vector<int32_t>{0, 0, kScreenW, kScreenH}));
  EXPECT_EQ(Layout(o, w2000).ExStyle, vm::kExStyleAppWindow | vm::kExStyleTopmost);
  EXPECT_EQ(Layout(o, me).ExStyle, vm::kExStyleAppWindow | vm::kExStyleTopmost);
}

TEST(WindowLayout, FullScreenWithCustomSizeIsMaximisedOrCoversTheScreen) {
  RunnerSettings o = Windowed(false, false, false);
  o.FullScreen = o.CustomSize = true;
  WindowLayout framed = Layout(o, {});
  EXPECT_TRUE(framed.Maximize);
  EXPECT_EQ(framed.Width, 640);
  EXPECT_EQ(framed.ExStyle, vm::kExStyleAppWindow | vm::kExStyleTopmost);  // topmost without AlwaysOnTop

  for (auto bare : {Windowed(true, false, false), Windowed(false, true, false)}) {
    bare.FullScreen = bare.CustomSize = true;
    WindowLayout l = Layout(bare, {});
    EXPECT_FALSE(l.Maximize);
    EXPECT_EQ((std::vector<int32_t>{l.Left, l.Top, l.Width, l.Height}), (std::vector<int32_t>{0, 0, kScreenW, kScreenH}));
  }
}

TEST(OsFlags, TellTheFamiliesApart) {
  struct Case {
    uint32_t major, minor, platform;
    bool w95, w98, me, w2000;
  } cases[] = {
      {4, 0, 1, true, false, false, false},   {4, 10, 1, false, true, false, false},
      {4, 90, 1, false, false, true, false},  {5, 0, 2, false, false, false, true},
      {5, 1, 2, false, false, false, true},   {6, 1, 2, false, false, false, false},
      {4, 0, 2, false, false, false, false},
  };
  for (const auto& c : cases) {
    vm::OsFlags os = vm::ComputeOsFlags(c.major | c.minor << 8, c.platform);
    EXPECT_EQ((std::vector<bool>{os.IsWin95, os.IsWin98, os.IsWinMe, os.IsWin2000}),
              (std::vector<bool>{c.w95, c.w98, c.me, c.w2000}))
        << c.major << "." << c.minor << " platform " << c.platform;
  }
}

TEST(RightClickMenu, ListsTheChosenItemsInOrder) {
  auto ids = [](const std::vector<vm::MenuItem>& items) {
    std::string s;
    for (const auto& i : items) s += std::to_string(i.Id) + i.Text + ";";
    return s;
  };
  EXPECT_EQ(ids(vm::RightClickMenuItems(true, true, true)), "129Close;130Setup;131Minimize;");
  EXPECT_EQ(ids(vm::RightClickMenuItems(false, true, false)), "130Setup;");
  EXPECT_TRUE(vm::RightClickMenuItems(false, false, false).empty());
}

}  // namespace
