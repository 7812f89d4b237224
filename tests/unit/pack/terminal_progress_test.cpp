#include <gtest/gtest.h>

#include <sstream>

#include "pack/terminal_progress.h"

namespace {

TEST(TerminalProgressTest, RedrawsOneLineAndErasesItAtTheEnd) {
  std::ostringstream terminal;
  {
    vm::pack::TerminalProgress progress(terminal, true, "Packing");
    progress.Update(0, 200, "intro.swf");
    progress.Update(1, 200, "intro.swf");  // still 0%: nothing to redraw
    progress.Update(100, 200, "a");
  }
  EXPECT_EQ(terminal.str(),
            "\rPacking 0% intro.swf"
            "\rPacking 50% a       "
            "\r                    \r");
}

TEST(TerminalProgressTest, WritesNothingWhenDisabled) {
  std::ostringstream redirected;
  {
    vm::pack::TerminalProgress progress(redirected, false, "Packing");
    progress.Update(100, 200, "a");
  }
  EXPECT_EQ(redirected.str(), "");
}

}  // namespace
