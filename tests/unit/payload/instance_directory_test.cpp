#include "payload/instance_directory.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

bool ShiftJisLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

TEST(InstanceBaseDirectory, EndsInOneBackslash) {
  const struct {
    const char* preference;
    const char* base;
  } cases[] = {
      {"C:\\Temp", "C:\\Temp\\"},
      {"C:\\Temp\\", "C:\\Temp\\"},
      {"", "\\"},  // the root of the current drive
      {"\\", "\\"},
      {"C:", "C:\\"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vm::InstanceBaseDirectory(c.preference, vm::NoLeadBytes), c.base) << c.preference;
}

TEST(InstanceBaseDirectory, ADoubleByteCharacterEndingIn5CIsNoBackslash) {
  EXPECT_EQ(vm::InstanceBaseDirectory("C:\\\x83\x5C", ShiftJisLeadByte), "C:\\\x83\x5C\\");
  EXPECT_EQ(vm::InstanceBaseDirectory("C:\\\x83\x83\\", ShiftJisLeadByte), "C:\\\x83\x83\\");
}

TEST(InstanceNames, NumberZeroHasNoDigitsAndOthersNoLeadingZeros) {
  const struct {
    int32_t number;
    const char* dir;
    const char* suffix;
  } cases[] = {
      {0, "C:\\T\\Vdl_Rt", "_VDL_RT"},
      {1, "C:\\T\\Vdl_Rt1", "_VDL_RT1"},
      {2, "C:\\T\\Vdl_Rt2", "_VDL_RT2"},
      {10, "C:\\T\\Vdl_Rt10", "_VDL_RT10"},
      {2147483647, "C:\\T\\Vdl_Rt2147483647", "_VDL_RT2147483647"},
      // Never claimed, but named alike: the longest suffix there is.
      {-1, "C:\\T\\Vdl_Rt-1", "_VDL_RT-1"},
      {INT32_MIN, "C:\\T\\Vdl_Rt-2147483648", "_VDL_RT-2147483648"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vm::InstanceDirectoryPath("C:\\T\\", c.number), c.dir);
    EXPECT_EQ(vm::InstanceSuffixFor(c.number), c.suffix);
  }
}

TEST(PrivateFolderOwner, ReadsTheProcessOfItsOwnNamesOnly) {
  const struct {
    const char* name;
    std::optional<uint32_t> owner;
  } cases[] = {
      {"Vdl_Settings1234", 1234u},
      {"vdl_settings1234_2", 1234u},  // a later folder of the same process id
      {"Vdl_Settings4294967295", 4294967295u},
      {"Vdl_Settings4294967296", std::nullopt},
      {"Vdl_Settings", std::nullopt},
      {"Vdl_Settings12x", std::nullopt},
      {"Vdl_Settings12_", std::nullopt},
      {"Vdl_Settings12_3_4", std::nullopt},
      {"Vdl_Rt1", std::nullopt},
      {"settings.ini", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::PrivateFolderOwner(c.name, "Vdl_Settings"), c.owner) << c.name;
}

// A claim takes away only what is an instance directory by name: what InstanceDirectoryPath
// makes of some number.
TEST(InstanceNumberOfDirectory, ReadsTheNamesThatInstancesAreGiven) {
  const struct {
    const char* name;
    std::optional<int32_t> number;
  } cases[] = {
      {"Vdl_Rt", 0},           {"VDL_RT", 0},           {"Vdl_Rt1", 1},
      {"vdl_rt42", 42},        {"Vdl_Rt2147483647", 2147483647},
      {"Vdl_Rt2147483648", std::nullopt},               {"Vdl_Rt0", std::nullopt},
      {"Vdl_Rt01", std::nullopt},                       {"Vdl_Rt1a", std::nullopt},
      {"Vdl_Rt-1", std::nullopt},                       {"Vdl_R", std::nullopt},
      {"Vdl_Rt 1", std::nullopt},                       {"Vdl_Settings12", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::InstanceNumberOfDirectory(c.name), c.number) << c.name;
  for (int32_t n : {0, 1, 9, 10, 12345}) {
    const std::string path = vm::InstanceDirectoryPath("", n);
    EXPECT_EQ(vm::InstanceNumberOfDirectory(path), n) << path;
  }
}

}  // namespace
