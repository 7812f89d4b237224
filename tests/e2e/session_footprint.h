#pragma once

#include <windows.h>

#include <functional>

#include "e2e/runner_harness.h"

namespace vmtest {

// Plays the runner's movie to its end and checks that the session touched nothing outside its
// base directory: its hook library is loaded in no process but the Runner's and the projector's
// (while the movie plays and after the end), the Runner exits within about a second of its
// projector, nothing of the session goes to the Trash, no deletion at the next restart is asked
// for, and the base directory is empty again. whilePlaying runs once the movie is ready and has
// the focus, with the Runner's main window; a movie that ends before it is ready is only looked
// at after its end.
void PlayToACleanEnd(const PackedRunner& runner, DWORD timeoutMs,
                     const std::function<void(HWND mainWindow)>& whilePlaying = {});

}  // namespace vmtest
