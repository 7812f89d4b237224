#include "support/ansi_path_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "unit/test_files.h"

namespace {

constexpr UINT kWesternCodePage = 1252;
const wchar_t kCyrillicName[] = L"\x0422\x0435\x0441\x0442\x043E\x0432\x0430\x044F \x043F\x0430\x043F\x043A\x0430";
const wchar_t kJapaneseName[] = L"\x6620\x753B \x30D5\x30A9\x30EB\x30C0";

std::wstring Wide(const std::string& ansi) {
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, MAX_PATH + 1);
  return wide;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

class SystemAnsiPath : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != kWesternCodePage) GTEST_SKIP() << "written for code page 1252, the system has " << GetACP();
  }
};

// Characters that 1252 holds are taken as they are; those it holds only by a look-alike (best
// fit) or not at all are not.
TEST_F(SystemAnsiPath, TakesOnlyWhatTheCodePageHoldsExactly) {
  const struct {
    const wchar_t* text;
    bool held;
    const char* ansi;
  } cases[] = {
      {L"Temp", true, "Temp"},
      {L"caf\x00E9 \x20AC", true, "caf\xE9 \x80"},
      {L"\x0100" L"dam", false, ""},  // A with macron: best fit would give "A"
      {L"\x221E", false, ""},          // infinity: best fit would give "8"
      {kCyrillicName, false, ""},
      {kJapaneseName, false, ""},
  };
  for (const auto& c : cases) {
    std::string out = "x";
    EXPECT_EQ(vm::SystemAnsiPaths().AppendAnsi(c.text, wcslen(c.text), out), c.held) << c.ansi;
    EXPECT_EQ(out, c.held ? std::string("x") + c.ansi : "x") << c.ansi;
  }
}

// Wine, like Windows with short names on, gives every folder named in another script a short
// name in ASCII; the ANSI calls reach the same folder by it.
TEST_F(SystemAnsiPath, AFolderInAnotherScriptIsReachedByItsShortName) {
  vmtest::TempDir dir;
  for (const wchar_t* name : {kCyrillicName, kJapaneseName}) {
    const std::wstring folder = Wide(dir.Path()) + L"\\" + name;
    const std::wstring inner = folder + L"\\Long inner folder";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    vmtest::WriteBytes(dir.Path() + "\\probe", "");
    ASSERT_TRUE(MoveFileW(Wide(dir.Path() + "\\probe").c_str(), (inner + L"\\probe.txt").c_str()));

    const std::string ansi = vm::AnsiPathOrRaise((inner + L"\\").c_str(), vm::PathRole::TempFolder);
    EXPECT_TRUE(IsAscii(ansi)) << ansi;
    EXPECT_EQ(ansi.substr(0, dir.Path().size() + 1), dir.Path() + "\\") << "the folders around it stay";
    EXPECT_EQ(ansi.substr(ansi.size() - 19), "\\Long inner folder\\") << ansi;
    EXPECT_TRUE(vmtest::Exists(ansi + "probe.txt")) << ansi;
  }
}

TEST_F(SystemAnsiPath, AFolderInAnotherScriptThatDoesNotExistRaisesWithItsPath) {
  vmtest::TempDir dir;
  const std::wstring missing = Wide(dir.Path()) + L"\\" + kCyrillicName + L"\\Temp\\";
  try {
    vm::AnsiPathOrRaise(missing.c_str(), vm::PathRole::TempPreference);
    ADD_FAILURE() << "no error";
  } catch (const vm::UnheldPathError& e) {
    EXPECT_EQ(std::wstring(e.Path()), missing);
    EXPECT_EQ(e.Role(), vm::PathRole::TempPreference);
    const std::string unheld = std::string(8, '?') + " " + std::string(5, '?');
    EXPECT_EQ(std::string(e.what()), "No short name for " + dir.Path() + "\\" + unheld + "\\Temp\\");
  }
}

}  // namespace
