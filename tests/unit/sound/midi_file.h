#pragma once

#include <string>
#include <vector>

namespace vmtest {

// A standard MIDI file (format 0, one track) that plays the notes one after another, each for
// the given number of ticks at 96 ticks per quarter note.
std::string MidiFile(const std::vector<int>& notes, int ticksPerNote);

}  // namespace vmtest
