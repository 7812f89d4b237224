#include "sound/midi_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "unit/sound/fake_sequencer.h"
#include "unit/sound/midi_file.h"

namespace {

using vm::MidiState;
using vm::TMediaPlayer;
using vmtest::FakeSequencer;

constexpr uintptr_t kWindow = 0x1234;
constexpr int32_t kEndless = 2147483647;

class MidiPlayback : public ::testing::Test {
 protected:
  MidiState State(bool loop) { return MidiState{muted_, loop, loopTimes_}; }
  // Lets each play end and the pump deliver its notification, count times.
  void PlayThrough(int count) {
    for (int i = 0; i < count; ++i) {
      mci_.FinishPlay();
      mci_.Pump(player_);
    }
  }
  size_t CountCommands(const std::string& command) const {
    return static_cast<size_t>(std::count(mci_.Commands.begin(), mci_.Commands.end(), command));
  }

  FakeSequencer mci_;
  TMediaPlayer player_{mci_};
  bool muted_ = false;
  int32_t loopTimes_ = 3;
};

TEST_F(MidiPlayback, ALoopOfThreePlaysThreeTimesRewindingBeforeEachReplay) {
  vm::StartMidi(player_, State(true), "C:\\run\\tune.mid", kWindow);
  EXPECT_EQ(player_.NotifyWindow, kWindow);
  PlayThrough(5);
  EXPECT_EQ(mci_.Plays, 3);
  EXPECT_FALSE(mci_.Playing);
  EXPECT_EQ(CountCommands("play notify"), 3u);
  EXPECT_EQ(CountCommands("seek"), 2u) << "each replay starts from the beginning";
  EXPECT_EQ(mci_.Commands.front(), "open");
}

TEST_F(MidiPlayback, ALoopWithoutACountPlaysUntilTheSessionEnds) {
  loopTimes_ = kEndless;
  vm::StartMidi(player_, State(true), "tune.mid", kWindow);
  PlayThrough(20);
  EXPECT_EQ(mci_.Plays, 21);
  EXPECT_TRUE(mci_.Playing);
}

TEST_F(MidiPlayback, WithoutLoopItPlaysOnceAndItsNotificationChangesNothing) {
  vm::StartMidi(player_, State(false), "tune.mid", kWindow);
  const size_t commands = mci_.Commands.size();
  PlayThrough(2);
  EXPECT_EQ(mci_.Plays, 1);
  EXPECT_EQ(mci_.Commands.size(), commands);
  EXPECT_EQ(loopTimes_, 3);
}

TEST_F(MidiPlayback, StoppingDuringAPlayClosesTheDeviceAndItsAbortedNoticeStartsNothing) {
  loopTimes_ = kEndless;
  vm::StartMidi(player_, State(true), "tune.mid", kWindow);
  int pumps = 0;
  vm::StopMidi(player_, muted_, [&] {
    ++pumps;
    mci_.Pump(player_);
  });
  EXPECT_TRUE(muted_);
  EXPECT_EQ(pumps, 2);
  EXPECT_EQ(mci_.Plays, 1);
  EXPECT_FALSE(player_.IsOpen());
  EXPECT_EQ(player_.DeviceId(), 0);
  EXPECT_EQ(player_.NotifyResult(), vm::MciNotifyResult::Aborted) << "the interrupted play reported itself";
  EXPECT_NE(std::find(mci_.Commands.begin(), mci_.Commands.end(), "stop"), mci_.Commands.end());
  EXPECT_EQ(mci_.Commands.back(), "close");
}

TEST_F(MidiPlayback, TheLastPlaysNotificationLeavesTheNextCommandAskingForOne) {
  loopTimes_ = 1;
  vm::StartMidi(player_, State(true), "tune.mid", kWindow);
  PlayThrough(1);
  EXPECT_EQ(mci_.Plays, 1);
  vm::StopMidi(player_, muted_, [&] { mci_.Pump(player_); });
  EXPECT_EQ(mci_.Commands.back(), "close notify");
}

TEST_F(MidiPlayback, AFileThatCannotBeOpenedLeavesTheMovieWithoutMusic) {
  mci_.OpenError = 275;
  mci_.ErrorTextOfOpen = "The specified file was not found.";
  vm::StartMidi(player_, State(true), "missing.mid", kWindow);
  EXPECT_EQ(mci_.Plays, 0);
  EXPECT_FALSE(player_.IsOpen());
  EXPECT_EQ(player_.ErrorText(), "The specified file was not found.");
  vm::StopMidi(player_, muted_, [] {});
  EXPECT_EQ(mci_.Commands.size(), 1u) << "nothing was open, so nothing is stopped or closed";
}

TEST(TMediaPlayer, CommandsNeedAnOpenDeviceAndErrorsWithoutTextAreUnknown) {
  FakeSequencer mci;
  TMediaPlayer player(mci);
  try {
    player.Play();
    FAIL() << "no error";
  } catch (const vm::EMCIDeviceError& e) {
    EXPECT_STREQ(e.what(), "Device Not Open");
  }
  EXPECT_EQ(player.GetMode(), 0u);
  mci.OpenError = 999;
  EXPECT_THROW(player.Open(), vm::EMCIDeviceError);
  EXPECT_EQ(player.ErrorText(), "Unknown MCI Error");
}

TEST(TMediaPlayer, MapsTheNotifyCodesAndLeavesOthersAlone) {
  FakeSequencer mci;
  TMediaPlayer player(mci);
  int calls = 0;
  player.OnNotify = [&](TMediaPlayer&) { ++calls; };
  const struct {
    uint32_t Code;
    vm::MciNotifyResult Result;
  } cases[] = {
      {vm::kMciNotifyAborted, vm::MciNotifyResult::Aborted},
      {vm::kMciNotifySuperseded, vm::MciNotifyResult::Superseded},
      {vm::kMciNotifyFailure, vm::MciNotifyResult::Failure},
      {3, vm::MciNotifyResult::Failure},  // unknown: unchanged
      {vm::kMciNotifySuccessful, vm::MciNotifyResult::Successful},
  };
  for (const auto& c : cases) {
    player.MMNotify(c.Code);
    EXPECT_EQ(player.NotifyResult(), c.Result) << c.Code;
  }
  EXPECT_EQ(calls, 5);
}

TEST(TMediaPlayer, FreeingAnOpenPlayerClosesItsDevice) {
  FakeSequencer mci;
  {
    TMediaPlayer player(mci);
    player.FileName = "tune.mid";
    player.Open();
    EXPECT_EQ(mci.Commands.back(), "open");
  }
  EXPECT_EQ(mci.Commands.back(), "close");
}

TEST(MidiFile, HasTheHeaderAndTrackOfAFormatZeroFile) {
  const std::string file = vmtest::MidiFile({60, 64}, 96);
  EXPECT_EQ(file.substr(0, 14), std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14));
  EXPECT_EQ(file.substr(14, 8), std::string("MTrk\0\0\0\x14", 8));
  // delta 0, note on; delta 96, note off; twice; then the end of the track.
  EXPECT_EQ(file.substr(22), std::string("\0\x90\x3C\x60\x60\x80\x3C\0\0\x90\x40\x60\x60\x80\x40\0\0\xFF\x2F\0", 20));
}

}  // namespace
