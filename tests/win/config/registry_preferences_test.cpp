#include <windows.h>

#include <gtest/gtest.h>

#include "config/program_name.h"
#include "config/registry_preferences_win.h"
#include "config/settings_reader.h"
#include "support/paths.h"
#include "support/win_handles.h"
#include "unit/test_files.h"

namespace {

constexpr char kRoot[] = "Software\\Halvorn";

// The stored type and bytes, as another program sees them.
std::pair<DWORD, std::string> GetRawValue(const std::string& keyPath, const std::string& name) {
  HKEY raw = nullptr;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &raw);
  if (status != ERROR_SUCCESS) return {REG_NONE, "error " + std::to_string(status)};
  vm::UniqueKey key(raw);
  char data[256];
  DWORD type = REG_NONE, size = sizeof data;
  status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  if (status != ERROR_SUCCESS) return {REG_NONE, "error " + std::to_string(status)};
  return {type, std::string(data, size)};
}

// Each test has its own section, removed with everything in it afterwards.
class RegistryPreferences : public ::testing::Test {
 protected:
  ~RegistryPreferences() override { RegDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str()); }

  void SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    vm::UniqueKey key(raw);
    ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  std::pair<DWORD, std::string> GetRaw(const std::string& name) { return GetRawValue(keyPath_, name); }

  const std::string programName_ = "VmConfigTest" + std::to_string(GetCurrentProcessId()) + "_" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string keyPath_ = std::string(kRoot) + "\\" + programName_;
  vm::RegistryPreferenceStore store_{programName_};
};

TEST_F(RegistryPreferences, BooleansRoundTripAsTheStringsOneAndZero) {
  EXPECT_EQ(store_.KeyPath(), keyPath_);
  vm::WriteBoolPreference(store_, "Mute", true);
  vm::WriteBoolPreference(store_, "AnyKeyExit", false);
  EXPECT_EQ(GetRaw("Mute"), (std::pair<DWORD, std::string>{REG_SZ, std::string("1\0", 2)}));
  EXPECT_EQ(GetRaw("AnyKeyExit"), (std::pair<DWORD, std::string>{REG_SZ, std::string("0\0", 2)}));
  EXPECT_TRUE(vm::ReadBoolPreference(store_, "Mute", false));
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "AnyKeyExit", true));
  vm::WriteBoolPreference(store_, "Mute", false);
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "Mute", true));
}

TEST_F(RegistryPreferences, StringsRoundTripWhateverTheirLength) {
  const std::string longText(5000, 'd');
  store_.WriteString("Vardel Temp Directory", "D:\\Work");
  store_.WriteString("Long", longText);
  store_.WriteString("Empty", "");
  EXPECT_EQ(store_.ReadString("Vardel Temp Directory"), "D:\\Work");
  EXPECT_EQ(store_.ReadString("Long"), longText);
  EXPECT_EQ(store_.ReadString("Empty"), "");
}

TEST_F(RegistryPreferences, AMissingSectionOrValueReadsAsMissing) {
  EXPECT_EQ(store_.ReadString("Mute"), std::nullopt);
  EXPECT_TRUE(vm::ReadBoolPreference(store_, "MouseExit", true));
  store_.WriteString("Other", "1");
  EXPECT_EQ(store_.ReadString("Mute"), std::nullopt);
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "Mute", false));
}

TEST_F(RegistryPreferences, ValuesOfOtherTypesLeaveTheDefault) {
  const DWORD one = 1;
  SetRaw("Mute", REG_DWORD, std::string(reinterpret_cast<const char*>(&one), sizeof one));
  SetRaw("MidiMute", REG_BINARY, "1");
  SetRaw("AnyKeyExit", REG_MULTI_SZ, std::string("1\0\0", 3));
  EXPECT_EQ(store_.ReadString("Mute"), std::nullopt);
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "Mute", false));
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "MidiMute", false));
  EXPECT_FALSE(vm::ReadBoolPreference(store_, "AnyKeyExit", false));
}

TEST_F(RegistryPreferences, StringsEndAtTheirFirstNulAndAreNotExpanded) {
  SetRaw("NoNul", REG_SZ, "1");
  SetRaw("Inner", REG_SZ, std::string("D:\\A\0B\0", 7));
  SetRaw("Expand", REG_EXPAND_SZ, std::string("%TEMP%\\Movies\0", 14));
  EXPECT_EQ(store_.ReadString("NoNul"), "1");
  EXPECT_EQ(store_.ReadString("Inner"), "D:\\A");
  EXPECT_EQ(store_.ReadString("Expand"), "%TEMP%\\Movies");
}

TEST_F(RegistryPreferences, TempBaseDirectoryDefaultsToTheSystemPathWithABackslash) {
  char systemTemp[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof systemTemp, systemTemp);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(vm::SystemTempPath(), std::string(systemTemp, length));
  std::string expected(systemTemp, length);
  if (expected.back() != '\\') expected += '\\';
  EXPECT_EQ(vm::TempBaseDirectory(store_), expected);

  store_.WriteString(vm::kTempDirectoryPreference, "D:\\Work");
  EXPECT_EQ(vm::TempBaseDirectory(store_), "D:\\Work\\");
  store_.WriteString(vm::kTempDirectoryPreference, "");
  EXPECT_EQ(vm::TempBaseDirectory(store_), "\\");
}

// A wrong type there leaves the system's path too.
TEST_F(RegistryPreferences, TempBaseDirectoryOfAnotherTypeIsTheSystemPath) {
  SetRaw(vm::kTempDirectoryPreference, REG_BINARY, "D:\\Work");
  std::string system = vm::SystemTempPath();
  EXPECT_EQ(vm::TempBaseDirectory(store_).substr(0, system.size()), system);
}

// Without a program name the values live in "Software\Halvorn" itself.
TEST(RegistryPreferenceRoot, AnEmptyProgramNameUsesTheRootKey) {
  vm::RegistryPreferenceStore store("");
  EXPECT_EQ(store.KeyPath(), kRoot);
  const std::string name = "VmConfigTest" + std::to_string(GetCurrentProcessId());
  vm::WriteBoolPreference(store, name, true);
  EXPECT_EQ(GetRawValue(kRoot, name), (std::pair<DWORD, std::string>{REG_SZ, std::string("1\0", 2)}));
  EXPECT_TRUE(vm::ReadBoolPreference(store, name, false));
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRoot, 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
  vm::UniqueKey root(raw);
  RegDeleteValueA(root.get(), name.c_str());
}

// A program name as long as Windows allows a file name is too long for the registry's ANSI calls;
// the section it is cut to stores and reads back, as another program sees it.
TEST(RegistryPreferenceSection, ALongProgramNamesSectionHoldsItsPreferences) {
  const std::string programName = "VmConfigTest" + std::to_string(GetCurrentProcessId()) + std::string(236, 'n');
  EXPECT_THROW(vm::RegistryPreferenceStore(programName).WriteString("x", "1"), std::exception)
      << "the registry took the whole name: the cut is not needed";
  const std::string section = vm::PreferenceSectionName(programName, vm::IsSystemLeadByte);
  vm::RegistryPreferenceStore store(section);
  store.WriteString("Vardel Temp Directory", "C:\\elsewhere");
  EXPECT_EQ(GetRawValue(std::string(kRoot) + "\\" + section, "Vardel Temp Directory").second,
            std::string("C:\\elsewhere\0", 13));
  EXPECT_EQ(vm::RegistryPreferenceStore(section).ReadString("Vardel Temp Directory"), "C:\\elsewhere");
  RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\" + section).c_str());
}

// The whole pass as start-up runs it: the file's keys, then the user's stored choices.
TEST_F(RegistryPreferences, SettingsKeysAreOverlaidWithTheStoredChoices) {
  vmtest::TempDir dir;
  vmtest::WriteBytes(dir.File("movie.ini"),
                     "[Settings]\r\nWidth=$320\r\nSound=2\r\nMidi=1\r\nInteraction=2\r\n");
  vm::WriteBoolPreference(store_, "Mute", true);
  vm::WriteBoolPreference(store_, "MidiMute", false);
  vm::WriteBoolPreference(store_, "MouseExit", false);
  vm::RunnerSettings settings;
  vm::ReadSettingsKeys(dir.File("movie.ini"), programName_, store_, settings);
  EXPECT_EQ(settings.Width, 800);
  EXPECT_EQ(settings.ScreenName, programName_);
  EXPECT_TRUE(settings.Sound.Value);
  EXPECT_TRUE(settings.Midi.Value);
  EXPECT_TRUE(settings.Interaction.Value);
  EXPECT_TRUE(settings.RightClickMenu.Enabled);
  EXPECT_TRUE(settings.KeyInteraction.Value);
}

}  // namespace
