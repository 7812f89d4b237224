#pragma once

#include <windows.h>

#include <cstdint>

namespace vm {

// The command id of the full-screen item in the projector's view menu: the first view menu of
// the menu bar ("&View", "&Ansicht", "&Exibir") is searched, and only that one. The default id
// when there is none.
uint32_t FindFullScreenCommand(HMENU menuBar);

}  // namespace vm
