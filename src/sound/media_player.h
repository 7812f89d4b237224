#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "sound/mci.h"
#include "support/errors.h"

namespace vm {

// Failures of the media player: MCI's own text, "Unknown MCI Error" or "Device Not Open".
class EMCIDeviceError : public Exception {
 public:
  using Exception::Exception;
};

enum class MciNotifyResult : uint8_t { Successful, Superseded, Aborted, Failure };

// The player of the session's MIDI music, named after the media player component it stands in
// for: one MCI device opened on a file, played, stopped and closed, with MCI reporting each end
// of play to the notify window as MM_MCINOTIFY.
class TMediaPlayer {
 public:
  explicit TMediaPlayer(Mci& mci) : mci_(mci) {}
  // Closes an open device and waits for it.
  ~TMediaPlayer();
  TMediaPlayer(const TMediaPlayer&) = delete;
  TMediaPlayer& operator=(const TMediaPlayer&) = delete;

  std::string FileName;
  bool AutoRewind = true;
  uintptr_t NotifyWindow = 0;
  // Called after each MCI notification.
  std::function<void(TMediaPlayer&)> OnNotify;

  void Open();
  void Close();
  void Play();
  void Stop();
  void Rewind();
  uint32_t GetLength();
  uint32_t GetPosition();
  // 0 not ready (also when no device is open), 1 stopped, 2 playing, 3 recording, 4 seeking,
  // 5 paused, 6 open.
  uint32_t GetMode();
  // The next command asks for a notification when notify is true.
  void SetNotify(bool notify);
  std::string ErrorText();

  // MM_MCINOTIFY's wParam. The device identifier in lParam is not looked at.
  void MMNotify(uint32_t notifyCode);

  bool IsOpen() const { return open_; }
  MciDeviceId DeviceId() const { return device_; }
  MciError LastError() const { return error_; }
  uint32_t Flags() const { return flags_; }
  MciNotifyResult NotifyResult() const { return notifyResult_; }

 private:
  void CheckOpen() const;
  // The flags with MCI_NOTIFY when a pending SetNotify asks for it; consumes that request.
  uint32_t WithNotifyRule(uint32_t flags);
  MciError Send(uint32_t message, uint32_t flags, MciParameters& parameters, MciDeviceId device);
  uint32_t Status(uint32_t item);

  Mci& mci_;
  bool open_ = false;
  uint32_t flags_ = 0;
  bool notify_ = false;
  bool useNotify_ = false;
  MciDeviceId device_ = 0;
  MciError error_ = 0;
  MciNotifyResult notifyResult_ = MciNotifyResult::Successful;
};

}  // namespace vm
