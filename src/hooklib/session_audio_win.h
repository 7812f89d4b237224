#pragma once

#include "engine/shared_block.h"

namespace vm {

// On Windows Vista and later the mixer and wave volume that the Runner mutes belong to the
// Runner's own audio session; the projector plays through its own. When the block asks for the
// sound to be muted, the projector's session is muted from inside it, once per process, by a
// thread of the library's own (so that the projector's threads keep their own COM state), and
// unmuted when the session ends. Where the system has no audio sessions nothing happens.
void MuteProjectorAudioOnce(const SharedBlockView& block);

}  // namespace vm
