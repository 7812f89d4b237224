#include "commands/file_routing.h"

#include <gtest/gtest.h>

#include "support/errors.h"

namespace {

using vm::FileRoute;
using vm::RouteSessionFile;
using vm::RoutingPass;

constexpr RoutingPass kMain{};
constexpr RoutingPass kSettings{true, false, false};
constexpr RoutingPass kProbe{false, true, false};
constexpr RoutingPass kMidiMuted{false, false, true};

template <typename Call>
std::string ErrorText(Call call) {
  try {
    call();
  } catch (const vm::Exception& e) {
    return e.what();
  }
  return "(no error)";
}

struct RoutingCase {
  const char* Stored;
  const char* Group;
  RoutingPass Pass;
  FileRoute Route;
  const char* FileName;
  const char* Folder;
};

TEST(RouteSessionFile, RoutesEachFileByPassGroupNameAndExtension) {
  const RoutingCase cases[] = {
      // The probe pass writes nothing and keeps the name as stored.
      {"Movie.EXE", "", kProbe, FileRoute::Probe, "Movie.EXE", ""},
      {"Movie.EXE", "Data", kProbe, FileRoute::Probe, "Movie.EXE", ""},
      // Main extraction, by type.
      {"Movie.EXE", "", kMain, FileRoute::Projector, "movie.exe", ""},
      {"Run.DLL", "", kMain, FileRoute::HookLibrary, "run.dll", ""},
      {"Tune.MID", "", kMain, FileRoute::Midi, "tune.mid", ""},
      {"tune.rmi", "", kMain, FileRoute::Midi, "tune.rmi", ""},
      {"Tune.MID", "", kMidiMuted, FileRoute::Skipped, "tune.mid", ""},
      {"tune.rmi", "", kMidiMuted, FileRoute::Skipped, "tune.rmi", ""},
      {"Readme.TXT", "", kMain, FileRoute::SessionFile, "readme.txt", ""},
      {"noextension", "", kMain, FileRoute::SessionFile, "noextension", ""},
      {"Setup.INI", "", kMain, FileRoute::Skipped, "setup.ini", ""},
      // Groups: "." and folders take any extension; "VTOOL." files are kept for the tools.
      {"Other.EXE", ".", kMain, FileRoute::GroupFolder, "other.exe", ""},
      {"Boom.WAV", "Data\\Sounds", kMain, FileRoute::GroupFolder, "boom.wav", "Data\\Sounds"},
      {"Extra.exe", "Data", kMain, FileRoute::GroupFolder, "extra.exe", "Data"},
      {"Local.ini", "Data", kMain, FileRoute::GroupFolder, "local.ini", "Data"},
      {"VClock.EXE", "VTOOL.PROGRAM", kMain, FileRoute::ToolFile, "vclock.exe", ""},
      {"Face.bmp", "VTOOL.SATELLITE:VCLOCK.EXE", kMain, FileRoute::ToolFile, "face.bmp", ""},
      // Prefixes are compared exactly: "vtool." is a folder name.
      {"Face.bmp", "vtool.x", kMain, FileRoute::GroupFolder, "face.bmp", "vtool.x"},
      // Tool folder files, and the bare suffix, which is a plain ".ini".
      {"Clock.vtools.ini", "", kMain, FileRoute::ToolFolder, "vtools.ini", "clock"},
      {"Clock.VTOOLS.INI", "VTOOL.X", kMain, FileRoute::ToolFolder, "vtools.ini", "clock"},
      {"x.vtools.ini", "", kMain, FileRoute::ToolFolder, "vtools.ini", "x"},
      {".vtools.ini", "", kMain, FileRoute::Skipped, ".vtools.ini", ""},
      // The settings pass passes ".ini" files only, whatever their group.
      {"Setup.INI", "", kSettings, FileRoute::SettingsFile, "setup.ini", ""},
      {".vtools.ini", "", kSettings, FileRoute::SettingsFile, ".vtools.ini", ""},
      {"Local.ini", "Data", kSettings, FileRoute::SettingsFile, "local.ini", ""},
      {"Clock.vtools.ini", "", kSettings, FileRoute::Skipped, "clock.vtools.ini", ""},
      {"Movie.EXE", "", kSettings, FileRoute::Skipped, "movie.exe", ""},
      {"Boom.WAV", "Data", kSettings, FileRoute::Skipped, "boom.wav", ""},
  };
  for (const RoutingCase& c : cases) {
    SCOPED_TRACE(std::string(c.Stored) + " group \"" + c.Group + "\"");
    const vm::FileRouting routing = RouteSessionFile(c.Stored, c.Group, c.Pass);
    EXPECT_EQ(routing.Route, c.Route);
    EXPECT_EQ(routing.FileName, c.FileName);
    EXPECT_EQ(routing.Folder, c.Folder);
  }
}

TEST(RouteSessionFile, NamesWhySkippedFilesAreNotWritten) {
  EXPECT_EQ(RouteSessionFile("Tune.MID", "", kMidiMuted).Reason, "MIDI muted");
  EXPECT_EQ(RouteSessionFile("a.txt", "", kSettings).Reason, "settings pass");
  EXPECT_EQ(RouteSessionFile("a.ini", "", kMain).Reason, "settings file");
}

// Lower-casing touches A to Z only: bytes above 0x7F may be halves of double-byte characters.
TEST(RouteSessionFile, LowerCasesOnlyAsciiLetters) {
  EXPECT_EQ(RouteSessionFile("\xC4PFEL.TXT", "", kMain).FileName, "\xC4pfel.txt");
}

TEST(RouteSessionFile, RefusesGroupFoldersOutsideTheInstanceDirectory) {
  EXPECT_EQ(ErrorText([] { RouteSessionFile("Evil.txt", "..\\Startup", kMain); }),
            "Unsafe group name \"..\\Startup\" for file \"Evil.txt\": its folder would lie "
            "outside the instance directory");
  // Neither the settings pass nor the probe pass makes group folders.
  EXPECT_EQ(RouteSessionFile("Evil.ini", "..\\Startup", kSettings).Route, FileRoute::SettingsFile);
  EXPECT_EQ(RouteSessionFile("Evil.txt", "..\\Startup", kProbe).Route, FileRoute::Probe);
}

TEST(RouteSessionFile, RefusesToolFoldersNamedLikeTheParentFolder) {
  EXPECT_EQ(ErrorText([] { RouteSessionFile("...vtools.ini", "", kMain); }),
            "Unsafe tool folder name \"..\" for file \"...vtools.ini\": the folder would lie "
            "outside the instance directory");
  EXPECT_THROW(RouteSessionFile(". ..vtools.ini", "", kMain), vm::Exception);
  EXPECT_EQ(RouteSessionFile("...vtools.ini", "", kSettings).Route, FileRoute::Skipped);
  EXPECT_EQ(RouteSessionFile("a..b.vtools.ini", "", kMain).Folder, "a..b");
}

}  // namespace
