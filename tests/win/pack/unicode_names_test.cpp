#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "unit/test_files.h"

// vmpack.exe as an author starts it: a UTF-16 command line naming files outside the ANSI code
// page of the test's own process, with output to files, which vmpack writes in UTF-8.
namespace {

constexpr DWORD kRunTimeoutMs = 60000;
constexpr int kStartTries = 3;
constexpr DWORD kStartPauseMs = 250;
constexpr DWORD kNoExitCode = 0xDEAD;
constexpr SHORT kConsoleWidth = 80;

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                                      wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  std::string text(wide.size() * 4, '\0');
  text.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                      text.data(), static_cast<int>(text.size()), nullptr,
                                                      nullptr)));
  return text;
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

bool ExistsW(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteW(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

std::string ReadW(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

struct VmpackRun {
  DWORD ExitCode = 0;
  std::string Out;  // as vmpack wrote it, but with "\n" for the C runtime's "\r\n"
  std::string Err;
};

class UnicodeNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CopyFileW(BesideThisProgram(L"runner.exe").c_str(), (dir_ + L"\\runner.exe").c_str(), FALSE))
      FAIL() << "no runner.exe beside the test (error " << GetLastError() << ")";
  }

  // vmpack.exe with the arguments, started in the test's folder, its output sent to files. Each
  // run has files of its own: the console host that Wine starts for the program inherits the
  // handles too, and may hold them a moment after the program has ended.
  VmpackRun Vmpack(const std::wstring& arguments) {
    const std::wstring run = std::to_wstring(++runs_);
    const std::wstring outPath = dir_ + L"\\out" + run + L".txt", errPath = dir_ + L"\\err" + run + L".txt";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_NEW, 0,
                             nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_NEW, 0,
                             nullptr);
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) ADD_FAILURE() << "no output files";
    VmpackRun result;
    result.ExitCode = Start(arguments, out, err);
    CloseHandle(out);
    CloseHandle(err);
    result.Out = WithoutCarriageReturns(ReadW(outPath));
    result.Err = WithoutCarriageReturns(ReadW(errPath));
    return result;
  }

  // The exit code, or kNoExitCode when it did not start or end in time.
  DWORD Start(const std::wstring& arguments, HANDLE out, HANDLE err) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring program = BesideThisProgram(L"vmpack.exe");
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    // Under Wine a start now and then fails with ERROR_INTERNAL_ERROR while the server is busy
    // with the previous program's end.
    BOOL started = FALSE;
    for (int attempt = 1; !started && attempt <= kStartTries; ++attempt) {
      started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               dir_.c_str(), &startup, &process);
      if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
      if (!started) Sleep(kStartPauseMs);
    }
    if (!started) {
      ADD_FAILURE() << "CreateProcessW failed (error " << GetLastError() << ")";
      return kNoExitCode;
    }
    DWORD exitCode = kNoExitCode;
    if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &exitCode);
    else
      TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
  }

  int runs_ = 0;
  vmtest::TempDir temp_;
  const std::wstring dir_ = Wide(temp_.Path());
};

struct Named {
  const char* Script;
  const wchar_t* Name;
  const wchar_t* Program;
  const wchar_t* Folder;
  const wchar_t* CodePage;
};

class PacksNamesOfTheCodePage : public UnicodeNamesTest, public ::testing::WithParamInterface<Named> {};

TEST_P(PacksNamesOfTheCodePage, BuildListAndExtractKeepTheName) {
  const Named& named = GetParam();
  const std::wstring name = named.Name, program = named.Program, folder = named.Folder;
  WriteW(dir_ + L"\\" + name, "the movie's text");
  const std::wstring codePage = std::wstring(L" --codepage ") + named.CodePage;

  const VmpackRun built = Vmpack(L"build --runner runner.exe -o \"" + program + L"\"" + codePage + L" \"" + name + L"\"");
  ASSERT_EQ(built.ExitCode, 0u) << built.Err;
  EXPECT_TRUE(ExistsW(dir_ + L"\\" + program));
  EXPECT_FALSE(ExistsW(dir_ + L"\\" + program + L".vmpack-tmp"));

  const VmpackRun listed = Vmpack(L"list \"" + program + L"\"" + codePage);
  ASSERT_EQ(listed.ExitCode, 0u) << listed.Err;
  EXPECT_NE(listed.Out.find(Utf8(name)), std::string::npos) << listed.Out;

  ASSERT_TRUE(CreateDirectoryW((dir_ + L"\\" + folder).c_str(), nullptr));
  const VmpackRun extracted = Vmpack(L"extract \"" + program + L"\" -C \"" + folder + L"\"" + codePage);
  ASSERT_EQ(extracted.ExitCode, 0u) << extracted.Err;
  EXPECT_EQ(ReadW(dir_ + L"\\" + folder + L"\\" + name), "the movie's text");
  EXPECT_NE(extracted.Out.find(Utf8(folder)), std::string::npos) << extracted.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, PacksNamesOfTheCodePage,
    ::testing::Values(Named{"Greek", L"Ωμέγα.txt", L"Ταινία.exe", L"Φάκελος", L"1253"},
                      Named{"Japanese", L"日本語のテキスト.txt", L"映画.exe", L"フォルダー", L"932"}),
    [](const auto& info) { return std::string(info.param.Script); });

struct Refusal {
  const char* Case;
  const wchar_t* Name;
  bool Present;
  const wchar_t* CodePage;
  std::wstring Message;
};

class RefusesByName : public UnicodeNamesTest, public ::testing::WithParamInterface<Refusal> {};

// Each message names the file as it is written, not as the ANSI code page would mangle it.
TEST_P(RefusesByName, ExitsOneAndWritesNothing) {
  const Refusal& refusal = GetParam();
  if (refusal.Present) WriteW(dir_ + L"\\" + refusal.Name, "text");
  const VmpackRun built = Vmpack(std::wstring(L"build --runner runner.exe -o movie.exe --codepage ") + refusal.CodePage +
                           L" \"" + refusal.Name + L"\"");
  EXPECT_EQ(built.ExitCode, 1u);
  EXPECT_EQ(built.Err, Utf8(L"vmpack: " + refusal.Message + L"\n"));
  EXPECT_FALSE(ExistsW(dir_ + L"\\movie.exe"));
  EXPECT_FALSE(ExistsW(dir_ + L"\\movie.exe.vmpack-tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusesByName,
    ::testing::Values(
        Refusal{"GreekIn1252", L"Ωμέγα.txt", true, L"1252",
                L"The file name \"Ωμέγα.txt\" holds \"Ω\" (U+03A9), which code page 1252 cannot represent; "
                L"choose another one with --codepage"},
        Refusal{"JapaneseIn1253", L"日本語.txt", true, L"1253",
                L"The file name \"日本語.txt\" holds \"日\" (U+65E5), which code page 1253 cannot represent; "
                L"choose another one with --codepage"},
        Refusal{"MissingGreekFile", L"Ωμέγα.txt", false, L"1253", L"Input file not found: Ωμέγα.txt"}),
    [](const auto& info) { return std::string(info.param.Case); });

// A console of its own, which the test reads back cell by cell: what a user sees. The test's own
// output stays where it was, since the C runtime took its handles at start-up.
TEST_F(UnicodeNamesTest, AConsoleShowsTheNameAsItIs) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole()) << GetLastError();
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inheritable, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(console, INVALID_HANDLE_VALUE);

  const DWORD exitCode = Start(L"build --runner runner.exe -o movie.exe --codepage 1253 \"Ωμέγα.txt\"", console, console);

  std::wstring line(kConsoleWidth, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, line.data(), kConsoleWidth, COORD{0, 0}, &read);
  CloseHandle(console);
  FreeConsole();
  EXPECT_EQ(exitCode, 1u);
  const std::wstring expected = L"vmpack: Input file not found: Ωμέγα.txt";
  EXPECT_EQ(line.substr(0, expected.size()), expected) << Utf8(line);
}

}  // namespace
