#pragma once

#include <cstdint>

namespace vm {

struct ScreenPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// The top-left corner that centres a window of the given outer size on the work area (the
// desktop without the task bar), each half truncated to whole pixels.
ScreenPoint CentreOnWorkArea(int32_t workLeft, int32_t workTop, int32_t workRight, int32_t workBottom,
                             int32_t width, int32_t height);

}  // namespace vm
