#include <windows.h>

#include "session_fixture.h"
#include "support/errors.h"

namespace {

using Strings = std::vector<std::string>;
using vmtest::ReadBytes;
using vmtest::TreeOf;

constexpr char kClockSatellite[] = "VTOOL.SATELLITE:VCLOCK.EXE";

class ToolFolders : public vmtest::SessionFixture {};

TEST_F(ToolFolders, ACompleteToolFolderHoldsItsIniProgramAndSatellites) {
  Pack({{"Clock.vtools.ini", "[Clock]\r\nInterval=1\r\n"},
        {"VClock.EXE", "clock program", "VTOOL.PROGRAM"},
        {"Face.BMP", "face", kClockSatellite},
        {"Hand.bmp", "hand", kClockSatellite},
        {"Other.bmp", "other", "VTOOL.SATELLITE:VOTHER.EXE"},
        {"Movie.exe", "projector"}});
  Extract();
  EXPECT_EQ(placement_.ProjectorFileName, "movie.exe");
  ASSERT_EQ(placement_.ToolFiles.size(), 4u);
  EXPECT_EQ(placement_.ToolFiles[0].Path, InInstance("vclock.exe"));
  EXPECT_EQ(placement_.ToolFiles[0].GroupName, "VTOOL.PROGRAM");
  EXPECT_EQ(placement_.ToolFiles[1].GroupName, kClockSatellite);

  placement_.PrepareToolFolders();

  const std::string folder = InInstance("clock\\");
  EXPECT_EQ(placement_.PlacedFiles,
            (Strings{folder, folder + "vtools.ini", folder + "VClock.EXE", folder + "face.bmp",
                     folder + "hand.bmp"}));
  EXPECT_EQ(TreeOf(InstanceDir()),
            (Strings{"clock\\", "clock\\VClock.EXE", "clock\\face.bmp", "clock\\hand.bmp",
                     "clock\\vtools.ini", "face.bmp", "hand.bmp", "movie.exe", "other.bmp",
                     "vclock.exe"}));
  EXPECT_EQ(ReadBytes(folder + "vtools.ini"), "[Clock]\r\nInterval=1\r\n");
  EXPECT_EQ(ReadBytes(folder + "VClock.EXE"), "clock program");
  EXPECT_EQ(ReadBytes(folder + "hand.bmp"), "hand");
}

TEST_F(ToolFolders, FoldersWhoseIniNamesNoToolAreLeftAsTheyAre) {
  Pack({{"Empty.vtools.ini", ""},
        {"Short.vtools.ini", "[]\r\n"},
        {"Plain.vtools.ini", "Clock\r\n"},
        {"Timer.vtools.ini", "[Timer]"},
        {"VTimer.exe", "timer program", "VTOOL.PROGRAM"},
        {"VClock.exe", "clock program", "VTOOL.PROGRAM"}});
  Extract();
  placement_.PrepareToolFolders();
  EXPECT_EQ(TreeOf(InstanceDir()),
            (Strings{"empty\\", "empty\\vtools.ini", "plain\\", "plain\\vtools.ini", "short\\",
                     "short\\vtools.ini", "timer\\", "timer\\VTimer.EXE", "timer\\vtools.ini",
                     "vclock.exe", "vtimer.exe"}));
  EXPECT_EQ(placement_.PlacedFiles.size(), 9u);
}

// The copy is attempted and listed all the same, so that clean-up sees it.
TEST_F(ToolFolders, AToolWithoutItsProgramStillGetsItsFolder) {
  Pack({{"Clock.vtools.ini", "[Clock]"}});
  Extract();
  placement_.PrepareToolFolders();
  EXPECT_EQ(placement_.PlacedFiles.back(), InInstance("clock\\VClock.EXE"));
  EXPECT_EQ(TreeOf(InstanceDir()), (Strings{"clock\\", "clock\\vtools.ini"}));
}

TEST_F(ToolFolders, RefusesAToolNameThatLeadsOutOfItsFolder) {
  Pack({{"Clock.vtools.ini", "[..\\..\\Evil]\r\n"}});
  Extract();
  try {
    placement_.PrepareToolFolders();
    FAIL() << "prepared an unsafe tool";
  } catch (const vm::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Unsafe tool name \"..\\..\\Evil\" in " +
                                         InInstance("clock\\vtools.ini") +
                                         ": its program would lie outside the tool folder");
  }
  EXPECT_EQ(placement_.PlacedFiles.size(), 2u);
}

}  // namespace
