#pragma once

#include <windows.h>

#include "standin/options.h"
#include "support/win_handles.h"

namespace vm::standin {

// The id the Flash Player projector gives its close item.
constexpr UINT kCloseCommand = 20001;

// The projector's menu bar in the given language: a file menu, then the view menu with the
// full-screen item that the Runner looks for, under the id fullScreenCommand.
UniqueMenu BuildProjectorMenu(MenuLanguage language, UINT fullScreenCommand);

// Ctrl+F, the shortcut that the full-screen item shows.
UniqueAccelerators BuildProjectorShortcuts(UINT fullScreenCommand);

}  // namespace vm::standin
