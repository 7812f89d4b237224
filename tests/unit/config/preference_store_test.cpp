#include "config/preference_store.h"

#include <gtest/gtest.h>

#include "unit/config/fake_preference_store.h"

namespace {

using vmtest::FakePreferenceStore;

bool ShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

TEST(BoolPreference, ReadsTheStoredStringByTheIntegerRule) {
  struct Case {
    std::optional<std::string> stored;
    bool whenDefaultFalse;
    bool whenDefaultTrue;
  } cases[] = {
      {std::nullopt, false, true},
      {"1", true, true},
      {"0", false, false},
      {"2", true, true},
      {"-1", true, true},
      {"$0", false, false},
      {"0x0", false, false},
      {" 1", true, true},
      {"1 ", false, true},
      {"yes", false, true},
      {"true", false, true},
      {"", false, true},
  };
  for (const auto& c : cases) {
    FakePreferenceStore store;
    if (c.stored) store.Values["Mute"] = *c.stored;
    EXPECT_EQ(vm::ReadBoolPreference(store, "Mute", false), c.whenDefaultFalse) << c.stored.value_or("(none)");
    EXPECT_EQ(vm::ReadBoolPreference(store, "Mute", true), c.whenDefaultTrue) << c.stored.value_or("(none)");
  }
}

TEST(BoolPreference, IsWrittenAsOneOrZero) {
  FakePreferenceStore store;
  vm::WriteBoolPreference(store, "Mute", true);
  vm::WriteBoolPreference(store, "AnyKeyExit", false);
  EXPECT_EQ(store.Values, (std::map<std::string, std::string>{{"Mute", "1"}, {"AnyKeyExit", "0"}}));
}

TEST(TempBaseDirectory, IsThePreferenceOrTheSystemPathEndingInABackslash) {
  struct Case {
    std::optional<std::string> stored;
    const char* systemTemp;
    const char* base;
  } cases[] = {
      {std::nullopt, "C:\\TEMP\\", "C:\\TEMP\\"},
      {std::nullopt, "C:\\TEMP", "C:\\TEMP\\"},
      {std::nullopt, "", "\\"},
      {"D:\\Work", "C:\\TEMP\\", "D:\\Work\\"},
      {"D:\\Work\\", "C:\\TEMP\\", "D:\\Work\\"},
      {"D:", "C:\\TEMP\\", "D:\\"},
      {"", "C:\\TEMP\\", "\\"},
      // Relative: below the executable's folder, never the current directory.
      {"Temp", "C:\\TEMP\\", "E:\\Movies\\Temp\\"},
      {"..\\Shared\\", "C:\\TEMP\\", "E:\\Movies\\..\\Shared\\"},
      {"\\Temp", "C:\\TEMP\\", "\\Temp\\"},
      {"\\\\server\\share", "C:\\TEMP\\", "\\\\server\\share\\"},
      {"D:Work", "C:\\TEMP\\", "D:Work\\"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vm::TempBaseDirectory(c.stored, c.systemTemp, "E:\\Movies\\", vm::NoLeadBytes), c.base)
        << c.stored.value_or("(none)") << " / " << c.systemTemp;
}

TEST(TempBaseDirectory, ADoubleByteCharacterEndingInTheBackslashCodeGetsABackslash) {
  const std::string stored = "D:\\\x95\\";
  EXPECT_EQ(vm::TempBaseDirectory(stored, "", "E:\\", ShiftJisLeadByte), "D:\\\x95\\\\");
  EXPECT_EQ(vm::TempBaseDirectory(stored, "", "E:\\", vm::NoLeadBytes), "D:\\\x95\\");
}

}  // namespace
