#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <vector>

#include "sound/wave_mute.h"

namespace {

// Every mute control of every line of every mixer, destinations and sources alike.
std::vector<bool> AllMuteStates(vm::Mixers& mixers) {
  std::vector<bool> states;
  for (uint32_t device = 0; device < mixers.DeviceCount(); ++device) {
    uint32_t destinations = 0;
    if (!mixers.DestinationCount(device, destinations) || !mixers.OpenDevice(device)) continue;
    auto collect = [&](const vm::MixerLine& line) {
      std::vector<vm::MixerControl> controls;
      if (!mixers.LineControls(line, controls)) return;
      for (const vm::MixerControl& control : controls)
        if (control.Type == vm::kControlTypeMute) states.push_back(mixers.MuteValue(control.Id));
    };
    for (uint32_t d = 0; d < destinations; ++d) {
      vm::MixerLine destination;
      if (!mixers.Destination(d, destination)) continue;
      collect(destination);
      for (uint32_t s = 0; s < destination.Connections; ++s) {
        vm::MixerLine source;
        if (mixers.Source(d, s, source)) collect(source);
      }
    }
    mixers.CloseDevice();
  }
  return states;
}

// Needs wave devices and mixers: scripts/test runs a PulseAudio server for Wine.
class SystemMixers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (mixerGetNumDevs() == 0 || waveOutGetNumDevs() == 0)
      GTEST_SKIP() << "no audio server: no mixers or wave devices";
  }
};

TEST_F(SystemMixers, AMutedSessionLeavesEveryControlAndTheVolumeAsItFoundThem) {
  vm::Mixers& mixers = vm::SystemMixers();
  vm::WaveVolume& wave = vm::SystemWaveVolume();
  const std::vector<bool> before = AllMuteStates(mixers);
  ASSERT_FALSE(before.empty());
  uint32_t volumeBefore = 0;
  ASSERT_TRUE(wave.Read(volumeBefore)) << "the mapper's volume can be read";

  const uint32_t savedVolume = vm::GetWaveVolume(wave);
  const uint32_t savedMutes = vm::ExchangeMuteStates(mixers, 0xFFFFFFFF, true);
  EXPECT_EQ(vm::SetWaveVolume(wave, 0), volumeBefore);
  vm::ExchangeMuteStates(mixers, savedMutes, true);
  vm::SetWaveVolume(wave, savedVolume);

  EXPECT_EQ(vm::GetWaveVolume(wave), volumeBefore);
  EXPECT_EQ(AllMuteStates(mixers), before);
}

TEST_F(SystemMixers, AMuteControlAlreadyOnStaysOnAfterTheRestore) {
  vm::Mixers& mixers = vm::SystemMixers();
  const uint32_t found = vm::ExchangeMuteStates(mixers, 0, false);
  const uint32_t saved = vm::ExchangeMuteStates(mixers, 0xFFFFFFFF, true);
  EXPECT_EQ(saved, found);
  vm::ExchangeMuteStates(mixers, saved, true);
  EXPECT_EQ(vm::ExchangeMuteStates(mixers, 0, false), found);
}

}  // namespace
