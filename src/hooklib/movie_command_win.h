#pragma once

#include "engine/shared_block.h"
#include "hooklib/open_outcome.h"

namespace vm {

// Carries out a movie command that the Runner has taken (reply 1), on the projector's thread.
// A "vcommandw:" command returns once its program has started; a thread of the library waits
// for it while the movie stands back.
OpenOutcome CarryOutMovieCommand(const SharedBlockView& block, const char* text);

}  // namespace vm
