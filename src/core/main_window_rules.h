#pragma once

#include <cstdint>

namespace vm {

// A proposed window rectangle as WM_SIZING hands it over: edges, not sizes.
struct Edges {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The sizing edges (WMSZ_*).
enum SizingEdge : int32_t {
  kSizeLeft = 1, kSizeRight = 2, kSizeTop = 3, kSizeTopLeft = 4, kSizeTopRight = 5,
  kSizeBottom = 6, kSizeBottomLeft = 7, kSizeBottomRight = 8,
};

struct RatioState {
  int32_t BaseWidth = 0, BaseHeight = 0;       // the size whose ratio is kept
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // the window before this step
  int32_t CursorX = 0, CursorY = 0;
};

// Adjusts the proposed rectangle so that the window keeps its aspect ratio. At a corner the
// dimension the cursor has moved further from its old edge is kept and the other follows it.
void KeepAspectRatio(int32_t edge, const RatioState& state, Edges& proposed);

// A drag moves the window only once the cursor has left the dead zone around where it started;
// after that it follows every move.
constexpr int32_t kDragDeadZone = 8;
bool DragShouldMove(bool alreadyMoved, int32_t dx, int32_t dy);

// The global close's test of the handle that a runner published in an environment variable: the
// whole text converts to handle as C's strtoull reads it (leading white space, a sign, decimal
// digits; a negative number wraps around, a number too large for 64 bits reads as the largest).
bool PublishedHandleMatches(const char* text, uint64_t handle);

}  // namespace vm
