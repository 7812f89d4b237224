#include "engine/hook_removal_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "unit/test_files.h"

namespace {

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(nullptr, code, wParam, lParam); }

TEST(RemoveHookRetrying, RemovesAHookAtTheFirstTry) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, PassOn, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  int pumps = 0;
  EXPECT_TRUE(vm::RemoveHookRetrying(hook, [&] { ++pumps; }));
  EXPECT_EQ(pumps, 0);
}

// A handle the system does not know kept the clean-up beeping forever.
TEST(RemoveHookRetrying, GivesUpAnInvalidHandleAfterAFewTries) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, PassOn, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(UnhookWindowsHookEx(hook));
  vmtest::TempDir dir;
  const std::string trace = dir.File("trace.txt");
  _putenv_s("VARDEL_TRACE", trace.c_str());
  int pumps = 0;
  EXPECT_FALSE(vm::RemoveHookRetrying(hook, [&] { ++pumps; }));
  _putenv_s("VARDEL_TRACE", "");
  EXPECT_GT(pumps, 0);
  EXPECT_LE(pumps, 10);
  EXPECT_NE(vmtest::ReadBytes(trace).find("the hook handle is invalid"), std::string::npos);
}

}  // namespace
