#include <windows.h>

#include <gtest/gtest.h>

#include "config/program_name.h"
#include "config/registry_preferences_win.h"
#include "config/settings_reader.h"
#include "support/ansi_path_win.h"
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

  void SetWide(const std::wstring& text) {
    const std::string bytes(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    vm::UniqueKey key(raw);
    ASSERT_EQ(RegSetValueExW(key.get(), L"Vardel Temp Directory", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

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

const wchar_t kCyrillicName[] = L"\x0422\x0435\x0441\x0442\x043E\x0432\x0430\x044F \x043F\x0430\x043F\x043A\x0430";

std::wstring Wide(const std::string& ansi) {
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH + 1);
  return wide;
}

// A folder named in another script, with a file in it that only its wide name reached.
struct CyrillicFolder {
  vmtest::TempDir dir;
  std::wstring path = Wide(dir.Path()) + L"\\" + kCyrillicName;
  CyrillicFolder() {
    CreateDirectoryW(path.c_str(), nullptr);
    CloseHandle(CreateFileW((path + L"\\probe.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  }
  // The ANSI path names this folder, by names of the code page only.
  bool IsNamedBy(const std::string& ansi) const {
    for (unsigned char c : ansi)
      if (c >= 0x80) return false;
    return vmtest::Exists(vm::WithTrailingDelimiter(ansi) + "probe.txt");
  }
};

// The process's own variable, set for one test and put back.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    had_ = GetEnvironmentVariableW(name, old_, MAX_PATH + 1) != 0;
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedVariable() { SetEnvironmentVariableW(name_, had_ ? old_ : nullptr); }

 private:
  const wchar_t* name_;
  wchar_t old_[MAX_PATH + 1] = {};
  bool had_ = false;
};

// Read wide: the ANSI read would give "?" for every Cyrillic letter. A relative folder is looked
// up below the folder it is relative to; one that the code page holds is read as it is stored.
TEST_F(RegistryPreferences, AStoredFolderInAnotherScriptIsReadByItsShortName) {
  const CyrillicFolder folder;
  SetWide(folder.path);
  const std::optional<std::string> full = store_.ReadFolder(vm::kTempDirectoryPreference, "E:\\Unused\\");
  ASSERT_TRUE(full.has_value());
  EXPECT_TRUE(folder.IsNamedBy(*full)) << *full;
  SetWide(kCyrillicName + std::wstring(L"\\"));
  EXPECT_EQ(store_.ReadFolder(vm::kTempDirectoryPreference, folder.dir.Path() + "\\"), *full + "\\");

  store_.WriteString(vm::kTempDirectoryPreference, "Temp\xE9");
  EXPECT_EQ(store_.ReadFolder(vm::kTempDirectoryPreference, "E:\\Unused\\"), "Temp\xE9");
  SetRaw(vm::kTempDirectoryPreference, REG_BINARY, "D:\\Work");
  EXPECT_EQ(store_.ReadFolder(vm::kTempDirectoryPreference, "E:\\Unused\\"), std::nullopt);
}

TEST_F(RegistryPreferences, AStoredFolderInAnotherScriptThatDoesNotExistRaises) {
  const CyrillicFolder folder;
  const std::wstring missing = folder.path + L"\\" + kCyrillicName;
  SetWide(missing);
  try {
    store_.ReadFolder(vm::kTempDirectoryPreference, "E:\\Unused\\");
    ADD_FAILURE() << "no error";
  } catch (const vm::UnheldPathError& e) {
    EXPECT_EQ(std::wstring(e.Path()), missing);
    EXPECT_EQ(e.Role(), vm::PathRole::TempPreference);
  }
}

// The system's path only counts without a preference: one that cannot be used must not stop a
// Runner whose user chose another folder.
TEST_F(RegistryPreferences, ATemporaryPathInAnotherScriptIsUsedByItsShortName) {
  const CyrillicFolder folder;
  {
    const ScopedVariable tmp(L"TMP", folder.path + L"\\");
    const ScopedVariable temp(L"TEMP", folder.path + L"\\");
    EXPECT_TRUE(folder.IsNamedBy(vm::SystemTempPath())) << vm::SystemTempPath();
    EXPECT_EQ(vm::TempBaseDirectory(store_), vm::SystemTempPath());
  }
  const ScopedVariable tmp(L"TMP", folder.path + L"\\" + kCyrillicName);
  const ScopedVariable temp(L"TEMP", folder.path + L"\\" + kCyrillicName);
  EXPECT_THROW(vm::TempBaseDirectory(store_), vm::UnheldPathError);
  store_.WriteString(vm::kTempDirectoryPreference, "D:\\Work");
  EXPECT_EQ(vm::TempBaseDirectory(store_), "D:\\Work\\");
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
