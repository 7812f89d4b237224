#include "unit/sound/fake_sequencer.h"

namespace vmtest {
namespace {

constexpr uint32_t kLength = 5000;
constexpr vm::MciDeviceId kDevice = 7;
constexpr uint32_t kModeStopped = vm::kMciModeNotReady + 1;
constexpr uint32_t kModePlaying = vm::kMciModeNotReady + 2;

const char* Name(uint32_t message) {
  switch (message) {
    case vm::kMciOpen: return "open";
    case vm::kMciClose: return "close";
    case vm::kMciPlay: return "play";
    case vm::kMciSeek: return "seek";
    case vm::kMciStop: return "stop";
    case vm::kMciStatus: return "status";
  }
  return "?";
}

}  // namespace

vm::MciError FakeSequencer::SendCommand(vm::MciDeviceId device, uint32_t message, uint32_t flags,
                                        vm::MciParameters& parameters) {
  std::string line = Name(message);
  if (flags & vm::kMciNotify) line += " notify";
  if (message == vm::kMciStatus) line += " " + std::to_string(parameters.StatusItem);
  Commands.push_back(line);
  if (message != vm::kMciOpen && (!open_ || device != kDevice)) return 263;  // invalid device

  switch (message) {
    case vm::kMciOpen:
      if (OpenError != 0) return OpenError;
      open_ = true;
      parameters.OpenedDevice = kDevice;
      break;
    case vm::kMciPlay:
      Playing = true;
      playNotifies_ = (flags & vm::kMciNotify) != 0;
      ++Plays;
      return 0;  // a play notifies when it ends, not now
    case vm::kMciSeek:
      position_ = 0;
      break;
    case vm::kMciStatus:
      parameters.StatusValue = parameters.StatusItem == vm::kMciStatusLength     ? kLength
                               : parameters.StatusItem == vm::kMciStatusPosition ? position_
                               : Playing                                         ? kModePlaying
                                                                                 : kModeStopped;
      break;
    case vm::kMciStop:
    case vm::kMciClose:
      // An interrupted play reports itself aborted.
      if (Playing && playNotifies_) Queue(vm::kMciNotifyAborted);
      Playing = false;
      if (message == vm::kMciClose) open_ = false;
      break;
  }
  if (flags & vm::kMciNotify) Queue(vm::kMciNotifySuccessful);
  return 0;
}

std::string FakeSequencer::ErrorString(vm::MciError) { return ErrorTextOfOpen; }

void FakeSequencer::FinishPlay() {
  if (!Playing) return;
  Playing = false;
  position_ = kLength;
  if (playNotifies_) Queue(vm::kMciNotifySuccessful);
}

void FakeSequencer::Pump(vm::TMediaPlayer& player) {
  while (!pending_.empty()) {
    const uint32_t code = pending_.front();
    pending_.pop_front();
    player.MMNotify(code);
  }
}

}  // namespace vmtest
