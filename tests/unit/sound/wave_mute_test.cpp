#include "sound/wave_mute.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using vm::MixerControl;
using vm::MixerLine;

constexpr uint32_t kVolumeControl = 0x50030001;

// A machine's mixers as data: each device's destinations, each with its sources and their
// controls, and the mute values the controls hold.
struct FakeSource {
  uint32_t TargetType;
  std::vector<MixerControl> Controls;
  bool Readable = true;
};
struct FakeDestination {
  uint32_t TargetType;
  std::vector<FakeSource> Sources;
};
struct FakeDevice {
  std::vector<FakeDestination> Destinations;
  bool Opens = true;
};

class FakeMixers : public vm::Mixers {
 public:
  std::vector<FakeDevice> Devices;
  std::map<uint32_t, bool> Muted;  // by control id; shared ids stand for one control
  std::vector<std::string> Log;
  int OpenDevices = 0;

  uint32_t DeviceCount() override { return static_cast<uint32_t>(Devices.size()); }
  bool DestinationCount(uint32_t device, uint32_t& count) override {
    count = static_cast<uint32_t>(Devices[device].Destinations.size());
    return true;
  }
  bool OpenDevice(uint32_t device) override {
    if (!Devices[device].Opens) return false;
    open_ = &Devices[device];
    ++OpenDevices;
    return true;
  }
  void CloseDevice() override {
    open_ = nullptr;
    --OpenDevices;
  }
  bool Destination(uint32_t d, MixerLine& line) override {
    line.TargetType = open_->Destinations[d].TargetType;
    line.Connections = static_cast<uint32_t>(open_->Destinations[d].Sources.size());
    return true;
  }
  bool Source(uint32_t d, uint32_t s, MixerLine& line) override {
    const FakeSource& source = open_->Destinations[d].Sources[s];
    line.TargetType = source.TargetType;
    line.LineId = d * 100 + s;
    line.Controls = static_cast<uint32_t>(source.Controls.size());
    return source.Readable;
  }
  bool LineControls(const MixerLine& line, std::vector<MixerControl>& controls) override {
    controls = open_->Destinations[line.LineId / 100].Sources[line.LineId % 100].Controls;
    return true;
  }
  bool MuteValue(uint32_t id) override { return Muted[id]; }
  void SetMuteValue(uint32_t id, bool muted) override {
    Log.push_back("set " + std::to_string(id) + (muted ? " on" : " off"));
    Muted[id] = muted;
  }

 private:
  FakeDevice* open_ = nullptr;
};

MixerControl Mute(uint32_t id) { return {vm::kControlTypeMute, id}; }

// Two mixers: the first with a speaker destination holding wave and MIDI sources, and a
// recording destination; the second, which does not open, and a third with one wave source whose
// mute control is also reachable through a second destination.
FakeMixers Machine() {
  FakeMixers m;
  m.Devices = {
      {{{vm::kTargetTypeWaveOut,
         {{vm::kTargetTypeWaveOut, {{kVolumeControl, 1}, Mute(2)}},
          {vm::kTargetTypeMidiOut, {Mute(3)}},
          {vm::kTargetTypeWaveOut, {Mute(4)}, false}}},
        {7 /* wave in */, {{vm::kTargetTypeWaveOut, {Mute(5)}}}}}},
      {{{vm::kTargetTypeWaveOut, {{vm::kTargetTypeWaveOut, {Mute(6)}}}}}, false},
      {{{vm::kTargetTypeUndefined, {{vm::kTargetTypeWaveOut, {Mute(7)}}}},
        {vm::kTargetTypeAux, {{vm::kTargetTypeWaveOut, {Mute(7), Mute(8)}}}}}},
  };
  return m;
}

TEST(ExchangeMuteStates, MutesEveryWavePlaybackControlOnceAndRestoresWhatItFound) {
  FakeMixers mixers = Machine();
  mixers.Muted[7] = true;  // already muted before the session
  const uint32_t saved = vm::ExchangeMuteStates(mixers, 0xFFFFFFFF, true);
  // Controls 2, 7 and 8 in that order: not the MIDI source's 3, not the unreadable source's 4, not
  // the recording destination's 5, not the unopened mixer's 6, and 7 once.
  EXPECT_EQ(saved, 0b010u);
  EXPECT_EQ(mixers.Log, (std::vector<std::string>{"set 2 on", "set 7 on", "set 8 on"}));
  EXPECT_FALSE(mixers.Muted[3]);
  EXPECT_EQ(mixers.OpenDevices, 0);

  mixers.Log.clear();
  EXPECT_EQ(vm::ExchangeMuteStates(mixers, saved, true), 0b111u);
  EXPECT_EQ(mixers.Log, (std::vector<std::string>{"set 2 off", "set 7 on", "set 8 off"}));
}

TEST(ExchangeMuteStates, ReadsWithoutChangingUnlessApplied) {
  FakeMixers mixers = Machine();
  mixers.Muted[8] = true;
  EXPECT_EQ(vm::ExchangeMuteStates(mixers, 0, false), 0b100u);
  EXPECT_TRUE(mixers.Log.empty());
}

TEST(ExchangeMuteStates, LeavesTheThirtyThirdControlAndLaterAlone) {
  FakeMixers mixers;
  FakeSource many{vm::kTargetTypeWaveOut, {}};
  for (uint32_t id = 1; id <= 34; ++id) many.Controls.push_back(Mute(id));
  mixers.Devices = {{{{vm::kTargetTypeWaveOut, {many}}}}};
  mixers.Muted[32] = mixers.Muted[33] = true;
  EXPECT_EQ(vm::ExchangeMuteStates(mixers, 0xFFFFFFFF, true), 1u << 31);
  EXPECT_EQ(mixers.Log.size(), 32u);
  EXPECT_TRUE(mixers.Muted[33]);
  EXPECT_FALSE(mixers.Muted[34]);
}

TEST(ExchangeMuteStates, NoMixersGiveAnEmptyMask) {
  FakeMixers mixers;
  EXPECT_EQ(vm::ExchangeMuteStates(mixers, 0xFFFFFFFF, true), 0u);
}

class FakeWave : public vm::WaveVolume {
 public:
  bool Readable = true;
  uint32_t Volume = 0x80008000;
  bool Read(uint32_t& volume) override {
    volume = Volume;
    return Readable;
  }
  void Write(uint32_t volume) override { Volume = volume; }
};

TEST(WaveVolume, SetsOnlyAVolumeItCouldReadAndReturnsTheOldOne) {
  FakeWave wave;
  EXPECT_EQ(vm::GetWaveVolume(wave), 0x80008000u);
  EXPECT_EQ(vm::SetWaveVolume(wave, 0), 0x80008000u);
  EXPECT_EQ(wave.Volume, 0u);
  wave.Readable = false;
  EXPECT_EQ(vm::GetWaveVolume(wave), 0u);
  EXPECT_EQ(vm::SetWaveVolume(wave, 0xFFFFFFFF), 0u);
  EXPECT_EQ(wave.Volume, 0u);
}

}  // namespace
