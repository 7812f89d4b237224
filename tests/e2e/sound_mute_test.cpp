#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/runner_harness.h"
#include "sound/mixer.h"
#include "sound/wave_mute.h"
#include "support/registry_win.h"
#include "support/win_handles.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr char kMutedSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nSound=0\r\n";
constexpr char kLoudSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nSound=1\r\n";

bool HasRecordValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  vm::UniqueKey owned(key);
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string RecordValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "";
  vm::UniqueKey owned(key);
  std::string text;
  vm::RegReadString(key, name, text);
  return text;
}

struct MachineSound {
  uint32_t MuteStates;
  uint32_t WaveVolume;
  bool operator==(const MachineSound& o) const { return MuteStates == o.MuteStates && WaveVolume == o.WaveVolume; }
};

MachineSound ReadMachine() {
  return {vm::ExchangeMuteStates(vm::SystemMixers(), 0, false), vm::GetWaveVolume(vm::SystemWaveVolume())};
}

PackedRunner Movie(const std::string& name, const char* settings) {
  return PackedRunner(name, {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
}

bool AwaitTrace(const PackedRunner& runner, const std::string& text) {
  for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kPollMs) {
    if (TraceHas(runner.TraceLines(), text)) return true;
    Sleep(kPollMs);
  }
  return false;
}

// The record that Runners share while the machine's sound is muted: empty whenever none mutes.
class SoundMute : public ::testing::Test {
 protected:
  // A test that failed may have left a Runner's record behind; each test starts without one.
  void SetUp() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      vm::UniqueKey owned(key);
      RegDeleteValueA(key, "MuteSaved");
      RegDeleteValueA(key, "MuteHolders");
    }
    before_ = ReadMachine();
  }
  // Once no Runner mutes, the record's values are gone, not left empty.
  void ExpectPutBack() {
    EXPECT_FALSE(HasRecordValue("MuteSaved")) << RecordValue("MuteSaved");
    EXPECT_FALSE(HasRecordValue("MuteHolders")) << RecordValue("MuteHolders");
    EXPECT_TRUE(ReadMachine() == before_) << "the machine's mute controls or wave volume changed";
  }
  MachineSound before_ = {};
};

TEST_F(SoundMute, AMutedMovieHoldsTheRecordWhileItPlaysAndPutsEverythingBack) {
  PackedRunner runner = Movie("MutedMovie", kMutedSettings);
  runner.StandinScript = "ready;sleep 1500;close-request";
  PackedRunner::Started started;
  runner.Start(started);
  ASSERT_TRUE(AwaitTrace(runner, "mute: the sound is muted"));
  EXPECT_EQ(RecordValue("MuteHolders").rfind(std::to_string(started.ProcessId) + ".", 0), 0u) << RecordValue("MuteHolders");
  EXPECT_NE(RecordValue("MuteSaved"), "");
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs)) << runner.LastSteps();
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "mute: the sound is restored"));
  EXPECT_TRUE(runner.LeftInBase().empty());
  ExpectPutBack();
}

// A movie that never mutes writes no record at all.
TEST_F(SoundMute, ALoudMovieLeavesNoRecord) {
  PackedRunner runner = Movie("LoudMovie", kLoudSettings);
  runner.StandinScript = "ready;close-request";
  ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << runner.LastSteps();
  ExpectPutBack();
}

std::vector<std::string> SoundLines(const std::vector<std::string>& log) {
  std::vector<std::string> lines;
  for (const std::string& line : log)
    if (line.rfind("sound ", 0) == 0) lines.push_back(line);
  return lines;
}

// From Windows Vista on (and under Wine) a program's mixers are its own audio session, which the
// Runner's mute does not reach: the projector's is muted from inside it while a muted movie plays,
// and is as it was found once the movie window has gone.
TEST_F(SoundMute, TheProjectorsOwnSoundIsMutedOnlyWhileAMutedMoviePlays) {
  // Without an audio server there are no mixers, and no sound of the projector's to mute.
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave device: no audio server runs";
  struct Case {
    const char* Settings;
    const char* WhilePlaying;
  };
  for (const Case& c : {Case{kMutedSettings, "sound muted"}, Case{kLoudSettings, "sound loud"}}) {
    SCOPED_TRACE(c.Settings);
    PackedRunner runner = Movie("OwnSound", c.Settings);
    runner.StandinScript = "ready;sound;close-request";
    ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << runner.LastSteps();
    EXPECT_EQ(SoundLines(runner.StandinLines()), (std::vector<std::string>{c.WhilePlaying, "sound loud"}));
    ExpectPutBack();
  }
}

// The second muting Runner finds the sound muted by the first and leaves the restoring to it.
TEST_F(SoundMute, OverlappingMutedMoviesRestoreOnlyWhenTheLastEnds) {
  PackedRunner first = Movie("MutedFirst", kMutedSettings);
  first.StandinScript = "ready;sleep 60000;close-request";
  PackedRunner second = Movie("MutedSecond", kMutedSettings);
  second.StandinScript = "ready;sleep 500;close-request";
  // The second Runner takes instance number 1, and its projector asks that instance to close.
  second.ExtraEnvironment = {{"STANDIN_SUFFIX", "_VDL_RT1"}};
  PackedRunner::Started firstStarted;
  first.Start(firstStarted);
  ASSERT_TRUE(AwaitTrace(first, "mute: the sound is muted"));
  const std::string saved = RecordValue("MuteSaved");

  ASSERT_TRUE(second.Run(kRunTimeoutMs));
  const auto secondTrace = second.TraceLines();
  EXPECT_TRUE(TraceHas(secondTrace, "mute: the sound is muted, as another Runner had it"));
  EXPECT_TRUE(TraceHas(secondTrace, "mute: the sound stays muted for another Runner"));
  EXPECT_EQ(RecordValue("MuteSaved"), saved) << "the first Runner's saved states are kept";
  EXPECT_EQ(RecordValue("MuteHolders").rfind(std::to_string(firstStarted.ProcessId) + ".", 0), 0u);

  HWND main = FindWindowA("GaGaMossantWindow", nullptr);
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(firstStarted.WaitForExit(kRunTimeoutMs)) << first.LastSteps();
  EXPECT_TRUE(TraceHas(first.TraceLines(), "mute: the sound is restored"));
  ExpectPutBack();
}

// A Runner killed while muting cannot restore; the next Runner of the user does, at its start.
TEST_F(SoundMute, TheNextRunnerRestoresWhatAKilledOneLeftMuted) {
  PackedRunner killed = Movie("MutedKilled", kMutedSettings);
  killed.StandinScript = "ready;sleep 60000";
  PackedRunner::Started started;
  killed.Start(started);
  ASSERT_TRUE(AwaitTrace(killed, "mute: the sound is muted"));
  ASSERT_TRUE(TerminateProcess(started.Process, 1));
  WaitForSingleObject(started.Process, kRunTimeoutMs);
  EXPECT_NE(RecordValue("MuteSaved"), "");

  PackedRunner next = Movie("LoudNext", kLoudSettings);
  next.StandinScript = "exit";
  ASSERT_TRUE(next.Run(kRunTimeoutMs));
  EXPECT_TRUE(TraceHas(next.TraceLines(), "mute: restored the sound that an ended Runner left muted"));
  ExpectPutBack();
}

}  // namespace
