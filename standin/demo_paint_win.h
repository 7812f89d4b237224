#pragma once

#include <windows.h>

namespace vm::standin {

// Draws frame number `frame` of the demo animation over the whole client area.
void PaintDemoFrame(HDC dc, const RECT& client, unsigned frame);

}  // namespace vm::standin
