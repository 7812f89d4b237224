#pragma once

#include <windows.h>

namespace vm::standin {

// Debian's build of Wine 8 gives a window that another process's window holds no X drawable of
// its own, so whatever it paints is dropped. Before painting into dc, this points the DC at the
// X window of the window's root instead. Elsewhere (Windows, other Wine builds) it does nothing.
void LetWinePaintEmbedded(HWND window, HDC dc);

}  // namespace vm::standin
