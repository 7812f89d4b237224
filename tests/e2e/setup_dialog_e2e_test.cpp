#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/error_box.h"
#include "e2e/runner_harness.h"
#include "support/win_handles.h"

namespace {

using vmtest::PackedRunner;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kSettleMs = 1500;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr UINT kSetupItem = 130;
constexpr int kMouseBox = 10;
constexpr int kSoundBox = 13;
// Each start of the stand-in dumps the shared block once it is ready.
constexpr char kStarted[] = "block 96 1";
constexpr size_t kMouseFlagsOffset = 60;  // the dword that holds byte 62, "mouse interaction off"

// A preference of the packed Runner as the registry holds it; empty when missing.
std::string StoredPreference(const std::string& programName, const char* name) {
  HKEY raw = nullptr;
  const std::string path = "Software\\Halvorn\\" + programName;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return "";
  vm::UniqueKey key(raw);
  char data[64] = {};
  DWORD type = REG_NONE, size = sizeof data - 1;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return "";
  return data;
}

void ForgetPreferences(const std::string& programName) {
  RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Halvorn\\" + programName).c_str());
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& text) {
  size_t count = 0;
  for (const std::string& line : lines)
    if (line == text) ++count;
  return count;
}

// Waits at most timeoutMs for the stand-in's log to hold the line count times.
bool WaitForLines(const PackedRunner& runner, const std::string& text, size_t count, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (CountLines(runner.StandinLines(), text) >= count) return true;
    Sleep(kPollMs);
  }
  return false;
}

// "mouse interaction off" as each start of the stand-in saw it in the shared block.
std::vector<int> MouseInteractionOff(const PackedRunner& runner) {
  std::vector<int> seen;
  const std::string prefix = "block " + std::to_string(kMouseFlagsOffset) + " ";
  for (const std::string& line : runner.StandinLines())
    if (line.rfind(prefix, 0) == 0) seen.push_back((std::strtoul(line.c_str() + prefix.size(), nullptr, 10) >> 16) & 0xFF);
  return seen;
}

BOOL CALLBACK CountDialogs(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<std::pair<DWORD, int>*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid == search->first && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) ++search->second;
  return TRUE;
}

int VisibleDialogs(DWORD processId) {
  std::pair<DWORD, int> search{processId, 0};
  EnumWindows(CountDialogs, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND MainWindowOf(DWORD processId, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    for (HWND main = FindWindowA(kMainClass, nullptr); main; main = FindWindowExA(nullptr, main, kMainClass, nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(main, &pid);
      if (pid == processId && IsWindowVisible(main)) return main;
    }
    Sleep(kPollMs);
  }
  return nullptr;
}

void CloseBox(HWND dialog) {
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  for (DWORD waited = 0; waited < kRunTimeoutMs && IsWindow(dialog); waited += kPollMs) Sleep(kPollMs);
  EXPECT_FALSE(IsWindow(dialog)) << "the setup dialog stayed open";
}

PackedRunner Movie(const std::string& name, const std::string& settings) {
  ForgetPreferences(name);
  return PackedRunner(name, {{"settings.ini", "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n" + settings},
                             vmtest::StandinProjector(), vmtest::HookLibrary()});
}

TEST(SetupDialogEndToEnd, SetupModeShowsOnlyTheDialogAndSavesWhatIsClicked) {
  PackedRunner runner = Movie("SetupOnly", "Vardel Screen Name=Harbour Tour\r\n");
  PackedRunner::Started started;
  runner.Start(started, "/c");
  HWND dialog = vmtest::FindDialog(started.ProcessId, "Harbour Tour - Setup", kRunTimeoutMs);
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, kSoundBox, BM_CLICK, 0, 0);
  CloseBox(dialog);
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs)) << "the Runner did not end after the dialog";
  EXPECT_EQ(StoredPreference("SetupOnly", "Mute"), "1");
  EXPECT_EQ(StoredPreference("SetupOnly", "MouseExit"), "1");
  EXPECT_TRUE(runner.StandinLines().empty()) << "the movie was started";
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  ForgetPreferences("SetupOnly");
}

// "Setup" from the menu while the movie plays: a second "Setup" only focuses the open dialog;
// closing it unchanged lets the movie play on; a change restarts the movie, which then sees it.
TEST(SetupDialogEndToEnd, TheMenusSetupRestartsTheMovieOnlyWhenAPreferenceChanged) {
  PackedRunner runner = Movie("SetupMenu", "SetupMenu=1\r\nVardel Screen Name=Harbour Tour\r\n");
  runner.StandinScript = "ready;dump-block";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = MainWindowOf(started.ProcessId, kRunTimeoutMs);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitForLines(runner, kStarted, 1, kRunTimeoutMs)) << "the movie did not get ready";

  PostMessageA(main, WM_COMMAND, kSetupItem, 0);
  HWND dialog = vmtest::FindDialog(started.ProcessId, "Harbour Tour - Setup", kRunTimeoutMs);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(main, WM_COMMAND, kSetupItem, 0);
  Sleep(kSettleMs);
  EXPECT_EQ(VisibleDialogs(started.ProcessId), 1);
  CloseBox(dialog);
  Sleep(kSettleMs);
  EXPECT_EQ(CountLines(runner.StandinLines(), kStarted), 1u) << "the movie restarted without a change";
  EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main)) << "the movie's run ended";

  PostMessageA(main, WM_COMMAND, kSetupItem, 0);
  dialog = vmtest::FindDialog(started.ProcessId, "Harbour Tour - Setup", kRunTimeoutMs);
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, kMouseBox, BM_CLICK, 0, 0);
  CloseBox(dialog);
  ASSERT_TRUE(WaitForLines(runner, kStarted, 2, kRunTimeoutMs)) << "the movie did not start again";
  EXPECT_EQ(StoredPreference("SetupMenu", "MouseExit"), "0");
  EXPECT_EQ(MouseInteractionOff(runner), (std::vector<int>{1, 0}));

  HWND restarted = MainWindowOf(started.ProcessId, kRunTimeoutMs);
  ASSERT_NE(restarted, nullptr);
  PostMessageA(restarted, WM_CLOSE, 0, 0);
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  ForgetPreferences("SetupMenu");
}

}  // namespace
