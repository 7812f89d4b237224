#pragma once

#include "engine/shared_block.h"

// The Runner walks the projector's menu from its own process to find the full-screen item, which
// Wine does not allow. Inside the projector the menu can be read, so the library walks it there,
// with the Runner's own rules, and hands the command over through the block.
namespace vm {

// Walks the menu of the movie window once the Runner has re-parented it, and writes the command
// (the default one when there is no item) unless the Runner no longer waits for it.
void ReportFullScreenCommandOnce(const SharedBlockView& block);

}  // namespace vm
