#include "standin/demo_layout.h"

#include <gtest/gtest.h>

namespace vm::standin {
namespace {

TEST(DemoLayout, TheLinkAndTheButtonLieApartInTheBottomRow) {
  const struct {
    int x, y;
    DemoArea area;
  } cases[] = {
      {30, 460, DemoArea::PageLink},     {359, 505, DemoArea::PageLink},    {360, 480, DemoArea::None},
      {560, 460, DemoArea::QuitButton},  {689, 505, DemoArea::QuitButton},  {690, 480, DemoArea::None},
      {29, 480, DemoArea::None},         {100, 400, DemoArea::None},        {100, 510, DemoArea::None},
  };
  // 720 x 540: margin 30, row 54 from 456 to 510; the button is a fifth of the width wide.
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(DemoAreaAt(720, 540, c.x, c.y), c.area);
  }
  EXPECT_EQ(DemoAreaAt(0, 0, 0, 0), DemoArea::None);
}

}  // namespace
}  // namespace vm::standin
