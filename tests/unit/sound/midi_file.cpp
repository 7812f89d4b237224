#include "unit/sound/midi_file.h"

#include <cstdint>

namespace vmtest {
namespace {

constexpr int kTicksPerQuarter = 96;
constexpr uint8_t kNoteOn = 0x90, kNoteOff = 0x80, kVelocity = 96;

void BigEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// MIDI's variable-length quantity: seven bits a byte, the high bit on all but the last.
void VariableLength(std::string& out, uint32_t value) {
  std::string bytes(1, static_cast<char>(value & 0x7F));
  while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
  out += bytes;
}

}  // namespace

std::string MidiFile(const std::vector<int>& notes, int ticksPerNote) {
  std::string track;
  for (int note : notes) {
    VariableLength(track, 0);
    track += {static_cast<char>(kNoteOn), static_cast<char>(note), static_cast<char>(kVelocity)};
    VariableLength(track, static_cast<uint32_t>(ticksPerNote));
    track += {static_cast<char>(kNoteOff), static_cast<char>(note), 0};
  }
  VariableLength(track, 0);
  track += "\xFF\x2F";  // end of track
  track += '\0';

  std::string file = "MThd";
  BigEndian(file, 6, 4);
  BigEndian(file, 0, 2);  // format 0
  BigEndian(file, 1, 2);  // one track
  BigEndian(file, kTicksPerQuarter, 2);
  file += "MTrk";
  BigEndian(file, static_cast<uint32_t>(track.size()), 4);
  return file + track;
}

}  // namespace vmtest
