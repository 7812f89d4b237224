#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/error_box.h"
#include "e2e/runner_harness.h"

namespace {

using vmtest::PackedFile;
using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;

std::string Settings(int currentDir) {
  return "[Settings]\r\nPassword=0\r\nCurrentDir=" + std::to_string(currentDir) + "\r\n";
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string SystemMessage(DWORD error) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                 nullptr);
  return text;
}

// Where the projector starts, and which copy of it: a copy beside the program that is identical to
// the packed one is started in place of the extracted one, but only when the projector starts in
// the program's folder.
TEST(SessionLaunch, CurrentDirChoosesTheProjectorsFolderAndCopy) {
  enum Start { InProgramFolder, InInstanceDirectory };
  struct Case {
    const char* name;
    int currentDir;
    bool groupedFile;
    bool identicalCopyBeside;
    Start cwd;
    Start copyStarted;
  } cases[] = {
      {"ProbeNoGroups", 0, false, true, InProgramFolder, InProgramFolder},
      {"ProbeGrouped", 0, true, true, InInstanceDirectory, InInstanceDirectory},
      {"InstanceDir", 1, false, true, InInstanceDirectory, InInstanceDirectory},
      {"StartDirDiffers", 2, true, false, InProgramFolder, InInstanceDirectory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<PackedFile> files = {{"settings.ini", Settings(c.currentDir)}, vmtest::StandinProjector(),
                                     vmtest::HookLibrary()};
    if (c.groupedFile) files.push_back({"notes.txt", "grouped", "Data"});
    PackedRunner runner(c.name, files);
    const std::string programFolder = FolderOf(runner.ExePath());
    const std::string instanceDir = runner.BaseDir() + "Vdl_Rt";
    // A copy that differs by one byte at its end still runs: started by mistake, it would say so.
    const std::string beside = programFolder + "\\movie.exe";
    const std::string besideBytes = files[1].Bytes + (c.identicalCopyBeside ? "" : "!");
    vmtest::WriteBytes(beside, besideBytes);

    ASSERT_TRUE(runner.Run(kRunTimeoutMs)) << runner.LastSteps();
    const auto log = runner.StandinLines();
    const auto folder = [&](Start s) { return s == InProgramFolder ? programFolder : instanceDir; };
    EXPECT_TRUE(TraceHas(log, "cwd " + folder(c.cwd))) << runner.LastSteps();
    EXPECT_TRUE(TraceHas(log, "exe " + folder(c.copyStarted) + "\\movie.exe")) << runner.LastSteps();
    EXPECT_TRUE(TraceHas(log, "closed"));
    EXPECT_EQ(vmtest::ReadBytes(beside), besideBytes) << "the copy beside the program is not the session's";
    EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{});
  }
}

// The session's files with the hook library's export name changed: the library loads, and lacks
// that export.
std::vector<PackedFile> WithoutExport(const std::string& name) {
  PackedFile library = vmtest::HookLibrary();
  const std::string renamed = name.substr(0, name.size() - 1) + "x";
  size_t found = 0;
  for (size_t at = library.Bytes.find(name + '\0'); at != std::string::npos;
       at = library.Bytes.find(name + '\0', at + 1), ++found)
    library.Bytes.replace(at, name.size(), renamed);
  EXPECT_GT(found, 0u) << name;
  return {{"settings.ini", Settings(1)}, vmtest::StandinProjector(), library};
}

// Each launch that cannot go on ends, undoes what it made and lets the run end; only a hook library
// that does not load is reported, in a box that names the Runner.
TEST(SessionLaunch, ALaunchThatCannotGoOnEndsAndLeavesNothing) {
  struct Case {
    const char* name;
    std::vector<PackedFile> files;
    std::string box;  // empty: no box, the run ends by itself
    std::string trace;  // "BASE" stands for the base directory
  } cases[] = {
      {"HooksNotLoaded",
       {{"settings.ini", Settings(1)}, vmtest::StandinProjector(), {"vardelrun.dll", "not a library"}},
       "vardelrun.dll exists but have not loaded: " + SystemMessage(ERROR_BAD_EXE_FORMAT),
       "launch: vardelrun.dll exists but have not loaded: "},
      // Not one of the four exports the hooks use: all seven must be there.
      {"ExportMissing", WithoutExport("SProc"), "", "launch: the hook library lacks the export SProc; ending"},
      {"NoProjector", {{"settings.ini", Settings(1)}, vmtest::HookLibrary()}, "",
       "launch: the session holds no projector; ending"},
      {"ProjectorNotStarted",
       {{"settings.ini", Settings(1)}, {"movie.exe", "not a program"}, vmtest::HookLibrary()}, "",
       "launch: CreateProcessA failed for BASEVdl_Rt\\movie.exe (error " + std::to_string(ERROR_BAD_EXE_FORMAT) + ": "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner(c.name, c.files);
    PackedRunner::Started started;
    runner.Start(started);
    if (!c.box.empty()) {
      EXPECT_EQ(vmtest::AnswerMessageBox(started.ProcessId, runner.ExePath(), kRunTimeoutMs), c.box);
    }
    // A box left open would hold the run until the limit.
    DWORD exitCode = 1;
    ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs, &exitCode)) << runner.LastSteps();
    EXPECT_EQ(exitCode, 0u);
    std::string trace = c.trace;
    if (trace.find("BASE") != std::string::npos) trace.replace(trace.find("BASE"), 4, runner.BaseDir());
    EXPECT_TRUE(TraceHas(runner.TraceLines(), trace)) << runner.LastSteps();
    EXPECT_EQ(runner.StandinLines(), std::vector<std::string>{}) << "no projector ran";
    EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{});
  }
}

}  // namespace
