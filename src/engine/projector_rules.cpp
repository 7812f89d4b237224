#include "engine/projector_rules.h"

#include <algorithm>

namespace vm {
namespace {

constexpr char kProjectorClass[] = "shockwaveflash";

enum Alignment { kAlignNear = 1, kAlignCentre = 2, kAlignFar = 3 };

std::string LowerAsciiLetters(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

bool IsProjectorWindowClass(const std::string& className) {
  return LowerAsciiLetters(className) == kProjectorClass;
}

Rect32 MainRectFromProjector(const Rect32& current, const Rect32& projector, bool projectorHasSizingBorder,
                             const FrameOptions& o, const FrameMetrics& m, int32_t screenWidth,
                             int32_t screenHeight) {
  Rect32 r = current;
  if (o.AlignmentH != 0) r.Left = projector.Left;
  if (o.AlignmentV != 0) r.Top = projector.Top;
  r.Width = projector.Width;
  r.Height = projector.Height;
  if (projectorHasSizingBorder) {
    r.Height -= m.MenuHeight;
    if (o.NoTitle) r.Height -= m.CaptionHeight;
    if (o.NoBorder) {
      r.Width -= 2 * m.FrameX;
      r.Height -= 2 * m.FrameY;
    } else if (!o.AllowResize) {
      r.Width -= 2 * (m.FrameX - m.DlgFrameX);
      r.Height -= 2 * (m.FrameY - m.DlgFrameY);
    }
  } else {
    if (!o.NoTitle) r.Height += m.CaptionHeight;
    if (!o.NoBorder) {
      r.Width += 2 * (o.AllowResize ? m.FrameX : m.DlgFrameX);
      r.Height += 2 * (o.AllowResize ? m.FrameY : m.DlgFrameY);
    }
    r.Width = std::min(r.Width, screenWidth);
    r.Height = std::min(r.Height, screenHeight);
  }
  return r;
}

int32_t AlignOnScreen(int32_t alignment, int32_t position, int32_t size, int32_t screenStart,
                      int32_t screenSize) {
  switch (alignment) {
    case kAlignNear:   return 0;
    case kAlignCentre: return (screenStart + screenSize - size) / 2;
    case kAlignFar:    return screenSize - size;
    default:           return position;
  }
}

}  // namespace vm
