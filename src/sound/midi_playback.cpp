#include "sound/midi_playback.h"

#include "support/trace.h"

namespace vm {
namespace {

constexpr uint32_t kModePlaying = 2;

}  // namespace

void StartMidi(TMediaPlayer& player, const MidiState& state, const std::string& file,
               uintptr_t notifyWindow) {
  player.NotifyWindow = notifyWindow;
  try {
    player.FileName = file;
    player.Open();
    if (state.Loop) player.OnNotify = [state](TMediaPlayer& p) { MidiLoopNotify(p, state); };
    player.SetNotify(true);
    player.Play();
    Trace("midi: playing ", file);
  } catch (const Exception& e) {
    Trace("midi: no music: ", e.what());
  }
}

void MidiLoopNotify(TMediaPlayer& player, const MidiState& state) {
  if (state.Muted) return;
  --state.LoopTimes;
  player.SetNotify(true);
  if (state.LoopTimes > 0) {
    Trace("midi: playing again, ", state.LoopTimes, " to go");
    try {
      player.Play();
    } catch (const Exception& e) {
      Trace("midi: ", e.what());
    }
  }
}

void StopMidi(TMediaPlayer& player, bool& muted, const std::function<void()>& pumpPending) {
  muted = true;
  try {
    if (player.GetMode() == kModePlaying) player.Stop();
  } catch (const Exception& e) {
    Trace("midi: ", e.what());
  }
  pumpPending();
  player.Close();
  pumpPending();
  Trace("midi: stopped and closed");
}

}  // namespace vm
