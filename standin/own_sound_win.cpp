#include "standin/own_sound_win.h"

#include <cstdint>
#include <vector>

#include "sound/mixer.h"
#include "sound/mixer_lines_win.h"
#include "standin/log_lines.h"

namespace vm::standin {

std::string OwnSoundLine() {
  Mixers& mixers = SystemMixers();
  bool found = false;
  bool allMuted = true;
  for (uint32_t device = 0; device < mixers.DeviceCount(); ++device) {
    uint32_t destinations = 0;
    if (!mixers.DestinationCount(device, destinations) || !mixers.OpenDevice(device)) continue;
    for (uint32_t destination = 0; destination < destinations; ++destination) {
      MixerLine line;
      std::vector<MixerControl> controls;
      if (!mixers.Destination(destination, line) || IsRecordingDestination(line.ComponentType) ||
          !mixers.LineControls(line, controls))
        continue;
      for (const MixerControl& control : controls) {
        if (control.Type != kControlTypeMute) continue;
        found = true;
        allMuted = allMuted && mixers.MuteValue(control.Id);
      }
    }
    mixers.CloseDevice();
  }
  if (!found) return kSoundNoneLine;
  return allMuted ? kSoundMutedLine : kSoundLoudLine;
}

}  // namespace vm::standin
