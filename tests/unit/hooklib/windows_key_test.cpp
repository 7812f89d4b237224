#include "hooklib/windows_key.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kMainWindow = 0x00010066;
constexpr uint32_t kOtherWindow = 0x00020088;
constexpr uint32_t kKeyA = 'A';
constexpr bool kDown = false;
constexpr bool kUp = true;

TEST(WindowsKeysKept, OnlyWhileAskedForAndTheMainWindowIsInFront) {
  std::vector<uint8_t> bytes(vm::kSharedBlockSize, 0);
  vm::SharedBlock block(bytes.data());
  block.Set(vm::kBlockMainWindow, kMainWindow);
  EXPECT_FALSE(vm::WindowsKeysKept(block, kMainWindow)) << "not asked for";
  block.Set(vm::kBlockDisableWindowsKey, 1);
  EXPECT_TRUE(vm::WindowsKeysKept(block, kMainWindow));
  EXPECT_FALSE(vm::WindowsKeysKept(block, kOtherWindow));
  // The clean-up clears the main window: no foreground window matches any more.
  block.Set(vm::kBlockMainWindow, 0);
  EXPECT_FALSE(vm::WindowsKeysKept(block, 0));
}

TEST(WindowsKeyFilter, KeepsTheThreeKeysAndNothingElse) {
  vm::WindowsKeyFilter filter;
  for (uint32_t key : {vm::kKeyLeftWindows, vm::kKeyRightWindows, vm::kKeyApplications}) {
    EXPECT_TRUE(filter.Keeps(key, kDown, true)) << key;
    EXPECT_TRUE(filter.Keeps(key, kUp, true)) << key;
    EXPECT_FALSE(filter.Keeps(key, kDown, false)) << key;
    EXPECT_FALSE(filter.Keeps(key, kUp, false)) << key;
  }
  EXPECT_FALSE(filter.Keeps(kKeyA, kDown, true));
  EXPECT_FALSE(filter.Keeps(kKeyA, kUp, true));
}

// The focus may change while a key is held: its repeats and its release go where its press went.
TEST(WindowsKeyFilter, AKeysRepeatsAndReleaseFollowItsPress) {
  struct Step {
    uint32_t key;
    bool up;
    bool kept;
    bool expected;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"kept press, focus lost", {{vm::kKeyLeftWindows, kDown, true, true}, {vm::kKeyLeftWindows, kDown, false, true},
                                  {vm::kKeyLeftWindows, kUp, false, true}}},
      {"passed press, focus gained", {{vm::kKeyLeftWindows, kDown, false, false},
                                      {vm::kKeyLeftWindows, kDown, true, false},
                                      {vm::kKeyLeftWindows, kUp, true, false}}},
      {"each key on its own", {{vm::kKeyLeftWindows, kDown, true, true}, {vm::kKeyRightWindows, kDown, false, false},
                               {vm::kKeyRightWindows, kUp, true, false}, {vm::kKeyLeftWindows, kUp, false, true}}},
      {"a release forgets its press", {{vm::kKeyApplications, kDown, true, true}, {vm::kKeyApplications, kUp, true, true},
                                       {vm::kKeyApplications, kDown, false, false},
                                       {vm::kKeyApplications, kUp, true, false}}},
  };
  for (const auto& c : cases) {
    vm::WindowsKeyFilter filter;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      EXPECT_EQ(filter.Keeps(s.key, s.up, s.kept), s.expected) << c.name << ", step " << i;
    }
  }
}

}  // namespace
