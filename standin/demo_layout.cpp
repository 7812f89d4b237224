#include "standin/demo_layout.h"

namespace vm::standin {
namespace {

constexpr int kRowDivisor = 10;     // the row of the areas: a tenth of the height, near the bottom
constexpr int kMarginDivisor = 24;  // of the width

bool Inside(const DemoRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

DemoLayout LayOutDemo(int width, int height) {
  const int row = height / kRowDivisor;
  const int margin = width / kMarginDivisor;
  const int top = height - margin - row;
  const int bottom = height - margin;
  return {{margin, top, width / 2, bottom}, {width - margin - width / 5, top, width - margin, bottom}};
}

DemoArea DemoAreaAt(int width, int height, int x, int y) {
  const DemoLayout layout = LayOutDemo(width, height);
  if (Inside(layout.PageLink, x, y)) return DemoArea::PageLink;
  if (Inside(layout.QuitButton, x, y)) return DemoArea::QuitButton;
  return DemoArea::None;
}

}  // namespace vm::standin
