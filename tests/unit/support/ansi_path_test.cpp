#include "support/ansi_path.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {

// A single-byte code page that holds the first 256 characters, as Latin-1 does.
bool AppendLatin1(const wchar_t* text, size_t n, std::string& out) {
  std::string ansi;
  for (size_t i = 0; i < n; ++i) {
    if (text[i] > 0xFF) return false;
    ansi += static_cast<char>(text[i]);
  }
  out += ansi;
  return true;
}

// The short names of the folders that exist, by their full long paths. A volume without short
// names gives the long name back.
const std::map<std::wstring, std::wstring> kShortNames = {
    {L"C:\\Users\\\x0422\x0435\x0441\x0442", L"C:\\Users\\____~3FP"},
    {L"C:\\Users\\\x0422\x0435\x0441\x0442\\\x0424\x043E\x0442\x043E", L"C:\\Users\\____~3FP\\____~Q1X"},
    {L"C:\\\x6620\x753B \x30D5\x30A9\x30EB\x30C0", L"C:\\__~~~DJ4"},
    {L"C:/\x6620\x753B", L"C:/__~~~QQ1"},
    {L"\\\\server\\share\\\x0422\x0435\x0441\x0442", L"\\\\server\\share\\TEST~1"},
    {L"D:\\\x0422\x0435\x0441\x0442", L"D:\\\x0422\x0435\x0441\x0442"},
};

bool AppendFakeShortName(const wchar_t* path, size_t n, std::string& out) {
  auto found = kShortNames.find(std::wstring(path, n));
  if (found == kShortNames.end()) return false;
  const std::wstring& shortPath = found->second;
  const size_t name = shortPath.find_last_of(L"\\/") + 1;
  return AppendLatin1(shortPath.c_str() + name, shortPath.size() - name, out);
}

bool NoShortNames(const wchar_t*, size_t, std::string&) { return false; }

std::optional<std::string> AnsiPath(const wchar_t* path, const vm::AnsiPathSystem& system) {
  std::string out = "left over";
  if (!vm::AnsiPathOf(path, system, out)) return std::nullopt;
  return out;
}

// Only the names that the code page cannot hold are replaced, each with the last part of its own
// short path; the long names around them, delimiters of either kind and a trailing one stay.
TEST(AnsiPath, ReplacesOnlyTheNamesThatTheCodePageCannotHold) {
  const vm::AnsiPathSystem system{AppendLatin1, AppendFakeShortName};
  const struct {
    const wchar_t* path;
    const char* ansi;
  } cases[] = {
      {L"C:\\Users\\\x0422\x0435\x0441\x0442\\AppData\\Local\\Temp\\", "C:\\Users\\____~3FP\\AppData\\Local\\Temp\\"},
      {L"C:\\Users\\\x0422\x0435\x0441\x0442\\\x0424\x043E\x0442\x043E", "C:\\Users\\____~3FP\\____~Q1X"},
      {L"C:\\\x6620\x753B \x30D5\x30A9\x30EB\x30C0\\Long Movie Name.exe", "C:\\__~~~DJ4\\Long Movie Name.exe"},
      {L"C:/\x6620\x753B/a", "C:/__~~~QQ1/a"},
      {L"\\\\server\\share\\\x0422\x0435\x0441\x0442\\", "\\\\server\\share\\TEST~1\\"},
      {L"C:\\caf\x00E9\\x", "C:\\caf\xE9\\x"},
      {L"C:\\Users\\\x0422\x0435\x0441\x0442\\\\x", "C:\\Users\\____~3FP\\\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiPath(c.path, system), std::optional<std::string>(c.ansi)) << c.ansi;
}

TEST(AnsiPath, APathThatTheCodePageHoldsNeedsNoShortNames) {
  const vm::AnsiPathSystem system{AppendLatin1, NoShortNames};
  const struct {
    const wchar_t* path;
    const char* ansi;
  } cases[] = {
      {L"C:\\Users\\root\\Temp\\", "C:\\Users\\root\\Temp\\"},
      {L"", ""},
      {L"Temp", "Temp"},
      {L"\\\\server\\share\\caf\x00E9", "\\\\server\\share\\caf\xE9"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiPath(c.path, system), std::optional<std::string>(c.ansi)) << c.ansi;
}

// A name without a short one that the code page holds: short names are turned off (the long name
// comes back), the folder does not exist yet, or it is no full path's part.
TEST(AnsiPath, FailsForANameWithoutAShortNameTheCodePageHolds) {
  const vm::AnsiPathSystem system{AppendLatin1, AppendFakeShortName};
  for (const wchar_t* path : {L"D:\\\x0422\x0435\x0441\x0442\\Temp",
                              L"C:\\Users\\\x0422\x0435\x0441\x0442\\New\\\x041D\x043E\x0432\x0430\x044F",
                              L"\x0422\x0435\x0441\x0442\\Temp", L"C:\\\x6620\x753B"})
    EXPECT_EQ(AnsiPath(path, system), std::nullopt);
}

}  // namespace
