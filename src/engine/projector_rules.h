#pragma once

#include <cstdint>
#include <string>

namespace vm {

// What the Runner relies on of the projector: the class of its movie window and the frame around
// it (the menu item that switches it to full screen is in projector_menu.h).

// The class name matches "shockwaveflash" as a whole, letters A to Z in any case.
bool IsProjectorWindowClass(const std::string& className);

// The system metrics that frame sizes depend on.
struct FrameMetrics {
  int32_t MenuHeight = 0;     // SM_CYMENU
  int32_t CaptionHeight = 0;  // SM_CYCAPTION
  int32_t FrameX = 0, FrameY = 0;        // SM_CXFRAME, SM_CYFRAME
  int32_t DlgFrameX = 0, DlgFrameY = 0;  // SM_CXDLGFRAME, SM_CYDLGFRAME
};

struct Rect32 {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

struct FrameOptions {
  bool NoTitle = false;
  bool NoBorder = false;
  bool AllowResize = false;
  int32_t AlignmentH = 0;
  int32_t AlignmentV = 0;
};

// The main window's rectangle taken from the projector window's outer rectangle, so that the
// movie keeps its size under the Runner's own frame. `current` holds the settings' rectangle;
// the position follows the projector's only where an alignment is set.
Rect32 MainRectFromProjector(const Rect32& current, const Rect32& projector, bool projectorHasSizingBorder,
                             const FrameOptions& options, const FrameMetrics& metrics,
                             int32_t screenWidth, int32_t screenHeight);

// One axis of the alignment on the screen: 1 at the near edge, 2 centred (a window larger than
// the screen overlaps both edges equally), 3 at the far edge, anything else keeps `position`.
int32_t AlignOnScreen(int32_t alignment, int32_t position, int32_t size, int32_t screenStart,
                      int32_t screenSize);

}  // namespace vm
