#include "config/program_name.h"

#include <gtest/gtest.h>

namespace {

bool ShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

TEST(ProgramName, IsTheFileNameCutBeforeTheFirstExe) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\Games\\Demo.EXE", "Demo"},
      {"Demo.exe", "Demo"},
      {"C:\\Games\\demo.Exe", "demo"},
      {"C:Demo.exe", "Demo"},
      {"\\\\server\\share\\Kiosk.exe", "Kiosk"},
      {"C:\\movies.exe\\Movie.exe", "Movie"},
      {"C:\\Games\\Tool.exe.exe", "Tool"},
      {"C:\\Games\\game.executable", "game"},
      {"C:\\Games\\My Movie 2.exe", "My Movie 2"},
      {"C:\\Games\\.exe", ""},
      {"C:\\Games\\movie", ""},
      {"C:\\Games\\movie.ex", ""},
      {"C:\\Games\\", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::DeriveProgramName(c.path, vm::NoLeadBytes), c.name) << c.path;
}

// The second byte of a double-byte character may be the code of "\".
TEST(ProgramName, DoesNotCutInsideADoubleByteCharacter) {
  const std::string path = "C:\\Games\\\x95\\Demo.exe";
  EXPECT_EQ(vm::DeriveProgramName(path, ShiftJisLeadByte), "\x95\\Demo");
  EXPECT_EQ(vm::DeriveProgramName(path, vm::NoLeadBytes), "Demo");
}

// A longer program name gets a section of at most kLongestPreferenceSection bytes, the same
// each time, and its own among names that begin alike.
TEST(PreferenceSectionName, CutsALongNameStablyAndKeepsShortOnesAsTheyAre) {
  constexpr size_t kLongest = vm::kLongestPreferenceSection;
  constexpr size_t kKept = kLongest - 9;
  const std::string fits(kLongest, 'a');
  EXPECT_EQ(vm::PreferenceSectionName(fits, vm::NoLeadBytes), fits);
  EXPECT_EQ(vm::PreferenceSectionName("Demo", vm::NoLeadBytes), "Demo");
  const std::string longName = std::string(kLongest, 'a') + "-one";
  const std::string section = vm::PreferenceSectionName(longName, vm::NoLeadBytes);
  EXPECT_EQ(section.size(), kLongest);
  EXPECT_EQ(section.substr(0, kKept), longName.substr(0, kKept));
  EXPECT_EQ(section[kKept], '~');
  EXPECT_EQ(section, vm::PreferenceSectionName(longName, vm::NoLeadBytes));
  EXPECT_NE(section, vm::PreferenceSectionName(std::string(kLongest, 'a') + "-two", vm::NoLeadBytes));
  EXPECT_EQ(vm::PreferenceSectionName(std::string(kLongest + 1, 'a'), vm::NoLeadBytes).size(), kLongest);
}

TEST(PreferenceSectionName, NeverCutsADoubleByteCharacterInTwo) {
  constexpr size_t kKept = vm::kLongestPreferenceSection - 9;
  // Single bytes up to one before the cut, then double-byte characters: the cut would fall
  // between the two bytes of one.
  const std::string name = std::string(kKept - 1, 'a') + std::string(40, '\x95');
  const std::string section = vm::PreferenceSectionName(name, ShiftJisLeadByte);
  EXPECT_EQ(section.substr(0, kKept - 1), std::string(kKept - 1, 'a'));
  EXPECT_EQ(section[kKept - 1], '~') << "the cut falls before the double-byte character";
  EXPECT_EQ(section.size(), vm::kLongestPreferenceSection - 1);
}

}  // namespace
