#include "sound/media_player.h"

namespace vm {
namespace {

constexpr char kUnknownMciError[] = "Unknown MCI Error";
constexpr char kDeviceNotOpen[] = "Device Not Open";

}  // namespace

TMediaPlayer::~TMediaPlayer() {
  if (device_ != 0) {
    MciParameters parameters;
    parameters.Callback = NotifyWindow;
    mci_.SendCommand(device_, kMciClose, kMciWait, parameters);
  }
}

uint32_t TMediaPlayer::WithNotifyRule(uint32_t flags) {
  if (useNotify_) {
    if (notify_) flags |= kMciNotify;
    useNotify_ = false;
  }
  return flags;
}

MciError TMediaPlayer::Send(uint32_t message, uint32_t flags, MciParameters& parameters,
                            MciDeviceId device) {
  flags_ = flags;
  parameters.Callback = NotifyWindow;
  error_ = mci_.SendCommand(device, message, flags, parameters);
  return error_;
}

void TMediaPlayer::CheckOpen() const {
  if (!open_) throw EMCIDeviceError(kDeviceNotOpen);
}

void TMediaPlayer::Open() {
  if (open_) Close();
  uint32_t flags = WithNotifyRule(kMciWait);
  MciParameters parameters;
  if (!FileName.empty()) {
    flags |= kMciOpenElement;
    parameters.Element = FileName;
  }
  if (Send(kMciOpen, flags, parameters, 0) != 0) throw EMCIDeviceError(ErrorText());
  open_ = true;
  device_ = parameters.OpenedDevice;
}

void TMediaPlayer::Close() {
  if (device_ == 0) return;
  MciParameters parameters;
  if (Send(kMciClose, WithNotifyRule(kMciWait), parameters, device_) == 0) {
    open_ = false;
    device_ = 0;
  }
}

void TMediaPlayer::Play() {
  CheckOpen();
  if (AutoRewind && GetPosition() == GetLength()) Rewind();
  const uint32_t flags = useNotify_ ? WithNotifyRule(0) : kMciNotify;
  MciParameters parameters;
  Send(kMciPlay, flags, parameters, device_);
}

void TMediaPlayer::Stop() {
  CheckOpen();
  MciParameters parameters;
  Send(kMciStop, WithNotifyRule(kMciWait), parameters, device_);
}

void TMediaPlayer::Rewind() {
  CheckOpen();
  MciParameters parameters;
  Send(kMciSeek, kMciWait | kMciSeekToStart, parameters, device_);
}

uint32_t TMediaPlayer::Status(uint32_t item) {
  MciParameters parameters;
  parameters.StatusItem = item;
  Send(kMciStatus, kMciWait | kMciStatusItem, parameters, device_);
  return parameters.StatusValue;
}

uint32_t TMediaPlayer::GetLength() {
  CheckOpen();
  return Status(kMciStatusLength);
}

uint32_t TMediaPlayer::GetPosition() {
  CheckOpen();
  return Status(kMciStatusPosition);
}

uint32_t TMediaPlayer::GetMode() {
  if (!open_) return 0;
  const uint32_t mode = Status(kMciStatusMode);
  return mode >= kMciModeNotReady ? mode - kMciModeNotReady : 0;
}

void TMediaPlayer::SetNotify(bool notify) {
  notify_ = notify;
  useNotify_ = true;
}

std::string TMediaPlayer::ErrorText() {
  const std::string text = mci_.ErrorString(error_);
  return text.empty() ? kUnknownMciError : text;
}

void TMediaPlayer::MMNotify(uint32_t notifyCode) {
  switch (notifyCode) {
    case kMciNotifySuccessful: notifyResult_ = MciNotifyResult::Successful; break;
    case kMciNotifySuperseded: notifyResult_ = MciNotifyResult::Superseded; break;
    case kMciNotifyAborted:    notifyResult_ = MciNotifyResult::Aborted; break;
    case kMciNotifyFailure:    notifyResult_ = MciNotifyResult::Failure; break;
    default: break;
  }
  if (OnNotify) OnNotify(*this);
}

}  // namespace vm
