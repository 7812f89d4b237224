#include <windows.h>

#include "core/message_pump_win.h"
#include "core/runner.h"
#include "sound/midi_playback.h"

namespace vm {

MidiState TfrmMain::Music() { return {Settings.Midi.Value, Settings.MidiLoop, Settings.MidiLoopTimes}; }

// A muted or absent tune was never written, so there is no file to play.
void TfrmMain::StartMidiMusic() {
  const std::string& file = Placement.MidiFileName;
  if (file.empty() || GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  StartMidi(MidiPlayer, Music(), file, reinterpret_cast<uintptr_t>(MainWnd));
}

void TfrmMain::StopMidiMusic() { StopMidi(MidiPlayer, Settings.Midi.Value, PumpPending); }

}  // namespace vm
