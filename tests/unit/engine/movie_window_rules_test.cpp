#include "engine/movie_window_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kMinimize = 0xF020;   // SC_MINIMIZE
constexpr uint32_t kClose = 0xF060;      // SC_CLOSE
constexpr int32_t kMonitorLowPower = 1;
constexpr int32_t kMonitorOff = 2;
constexpr int kHitCaption = 2;   // HTCAPTION
constexpr int kHitBorder = 18;   // HTBORDER
constexpr int kHitNowhere = 0;   // HTNOWHERE
constexpr int kHitError = -2;    // HTERROR

struct Block {
  explicit Block(bool disableScreenSaver, bool hideCursor) {
    block.Set(vm::kBlockDisableScreenSaver, disableScreenSaver ? 1 : 0);
    block.Set(vm::kBlockHideCursor, hideCursor ? 1 : 0);
  }
  std::vector<uint8_t> bytes = std::vector<uint8_t>(vm::kSharedBlockSize);
  vm::SharedBlock block{bytes.data()};
};

TEST(RefusesSystemCommand, TheScreenSaverAndPowerDownWhileTheDisplayMustStayOn) {
  struct Case {
    uint32_t command;
    int32_t argument;
    bool refusedWhenOn;
  } cases[] = {
      {vm::kScreenSaveCommand, 0, true},
      // The system may use the low four bits; the command is the rest.
      {vm::kScreenSaveCommand | 0x2, 0, true},
      {vm::kMonitorPowerCommand, kMonitorLowPower, true},
      {vm::kMonitorPowerCommand, kMonitorOff, true},
      {vm::kMonitorPowerCommand | 0x1, kMonitorOff, true},
      {vm::kMonitorPowerCommand, vm::kMonitorPowerOn, false},
      {kMinimize, 0, false},
      {kClose, 0, false},
  };
  const Block on(true, false);
  const Block off(false, true);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.command << " " << std::dec << c.argument);
    EXPECT_EQ(vm::RefusesSystemCommand(on.block, c.command, c.argument), c.refusedWhenOn);
    EXPECT_FALSE(vm::RefusesSystemCommand(off.block, c.command, c.argument));
  }
}

TEST(HidesCursor, OverTheMovieOnlyAndOnlyWhenAsked) {
  const Block on(false, true);
  const Block off(true, false);
  EXPECT_TRUE(vm::HidesCursor(on.block, vm::kHitClient));
  for (int hitTest : {kHitCaption, kHitBorder, kHitNowhere, kHitError}) EXPECT_FALSE(vm::HidesCursor(on.block, hitTest)) << hitTest;
  EXPECT_FALSE(vm::HidesCursor(off.block, vm::kHitClient));
}

}  // namespace
