#pragma once

#include <windows.h>

#include "standin/options.h"
#include "support/win_handles.h"

namespace vm::standin {

// The ids the Flash Player projector gives its menu items; the Runner falls back to the
// full-screen one when it cannot read the menu.
constexpr UINT kFullScreenCommand = 20048;
constexpr UINT kCloseCommand = 20001;

// The projector's menu bar in the given language: a file menu, then the view menu with the
// full-screen item that the Runner looks for.
UniqueMenu BuildProjectorMenu(MenuLanguage language);

// Ctrl+F, the shortcut that the full-screen item shows.
UniqueAccelerators BuildProjectorShortcuts();

}  // namespace vm::standin
