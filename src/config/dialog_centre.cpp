#include "config/dialog_centre.h"

namespace vm {

ScreenPoint CentreOnWorkArea(int32_t workLeft, int32_t workTop, int32_t workRight, int32_t workBottom,
                             int32_t width, int32_t height) {
  // The work area's own origin counts: with the task bar at the top or left it is not 0, 0.
  return {workLeft + (workRight - workLeft) / 2 - width / 2, workTop + (workBottom - workTop) / 2 - height / 2};
}

}  // namespace vm
