#include "payload/file_helpers_paths.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Shift-JIS (code page 932): many double-byte characters end in 0x5C, the code of "\".
bool ShiftJisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct LastCharCase {
  const char* text;
  std::optional<size_t> singleByte;
  std::optional<size_t> shiftJis;
};

TEST(LastCharOf, FindsTheFirstByteOfTheLastCharacter) {
  const LastCharCase cases[] = {
      {"", std::nullopt, std::nullopt},
      {"a", 0, 0},
      {"C:\\", 2, 2},
      {"\x83\x5C", 1, 0},        // one double-byte character whose second byte is 0x5C
      {"ab\x95\x5C", 3, 2},
      {"\x83\x83\x5C", 2, 2},    // a double-byte character, then a real "\"
      {"a\x83", 1, 1},           // a lead byte without its second byte stands alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vm::LastCharOf(c.text, vm::NoLeadBytes), c.singleByte) << c.text;
    EXPECT_EQ(vm::LastCharOf(c.text, ShiftJisLeadByte), c.shiftJis) << c.text;
  }
}

TEST(FolderOf, KeepsEverythingUpToTheLastBackslashOrColon) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"C:\\Temp\\Vdl_Rt\\*.*", "C:\\Temp\\Vdl_Rt\\"},
      {"C:\\Temp\\Vdl_Rt", "C:\\Temp\\"},
      {"C:name", "C:"},
      {"name", ""},
      {"", ""},
      {"\\\\server\\share", "\\\\server\\"},
      {"C:\\Data\\\x83\x5C", "C:\\Data\\"},   // the trailing 0x5C belongs to a character
      {"C:\\\x83\x83\\x", "C:\\\x83\x83\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::FolderOf(c.path, ShiftJisLeadByte), c.folder) << c.path;
  EXPECT_EQ(vm::FolderOf("C:\\Data\\\x83\x5C", vm::NoLeadBytes), "C:\\Data\\\x83\x5C");
}

// Folder and file names ending in "\x95\x5C" (the character for "table") and "\x83\x5C" (katakana
// "so"): their last byte is the code of "\" but no delimiter.
TEST(PathCuts, GoByCharactersInADoubleByteCodePage) {
  const struct {
    const char* path;
    const char* fileName;
    const char* withoutBackslash;
  } cases[] = {
      {"C:\\Movies\\\x95\x5C.exe", "\x95\x5C.exe", "C:\\Movies\\\x95\x5C.exe"},
      {"C:\\\x95\x5C\\movie.exe", "movie.exe", "C:\\\x95\x5C\\movie.exe"},
      {"C:\\Temp\\\x83\x5C", "\x83\x5C", "C:\\Temp\\\x83\x5C"},
      {"C:\\Temp\\\x83\x5C\\", "", "C:\\Temp\\\x83\x5C"},
      {"C:\\Temp\\", "", "C:\\Temp"},
      {"movie.exe", "movie.exe", "movie.exe"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vm::FileNameOf(c.path, ShiftJisLeadByte), c.fileName) << c.path;
    EXPECT_EQ(vm::WithoutTrailingBackslash(c.path, ShiftJisLeadByte), c.withoutBackslash) << c.path;
  }
  EXPECT_EQ(vm::WithoutTrailingBackslash("C:\\Temp\\\x83\x5C", vm::NoLeadBytes), "C:\\Temp\\\x83");
}

#ifdef _WIN32
TEST(PathCuts, AFolderEndingInADoubleByteCharacterGetsItsDelimiter) {
  EXPECT_EQ(vm::WithTrailingDelimiter("C:\\\x95\x5C", ShiftJisLeadByte), "C:\\\x95\x5C\\");
  EXPECT_EQ(vm::WithTrailingDelimiter("C:\\\x95\x5C\\", ShiftJisLeadByte), "C:\\\x95\x5C\\");
  EXPECT_EQ(vm::WithTrailingDelimiter("C:", ShiftJisLeadByte), "C:");
  EXPECT_EQ(vm::WithTrailingDelimiter("C:\\\x95\x5C", vm::NoLeadBytes), "C:\\\x95\x5C");
}
#endif

}  // namespace
