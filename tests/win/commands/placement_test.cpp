#include <windows.h>

#include "session_fixture.h"
#include "support/errors.h"

namespace {

using Strings = std::vector<std::string>;
using vmtest::ReadBytes;
using vmtest::TreeOf;

class Placement : public vmtest::SessionFixture {};

TEST_F(Placement, WritesEachFileWhereItsTypeOrGroupSays) {
  Pack({{"Movie.EXE", "projector"},
        {"Run.DLL", "hooks"},
        {"Setup.INI", "[Settings]"},
        {"Tune.MID", "midi"},
        {"Readme.TXT", "read me"},
        {"Boom.WAV", "boom", "Data\\Sounds"},
        {"Click.WAV", "click", "data\\SOUNDS"},
        {"Helper.EXE", "helper", "."},
        {"Extra.EXE", "extra", "Data"}});
  Extract();

  EXPECT_EQ(placement_.ProjectorFileName, "movie.exe");
  EXPECT_EQ(placement_.HookLibraryFileName, "run0.dll");
  EXPECT_EQ(placement_.MidiFileName, "tune.mid");
  EXPECT_EQ(placement_.SettingsFileName, "");
  EXPECT_EQ(placement_.SessionFiles,
            (Strings{InInstance("readme.txt"), InInstance("Data\\Sounds\\boom.wav"),
                     InInstance("data\\SOUNDS\\click.wav"), InInstance("helper.exe"),
                     InInstance("Data\\extra.exe")}));
  // The second spelling of Data\Sounds is the same folder.
  EXPECT_EQ(placement_.GroupFolders.Names(), (Strings{"Data\\Sounds", "Data"}));
  EXPECT_TRUE(placement_.PlacedFiles.empty());
  EXPECT_TRUE(placement_.ToolFiles.empty());
  EXPECT_EQ(TreeOf(InstanceDir()),
            (Strings{"Data\\", "Data\\Sounds\\", "Data\\Sounds\\boom.wav", "Data\\Sounds\\click.wav",
                     "Data\\extra.exe", "helper.exe", "movie.exe", "readme.txt", "run0.dll",
                     "tune.mid"}));
  EXPECT_EQ(ReadBytes(InInstance("movie.exe")), "projector");
  EXPECT_EQ(ReadBytes(InInstance("Data\\Sounds\\click.wav")), "click");
}

TEST_F(Placement, TheLastProjectorOfASessionIsTheOneRemembered) {
  Pack({{"First.exe", "1"}, {"Second.exe", "2"}});
  Extract();
  EXPECT_EQ(placement_.ProjectorFileName, "second.exe");
}

struct NumberingCase {
  int32_t InstanceNumber;
  Strings Held;   // open elsewhere: cannot be deleted
  Strings Stale;  // left behind, free: replaced
  const char* Projector;
  const char* HookLibrary;
};

class Numbering : public vmtest::SessionFixture,
                  public ::testing::WithParamInterface<NumberingCase> {};

TEST_P(Numbering, PassesOverNamesHeldByOtherInstances) {
  const NumberingCase& c = GetParam();
  std::vector<vm::UniqueFile> held;
  for (const std::string& name : c.Held) held.push_back(vmtest::HoldOpen(InInstance(name)));
  for (const std::string& name : c.Stale) vmtest::WriteBytes(InInstance(name), "stale");
  placement_.InstanceNumber = c.InstanceNumber;
  Pack({{"Movie.EXE", "projector"}, {"run.dll", "hooks"}});
  Extract();
  EXPECT_EQ(placement_.ProjectorFileName, c.Projector);
  EXPECT_EQ(placement_.HookLibraryFileName, c.HookLibrary);
  EXPECT_EQ(ReadBytes(InInstance(c.Projector)), "projector");
  EXPECT_EQ(ReadBytes(InInstance(c.HookLibrary)), "hooks");
}

INSTANTIATE_TEST_SUITE_P(
    Placement, Numbering,
    ::testing::Values(NumberingCase{0, {}, {}, "movie.exe", "run0.dll"},
                      NumberingCase{2, {}, {}, "movie2.exe", "run2.dll"},
                      NumberingCase{2, {"movie2.exe"}, {}, "movie3.exe", "run2.dll"},
                      NumberingCase{0, {"movie.exe", "movie1.exe", "run0.dll"}, {}, "movie2.exe", "run1.dll"},
                      NumberingCase{0, {}, {"movie.exe", "run0.dll"}, "movie.exe", "run0.dll"},
                      NumberingCase{-1, {"movie-1.exe"}, {}, "movie-2.exe", "run-1.dll"}));

TEST_F(Placement, MutedMidiMusicIsNotWritten) {
  Pack({{"Tune.MID", "midi"}, {"Loop.RMI", "rmid"}, {"Movie.exe", "projector"}});
  placement_.MidiMuted = true;
  Extract();
  EXPECT_EQ(placement_.MidiFileName, "");
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{"movie.exe"});

  placement_.MidiMuted = false;
  Extract();
  EXPECT_EQ(placement_.MidiFileName, "loop.rmi");
  EXPECT_EQ(TreeOf(InstanceDir()), (Strings{"loop.rmi", "movie.exe", "tune.mid"}));
}

TEST_F(Placement, TheSettingsPassWritesOnlyIniFiles) {
  Pack({{"Movie.EXE", "projector"},
        {"Setup.INI", "[Settings]"},
        {"Clock.vtools.ini", "[Clock]"},
        {"Readme.txt", "read me"},
        {"Boom.wav", "boom", "Data"},
        {"Local.INI", "[Local]", "Data"}});
  vmtest::TempDir base;
  appender_.TargetDir = base.Path() + "\\";
  placement_.SettingsPass = true;
  Extract();
  // The last settings file written is the one read.
  EXPECT_EQ(placement_.SettingsFileName, "local.ini");
  EXPECT_EQ(TreeOf(base.Path()), (Strings{"local.ini", "setup.ini"}));
  EXPECT_EQ(ReadBytes(base.File("setup.ini")), "[Settings]");
  EXPECT_EQ(placement_.ProjectorFileName, "");
  EXPECT_TRUE(placement_.SessionFiles.empty());
  EXPECT_TRUE(placement_.GroupFolders.Names().empty());
  EXPECT_TRUE(placement_.PlacedFiles.empty());
}

TEST_F(Placement, TheProbePassWritesNothingAndFindsGroups) {
  Pack({{"Movie.EXE", "projector"}, {"Run.dll", "hooks"}, {"Boom.wav", "boom", "Data"}});
  placement_.ProbePass = true;
  Extract();
  EXPECT_TRUE(placement_.HasGroupedFiles);
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{});
  EXPECT_EQ(placement_.ProjectorFileName, "");
  EXPECT_EQ(placement_.HookLibraryFileName, "");
}

TEST_F(Placement, TheProbePassFindsNoGroupsInAPlainSession) {
  Pack({{"Movie.EXE", "projector"}, {"Run.dll", "hooks"}});
  placement_.ProbePass = true;
  Extract();
  EXPECT_FALSE(placement_.HasGroupedFiles);
}

TEST_F(Placement, ClearForExtractionForgetsTheEarlierExtraction) {
  Pack({{"Movie.EXE", "p"}, {"Run.dll", "h"}, {"Tune.mid", "m"}, {"a.txt", "a", "Data"},
        {"Clock.vtools.ini", "[Clock]"}, {"VClock.exe", "c", "VTOOL.PROGRAM"}});
  Extract();
  placement_.ClearForExtraction();
  EXPECT_EQ(placement_.ProjectorFileName + placement_.HookLibraryFileName + placement_.MidiFileName, "");
  EXPECT_TRUE(placement_.SessionFiles.empty());
  EXPECT_TRUE(placement_.PlacedFiles.empty());
  EXPECT_TRUE(placement_.ToolFiles.empty());
  EXPECT_FALSE(placement_.GroupFolders.Contains("Data"));
}

class UnsafeGroup : public vmtest::SessionFixture,
                    public ::testing::WithParamInterface<std::string> {};

// A group folder is where a file is written: one outside the instance directory could drop a
// program anywhere the user may write.
TEST_P(UnsafeGroup, RefusesTheSessionBeforeTheFileIsWritten) {
  const std::string group = GetParam() == "<absolute>" ? runnerFolder_.Path() + "\\Escape" : GetParam();
  Pack({{"First.txt", "first"}, {"Evil.exe", "evil", group}, {"Last.txt", "last"}});
  try {
    Extract();
    FAIL() << "extracted into group " << group;
  } catch (const vm::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Unsafe group name \"" + group +
                                         "\" for file \"Evil.exe\": its folder would lie outside "
                                         "the instance directory");
  }
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{"first.txt"});
  EXPECT_EQ(TreeOf(runnerFolder_.Path()), Strings{"runner.exe"});
  EXPECT_FALSE(vmtest::Exists(InstanceDir() + "..\\Escape"));
}

INSTANTIATE_TEST_SUITE_P(Placement, UnsafeGroup,
                         ::testing::Values("..\\Escape", "Data\\..\\..\\Escape", "Data/../../Escape",
                                           "<absolute>"));

}  // namespace
