#pragma once

#include <windows.h>

#include <optional>

#include "engine/shared_block.h"

// How the library, inside the projector, reaches its Runner.
namespace vm {

// The block, when this process is the projector of a running session.
std::optional<SharedBlockView> ProjectorBlock();

void PostToRunner(const SharedBlockView& block, UINT message, WPARAM wParam, LPARAM lParam);

// Tells the Runner, once, that its main window now holds the movie window.
void AnnounceReadyOnce(const SharedBlockView& block);

}  // namespace vm
