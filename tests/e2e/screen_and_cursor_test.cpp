// The kiosk options that the hook library carries out on the projector's window: the screen
// saver turned away and the cursor hidden over the movie, each with its setting on and off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/runner_harness.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kMoveEveryMs = 100;
constexpr LPARAM kMonitorOff = 2;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kMovieClass[] = "ShockwaveFlash";
// The test ends the movie itself, once it has seen what it looks for; the script is only the
// limit for a test that never gets there.
constexpr char kPlayOn[] = "sleep 30000;close-request";

PackedRunner Movie(const std::string& name, const std::string& settings) {
  return PackedRunner(name, {{"settings.ini", "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n" + settings},
                             vmtest::StandinProjector(), vmtest::HookLibrary()});
}

template <typename Done>
bool WaitUntil(Done done, DWORD limitMs) {
  for (DWORD waited = 0; waited < limitMs; waited += kPollMs) {
    if (done()) return true;
    Sleep(kPollMs);
  }
  return done();
}

// Starts the movie and waits until the Runner has taken the library's notice that the movie is
// embedded: from then on the library has the movie window. Answers the movie window.
HWND PlayUntilReady(const PackedRunner& runner, PackedRunner::Started& started) {
  runner.Start(started);
  if (!WaitUntil([&] { return TraceHas(runner.TraceLines(), "the projector is ready"); }, kRunTimeoutMs)) return nullptr;
  const HWND main = FindWindowA(kMainClass, nullptr);
  return main ? FindWindowExA(main, nullptr, kMovieClass, nullptr) : nullptr;
}

// Ends the movie as the close box does, and checks that the Runner leaves nothing behind.
void EndMovie(const PackedRunner& runner, PackedRunner::Started& started) {
  PostMessageA(FindWindowA(kMainClass, nullptr), WM_CLOSE, 0, 0);
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs)) << "the Runner did not end";
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  EXPECT_TRUE(TraceHas(runner.StandinLines(), "closed"));
}

std::string CursorLine(const PackedRunner& runner) {
  for (const std::string& line : runner.StandinLines())
    if (line.rfind("cursor ", 0) == 0) return line;
  return "";
}

// Moves the mouse over the movie until the stand-in logs the cursor it got there.
std::string CursorOverMovie(const PackedRunner& runner, HWND movie) {
  RECT area;
  GetWindowRect(movie, &area);
  const int x = (area.left + area.right) / 2;
  const int y = (area.top + area.bottom) / 2;
  for (DWORD waited = 0; waited < kWaitMs && CursorLine(runner).empty(); waited += kMoveEveryMs) {
    SetCursorPos(x + (waited / kMoveEveryMs) % 2, y);
    mouse_event(MOUSEEVENTF_MOVE, (waited / kMoveEveryMs) % 2 ? 1 : -1, 0, 0, 0);
    Sleep(kMoveEveryMs);
  }
  return CursorLine(runner);
}

TEST(KioskScreen, TheScreenSaverReachesTheMovieOnlyWhenItIsAllowed) {
  struct Case {
    const char* name;
    const char* settings;
    bool turnedAway;
  } cases[] = {
      {"ScreenSaverDisabled", "DisableScreenSaver=1\r\n", true},
      {"ScreenSaverAllowed", "DisableScreenSaver=0\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner = Movie(c.name, c.settings);
    runner.StandinScript = kPlayOn;
    PackedRunner::Started started;
    const HWND movie = PlayUntilReady(runner, started);
    ASSERT_NE(movie, nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(movie, WM_SYSCOMMAND, SC_SCREENSAVE, 0, SMTO_NORMAL, kWaitMs, &result);
    SendMessageTimeoutA(movie, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorOff, SMTO_NORMAL, kWaitMs, &result);
    // The system asks the foreground window, which is the Runner's while the movie plays.
    SendMessageTimeoutA(FindWindowA(kMainClass, nullptr), WM_SYSCOMMAND, SC_SCREENSAVE, 0, SMTO_NORMAL, kWaitMs, &result);
    EndMovie(runner, started);

    const std::vector<std::string> log = runner.StandinLines();
    EXPECT_EQ(TraceHas(log, "syscommand screensave"), !c.turnedAway);
    EXPECT_EQ(TraceHas(log, "syscommand monitorpower 2"), !c.turnedAway);
    EXPECT_EQ(TraceHas(runner.TraceLines(), "the display stays on while the movie plays"), c.turnedAway);
    EXPECT_EQ(TraceHas(runner.TraceLines(), "the screen saver and the monitor's power-off wait"), c.turnedAway);
  }
}

TEST(KioskScreen, TheCursorIsHiddenOverTheMovieOnlyWhenAsked) {
  struct Case {
    const char* name;
    const char* settings;
    const char* cursor;
  } cases[] = {
      {"CursorHidden", "HideCursor=1\r\n", "cursor none"},
      {"CursorShown", "HideCursor=0\r\n", "cursor shown"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner = Movie(c.name, c.settings);
    runner.StandinScript = kPlayOn;
    PackedRunner::Started started;
    const HWND movie = PlayUntilReady(runner, started);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(CursorOverMovie(runner, movie), c.cursor);
    EndMovie(runner, started);
  }
}

}  // namespace
