#include <gtest/gtest.h>

#include "pack/pack_inputs.h"

namespace {

TEST(PackInputsTest, RunnerPathIsAWindowsFolderWithATrailingDelimiterAndAName) {
  const struct {
    const char* File;
    const char* Folder;
    const char* Name;
  } cases[] = {
#ifdef _WIN32
      {"C:\\movie\\intro.swf", "C:\\movie\\", "intro.swf"},
      {"C:/movie/extra/../intro.swf", "C:\\movie\\", "intro.swf"},
      {"C:\\intro.swf", "C:\\", "intro.swf"},
      {"\\\\server\\share\\movie\\intro.swf", "\\\\server\\share\\movie\\", "intro.swf"},
      // Names stay in the ANSI code page that the Runner and the stream layer use.
      {"C:\\caf\xE9\\\x80uro.swf", "C:\\caf\xE9\\", "\x80uro.swf"},
#else
      {"/home/ann/movie/intro.swf", "Z:\\home\\ann\\movie\\", "intro.swf"},
      {"/home/ann/./movie/extra/../intro.swf", "Z:\\home\\ann\\movie\\", "intro.swf"},
      {"/intro.swf", "Z:\\", "intro.swf"},
      {"/home/ann/back\\slash.swf", "Z:\\home\\ann\\", "back\\slash.swf"},
#endif
  };
  for (const auto& c : cases) {
    const vm::pack::RunnerPath where = vm::pack::RunnerPathOf(c.File);
    EXPECT_EQ(where.Folder, c.Folder) << c.File;
    EXPECT_EQ(where.Name, c.Name) << c.File;
  }
}

}  // namespace
