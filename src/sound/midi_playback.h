#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "sound/media_player.h"

// The session's background MIDI music: started once the movie is first shown, replayed after
// each end of play as the settings ask, stopped at the end of the session.
namespace vm {

// The runner's settings that steer the music; they live as long as the player.
struct MidiState {
  bool& Muted;         // set: no play starts, none restarts
  bool Loop;           // replay after each end of play
  int32_t& LoopTimes;  // plays in all when looping; counts down once per notification
};

// Opens the file and plays it with notification; every error is swallowed (the movie then
// plays without music) and reported to the trace.
void StartMidi(TMediaPlayer& player, const MidiState& state, const std::string& file,
               uintptr_t notifyWindow);

// The player's notification handler while looping: every notification counts one play.
void MidiLoopNotify(TMediaPlayer& player, const MidiState& state);

// Mutes the music first, so that the notification the stop causes starts nothing, then stops a
// playing device and closes it, pumping the window messages after each.
void StopMidi(TMediaPlayer& player, bool& muted, const std::function<void()>& pumpPending);

}  // namespace vm
