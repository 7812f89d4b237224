#include <windows.h>
#include <mmsystem.h>

#include "sound/mixer.h"
#include "sound/mixer_lines_win.h"

namespace vm {
namespace {

static_assert(kTargetTypeUndefined == MIXERLINE_TARGETTYPE_UNDEFINED &&
              kTargetTypeWaveOut == MIXERLINE_TARGETTYPE_WAVEOUT &&
              kTargetTypeMidiOut == MIXERLINE_TARGETTYPE_MIDIOUT && kTargetTypeAux == MIXERLINE_TARGETTYPE_AUX);
static_assert(kControlTypeMute == MIXERCONTROL_CONTROLTYPE_MUTE);

MixerLine LineOf(const MIXERLINEA& line) {
  MixerLine result;
  result.TargetType = line.Target.dwType;
  result.ComponentType = line.dwComponentType;
  result.Connections = line.cConnections;
  result.Controls = line.cControls;
  result.LineId = line.dwLineID;
  return result;
}

class SystemMixerCalls : public Mixers {
 public:
  uint32_t DeviceCount() override { return mixerGetNumDevs(); }

  bool DestinationCount(uint32_t device, uint32_t& count) override {
    MIXERCAPSA caps = {};
    if (mixerGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    count = caps.cDestinations;
    return true;
  }

  bool OpenDevice(uint32_t device) override {
    return mixerOpen(&mixer_, device, 0, 0, MIXER_OBJECTF_MIXER) == MMSYSERR_NOERROR;
  }

  void CloseDevice() override {
    mixerClose(mixer_);
    mixer_ = nullptr;
  }

  bool Destination(uint32_t destination, MixerLine& line) override {
    MIXERLINEA info = {};
    info.cbStruct = sizeof info;
    info.dwDestination = destination;
    if (mixerGetLineInfoA(Object(), &info, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) !=
        MMSYSERR_NOERROR)
      return false;
    line = LineOf(info);
    return true;
  }

  bool Source(uint32_t destination, uint32_t source, MixerLine& line) override {
    MIXERLINEA info = {};
    info.cbStruct = sizeof info;
    info.dwDestination = destination;
    info.dwSource = source;
    if (mixerGetLineInfoA(Object(), &info, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
        MMSYSERR_NOERROR)
      return false;
    line = LineOf(info);
    return true;
  }

  bool LineControls(const MixerLine& line, std::vector<MixerControl>& controls) override {
    if (line.Controls == 0) return true;
    std::vector<MIXERCONTROLA> buffer(line.Controls);
    MIXERLINECONTROLSA request = {};
    request.cbStruct = sizeof request;
    request.dwLineID = line.LineId;
    request.cControls = line.Controls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = buffer.data();
    if (mixerGetLineControlsA(Object(), &request, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
        MMSYSERR_NOERROR)
      return false;
    for (const MIXERCONTROLA& control : buffer) controls.push_back({control.dwControlType, control.dwControlID});
    return true;
  }

  bool MuteValue(uint32_t controlId) override {
    MIXERCONTROLDETAILS_BOOLEAN value = {};
    MIXERCONTROLDETAILS details = OneBooleanDetails(controlId, value);
    mixerGetControlDetailsA(Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    return value.fValue != 0;
  }

  void SetMuteValue(uint32_t controlId, bool muted) override {
    MIXERCONTROLDETAILS_BOOLEAN value = {};
    value.fValue = muted ? 1 : 0;
    MIXERCONTROLDETAILS details = OneBooleanDetails(controlId, value);
    mixerSetControlDetails(Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  }

 private:
  HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

  HMIXER mixer_ = nullptr;
};

// Some systems take the mapper's identifier in place of a device handle, others (Wine) only an
// open handle: the mapper is then opened for the moment of the call.
class SystemWaveCalls : public WaveVolume {
 public:
  bool Read(uint32_t& volume) override {
    if (!HasVolume()) return false;
    DWORD value = 0;
    const bool read = Call([&](HWAVEOUT device) { return waveOutGetVolume(device, &value); });
    volume = value;
    return read;
  }

  void Write(uint32_t volume) override {
    Call([&](HWAVEOUT device) { return waveOutSetVolume(device, volume); });
  }

 private:
  static bool HasVolume() {
    WAVEOUTCAPSA caps = {};
    return waveOutGetDevCapsA(WAVE_MAPPER, &caps, sizeof caps) == MMSYSERR_NOERROR &&
           (caps.dwSupport & WAVECAPS_VOLUME) != 0;
  }

  template <typename Operation>
  static bool Call(Operation operation) {
    const MMRESULT direct = operation(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)));
    if (direct != MMSYSERR_INVALHANDLE) return direct == MMSYSERR_NOERROR;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    const MMRESULT result = operation(device);
    waveOutClose(device);
    return result == MMSYSERR_NOERROR;
  }
};

// At namespace scope, not functions' statics: those would bring the library's thread-safe guard
// for their first use.
SystemMixerCalls MixerCalls;
SystemWaveCalls WaveCalls;

}  // namespace

Mixers& SystemMixers() { return MixerCalls; }

WaveVolume& SystemWaveVolume() { return WaveCalls; }

}  // namespace vm
