#pragma once

#include "engine/shared_block.h"

// The screen saver's and the monitor's power commands and the cursor reach the movie window as
// sent messages, which no hook can refuse or answer. So, inside the projector, the library puts
// a window procedure of its own in front of the movie window's: it turns the screen saver away
// and hides the cursor over the movie while the session asks for it, and once the session is
// over gives the window its own procedure back.
namespace vm {

// Takes over the movie window that the block names, once per process, when the block asks for
// either behaviour and the calling thread is the window's own.
void TakeOverMovieWindowOnce(const SharedBlockView& block);

}  // namespace vm
