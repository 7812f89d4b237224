#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "win/standin/runner_window.h"
#include "win/standin/standin_process.h"

namespace {

using standintest::FakeRunnerWindow;
using standintest::StandinProcess;
using Received = FakeRunnerWindow::Received;

constexpr UINT WM_PROJECTOR_READY = WM_USER + 4;
constexpr char kSuffix[] = "_STANDIN_TEST";
constexpr DWORD kSharedMappingSize = 11140;

StandinProcess::Setup WithScript(const std::string& script) {
  StandinProcess::Setup setup;
  setup.ShowCommand = SW_HIDE;
  setup.Variables = {{"STANDIN_SCRIPT", script}, {"STANDIN_SUFFIX", kSuffix}};
  return setup;
}

// Starts the stand-in and embeds its window as the Runner does, which starts the script.
HWND Embed(StandinProcess& standin, const FakeRunnerWindow& runner) {
  HWND window = standin.WaitForWindow();
  if (window != nullptr) SetParent(window, runner.Handle());
  return window;
}

std::vector<UINT> MessageIds(const std::vector<Received>& received) {
  std::vector<UINT> ids;
  for (const Received& r : received) ids.push_back(r.Message);
  return ids;
}

TEST(StandinScript, ReadyAndSettextReachTheRunnersWindowAndTheReplyIsLogged) {
  FakeRunnerWindow runner;
  StandinProcess standin(WithScript("ready;settext 7 hello;exit"));
  ASSERT_NE(Embed(standin, runner), nullptr);
  ASSERT_TRUE(standin.WaitForExit());

  const auto& received = runner.Messages();
  ASSERT_EQ(MessageIds(received), (std::vector<UINT>{WM_PROJECTOR_READY, WM_SETTEXT}));
  EXPECT_EQ(received[1].WParam, 7u);
  EXPECT_EQ(received[1].Text, "hello");
  std::vector<std::string> log = standin.Log();
  auto embedded = std::find(log.begin(), log.end(), "parent-class GaGaMossantWindow");
  auto reply = std::find(log.begin(), log.end(), "reply 4242");
  EXPECT_TRUE(embedded < reply && reply != log.end());
  EXPECT_EQ(log.back(), "closed");
}

class SharedBlock {
 public:
  SharedBlock() {
    std::string name = std::string("HalvornRunnerMapping") + kSuffix;
    mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSharedMappingSize,
                                      name.c_str()));
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
  }
  bool Ready() const { return static_cast<bool>(view_); }
  void Put(size_t offset, uint32_t value) { memcpy(Bytes() + offset, &value, sizeof value); }
  void PutText(size_t offset, const std::string& text) {
    Bytes()[offset] = static_cast<char>(text.size());
    memcpy(Bytes() + offset + 1, text.data(), text.size());
  }

 private:
  char* Bytes() { return static_cast<char*>(view_.get()); }
  vm::UniqueHandle mapping_;
  vm::UniqueView view_;
};

TEST(StandinScript, SendPostDumpBlockAndCloseRequestAsTheHookLibraryWould) {
  SharedBlock block;
  ASSERT_TRUE(block.Ready());
  block.Put(24, 1234);
  block.Put(48, 0xFFFFFFFE);
  block.PutText(116, "C:\\Temp\\Vardel 1");
  standintest::ThreadMessages().clear();
  UINT runnerMessage = RegisterWindowMessageA((std::string("HalvornRunnerMessage") + kSuffix).c_str());

  FakeRunnerWindow runner;
  StandinProcess standin(WithScript("send 0x410 5 0x10; post 1041 6 7; dump-block; close-request; exit"));
  ASSERT_NE(Embed(standin, runner), nullptr);
  ASSERT_TRUE(standin.WaitForExit());
  standintest::PumpFor(100);

  const auto& received = runner.Messages();
  ASSERT_EQ(MessageIds(received), (std::vector<UINT>{0x410, 1041}));
  EXPECT_EQ(received[0].WParam, 5u);
  EXPECT_EQ(received[0].LParam, 0x10);
  EXPECT_EQ(received[1].WParam, 6u);
  EXPECT_EQ(received[1].LParam, 7);

  for (const char* line : {"block 0 0", "block 24 1234", "block 48 4294967294", "block 108 0",
                           "block 116 C:\\Temp\\Vardel 1"})
    EXPECT_TRUE(standin.HasLine(line)) << line;

  const auto& posted = standintest::ThreadMessages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, runnerMessage);
  EXPECT_EQ(posted[0].wParam, 0u);
}

TEST(StandinScript, DumpBlockWithoutTheRunnersMappingLogsTheFailure) {
  FakeRunnerWindow runner;
  StandinProcess standin(WithScript("dump-block;exit"));
  ASSERT_NE(Embed(standin, runner), nullptr);
  ASSERT_TRUE(standin.WaitForExit());
  EXPECT_EQ(standin.WaitForLineStarting("error "),
            std::string("error OpenFileMappingA failed for HalvornRunnerMapping") + kSuffix + " (error 2)");
}

// The Runner sends the projector messages while the movie plays: a sleeping script must not
// hold them up.
TEST(StandinScript, ASleepKeepsTheWindowAnswering) {
  FakeRunnerWindow runner;
  StandinProcess standin(WithScript("sleep 3000;ready"));
  HWND window = Embed(standin, runner);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(standin.WaitForLine("parent-class GaGaMossantWindow"));
  standintest::PumpFor(300);

  DWORD_PTR ignored;
  EXPECT_TRUE(SendMessageTimeoutA(window, WM_COMMAND, 20048, 0, SMTO_NORMAL, 1000, &ignored));
  EXPECT_TRUE(standin.HasLine("fullscreen on"));
  EXPECT_TRUE(runner.Messages().empty());
  EXPECT_TRUE(standintest::PumpUntil([&] { return !runner.Messages().empty(); }));
  EXPECT_EQ(MessageIds(runner.Messages()), std::vector<UINT>{WM_PROJECTOR_READY});
}

TEST(StandinScript, ABadScriptIsLoggedAndNothingOfItIsPlayed) {
  FakeRunnerWindow runner;
  StandinProcess standin(WithScript("ready;jump 3"));
  EXPECT_TRUE(standin.WaitForLine("error unknown action \"jump 3\""));
  ASSERT_NE(Embed(standin, runner), nullptr);
  ASSERT_TRUE(standin.WaitForLine("parent-class GaGaMossantWindow"));
  standintest::PumpFor(500);
  EXPECT_TRUE(runner.Messages().empty());
  EXPECT_TRUE(standin.IsRunning());
}

}  // namespace
