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

}  // namespace
