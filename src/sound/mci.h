#pragma once

#include <cstdint>
#include <string>

// The Media Control Interface as the MIDI player uses it: the few commands it sends, with the
// system's own numbers, behind one small seam so that a test can put a fake sequencer in place.
namespace vm {

using MciDeviceId = uint16_t;
using MciError = uint32_t;

constexpr uint32_t kMciOpen = 0x0803;
constexpr uint32_t kMciClose = 0x0804;
constexpr uint32_t kMciPlay = 0x0806;
constexpr uint32_t kMciSeek = 0x0807;
constexpr uint32_t kMciStop = 0x0808;
constexpr uint32_t kMciStatus = 0x0814;

constexpr uint32_t kMciNotify = 0x00000001;
constexpr uint32_t kMciWait = 0x00000002;
constexpr uint32_t kMciOpenElement = 0x00000200;
constexpr uint32_t kMciSeekToStart = 0x00000100;
constexpr uint32_t kMciStatusItem = 0x00000100;

constexpr uint32_t kMciStatusLength = 1;
constexpr uint32_t kMciStatusPosition = 2;
constexpr uint32_t kMciStatusMode = 4;
constexpr uint32_t kMciModeNotReady = 524;  // the modes follow it: stopped, playing, ...

// MM_MCINOTIFY and its wParam values.
constexpr uint32_t kMmMciNotify = 0x03B9;
constexpr uint32_t kMciNotifySuccessful = 1;
constexpr uint32_t kMciNotifySuperseded = 2;
constexpr uint32_t kMciNotifyAborted = 4;
constexpr uint32_t kMciNotifyFailure = 8;

// What one command carries besides its device, message and flags.
struct MciParameters {
  uintptr_t Callback = 0;        // the window that gets MM_MCINOTIFY
  std::string Element;           // MCI_OPEN: the file
  MciDeviceId OpenedDevice = 0;  // MCI_OPEN: set by the device
  uint32_t StatusItem = 0;       // MCI_STATUS: what to report
  uint32_t StatusValue = 0;      // MCI_STATUS: set by the device
};

class Mci {
 public:
  virtual ~Mci() = default;
  // mciSendCommandA: 0 on success, else an MCI error code.
  virtual MciError SendCommand(MciDeviceId device, uint32_t message, uint32_t flags,
                               MciParameters& parameters) = 0;
  // mciGetErrorStringA's text for the code; empty when MCI has none.
  virtual std::string ErrorString(MciError error) = 0;
};

// The system's MCI. Win32 only.
Mci& SystemMci();

}  // namespace vm
