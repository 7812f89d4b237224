#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "e2e/runner_harness.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n";
constexpr char kClasses[] = "Software\\Classes";
constexpr char kApplication[] = "VardelBrowser";
constexpr char kTopic[] = "WWW_OpenURL";

PackedRunner Movie(const std::string& name, const std::string& settings) {
  return PackedRunner(name, {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
}

size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

// The default value of a key below the machine's classes, or nothing.
std::optional<std::string> ReadDefault(const std::string& path) {
  char value[1024];
  DWORD size = sizeof value;
  DWORD type = REG_NONE;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), nullptr, &type, value,
                  &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(value);
}

void WriteDefault(const std::string& path, const std::string& value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

// The prefix's HKEY_CLASSES_ROOT is the machine's classes alone, so the test registers its web-page
// class and its http handler there, and puts the prefix's own values back afterwards.
class MovieRequests : public ::testing::Test {
 protected:
  void SetUp() override {
    savedHtm_ = ReadDefault(".htm");
    savedHtml_ = ReadDefault(".html");
    savedHttp_ = ReadDefault("http\\shell\\open\\command");
    probe_ = dir_.File("browser.exe");
    vmtest::WriteBytes(probe_, vmtest::ReadBytes(vmtest::ProgramDir() + "\\command_line_probe.exe"));
    WriteDefault(".htm", "VardelTestPage");
    WriteDefault(".html", "VardelTestPage");
    WriteDefault("VardelTestPage\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    WriteDefault("VardelTestPage\\shell\\open\\ddeexec\\Application", kApplication);
    WriteDefault("VardelTestPage\\shell\\open\\ddeexec\\Topic", kTopic);
    WriteDefault("http\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
  }
  void TearDown() override {
    Restore(".htm", savedHtm_);
    Restore(".html", savedHtml_);
    Restore("http\\shell\\open\\command", savedHttp_);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\VardelTestPage").c_str());
  }
  static void Restore(const std::string& path, const std::optional<std::string>& value) {
    if (value)
      WriteDefault(path, *value);
    else
      SHDeleteValueA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + path).c_str(), nullptr);
  }

  // What the browser stand-in was started with, once it has written it.
  std::string BrowserCommandLine() const {
    for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
      std::ifstream log(probe_ + ".log", std::ios::binary);
      if (log) {
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
      }
      Sleep(kPollMs);
    }
    return "(the browser was not started)";
  }

  vmtest::TempDir dir_;
  std::string probe_;
  std::optional<std::string> savedHtm_, savedHtml_, savedHttp_;
};

// The main window once it is visible, or null.
HWND VisibleMainWindow() {
  for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
    HWND main = FindWindowA(kMainClass, nullptr);
    if (main && IsWindowVisible(main)) return main;
    Sleep(kPollMs);
  }
  return nullptr;
}

std::string Caption(HWND window) {
  char caption[64] = "(unread)";
  GetWindowTextA(window, caption, sizeof caption);
  return caption;
}

TEST_F(MovieRequests, MovieCommandsAreTakenAndNeverBecomeTheCaption) {
  PackedRunner runner = Movie("Commands", std::string(kSettings) + "Vardel Screen Name=Commands\r\n");
  runner.StandinScript = "ready;sleep 500;settext 0 VCOMMAND:quit;settext 0 vcommandW:run x;sleep 2000;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  for (DWORD waited = 0; waited < kRunTimeoutMs && Count(runner.StandinLines(), "reply 1") < 2; waited += kPollMs)
    Sleep(kPollMs);
  EXPECT_EQ(Caption(main), "Commands");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_EQ(Count(runner.StandinLines(), "reply 1"), 2u);
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "movie command \"VCOMMAND:quit\""));
  EXPECT_TRUE(runner.LeftInBase().empty());
}

TEST_F(MovieRequests, ACaptionThatLooksLikeACommandLeavesTheWindowWithoutCaption) {
  PackedRunner runner = Movie("CommandCaption", std::string(kSettings) + "Vardel Screen Name=vcommand:title\r\n");
  runner.StandinScript = "ready;sleep 1500;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  HWND main = VisibleMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Caption(main), "");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
}

TEST_F(MovieRequests, AWebAddressIsOpenedByTheShellAndAProgramIsNot) {
  const std::string request = std::string("dde:") + kApplication + ":" + kTopic + ":";
  PackedRunner runner = Movie("WebPage", kSettings);
  runner.StandinScript = "ready;settext 1 " + request + "http://example.invalid/page.htm;settext 0 " + request +
                         "setup.exe;settext 0 " + request + "\"http://example.invalid/page.htm\",,-1;settext 0 dde:" +
                         "Other:" + kTopic + ":http://example.invalid/;sleep 500;close-request";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs));
  EXPECT_NE(BrowserCommandLine().find("http://example.invalid/page.htm"), std::string::npos);
  const auto log = runner.StandinLines();
  EXPECT_EQ(Count(log, "reply 2"), 3u);
  EXPECT_EQ(Count(log, "reply 1"), 1u) << "another browser's request is a caption";
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "\"setup.exe\" is not opened"));
  EXPECT_TRUE(runner.LeftInBase().empty());
}

}  // namespace
