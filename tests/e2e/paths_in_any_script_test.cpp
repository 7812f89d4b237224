#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/error_box.h"
#include "e2e/runner_harness.h"
#include "e2e/session_footprint.h"

// The Runner's temporary folder and its own folder named in a script that the ANSI code page
// (1252 in the test prefix) cannot hold: the movie plays from the short names, and leaves
// nothing behind.
namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
// "Временная папка" and "映画 フォルダ".
const wchar_t kCyrillicName[] =
    L"\x0412\x0440\x0435\x043C\x0435\x043D\x043D\x0430\x044F \x043F\x0430\x043F\x043A\x0430";
const wchar_t kJapaneseName[] = L"\x6620\x753B \x30D5\x30A9\x30EB\x30C0";

constexpr char kScript[] = "ready;sleep 500;dump-block;close-request";

// currentDir: where the projector starts, 1 in the instance directory, 2 in the Runner's.
PackedRunner Movie(const std::string& name, int currentDir = 1) {
  const std::string settings = "[Settings]\r\nPassword=0\r\nCurrentDir=" + std::to_string(currentDir) + "\r\n";
  return PackedRunner(name, {{"settings.ini", settings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
}

// The value of the stand-in's first log line that begins with key, or "".
std::string Logged(const PackedRunner& runner, const std::string& key) {
  for (const std::string& line : runner.StandinLines())
    if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
  return "";
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

TEST(PathsInAnyScript, AMovieWithATemporaryFolderInCyrillicPlaysAndLeavesItEmpty) {
  ASSERT_EQ(GetACP(), 1252u) << "the prefix's code page holds Cyrillic: this tests nothing";
  vmtest::TempDir dir;
  const std::wstring temp = vmtest::Wide(dir.Path()) + L"\\" + kCyrillicName;
  ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
  PackedRunner runner = Movie("CyrillicTemp");
  runner.UseTemporaryFolder(temp);
  runner.StandinScript = kScript;
  ASSERT_TRUE(IsAscii(runner.BaseDir())) << runner.BaseDir();

  vmtest::PlayToACleanEnd(runner, kRunTimeoutMs);
  EXPECT_EQ(Logged(runner, "parent-class "), "GaGaMossantWindow");
  EXPECT_EQ(Logged(runner, "cwd "), runner.BaseDir() + "Vdl_Rt");
  EXPECT_EQ(Logged(runner, "block 116 "), runner.BaseDir() + "Vdl_Rt");
  EXPECT_EQ(vmtest::NamesIn(temp), std::vector<std::wstring>{});
}

// The program's own path and folder, handed to the projector, are ones that the projector, an
// ANSI program, opens; the program's file name, which names its preferences, stays as it is.
TEST(PathsInAnyScript, AProgramInAFolderNamedInJapanesePlaysAndCleansUp) {
  vmtest::TempDir dir;
  const std::wstring folder = vmtest::Wide(dir.Path()) + L"\\" + kJapaneseName;
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  PackedRunner runner = Movie("JapaneseFolder", 2);
  runner.StartFrom(folder);
  runner.StandinScript = kScript;

  vmtest::PlayToACleanEnd(runner, kRunTimeoutMs);
  EXPECT_EQ(Logged(runner, "parent-class "), "GaGaMossantWindow");
  const std::string ownPath = Logged(runner, "env MossantLocalDir_Engine ");
  EXPECT_TRUE(IsAscii(ownPath)) << ownPath;
  EXPECT_EQ(ownPath.substr(ownPath.rfind('\\') + 1), "JapaneseFolder.exe");
  EXPECT_EQ(Logged(runner, "cwd "), ownPath.substr(0, ownPath.rfind('\\')));
  EXPECT_NE(ownPath, runner.ExePath());
  EXPECT_EQ(vmtest::ReadBytes(ownPath), vmtest::ReadBytes(runner.ExePath()));
  EXPECT_NE(Logged(runner, "env JapaneseFolder.exe "), "");
}

// A folder in another script that has no short name: here one that does not exist yet, which
// cannot have one. The box names it as it is and says what to do; nothing is made.
TEST(PathsInAnyScript, APreferredFolderWithoutAShortNameIsNamedInTheBox) {
  PackedRunner runner = Movie("NoShortName");
  const std::wstring missing = vmtest::Wide(runner.BaseDir()) + kCyrillicName;
  runner.SetTempDirectoryPreference(missing);
  PackedRunner::Started started;
  runner.Start(started);
  const std::wstring box = vmtest::AnswerMessageBoxWide(started.ProcessId, "Error", kRunTimeoutMs);
  EXPECT_EQ(box, L"The folder of the \"Vardel Temp Directory\" preference cannot be used:\n\n" + missing +
                     L"\n\nIts name has characters that the system's code page cannot hold, and there is no short "
                     L"(8.3) name for it. Set the preference to an existing folder whose name has only characters "
                     L"of the system's code page.");
  DWORD exitCode = 0;
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 1u);
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "fatal error: No short name for ")) << runner.LastSteps();
  EXPECT_TRUE(runner.LeftInBase().empty());
  EXPECT_EQ(Logged(runner, "parent-class "), "") << "the projector never started";
}

}  // namespace
