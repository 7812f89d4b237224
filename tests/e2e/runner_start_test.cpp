#include <gtest/gtest.h>

#include "e2e/error_box.h"
#include "e2e/runner_harness.h"

namespace {

using vmtest::PackedFile;
using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 30000;

const char kSettings[] = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nWidth=0x280\r\nHeight=$1E0\r\n";

// A session with one file of every kind the Runner tells apart.
std::vector<PackedFile> FullSession() {
  return {
      {"Settings.INI", kSettings},
      {"VClock.EXE", vmtest::Incompressible(300, 1)},
      vmtest::StandinProjector("Movie.EXE"),
      vmtest::HookLibrary(),
      {"Tune.MID", vmtest::Incompressible(400, 4)},
      {"Clock.vtools.ini", "[Clock]\r\nsomething=1\r\n"},
      {"chime.wav", "RIFF chime", "VTOOL.SATELLITE:VCLOCK.EXE"},
      {"intro.txt", "into the instance directory", "."},
      {"boom.WAV", vmtest::Compressible(20000), "Data\\Sounds"},
      {"notes.txt", "any other file"},
  };
}

TEST(RunnerStart, PlacesEveryFileByItsTypeAndGroupAndLeavesNothingBehind) {
  PackedRunner runner("PlaceAll", FullSession());
  DWORD exitCode = 1;
  ASSERT_TRUE(runner.Run(kRunTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);

  const auto trace = runner.TraceLines();
  const std::string dir = runner.BaseDir() + "Vdl_Rt\\";
  for (const std::string& expected : std::vector<std::string>{
           "-> " + runner.BaseDir() + "Vdl_Settings",
           "-> " + dir + "movie.exe (projector)",
           "-> " + dir + "vardelrun0.dll (hook library)",
           "-> " + dir + "tune.mid",
           "-> " + dir + "clock\\vtools.ini",
           "-> " + dir + "chime.wav",
           "-> " + dir + "intro.txt",
           "-> " + dir + "Data\\Sounds\\boom.wav",
           "-> " + dir + "notes.txt",
           dir + "clock\\VClock.EXE",
           dir + "clock\\chime.wav",
           "settings: Width = 640 from the file",
           "private folder: " + runner.BaseDir() + "Vdl_Settings",
           "claim: number 0 claimed",
           "clean-up: delete " + dir + "vardelrun0.dll",
       })
    EXPECT_TRUE(TraceHas(trace, expected)) << expected;
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
}

TEST(RunnerStart, ASessionWithoutAHookLibraryEndsCleanly) {
  PackedRunner runner("NoHooks", {{"settings.ini", kSettings}, vmtest::StandinProjector()});
  ASSERT_TRUE(runner.Run(kRunTimeoutMs));
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "holds no hook library"));
  EXPECT_EQ(GlobalFindAtomA("NoHooks.exe"), 0) << "nothing was launched, so no broadcast";
  EXPECT_TRUE(runner.LeftInBase().empty());
}

// An error in the launch is reported once, and the run still ends and cleans up.
TEST(RunnerStart, AGroupLeavingTheInstanceDirectoryIsRefused) {
  PackedRunner runner("EvilGroup",
                      {{"settings.ini", kSettings},
                       vmtest::HookLibrary(),
                       {"evil.txt", "payload", "..\\..\\outside"}},
                      PackedRunner::Packing::WriterOnly);
  PackedRunner::Started started;
  runner.Start(started);
  std::string box = vmtest::AnswerMessageBox(started.ProcessId, "Error", kRunTimeoutMs);
  EXPECT_NE(box.find("Exception occured: "), std::string::npos) << box;
  EXPECT_NE(box.find("evil.txt"), std::string::npos) << box;
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  EXPECT_TRUE(runner.LeftInBase().empty());
  EXPECT_FALSE(vmtest::Exists(runner.BaseDir() + "..\\outside\\evil.txt"));
}

TEST(RunnerStart, WithoutAPayloadStartUpFailsWithTheApplicationErrorBox) {
  PackedRunner runner("Bare", {});
  PackedRunner::Started started;
  runner.Start(started);
  std::string box = vmtest::AnswerMessageBox(started.ProcessId, "Application Error", kRunTimeoutMs);
  EXPECT_NE(box.find("Session not found on extract from "), std::string::npos) << box;
  EXPECT_NE(box.find("in module Bare.exe at "), std::string::npos) << box;
  DWORD exitCode = 0;
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 1u);
}

// Only the settings file is unpacked, by the setup dialog's pass, and gone again when it shows.
TEST(RunnerStart, SetupModeOpensOnlyTheDialogAndUnpacksNothing) {
  PackedRunner runner("SetupMode", FullSession());
  PackedRunner::Started started;
  runner.Start(started, "/c");
  HWND dialog = vmtest::FindDialog(started.ProcessId, "SetupMode - Setup", kRunTimeoutMs);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(runner.LeftInBase().empty());
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
  const auto trace = runner.TraceLines();
  EXPECT_TRUE(TraceHas(trace, "in setup mode"));
  for (const std::string& line : trace) {
    if (line.find("place: ") != std::string::npos && line.find(" -> ") != std::string::npos) {
      EXPECT_NE(line.find("(settings file)"), std::string::npos) << line;
    }
  }
  EXPECT_TRUE(runner.LeftInBase().empty());
}

// The settings pass and the launch run in different current directories; a relative base
// directory lies below the executable's folder for both.
TEST(RunnerStart, ARelativeTempDirectoryIsTakenBelowTheExecutablesFolder) {
  PackedRunner runner("RelativeBase", FullSession());
  const std::string exeFolder = runner.ExePath().substr(0, runner.ExePath().rfind('\\') + 1);
  const std::string base = exeFolder + "relative\\";
  ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
  runner.SetTempDirectoryPreference("relative");
  DWORD exitCode = 1;
  ASSERT_TRUE(runner.Run(kRunTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  const auto trace = runner.TraceLines();
  EXPECT_TRUE(TraceHas(trace, "settings: Width = 640 from the file"));
  EXPECT_TRUE(TraceHas(trace, "claim: number 0 claimed, " + base + "Vdl_Rt\\"));
  EXPECT_TRUE(vmtest::ListNames(base).empty());
}

// The settings pass writes only into a folder of its own, which goes with every file in it however
// the pass ends.
TEST(RunnerStart, TheSettingsPassLeavesNothingAndTouchesNothingOfOthers) {
  {
    SCOPED_TRACE("a foreign settings.ini in the base directory, and two .ini files");
    PackedRunner runner("ForeignIni", {{"first.ini", "[Settings]\r\nPassword=1\r\n"},
                                       {"settings.ini", kSettings},
                                       vmtest::StandinProjector(),
                                       vmtest::HookLibrary()});
    vmtest::WriteBytes(runner.BaseDir() + "settings.ini", "someone else's");
    ASSERT_TRUE(runner.Run(kRunTimeoutMs));
    EXPECT_EQ(vmtest::ReadBytes(runner.BaseDir() + "settings.ini"), "someone else's");
    EXPECT_EQ(runner.LeftInBase(), std::vector<std::string>{"settings.ini"});
  }
  {
    SCOPED_TRACE("a later .ini file that fails to extract");
    const std::string damaged = vmtest::Incompressible(4096, 7);
    PackedRunner runner("DamagedIni", {{"settings.ini", kSettings}, {"zz.ini", damaged}, vmtest::HookLibrary()});
    std::string exe = vmtest::ReadBytes(runner.ExePath());
    const size_t at = exe.find(damaged);
    ASSERT_NE(at, std::string::npos) << "stored as it is";
    exe[at + 100] = static_cast<char>(exe[at + 100] ^ 0x55);
    vmtest::WriteBytes(runner.ExePath(), exe);
    PackedRunner::Started started;
    runner.Start(started);
    EXPECT_NE(vmtest::AnswerMessageBox(started.ProcessId, "Application Error", kRunTimeoutMs), "");
    ASSERT_TRUE(started.WaitForExit(kRunTimeoutMs));
    EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  }
}

// Runners started at the same moment each read their own settings file: none fails to create it,
// none reads another's half-written one and falls back to the defaults, which ask for a password.
TEST(RunnerStart, RunnersStartedTogetherEachReadTheirSettings) {
  constexpr int kRunners = 4;
  PackedRunner runner("Together", {{"settings.ini", kSettings}, vmtest::StandinProjector(), vmtest::HookLibrary()});
  PackedRunner::Started started[kRunners];
  for (auto& one : started) runner.Start(one);
  for (auto& one : started) {
    DWORD exitCode = 1;
    EXPECT_TRUE(one.WaitForExit(kRunTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
  }
  size_t read = 0;
  for (const auto& line : runner.TraceLines()) read += line.find("settings: Width = 640 from the file") != std::string::npos;
  EXPECT_EQ(read, static_cast<size_t>(kRunners));
  EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
}

// The second Runner starts while the first holds its instance directory.
TEST(RunnerStart, TwoRunnersAtOnceGetTheirOwnInstanceNumbers) {
  std::vector<PackedFile> files = FullSession();
  files.push_back({"big.bin", std::string(96 << 20, '\0')});  // keeps the first one busy
  PackedRunner runner("TwoAtOnce", files);

  PackedRunner::Started first;
  runner.Start(first);
  bool claimed = false;
  for (DWORD waited = 0; waited < kRunTimeoutMs && !claimed; ++waited) {
    claimed = TraceHas(runner.TraceLines(), "claim: number 0 claimed");
    if (!claimed) Sleep(1);
  }
  ASSERT_TRUE(claimed);
  vmtest::SuspendProcess(first.ProcessId);
  ASSERT_FALSE(TraceHas(runner.TraceLines(), "removed the instance directory"))
      << "the first runner ended before the second could start";

  PackedRunner::Started second;
  runner.Start(second);
  ASSERT_TRUE(second.WaitForExit(kRunTimeoutMs));
  vmtest::ResumeProcess(first.ProcessId);
  ASSERT_TRUE(first.WaitForExit(kRunTimeoutMs));

  const auto trace = runner.TraceLines();
  EXPECT_TRUE(TraceHas(trace, "claim: number 1 claimed"));
  // Each played in its own directory and talked to its own hook library; the second instance's
  // projector carries its number.
  for (const std::string& expected :
       {"projector " + runner.BaseDir() + "Vdl_Rt\\movie.exe started", "projector " + runner.BaseDir() + "Vdl_Rt1\\movie1.exe started",
        std::string("shared block HalvornRunnerMapping_VDL_RT"), std::string("shared block HalvornRunnerMapping_VDL_RT1")})
    EXPECT_TRUE(TraceHas(trace, expected)) << expected;
  EXPECT_TRUE(runner.LeftInBase().empty());
}

}  // namespace
