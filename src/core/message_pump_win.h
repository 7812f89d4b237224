#pragma once

namespace vm {

// Takes at most one message from the thread's queue and handles it: WM_QUIT sets QuitFlag and
// is not dispatched; others pass the message filter, then are dispatched. Never blocks; false
// when the queue was empty.
bool PumpMessage();

// Handles everything that is queued now. Every waiting loop calls it so that the main window
// stays responsive while the session runs inside the dispatch of one message.
void PumpPending();

}  // namespace vm
