#include "commands/tool_folders.h"

#include <gtest/gtest.h>

#include "support/errors.h"

namespace {

TEST(ToolFolderOf, NeedsANameBeforeTheSuffix) {
  EXPECT_EQ(vm::ToolFolderOf("clock.vtools.ini"), "clock");
  EXPECT_EQ(vm::ToolFolderOf("a.vtools.ini"), "a");
  EXPECT_EQ(vm::ToolFolderOf(".vtools.ini"), std::nullopt);
  EXPECT_EQ(vm::ToolFolderOf("clock.ini"), std::nullopt);
  EXPECT_EQ(vm::ToolFolderOf("clockvtools.ini"), std::nullopt);
}

struct FirstLineCase {
  const char* Text;
  std::optional<std::string> Name;
};

TEST(ToolNameFromText, ReadsTheBracketedFirstLine) {
  const FirstLineCase cases[] = {
      {"[Clock]\r\nInterval=1\r\n", "Clock"},
      {"[Clock]\nx", "Clock"},
      {"[Clock]\rx", "Clock"},
      {"[Clock]", "Clock"},
      {"[C]", "C"},
      {"[]", std::nullopt},
      {"[", std::nullopt},
      {"", std::nullopt},
      {"\r\n[Clock]", std::nullopt},
      {"Clock]", std::nullopt},
      {"[Clock", std::nullopt},
      {"[Clock] ", std::nullopt},
  };
  for (const FirstLineCase& c : cases) EXPECT_EQ(vm::ToolNameFromText(c.Text), c.Name) << c.Text;
}

TEST(CheckToolName, RefusesNamesThatLeadOutOfTheFolder) {
  for (const char* name : {"..\\..\\Evil", "a/b", "C:x", "..", "a..b"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(vm::CheckToolName(name, "C:\\t\\clock\\vtools.ini"), vm::Exception);
  }
  EXPECT_NO_THROW(vm::CheckToolName("Clock", "C:\\t\\clock\\vtools.ini"));
  EXPECT_NO_THROW(vm::CheckToolName("My Clock.2", "C:\\t\\clock\\vtools.ini"));
  try {
    vm::CheckToolName("..\\Evil", "C:\\t\\clock\\vtools.ini");
    FAIL();
  } catch (const vm::Exception& e) {
    EXPECT_STREQ(e.what(), "Unsafe tool name \"..\\Evil\" in C:\\t\\clock\\vtools.ini: its program "
                           "would lie outside the tool folder");
  }
}

}  // namespace
