#include "core/main_window_rules.h"

#include <cstdlib>

#include "support/mul_div.h"

namespace vm {

void KeepAspectRatio(int32_t edge, const RatioState& s, Edges& r) {
  const int32_t width = r.Right - r.Left;
  const int32_t height = r.Bottom - r.Top;
  const int32_t heightForWidth = MulDiv(s.BaseHeight, width, s.BaseWidth);
  const int32_t widthForHeight = MulDiv(s.BaseWidth, height, s.BaseHeight);
  const int32_t fromLeft = std::abs(s.CursorX - s.Left);
  const int32_t fromRight = std::abs(s.CursorX - s.Left - s.Width);
  const int32_t fromTop = std::abs(s.Top - s.CursorY);
  const int32_t fromBottom = std::abs(s.Top + s.Height - s.CursorY);
  switch (edge) {
    case kSizeLeft:
    case kSizeRight:
      r.Bottom = r.Top + heightForWidth;
      break;
    case kSizeTop:
    case kSizeBottom:
      r.Right = r.Left + widthForHeight;
      break;
    // At a corner the cursor's larger move decides: that dimension stays as the user drew it.
    case kSizeTopLeft:
      if (fromLeft >= fromTop) r.Top = r.Bottom - heightForWidth;
      else r.Left = r.Right - widthForHeight;
      break;
    case kSizeTopRight:
      if (fromRight >= fromTop) r.Top = r.Bottom - heightForWidth;
      else r.Right = r.Left + widthForHeight;
      break;
    case kSizeBottomLeft:
      if (fromLeft >= fromBottom) r.Bottom = r.Top + heightForWidth;
      else r.Left = r.Right - widthForHeight;
      break;
    case kSizeBottomRight:
      if (fromRight >= fromBottom) r.Bottom = r.Top + heightForWidth;
      else r.Right = r.Left + widthForHeight;
      break;
  }
}

bool DragShouldMove(bool alreadyMoved, int32_t dx, int32_t dy) {
  return alreadyMoved || std::abs(dx) >= kDragDeadZone || std::abs(dy) >= kDragDeadZone;
}

// strtoull itself would bring the C library's whole family of number readers into the Runner.
bool PublishedHandleMatches(const char* text, uint64_t handle) {
  constexpr uint64_t kLargest = UINT64_MAX;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '+' || *text == '-') ++text;
  if (*text < '0' || *text > '9') return false;
  uint64_t value = 0;
  bool tooLarge = false;
  for (; *text >= '0' && *text <= '9'; ++text) {
    const auto digit = static_cast<uint64_t>(*text - '0');
    tooLarge = tooLarge || value > kLargest / 10 || (value == kLargest / 10 && digit > kLargest % 10);
    value = value * 10 + digit;
  }
  if (*text != '\0') return false;
  if (tooLarge) return handle == kLargest;
  return (negative ? 0 - value : value) == handle;
}

}  // namespace vm
