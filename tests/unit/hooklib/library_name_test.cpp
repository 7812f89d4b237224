#include "hooklib/library_name.h"

#include <gtest/gtest.h>

namespace {

// The file placement inserts the instance number before ".dll"; the library reads it back to find
// its Runner's mapping.
TEST(SharedMappingNameFor, TakesTheInstanceNumberFromTheDigitsBeforeDll) {
  const struct {
    const char* path;
    const char* mapping;  // nullptr: no mapping, the library stays idle
  } cases[] = {
      {"C:\\Temp\\Vdl_Rt\\vardelrun0.dll", "HalvornRunnerMapping_VDL_RT"},
      {"C:\\Temp\\Vdl_Rt3\\vardelrun3.dll", "HalvornRunnerMapping_VDL_RT3"},
      {"C:\\Temp\\Vdl_Rt12\\VARDELRUN12.DLL", "HalvornRunnerMapping_VDL_RT12"},
      {"C:\\Temp\\Vdl_Rt\\run0.Dll", "HalvornRunnerMapping_VDL_RT"},
      {"C:\\Temp\\Vdl_Rt7\\7.dll", "HalvornRunnerMapping_VDL_RT7"},
      {"C:\\Temp\\Vdl_Rt7\\vardelrun007.dll", "HalvornRunnerMapping_VDL_RT7"},
      {"C:\\Temp\\Vdl_Rt\\vardelrun2147483647.dll", "HalvornRunnerMapping_VDL_RT2147483647"},
      // A double-byte character whose trail byte is "\" right before the name.
      {"C:\\\x95\\vardelrun1.dll", "HalvornRunnerMapping_VDL_RT1"},
      {"C:\\Temp\\Vdl_Rt\\vardelrun.dll", nullptr},
      {"C:\\Temp\\Vdl_Rt5\\.dll", nullptr},
      {"C:\\Temp\\Vdl_Rt\\vardelrun3.exe", nullptr},
      {"C:\\Temp\\Vdl_Rt\\vardelrun3.dll.old", nullptr},
      {"C:\\Temp\\Vdl_Rt\\vardelrun3dll", nullptr},
      {"C:\\Temp\\Vdl_Rt\\vardelrun2147483648.dll", nullptr},
      {"C:\\Temp\\Vdl_Rt\\vardelrun99999999999999999999999.dll", nullptr},
      {"3.dl", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    char name[vm::kSharedMappingNameCapacity] = "untouched";
    const bool found = vm::SharedMappingNameFor(c.path, name);
    EXPECT_EQ(found, c.mapping != nullptr) << c.path;
    EXPECT_STREQ(name, c.mapping ? c.mapping : "untouched") << c.path;
  }
}

// The quit command reaches the Runner through its registered message, numbered the same way.
TEST(RunnerMessageNameFor, NamesTheMessageOfTheSameInstance) {
  char name[vm::kRunnerMessageNameCapacity] = "untouched";
  ASSERT_TRUE(vm::RunnerMessageNameFor("C:\\Temp\\Vdl_Rt3\\vardelrun3.dll", name));
  EXPECT_STREQ(name, "HalvornRunnerMessage_VDL_RT3");
  ASSERT_TRUE(vm::RunnerMessageNameFor("C:\\Temp\\Vdl_Rt\\vardelrun0.dll", name));
  EXPECT_STREQ(name, "HalvornRunnerMessage_VDL_RT");
  char untouched[vm::kRunnerMessageNameCapacity] = "untouched";
  EXPECT_FALSE(vm::RunnerMessageNameFor("C:\\Temp\\vardelrun.dll", untouched));
  EXPECT_STREQ(untouched, "untouched");
}

}  // namespace
