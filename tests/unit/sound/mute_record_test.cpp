#include "sound/mute_record.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using vm::MuteHolder;
using vm::MuteRecord;
using vm::SavedSoundStates;

const MuteHolder kFirst{100, 5000};
const MuteHolder kSecond{200, 6000};
const SavedSoundStates kMachine{0b101, 0x80008000};

class MuteRecordTest : public ::testing::Test {
 protected:
  vm::IsLiveHolder Live() {
    return [this](const MuteHolder& h) { return live_.count(h.ProcessId * 1000000ull + h.CreationTime) != 0; };
  }
  void Start(const MuteHolder& h) { live_.insert(h.ProcessId * 1000000ull + h.CreationTime); }
  void Die(const MuteHolder& h) { live_.erase(h.ProcessId * 1000000ull + h.CreationTime); }
  // Begins a muting session as the launch does: the first saves what it finds.
  void Mute(const MuteHolder& h, const SavedSoundStates& found) {
    Start(h);
    if (vm::BeginMute(record_, h, Live())) record_.Saved = found;
  }

  MuteRecord record_;
  std::set<unsigned long long> live_;
};

TEST_F(MuteRecordTest, OverlappingRunnersRestoreWhatTheFirstFoundWhenTheLastEnds) {
  Mute(kFirst, kMachine);
  Mute(kSecond, SavedSoundStates{0xFFFFFFFF, 0});  // finds the machine muted by the first
  EXPECT_FALSE(vm::EndMute(record_, kFirst, Live()));
  Die(kFirst);
  const auto restore = vm::EndMute(record_, kSecond, Live());
  ASSERT_TRUE(restore);
  EXPECT_EQ(restore->MuteStates, kMachine.MuteStates);
  EXPECT_EQ(restore->WaveVolume, kMachine.WaveVolume);
  EXPECT_FALSE(record_.Saved);
  EXPECT_TRUE(record_.Holders.empty());
}

TEST_F(MuteRecordTest, StatesLeftByACrashedRunnerAreRestoredByTheNextOne) {
  Mute(kFirst, kMachine);
  Die(kFirst);  // killed while muted: its end never ran
  const auto abandoned = vm::TakeAbandonedStates(record_, Live());
  ASSERT_TRUE(abandoned);
  EXPECT_EQ(abandoned->WaveVolume, kMachine.WaveVolume);
  EXPECT_FALSE(vm::TakeAbandonedStates(record_, Live()));
}

TEST_F(MuteRecordTest, StatesHeldByALiveRunnerAreNotAbandoned) {
  Mute(kFirst, kMachine);
  EXPECT_FALSE(vm::TakeAbandonedStates(record_, Live()));
  EXPECT_TRUE(record_.Saved);
  // The same process id with another creation time is another process.
  Die(kFirst);
  Start(MuteHolder{kFirst.ProcessId, kFirst.CreationTime + 1});
  EXPECT_TRUE(vm::TakeAbandonedStates(record_, Live()));
}

TEST(MuteRecordText, RoundTripsAndDropsWhatItCannotRead) {
  EXPECT_EQ(vm::FormatHolders({kFirst, kSecond}), "100.5000;200.6000");
  const auto holders = vm::ParseHolders("100.5000;junk;7;;200.6000;3.4x");
  EXPECT_EQ(holders, (std::vector<MuteHolder>{kFirst, kSecond}));
  const auto saved = vm::ParseSavedStates(vm::FormatSavedStates(kMachine));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->MuteStates, kMachine.MuteStates);
  EXPECT_EQ(saved->WaveVolume, kMachine.WaveVolume);
  for (const char* bad : {"", "5", "5 x", "5 6 7", "-1 2", "4294967296 0"})
    EXPECT_FALSE(vm::ParseSavedStates(bad)) << bad;
  EXPECT_EQ(vm::FormatSavedStates(std::nullopt), "");
}

}  // namespace
