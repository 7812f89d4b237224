#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "e2e/runner_harness.h"
#include "e2e/session_footprint.h"
#include "support/win_handles.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\";
constexpr char kTaskbarClass[] = "Shell_TrayWnd";

bool ProductsAre32Bit() {
  char build[16] = {};
  GetEnvironmentVariableA("VARDEL_PRODUCTS_BUILD", build, sizeof build);
  return std::string(build) == "i686";
}

// The Windows version that Wine reports to the programs of one file name, for as long as this
// lives. Wine reads it as each program starts.
class ReportedVersion {
 public:
  ReportedVersion(const std::string& program, const std::string& version) : key_(kAppDefaultsKey + program) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      throw std::runtime_error("RegCreateKeyExA failed for " + key_);
    vm::UniqueKey owned(key);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
  }
  ~ReportedVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
  ReportedVersion(const ReportedVersion&) = delete;
  ReportedVersion& operator=(const ReportedVersion&) = delete;

 private:
  std::string key_;
};

// A topmost window of the taskbar's class, as Windows 2000 and Me have it in front of a
// full-screen window, on a thread of its own that answers the Runner's window calls.
class Taskbar {
 public:
  Taskbar() : thread_([this] { Run(); }) {
    for (DWORD waited = 0; waited < kRunTimeoutMs && !window_; waited += kPollMs) Sleep(kPollMs);
  }
  ~Taskbar() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  Taskbar(const Taskbar&) = delete;
  Taskbar& operator=(const Taskbar&) = delete;

  HWND Window() const { return window_; }
  bool Topmost() const { return (GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

 private:
  void Run() {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = kTaskbarClass;
    RegisterClassA(&cls);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTaskbarClass, nullptr, WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, cls.hInstance, nullptr);
    window_ = window;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(window);
    UnregisterClassA(kTaskbarClass, cls.hInstance);
  }

  std::atomic<HWND> window_{nullptr};
  std::atomic<DWORD> threadId_{0};
  std::thread thread_;
};

bool HasRecordValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  vm::UniqueKey owned(key);
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::vector<std::string> SoundLines(const std::vector<std::string>& log) {
  std::vector<std::string> lines;
  for (const std::string& line : log)
    if (line.rfind("sound ", 0) == 0) lines.push_back(line);
  return lines;
}

struct Version {
  const char* Name;
  const char* Wine64;  // Wine's names for the version, for 64- and 32-bit programs
  const char* Wine32;
  // What GetVersionEx answers inside the projector; Windows 10 answers 6.2 to a program whose
  // manifest does not name it.
  const char* Seen64;
  const char* Seen32;
  bool Nt5;        // the Runner's Windows 2000 branch: major version 5
  bool OwnMixers;  // Vista and later: the hook library mutes the projector's own sound
};

void PrintTo(const Version& v, std::ostream* out) { *out << v.Name; }

class WindowsVersion : public ::testing::TestWithParam<Version> {};

// A muted full-screen movie, played until its window is closed, while Wine reports the version to
// the Runner and to its projector. What each branch does is seen from outside: on NT 5 the Runner keeps the taskbar
// below its screen, from Vista on the projector plays muted inside its own process (where Wine
// keeps each program's mixers, whatever version it reports).
TEST_P(WindowsVersion, AMutedFullScreenMoviePlaysAndEndsCleanly) {
  const Version& v = GetParam();
  const std::string name = std::string("Version") + v.Name;
  const std::string projector = "ver" + std::string(v.Name) + ".exe";
  const bool is32 = ProductsAre32Bit();
  const ReportedVersion runnerVersion(name + ".exe", is32 ? v.Wine32 : v.Wine64);
  const ReportedVersion projectorVersion(projector, is32 ? v.Wine32 : v.Wine64);
  PackedRunner runner(name, {{"settings.ini", "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nFullScreen=1\r\nSound=0\r\n"},
                             vmtest::StandinProjector(projector),
                             vmtest::HookLibrary()});
  // The movie plays until the test closes it: the Runner has then kept the taskbar in its place
  // at least once, in the pass of its wait in which it saw the movie ready.
  runner.StandinScript = "ready;sound;sleep 30000;close-request";
  const Taskbar taskbar;
  ASSERT_NE(taskbar.Window(), nullptr);
  ASSERT_EQ(FindWindowA(kTaskbarClass, nullptr), taskbar.Window()) << "another taskbar is in front of this one";

  vmtest::PlayToACleanEnd(runner, kRunTimeoutMs, [](HWND main) { PostMessageA(main, WM_CLOSE, 0, 0); });

  const auto log = runner.StandinLines();
  for (const std::string& line : {"version " + std::string(is32 ? v.Seen32 : v.Seen64),
                                  std::string("parent-class GaGaMossantWindow"), std::string("closed")})
    EXPECT_TRUE(TraceHas(log, line)) << line << "\n" << runner.LastSteps();
  // Without an audio server there are no mixers: no sound to mute, nor to see.
  const bool mixers = waveOutGetNumDevs() > 0;
  const std::string whilePlaying = !mixers ? "sound none" : v.OwnMixers ? "sound muted" : "sound loud";
  EXPECT_EQ(SoundLines(log), (std::vector<std::string>{whilePlaying, mixers ? "sound loud" : "sound none"}));
  EXPECT_EQ(taskbar.Topmost(), !v.Nt5) << "the taskbar is moved below the movie on NT 5 alone";
  EXPECT_FALSE(HasRecordValue("MuteSaved")) << "the machine's sound is put back";
  EXPECT_FALSE(HasRecordValue("MuteHolders"));
}

INSTANTIATE_TEST_SUITE_P(, WindowsVersion,
                         ::testing::Values(Version{"XP", "winxp64", "winxp", "5.2", "5.1", true, false},
                                           Version{"Seven", "win7", "win7", "6.1", "6.1", false, true},
                                           Version{"Ten", "win10", "win10", "6.2", "6.2", false, true}),
                         [](const ::testing::TestParamInfo<Version>& info) { return std::string(info.param.Name); });

}  // namespace
