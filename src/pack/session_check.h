#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/pack_inputs.h"

namespace vm::pack {

// The Runner whose copy carries the session.
struct RunnerBase {
  std::string Path;
  uint16_t Machine = 0;
};

// Warns, one line each and naming the file, about a session that the Runner cannot play as its
// author meant, deciding each file's part as the Runner's file routing does: no projector (an
// .exe outside any group), no hook library (a .dll outside any group) or no settings file;
// several of either, of which the Runner takes the last; a projector or hook library that is
// no Windows program or of another machine than the Runner; a MIDI file in a group, which the
// Runner never plays. output and session name where the session goes.
std::vector<std::string> CheckSessionParts(const std::vector<PackInput>& inputs,
                                           const RunnerBase& runner, const std::string& output,
                                           const std::string& session);

}  // namespace vm::pack
