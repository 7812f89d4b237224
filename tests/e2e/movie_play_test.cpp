#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "e2e/error_box.h"
#include "e2e/runner_harness.h"
#include "e2e/session_footprint.h"
#include "payload/file_helpers.h"
#include "support/win_handles.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kPassword[] = "secret";
constexpr char kPasswordCheckValue[] = "408382745";  // the check value of "secret"

std::string Settings(const std::string& extra) {
  return "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n" + extra;
}

PackedRunner Movie(const std::string& name, const std::string& settings) {
  return PackedRunner(name, {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
}

// The main window of the Runner once it is visible, or null.
HWND VisibleMainWindow(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main && IsWindowVisible(main)) return main;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) { return TraceHas(lines, text); }

class MoviePlay : public ::testing::Test {};

TEST_F(MoviePlay, WindowedMovieIsEmbeddedAndSeesItsSession) {
  PackedRunner runner = Movie("Windowed", Settings("CustomSize=1\r\nAllowResize=0\r\nLeft=10\r\nTop=20\r\n"
                                                   "Width=640\r\nHeight=480\r\nAlignmentH=0\r\nAlignmentV=0\r\n"));
  runner.StandinScript = "ready;sleep 1500;dump-block;close-request";
  PackedRunner::Started started;
  runner.Start(started);

  HWND main = VisibleMainWindow(kRunTimeoutMs);
  ASSERT_NE(main, nullptr);
  RECT rect;
  GetWindowRect(main, &rect);
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
            (std::vector<LONG>{10, 20, 640, 480}));
  // The system adds WS_CLIPSIBLINGS to every window with a caption.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80CB0000u | WS_CLIPCHILDREN);
  const std::string mainHandle = std::to_string(reinterpret_cast<uintptr_t>(main));
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));

  const auto log = runner.StandinLines();
  const std::string instanceDir = runner.BaseDir() + "Vdl_Rt";
  for (const std::string& line :
       {std::string("parent-class GaGaMossantWindow"), std::string("fullscreen on"), std::string("env MossantEngine_ID "),
        std::string("env MossantEngine_WH "), std::string("env Windowed.exe "),
        "env MossantLocalDir_Engine " + runner.ExePath(), "cwd " + instanceDir, "block 116 " + instanceDir,
        "block 104 " + std::to_string(started.ProcessId), "block 52 " + mainHandle, "block 56 " + mainHandle,
        "env MossantEngine_WH " + mainHandle, std::string("block 96 1"), std::string("fullscreen off"), std::string("hidden"),
        std::string("closed")})
    EXPECT_TRUE(Has(log, line)) << line;
  EXPECT_EQ(GlobalFindAtomA("Windowed.exe"), 0) << "the end-of-session broadcast's atom is released";
  for (const char* unset : {"block 24 0", "block 48 0", "block 76 0"})
    EXPECT_FALSE(Has(log, unset)) << unset << ": the projector's process and window and the Runner's thread";
  EXPECT_TRUE(runner.LeftInBase().empty());
}

TEST_F(MoviePlay, FullScreenCoversTheScreen) {
  PackedRunner runner = Movie("FullScreen", Settings("FullScreen=1\r\n"));
  runner.StandinScript = "ready;sleep 5000;close-request";
  vmtest::PlayToACleanEnd(runner, kRunTimeoutMs, [](HWND main) {
    RECT rect;
    GetWindowRect(main, &rect);
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  });
}

// A projector whose full-screen item has an id other than the Flash Player's. Under Wine the
// Runner cannot read another process's menu; the hook library reads it inside the projector.
TEST_F(MoviePlay, AProjectorWithAFullScreenIdOfItsOwnIsSwitched) {
  PackedRunner runner = Movie("OwnFullScreenId", Settings("FullScreen=1\r\n"));
  runner.ExtraEnvironment = {{"STANDIN_FULLSCREEN_ID", "4242"}};
  runner.StandinScript = "ready;sleep 500;close-request";
  PackedRunner::Started started;
  runner.Start(started);

  HWND main = VisibleMainWindow(kRunTimeoutMs);
  ASSERT_NE(main, nullptr) << runner.LastSteps();
  const HWND movie = FindWindowExA(main, nullptr, "ShockwaveFlash", nullptr);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(GetWindowLongA(movie, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0) << "the movie keeps its frame";
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  const auto log = runner.StandinLines();
  // The close switches full screen off again with the same id.
  for (const char* line : {"fullscreen on", "fullscreen off", "closed"})
    EXPECT_TRUE(Has(log, line)) << line << "\n" << runner.LastSteps();
}

// Presses and releases a key as the keyboard would, through the system's input.
void PressKey(WORD key) {
  INPUT input[2] = {};
  for (INPUT& i : input) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
  }
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  EXPECT_EQ(SendInput(2, input, sizeof(INPUT)), 2u) << key;
}

// Presses the key until the stand-in logs it, at most timeoutMs, giving the movie the keyboard
// focus before each press: the Runner's own window may take it back while the movie settles in.
// A click into the movie would move the focus too, but could hit the demo's link. The calling
// thread shares the Runner's input meanwhile, which SetFocus needs.
bool PressUntilLogged(const PackedRunner& runner, HWND movie, WORD key, DWORD timeoutMs) {
  constexpr DWORD kRetryMs = 300;
  const std::string line = "key " + std::to_string(key);
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (waited % kRetryMs == 0) {
      SetFocus(movie);
      PressKey(key);
    }
    if (Has(runner.StandinLines(), line)) return true;
    Sleep(kPollMs);
  }
  return false;
}

// While the movie has the focus, the Windows keys and the application-menu key do nothing, not
// even in the movie, when the settings ask for it, and reach the movie when they do not; the
// letters typed around them always arrive.
TEST_F(MoviePlay, TheWindowsKeysReachTheMovieOnlyWhenTheyAreNotDisabled) {
  constexpr DWORD kKeysMs = 10000;
  constexpr WORD kWindowsKeys[] = {VK_LWIN, VK_RWIN, VK_APPS};
  const struct {
    const char* name;
    const char* settings;
    bool reachMovie;
  } cases[] = {
      {"WindowsKeysKept", "DisableW95Key=1\r\n", false},
      {"WindowsKeysFree", "DisableW95Key=0\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner = Movie(c.name, Settings(c.settings));
    runner.StandinScript = "ready;sleep 15000;close-request";
    vmtest::PlayToACleanEnd(runner, kRunTimeoutMs, [&](HWND main) {
      const HWND movie = FindWindowExA(main, nullptr, "ShockwaveFlash", nullptr);
      ASSERT_NE(movie, nullptr);
      const DWORD runnerThread = GetWindowThreadProcessId(main, nullptr);
      AttachThreadInput(GetCurrentThreadId(), runnerThread, TRUE);
      EXPECT_TRUE(PressUntilLogged(runner, movie, 'A', kKeysMs)) << "no key reaches the movie";
      for (WORD key : kWindowsKeys) {
        if (c.reachMovie) {
          EXPECT_TRUE(PressUntilLogged(runner, movie, key, kKeysMs)) << key;
        } else {
          SetFocus(movie);
          PressKey(key);
        }
      }
      EXPECT_TRUE(PressUntilLogged(runner, movie, 'B', kKeysMs));
      AttachThreadInput(GetCurrentThreadId(), runnerThread, FALSE);
      // The movie has played its part: its end is no longer waited for.
      PostMessageA(main, WM_CLOSE, 0, 0);
    });
    const auto log = runner.StandinLines();
    for (WORD key : kWindowsKeys) EXPECT_EQ(Has(log, "key " + std::to_string(key)), c.reachMovie) << key;
  }
}

// Windows Vista and later take a 32-bit program so named for an installer unless its manifest
// says otherwise. Wine asks for no elevation and, as measured, starts a program whose manifest it
// cannot parse all the same, so the manifest's form is checked where it is read back natively;
// this shows that such a name, space and all, starts and plays with the manifest in place.
TEST_F(MoviePlay, AProgramNamedLikeAnInstallerPlays) {
  PackedRunner runner = Movie("Install Guide", Settings(""));
  runner.StandinScript = "ready;close-request";
  vmtest::PlayToACleanEnd(runner, kRunTimeoutMs);
  EXPECT_TRUE(Has(runner.StandinLines(), "parent-class GaGaMossantWindow"));
  EXPECT_TRUE(Has(runner.StandinLines(), "closed"));
}

// Every way of quitting ends in a polite close of the projector and a clean Runner exit.
TEST_F(MoviePlay, QuitPaths) {
  struct Case {
    const char* name;
    const char* settings;
    const char* script;
    bool escEnds;
  } cases[] = {
      {"QuitByRequest", "", "ready;sleep 1500;close-request", false},
      // Posted while the Runner is still bringing the movie up after the ready notice.
      {"QuitRightAfterReady", "", "ready;close-request", false},
      {"QuitByEsc", "ExitOnESC=1\r\n", "ready;sleep 1500;send 258 27 0;sleep 3000;close-request", true},
      {"NoQuitByEsc", "ExitOnESC=0\r\n", "ready;sleep 1500;send 258 27 0;sleep 3000;close-request", false},
      {"QuitByClose", "", "ready;sleep 1500;send 16 0 0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner = Movie(c.name, Settings(c.settings));
    runner.StandinScript = c.script;
    vmtest::PlayToACleanEnd(runner, kRunTimeoutMs);
    EXPECT_TRUE(Has(runner.StandinLines(), "closed"));
    EXPECT_EQ(Has(runner.TraceLines(), "ESC ends the movie"), c.escEnds);
  }
}

TEST_F(MoviePlay, PasswordIsAskedAgainAfterAWrongOneAndCancelEndsTheRun) {
  const std::string settings = "[Settings]\r\nPassword=1\r\nAlignmentX=" + std::string(kPasswordCheckValue) +
                               "\r\nVardel Screen Name=Locked\r\nCurrentDir=1\r\n";
  {
    PackedRunner runner("Locked", {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
    PackedRunner::Started started;
    runner.Start(started);
    for (const char* typed : {"wrong", kPassword}) {
      HWND dialog = vmtest::FindDialog(started.ProcessId, "Locked", kRunTimeoutMs);
      ASSERT_NE(dialog, nullptr) << typed;
      SetDlgItemTextA(dialog, 101, typed);
      PostMessageA(dialog, WM_COMMAND, 102, 0);
      if (std::string(typed) == "wrong") {
        EXPECT_EQ(vmtest::AnswerMessageBox(started.ProcessId, "Error", kRunTimeoutMs), "Wrong password!");
      }
    }
    ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
    EXPECT_TRUE(Has(runner.StandinLines(), "parent-class GaGaMossantWindow"));
    EXPECT_TRUE(runner.LeftInBase().empty());
  }
  {
    PackedRunner runner("LockedCancel", {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
    PackedRunner::Started started;
    runner.Start(started);
    HWND dialog = vmtest::FindDialog(started.ProcessId, "Locked", kRunTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, 103, 0);
    ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
    EXPECT_FALSE(Has(runner.TraceLines(), "claim: number"));
    EXPECT_TRUE(runner.StandinLines().empty());
    EXPECT_TRUE(runner.LeftInBase().empty());
  }
}

TEST_F(MoviePlay, AProjectorThatNeverShowsItsWindowIsEndedAndCleanedUp) {
  PackedRunner runner = Movie("NoWindow", Settings(""));
  runner.ExtraEnvironment = {{"STANDIN_NOWINDOW", "1"}};
  ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << "the Runner did not end";
  EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{});
  EXPECT_TRUE(Has(runner.TraceLines(), "no projector window within 11 s"));
  const auto trace = runner.TraceLines();
  EXPECT_TRUE(Has(trace, "ending the projector"));
  // Ended before its file's one delete, which then succeeds.
  const auto ending = std::find_if(trace.begin(), trace.end(), [](const std::string& l) { return l.find("ending the projector") != std::string::npos; });
  const auto deleted = std::find_if(trace.begin(), trace.end(), [](const std::string& l) { return l.find("movie.exe: done") != std::string::npos; });
  ASSERT_NE(deleted, trace.end());
  EXPECT_LT(ending, deleted);
}

// The line of the trace that contains the text, waited for at most timeoutMs; empty if none came.
std::string AwaitTraceLine(const PackedRunner& runner, const std::string& text, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    for (const auto& line : runner.TraceLines())
      if (line.find(text) != std::string::npos) return line;
    Sleep(kPollMs);
  }
  return "";
}

// A Runner killed mid-movie runs no clean-up of its own; its projector must not play on hidden and
// hold the instance directory.
TEST_F(MoviePlay, AKilledRunnerTakesItsProjectorWithIt) {
  constexpr DWORD kProjectorEndLimitMs = 5000;
  PackedRunner runner = Movie("Killed", Settings(""));
  runner.StandinScript = "ready;sleep 60000";
  PackedRunner::Started started;
  runner.Start(started);
  const std::string line = AwaitTraceLine(runner, "(process ", kRunTimeoutMs);
  ASSERT_NE(line, "");
  ASSERT_NE(AwaitTraceLine(runner, "the projector is ready", kRunTimeoutMs), "");
  const DWORD projectorId = std::stoul(line.substr(line.rfind("(process ") + 9));
  vm::UniqueHandle projector(OpenProcess(SYNCHRONIZE, FALSE, projectorId));
  ASSERT_TRUE(projector);

  ASSERT_TRUE(TerminateProcess(started.Process, 1));
  const DWORD killedAt = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(projector.get(), kProjectorEndLimitMs), WAIT_OBJECT_0);
  std::printf("projector ended %lu ms after the Runner was killed\n",
              static_cast<unsigned long>(GetTickCount() - killedAt));
  EXPECT_TRUE(vm::IsFileFree(runner.BaseDir() + "Vdl_Rt\\movie.exe"));

  // The hook library was loaded in the projector alone, which went with the Runner: the next
  // claim finds the killed Runner's Vdl_Rt free, takes it over, and leaves nothing behind.
  EXPECT_TRUE(vm::IsFileFree(runner.BaseDir() + "Vdl_Rt\\vardelrun0.dll"));
  runner.StandinScript = "exit";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs));
  const auto trace = runner.TraceLines();
  EXPECT_TRUE(Has(trace, "the projector has ended"));
  EXPECT_TRUE(Has(trace, "claim: number 0 claimed"));
  EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{});
}

}  // namespace
