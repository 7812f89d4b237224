#pragma once

#include <deque>
#include <string>
#include <vector>

#include "sound/media_player.h"

namespace vmtest {

// An MCI sequencer as the player sees it: it records each command, plays until the test ends the
// play, and queues MM_MCINOTIFY codes as MCI posts them, delivered when the test pumps.
class FakeSequencer : public vm::Mci {
 public:
  vm::MciError SendCommand(vm::MciDeviceId device, uint32_t message, uint32_t flags,
                           vm::MciParameters& parameters) override;
  std::string ErrorString(vm::MciError error) override;

  // The play in progress reaches the end of the file.
  void FinishPlay();
  // Delivers the queued notifications to the player, as the message pump would.
  void Pump(vm::TMediaPlayer& player);

  std::vector<std::string> Commands;  // "open notify", "play notify", "status position", ...
  vm::MciError OpenError = 0;
  std::string ErrorTextOfOpen;
  int Plays = 0;
  bool Playing = false;

 private:
  void Queue(uint32_t code) { pending_.push_back(code); }

  bool open_ = false;
  bool playNotifies_ = false;
  uint32_t position_ = 0;
  std::deque<uint32_t> pending_;
};

}  // namespace vmtest
