#include "sound/wave_mute.h"

#include <algorithm>

namespace vm {
namespace {

constexpr uint32_t kMaskControls = 32;

bool GovernsPlayback(uint32_t targetType) {
  return targetType == kTargetTypeUndefined || targetType == kTargetTypeWaveOut ||
         targetType == kTargetTypeAux;
}

// Closes the open mixer on every way out of its enumeration.
class OpenMixer {
 public:
  explicit OpenMixer(Mixers& mixers) : mixers_(mixers) {}
  ~OpenMixer() { mixers_.CloseDevice(); }
  OpenMixer(const OpenMixer&) = delete;
  OpenMixer& operator=(const OpenMixer&) = delete;

 private:
  Mixers& mixers_;
};

struct Exchange {
  uint32_t Mask;
  bool Apply;
  uint32_t Index = 0;
  uint32_t Found = 0;

  void Control(Mixers& mixers, uint32_t id) {
    if (Index >= kMaskControls) return;
    if (mixers.MuteValue(id)) Found |= 1u << Index;
    ++Index;
    if (Apply) {
      mixers.SetMuteValue(id, (Mask & 1) != 0);
      Mask >>= 1;
    }
  }
};

void ExchangeInMixer(Mixers& mixers, uint32_t destinations, Exchange& exchange) {
  std::vector<uint32_t> handled;
  for (uint32_t d = 0; d < destinations; ++d) {
    MixerLine destination;
    if (!mixers.Destination(d, destination) || !GovernsPlayback(destination.TargetType)) continue;
    for (uint32_t s = 0; s < destination.Connections; ++s) {
      MixerLine source;
      if (!mixers.Source(d, s, source) || source.TargetType != kTargetTypeWaveOut) continue;
      std::vector<MixerControl> controls;
      if (!mixers.LineControls(source, controls)) continue;
      for (const MixerControl& control : controls) {
        if (control.Type != kControlTypeMute ||
            std::find(handled.begin(), handled.end(), control.Id) != handled.end())
          continue;
        handled.push_back(control.Id);
        exchange.Control(mixers, control.Id);
      }
    }
  }
}

}  // namespace

uint32_t GetWaveVolume(WaveVolume& wave) {
  uint32_t volume = 0;
  return wave.Read(volume) ? volume : 0;
}

uint32_t SetWaveVolume(WaveVolume& wave, uint32_t volume) {
  uint32_t current = 0;
  if (!wave.Read(current)) return 0;
  wave.Write(volume);
  return current;
}

uint32_t ExchangeMuteStates(Mixers& mixers, uint32_t mask, bool apply) {
  Exchange exchange{mask, apply};
  const uint32_t devices = mixers.DeviceCount();
  for (uint32_t device = 0; device < devices; ++device) {
    uint32_t destinations = 0;
    if (!mixers.DestinationCount(device, destinations) || !mixers.OpenDevice(device)) continue;
    const OpenMixer open(mixers);
    ExchangeInMixer(mixers, destinations, exchange);
  }
  return exchange.Found;
}

}  // namespace vm
