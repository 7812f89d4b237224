#include "commands/group_names.h"

#include <gtest/gtest.h>

#include "support/errors.h"

namespace {

using vm::GroupKind;

TEST(KindOfGroup, TellsTheFourKindsApart) {
  EXPECT_EQ(vm::KindOfGroup(""), GroupKind::None);
  EXPECT_EQ(vm::KindOfGroup("."), GroupKind::InstanceDirectory);
  EXPECT_EQ(vm::KindOfGroup("VTOOL."), GroupKind::Tool);
  EXPECT_EQ(vm::KindOfGroup("VTOOL.SATELLITE:VCLOCK.EXE"), GroupKind::Tool);
  EXPECT_EQ(vm::KindOfGroup("Vtool.x"), GroupKind::Folder);
  EXPECT_EQ(vm::KindOfGroup("VTOOL"), GroupKind::Folder);
  EXPECT_EQ(vm::KindOfGroup("./"), GroupKind::Folder);
  EXPECT_EQ(vm::KindOfGroup("Data\\Sounds"), GroupKind::Folder);
}

TEST(CheckGroupFolder, RefusesEveryWayOutOfTheInstanceDirectory) {
  for (const char* group : {"..", "..\\Startup", "Data\\..\\..\\x", "Data/../../x", "a\\..",
                            "\\Windows", "/Windows", "C:\\Windows", "C:relative", "Data:stream",
                            "a\\...\\b", "a\\.. \\b"}) {
    SCOPED_TRACE(group);
    EXPECT_THROW(vm::CheckGroupFolder(group, "a.txt"), vm::Exception);
  }
  for (const char* group : {"Data", "Data\\Sounds", "Data\\Sounds\\", "a..b", "a\\.\\b", ".hidden",
                            "Data\\\\Sounds"}) {
    SCOPED_TRACE(group);
    EXPECT_NO_THROW(vm::CheckGroupFolder(group, "a.txt"));
  }
}

TEST(CheckGroupFolder, NamesTheGroupAndTheFile) {
  try {
    vm::CheckGroupFolder("C:\\Windows", "Evil.dll");
    FAIL();
  } catch (const vm::Exception& e) {
    EXPECT_STREQ(e.what(), "Unsafe group name \"C:\\Windows\" for file \"Evil.dll\": its folder "
                           "would lie outside the instance directory");
  }
}

TEST(GroupFolderList, MembershipIgnoresLetterCase) {
  vm::GroupFolderList list;
  list.Add("Data\\Sounds");
  EXPECT_TRUE(list.Contains("DATA\\sounds"));
  EXPECT_FALSE(list.Contains("Data"));
  EXPECT_FALSE(list.Contains("Data\\Sounds\\More"));
  list.Clear();
  EXPECT_FALSE(list.Contains("Data\\Sounds"));
}

// Shift-JIS-like: 0x95 starts a double-byte character whose second byte may be 0x5C, "\".
bool LeadByte95(unsigned char byte) { return byte == 0x95; }

TEST(GroupFolderLevels, GoesFromTheDeepestLevelUp) {
  using Levels = std::vector<std::string>;
  EXPECT_EQ(vm::GroupFolderLevels("a\\b\\c", vm::NoLeadBytes), (Levels{"a\\b\\c", "a\\b", "a"}));
  EXPECT_EQ(vm::GroupFolderLevels("a\\b\\", vm::NoLeadBytes), (Levels{"a\\b", "a"}));
  EXPECT_EQ(vm::GroupFolderLevels("Data", vm::NoLeadBytes), (Levels{"Data"}));
  EXPECT_EQ(vm::GroupFolderLevels("", vm::NoLeadBytes), Levels{});
  // The second byte of a double-byte character is not a level.
  EXPECT_EQ(vm::GroupFolderLevels("a\\\x95\\", LeadByte95), (Levels{"a\\\x95\\", "a"}));
  EXPECT_EQ(vm::GroupFolderLevels("\x95\\\\b", LeadByte95), (Levels{"\x95\\\\b", "\x95\\"}));
}

}  // namespace
