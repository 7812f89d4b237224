#pragma once

#include <cstdint>
#include <vector>

// The mixer and wave-output services as the sound mute uses them, behind one small seam so that
// a test can put a fake machine in place. Numbers are the system's own.
namespace vm {

constexpr uint32_t kTargetTypeUndefined = 0;
constexpr uint32_t kTargetTypeWaveOut = 1;
constexpr uint32_t kTargetTypeMidiOut = 3;
constexpr uint32_t kTargetTypeAux = 5;
constexpr uint32_t kControlTypeMute = 0x20010002;

struct MixerLine {
  uint32_t TargetType = kTargetTypeUndefined;
  uint32_t ComponentType = 0;
  uint32_t Connections = 0;  // source lines of a destination
  uint32_t Controls = 0;
  uint32_t LineId = 0;
};

struct MixerControl {
  uint32_t Type = 0;
  uint32_t Id = 0;
};

class Mixers {
 public:
  virtual ~Mixers() = default;
  virtual uint32_t DeviceCount() = 0;
  // The device's number of destination lines; false when its capabilities cannot be read.
  virtual bool DestinationCount(uint32_t device, uint32_t& count) = 0;
  // Opens the device for the calls below, until CloseDevice.
  virtual bool OpenDevice(uint32_t device) = 0;
  virtual void CloseDevice() = 0;
  virtual bool Destination(uint32_t destination, MixerLine& line) = 0;
  virtual bool Source(uint32_t destination, uint32_t source, MixerLine& line) = 0;
  virtual bool LineControls(const MixerLine& line, std::vector<MixerControl>& controls) = 0;
  // One boolean for one channel; failures are not reported.
  virtual bool MuteValue(uint32_t controlId) = 0;
  virtual void SetMuteValue(uint32_t controlId, bool muted) = 0;
};

// The volume of the wave-output mapper, low word the left channel, high word the right.
class WaveVolume {
 public:
  virtual ~WaveVolume() = default;
  // False when the mapper offers no volume control or its volume cannot be read.
  virtual bool Read(uint32_t& volume) = 0;
  virtual void Write(uint32_t volume) = 0;
};

// The system's services. Win32 only.
Mixers& SystemMixers();
WaveVolume& SystemWaveVolume();

}  // namespace vm
