#include "engine/projector_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ProjectorRules, MatchesTheWindowClassAsAWhole) {
  EXPECT_TRUE(vm::IsProjectorWindowClass("ShockwaveFlash"));
  EXPECT_TRUE(vm::IsProjectorWindowClass("SHOCKWAVEFLASH"));
  EXPECT_FALSE(vm::IsProjectorWindowClass("ShockwaveFlashPlayer"));
  EXPECT_FALSE(vm::IsProjectorWindowClass("MyShockwaveFlash"));
  EXPECT_FALSE(vm::IsProjectorWindowClass(""));
}

vm::FrameMetrics Metrics() {
  vm::FrameMetrics m;
  m.MenuHeight = 19;
  m.CaptionHeight = 18;
  m.FrameX = m.FrameY = 4;
  m.DlgFrameX = m.DlgFrameY = 3;
  return m;
}

TEST(ProjectorRules, MainWindowKeepsTheMovieSizeUnderItsOwnFrame) {
  const vm::Rect32 settings{10, 20, 640, 480};
  const vm::Rect32 projector{100, 50, 808, 645};
  struct Case {
    bool sizing, noTitle, noBorder, allowResize;
    int32_t width, height;
  } cases[] = {
      {true, false, false, true, 808, 645 - 19},
      {true, true, true, false, 808 - 8, 645 - 19 - 18 - 8},  // smaller by menu, caption, both borders
      {true, false, false, false, 808 - 2, 645 - 19 - 2},
      {false, false, false, true, 808 + 8, 645 + 18 + 8},
      {false, false, false, false, 808 + 6, 645 + 18 + 6},
      {false, true, true, true, 808, 645},
  };
  for (const auto& c : cases) {
    vm::FrameOptions o;
    o.NoTitle = c.noTitle;
    o.NoBorder = c.noBorder;
    o.AllowResize = c.allowResize;
    vm::Rect32 r = vm::MainRectFromProjector(settings, projector, c.sizing, o, Metrics(), 1280, 1024);
    EXPECT_EQ(r.Width, c.width) << c.sizing << c.noTitle << c.noBorder << c.allowResize;
    EXPECT_EQ(r.Height, c.height) << c.sizing << c.noTitle << c.noBorder << c.allowResize;
    EXPECT_EQ(r.Left, 10);  // no alignment: the settings' position stays
  }
}

TEST(ProjectorRules, AFramelessProjectorLargerThanTheScreenIsCutToIt) {
  vm::Rect32 r = vm::MainRectFromProjector({}, {0, 0, 2000, 900}, false, {}, Metrics(), 1024, 768);
  EXPECT_EQ(r.Width, 1024);
  EXPECT_EQ(r.Height, 768);
}

TEST(ProjectorRules, AnAlignmentTakesTheProjectorsPosition) {
  vm::FrameOptions o;
  o.AlignmentH = 4;
  vm::Rect32 r = vm::MainRectFromProjector({10, 20, 1, 1}, {100, 50, 300, 200}, true, o, Metrics(), 1280, 1024);
  EXPECT_EQ(r.Left, 100);
  EXPECT_EQ(r.Top, 20);
}

TEST(ProjectorRules, AlignsOnTheScreen) {
  EXPECT_EQ(vm::AlignOnScreen(1, 55, 640, 0, 1024), 0);
  EXPECT_EQ(vm::AlignOnScreen(2, 55, 640, 0, 1024), 192);
  EXPECT_EQ(vm::AlignOnScreen(2, 55, 1200, 0, 1024), -88);
  EXPECT_EQ(vm::AlignOnScreen(3, 55, 640, 0, 1024), 384);
  EXPECT_EQ(vm::AlignOnScreen(0, 55, 640, 0, 1024), 55);
  EXPECT_EQ(vm::AlignOnScreen(4, 55, 640, 0, 1024), 55);
}

}  // namespace
