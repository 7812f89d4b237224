#include <windows.h>

#include <gtest/gtest.h>

#include "commands/file_placement.h"
#include "payload/file_helpers.h"
#include "support/paths.h"
#include "unit/test_files.h"

namespace {

constexpr DWORD kProgramWaitMs = 10000;
constexpr DWORD kPollMs = 50;

std::string ProbePath(const char* name) {
  return vm::FolderOf(vm::OwnExecutablePath(), vm::NoLeadBytes) + name;
}

// What an engine command program wrote down, waiting a bounded time for it to appear.
std::string WaitForLog(const std::string& path) {
  for (DWORD waited = 0; waited < kProgramWaitMs; waited += kPollMs) {
    if (vmtest::Exists(path)) return vmtest::ReadBytes(path);
    Sleep(kPollMs);
  }
  return "(no log)";
}

class EngineCommand : public ::testing::Test {
 protected:
  EngineCommand() { appender_.TargetDir = instance_.Path() + "\\"; }

  void Install(const char* probe, const std::string& name) {
    ASSERT_TRUE(CopyFileA(ProbePath(probe).c_str(), instance_.File(name).c_str(), FALSE)) << probe;
  }
  void Run(const std::string& command) {
    placement_.BeforeShowCommand = command;
    placement_.RunBeforeShow(mainWindow_);
  }
  bool IsLoaded(const std::string& name) { return GetModuleHandleA(instance_.File(name).c_str()) != nullptr; }

  vmtest::TempDir instance_;
  vm::TExeAppender appender_;
  vm::SessionPlacement placement_{appender_};
  HWND mainWindow_ = GetDesktopWindow();
};

TEST_F(EngineCommand, CallsTheLibrarysBeforeShowWithTheWindowAndTheArguments) {
  Install(BEFORE_SHOW_PROBE, "hooks.dll");
  Run("hooks.dll a b");
  EXPECT_EQ(vmtest::ReadBytes(instance_.File("hooks.dll.log")),
            "window " + std::to_string(reinterpret_cast<UINT_PTR>(mainWindow_)) + "\narguments [a b]\n");
  EXPECT_FALSE(IsLoaded("hooks.dll"));
}

TEST_F(EngineCommand, WithoutASpaceTheArgumentsAreEmpty) {
  Install(BEFORE_SHOW_PROBE, "Hooks.DLL");
  Run("Hooks.DLL");
  EXPECT_EQ(vmtest::ReadBytes(instance_.File("Hooks.DLL.log")),
            "window " + std::to_string(reinterpret_cast<UINT_PTR>(mainWindow_)) + "\narguments []\n");
}

// What the library raises is its own business: the movie starts all the same.
TEST_F(EngineCommand, SwallowsWhatTheExportRaisesAndFreesTheLibrary) {
  Install(BEFORE_SHOW_PROBE, "hooks.dll");
  for (const char* failure : {"raise", "fault"}) {
    SCOPED_TRACE(failure);
    Run(std::string("hooks.dll ") + failure);
    EXPECT_FALSE(IsLoaded("hooks.dll"));
    EXPECT_FALSE(vmtest::Exists(instance_.File("hooks.dll.log")));
  }
  // The guard is gone with the call: a later call works as before.
  Run("hooks.dll after");
  EXPECT_NE(vmtest::ReadBytes(instance_.File("hooks.dll.log")).find("arguments [after]"), std::string::npos);
}

// Nothing of these runs, and the movie starts all the same. A program under another extension is
// left alone too: only the program started after it, whose log is awaited, runs.
TEST_F(EngineCommand, PassesOverWhatIsNeitherACallableLibraryNorAProgram) {
  vmtest::WriteBytes(instance_.File("broken.dll"), "not a library");
  std::string library = vmtest::ReadBytes(ProbePath(BEFORE_SHOW_PROBE));
  size_t renamed = 0;
  for (size_t at = library.find("BeforeShow"); at != std::string::npos; at = library.find("BeforeShow", at), ++renamed)
    library[at + 9] = 'x';
  ASSERT_GT(renamed, 0u);
  vmtest::WriteBytes(instance_.File("noexport.dll"), library);
  Install(COMMAND_LINE_PROBE, "readme.txt");

  Run("broken.dll x");
  Run("noexport.dll x");
  Run("missing.dll x");
  Run("readme.txt x");
  EXPECT_FALSE(IsLoaded("broken.dll"));
  EXPECT_FALSE(IsLoaded("noexport.dll"));
  EXPECT_EQ(vmtest::ReadBytes(instance_.File("broken.dll")), "not a library");

  Install(COMMAND_LINE_PROBE, "setup.exe");
  Run("setup.exe");
  EXPECT_EQ(WaitForLog(instance_.File("setup.exe.log")), instance_.File("setup.exe") + " ");
  EXPECT_EQ(vmtest::ListNames(instance_.Path()),
            (std::vector<std::string>{"broken.dll", "noexport.dll", "readme.txt", "setup.exe", "setup.exe.log"}));
}

TEST_F(EngineCommand, StartsTheProgramWithPathSpaceAndArguments) {
  Install(COMMAND_LINE_PROBE, "setup.exe");
  Run("setup.exe");
  EXPECT_EQ(WaitForLog(instance_.File("setup.exe.log")), instance_.File("setup.exe") + " ");

  Install(COMMAND_LINE_PROBE, "tool.exe");
  Run("tool.exe /x y");
  EXPECT_EQ(WaitForLog(instance_.File("tool.exe.log")), instance_.File("tool.exe") + " /x y");
}

TEST_F(EngineCommand, QuotesAProgramPathThatHoldsASpace) {
  appender_.TargetDir = instance_.File("with space") + "\\";
  ASSERT_TRUE(CreateDirectoryA(instance_.File("with space").c_str(), nullptr));
  Install(COMMAND_LINE_PROBE, "with space\\setup.exe");
  Run("setup.exe x");
  EXPECT_EQ(WaitForLog(instance_.File("with space\\setup.exe.log")),
            "\"" + instance_.File("with space\\setup.exe") + "\" x");
}

}  // namespace
