#pragma once

#include <cstdint>

#include "config/runner_settings.h"
#include "engine/shared_block.h"

namespace vm {

// What the launch hands the hook library besides the settings; window and hook handles as the
// block's 32-bit fields hold them (0 for a hook not installed).
struct SessionHandles {
  uint32_t MainWindow = 0;
  uint32_t MouseHook = 0, KeyboardHook = 0, CbtHook = 0, GetMessageHook = 0;
  uint32_t RunnerThreadId = 0, RunnerProcessId = 0;
  uint32_t ProjectorProcessId = 0;
};

// The flags that the hooks read, written before any hook is in. The Windows keys' flag is only
// ever set: the block starts cleared.
void SetHookFlags(SharedBlock& block, const RunnerSettings& settings);

// Completes the block once the hooks are in: the handles, the flags, and zeroes in the fields
// that the hook procedures may have written meanwhile. The projector's process id comes last:
// it makes the library act in that process.
void CompleteSessionBlock(SharedBlock& block, const RunnerSettings& settings, const SessionHandles& handles);

// At the session's end: the fields that make a library act, in the projector and towards the
// Runner's windows, go back to 0.
void ReleaseSessionBlock(SharedBlock& block);

}  // namespace vm
