#include "core/main_window_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

vm::RatioState Window640x480(int32_t cursorX, int32_t cursorY) {
  vm::RatioState s;
  s.BaseWidth = 640;
  s.BaseHeight = 480;
  s.Left = 100;
  s.Top = 100;
  s.Width = 640;
  s.Height = 480;
  s.CursorX = cursorX;
  s.CursorY = cursorY;
  return s;
}

TEST(KeepAspectRatio, FollowsTheDraggedEdge) {
  struct Case {
    int32_t edge;
    vm::Edges proposed, expected;
    int32_t cursorX, cursorY;
  } cases[] = {
      // The right edge dragged to 800 wide gives 600 high.
      {vm::kSizeRight, {100, 100, 900, 580}, {100, 100, 900, 700}, 900, 300},
      {vm::kSizeLeft, {20, 100, 740, 580}, {20, 100, 740, 640}, 20, 300},
      {vm::kSizeBottom, {100, 100, 740, 700}, {100, 100, 900, 700}, 400, 700},
      {vm::kSizeTop, {100, 40, 740, 580}, {100, 40, 820, 580}, 400, 40},
      // Corner: the cursor moved further from the right edge than from the bottom: width kept.
      {vm::kSizeBottomRight, {100, 100, 900, 590}, {100, 100, 900, 700}, 900, 590},
      // ... and further from the bottom: height kept.
      {vm::kSizeBottomRight, {100, 100, 750, 700}, {100, 100, 900, 700}, 750, 700},
      {vm::kSizeTopLeft, {20, 90, 740, 580}, {20, 40, 740, 580}, 20, 90},
      {vm::kSizeTopRight, {100, 0, 750, 580}, {100, 0, 873, 580}, 750, 0},
      {vm::kSizeBottomLeft, {20, 100, 740, 590}, {20, 100, 740, 640}, 20, 590},
  };
  for (const auto& c : cases) {
    vm::Edges r = c.proposed;
    vm::KeepAspectRatio(c.edge, Window640x480(c.cursorX, c.cursorY), r);
    EXPECT_EQ((std::vector<int32_t>{r.Left, r.Top, r.Right, r.Bottom}),
              (std::vector<int32_t>{c.expected.Left, c.expected.Top, c.expected.Right, c.expected.Bottom}))
        << "edge " << c.edge;
  }
}

TEST(DragShouldMove, WaitsForEightPixelsThenFollows) {
  EXPECT_FALSE(vm::DragShouldMove(false, 7, 7));
  EXPECT_FALSE(vm::DragShouldMove(false, -7, 7));
  EXPECT_TRUE(vm::DragShouldMove(false, 8, 0));
  EXPECT_TRUE(vm::DragShouldMove(false, 0, -8));
  EXPECT_TRUE(vm::DragShouldMove(true, 1, 0));
}

// The rule is C's strtoull reading the whole text, so strtoull itself is the expectation.
TEST(PublishedHandleMatches, ReadsTheTextAsStrtoullDoes) {
  const char* texts[] = {"65620", " \t\n65620", "+65620", "-65620", "00065620", "0", "-0", "", "  ",
                         "65620 ", "6562x", "+", "0x10", "18446744073709551615", "18446744073709551616",
                         "99999999999999999999", "-18446744073709551616", "-1"};
  const uint64_t handles[] = {65620, 0, 16, UINT64_MAX, 0 - uint64_t{65620}};
  for (const char* text : texts) {
    char* end = nullptr;
    const unsigned long long read = std::strtoull(text, &end, 10);
    for (uint64_t handle : handles) {
      const bool expected = text[0] != '\0' && *end == '\0' && read == handle;
      EXPECT_EQ(vm::PublishedHandleMatches(text, handle), expected) << '"' << text << "\" " << handle;
    }
  }
}

}  // namespace
