#include "support/mul_div.h"

#include <gtest/gtest.h>

namespace {

TEST(MulDiv, RoundsToNearestAndAnswersMinusOneWhereWindowsDoes) {
  struct Case {
    int32_t a, b, c, expected;
  } cases[] = {
      {100, 0, 100, 0},          {100, 1, 3, 33},     {100, 2, 3, 67},
      {100, 1, 8, 13},           {100, -1, 8, -13},   {100, 65536, 100000, 66},
      {100, 0x7FFFFFFF, 0x7FFFFFFF, 100},             {100, 5, 0, -1},
      {0x7FFFFFFF, 4, 2, -1},    {-7, 1, 2, -4},      {7, 1, -2, -4},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vm::MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
