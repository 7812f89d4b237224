#pragma once

#include <windows.h>

#include "engine/projector_menu.h"

namespace vm {

// The full-screen item of a menu bar, read through the system. A bar of another process cannot be
// read under Wine (MenuRead false); a window without a menu bar (0) has no item to find.
FullScreenSearch FindFullScreenCommand(HMENU menuBar);

}  // namespace vm
