#pragma once

#include <string>

namespace vm::standin {

// kSoundMutedLine, kSoundLoudLine or kSoundNoneLine for the mute controls of this process's
// output mixer lines, as they read now.
std::string OwnSoundLine();

}  // namespace vm::standin
