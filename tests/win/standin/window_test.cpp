#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win/standin/runner_window.h"
#include "win/standin/standin_process.h"

namespace {

using standintest::FakeRunnerWindow;
using standintest::StandinProcess;

constexpr WPARAM kFullScreenCommand = 20048;
constexpr LONG_PTR kFrame = WS_CAPTION | WS_THICKFRAME;

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

RECT RectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

StandinProcess::Setup Hidden() {
  StandinProcess::Setup setup;
  setup.ShowCommand = SW_HIDE;
  return setup;
}

TEST(StandinWindow, StartsHiddenAsTheRunnerAsksAndLogsBeingShownAndHidden) {
  StandinProcess standin(Hidden());
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(standintest::ClassOf(window), "ShockwaveFlash");
  EXPECT_EQ(StyleOf(window) & kFrame, kFrame);
  EXPECT_NE(GetMenu(window), nullptr);
  standintest::PumpFor(200);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(standin.HasLine("shown"));

  ShowWindow(window, SW_SHOWNA);
  EXPECT_TRUE(standin.WaitForLine("shown"));
  ShowWindow(window, SW_HIDE);
  EXPECT_TRUE(standin.WaitForLine("hidden"));
}

TEST(StandinWindow, FullScreenCoversTheScreenAndTheSecondCommandRestoresTheWindow) {
  StandinProcess standin({});
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(standin.WaitForLine("shown"));
  RECT framed = RectOf(window);

  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  ASSERT_TRUE(standin.WaitForLine("fullscreen on"));
  EXPECT_EQ(StyleOf(window) & kFrame, 0);
  EXPECT_EQ(GetMenu(window), nullptr);
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_TRUE(SameRect(RectOf(window), screen)) << Text(RectOf(window));

  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  ASSERT_TRUE(standin.WaitForLine("fullscreen off"));
  EXPECT_EQ(StyleOf(window) & kFrame, kFrame);
  EXPECT_NE(GetMenu(window), nullptr);
  EXPECT_TRUE(SameRect(RectOf(window), framed)) << Text(RectOf(window));
  EXPECT_TRUE(IsWindowVisible(window));
}

// As the Runner captures it: re-parented while hidden, switched to full screen, then shown.
TEST(StandinWindow, EmbeddedFullScreenFillsTheRunnersClientArea) {
  FakeRunnerWindow runner;
  StandinProcess standin(Hidden());
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);

  SetParent(window, runner.Handle());
  ASSERT_TRUE(standin.WaitForLine("parent-class GaGaMossantWindow"));
  RECT framed = RectOf(window);
  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  ASSERT_TRUE(standin.WaitForLine("fullscreen on"));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
  EXPECT_TRUE(standin.WaitForLine("shown"));

  EXPECT_TRUE(SameRect(RectOf(window), runner.ScreenClientRect()))
      << Text(RectOf(window)) << " in " << Text(runner.ScreenClientRect());
  EXPECT_EQ(StyleOf(window) & kFrame, 0);
  EXPECT_EQ(GetMenu(window), nullptr);

  // The Runner's close: full screen off first. The window was hidden when it went full screen,
  // and stays shown now.
  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  ASSERT_TRUE(standin.WaitForLine("fullscreen off"));
  EXPECT_EQ(StyleOf(window) & (kFrame | WS_VISIBLE), kFrame | WS_VISIBLE);
  EXPECT_TRUE(SameRect(RectOf(window), framed)) << Text(RectOf(window));
  EXPECT_FALSE(standin.HasLine("hidden"));
}

// The demo has to be seen inside the Runner's window, also where Wine drops what a window of
// another process paints there.
TEST(StandinWindow, EmbeddedItsPaintingShowsInTheRunnersWindow) {
  constexpr COLORREF kDemoBackground = RGB(20, 92, 140);
  FakeRunnerWindow runner;
  StandinProcess standin(Hidden());
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);
  SetParent(window, runner.Handle());
  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);

  RECT client = runner.ScreenClientRect();
  HDC screen = GetDC(nullptr);
  COLORREF corner = CLR_INVALID;
  EXPECT_TRUE(standintest::PumpUntil([&] {
    corner = GetPixel(screen, client.left + 4, client.top + 4);
    return corner == kDemoBackground;
  })) << std::hex << corner;
  ReleaseDC(nullptr, screen);
}

TEST(StandinWindow, WithoutASizingBorderItKeepsItsCaption) {
  StandinProcess::Setup setup;
  setup.Variables = {{"STANDIN_NOSIZEBORDER", "1"}};
  StandinProcess standin(setup);
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(StyleOf(window) & kFrame, WS_CAPTION);
  EXPECT_NE(GetMenu(window), nullptr);
}

// With an id of its own, the Flash Player's id is just another command to it.
TEST(StandinWindow, WithAnotherFullScreenIdOnlyThatIdSwitches) {
  constexpr WPARAM kOwnId = 4242;
  StandinProcess::Setup setup;
  setup.Variables = {{"STANDIN_FULLSCREEN_ID", "4242"}};
  StandinProcess standin(setup);
  HWND window = standin.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(standin.WaitForLine("shown"));

  SendMessageA(window, WM_COMMAND, kFullScreenCommand, 0);
  SendMessageA(window, WM_COMMAND, kOwnId, 0);
  ASSERT_TRUE(standin.WaitForLine("fullscreen on"));
  EXPECT_EQ(StyleOf(window) & kFrame, 0);
  const std::vector<std::string> log = standin.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "fullscreen on"), 1) << "20048 switched it as well";
  EXPECT_FALSE(standin.HasLine("fullscreen off"));
}

TEST(StandinWindow, CloseOrQuitEndsIt) {
  struct Case {
    const char* name;
    void (*end)(HWND window, DWORD thread);
  } cases[] = {
      {"WM_CLOSE", [](HWND window, DWORD) { PostMessageA(window, WM_CLOSE, 0, 0); }},
      {"WM_QUIT", [](HWND, DWORD thread) { PostThreadMessageA(thread, WM_QUIT, 1, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandinProcess standin(Hidden());
    HWND window = standin.WaitForWindow();
    ASSERT_NE(window, nullptr);
    c.end(window, standin.ThreadId());
    ASSERT_TRUE(standin.WaitForExit());
    ASSERT_FALSE(standin.Log().empty());
    EXPECT_EQ(standin.Log().back(), "closed");
  }
}

TEST(StandinWindow, WithNoWindowItNeverShowsOneButStillQuits) {
  StandinProcess::Setup setup;
  setup.Variables = {{"STANDIN_NOWINDOW", "1"}};
  StandinProcess standin(setup);
  ASSERT_NE(standin.WaitForLineStarting("cwd "), "");
  standintest::PumpFor(1000);
  EXPECT_TRUE(standin.IsRunning());
  EXPECT_TRUE(standintest::ThreadWindows(standin.ThreadId()).empty());

  PostThreadMessageA(standin.ThreadId(), WM_QUIT, 1, 0);
  ASSERT_TRUE(standin.WaitForExit());
  EXPECT_EQ(standin.Log().back(), "closed");
}

TEST(StandinWindow, LogsTheRunnersVariablesAndTheWorkingDirectoryAtStart) {
  vmtest::TempDir directory;
  StandinProcess::Setup setup = Hidden();
  setup.Directory = directory.Path();
  setup.Variables = {{"MossantLocalDir_Engine", "C:\\Games\\Demo.exe"},
                     {"MossantEngine_ID", "77"},
                     {"MossantEngine_WH", "65620"},
                     {"C:\\Games\\Demo.EXE", "65620"},
                     {"UNRELATED_VARIABLE", "1"}};
  StandinProcess standin(setup);
  ASSERT_NE(standin.WaitForWindow(), nullptr);
  for (const char* line : {"env MossantLocalDir_Engine C:\\Games\\Demo.exe", "env MossantEngine_ID 77",
                           "env MossantEngine_WH 65620", "env C:\\Games\\Demo.EXE 65620"}) {
    EXPECT_TRUE(standin.HasLine(line)) << line;
  }
  EXPECT_TRUE(standin.HasLine("cwd " + directory.Path()));
  for (const std::string& line : standin.Log()) EXPECT_EQ(line.find("UNRELATED"), std::string::npos);
}

}  // namespace
