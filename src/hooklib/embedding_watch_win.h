#pragma once

#include <windows.h>

#include "engine/shared_block.h"

// Nothing that the Runner's hooks report marks the moment the movie window is embedded: the
// Runner re-parents and shows it from its own thread. So each thread of the projector that
// reaches the library gets a GetMessage hook of its own, on that thread only, and the first
// message it takes after the embedding (its repaint at the latest) hands the Runner the
// full-screen command and announces the movie. The watch removes itself once the Runner has taken
// the notice or the session is over.
namespace vm {

// As the library loads and unloads in a process, after its hook session has opened.
void OpenEmbeddingWatch() noexcept;
void CloseEmbeddingWatch() noexcept;

// Starts the calling thread's watch, unless it has one or had one.
void WatchThisThread(const SharedBlockView& block);

}  // namespace vm
