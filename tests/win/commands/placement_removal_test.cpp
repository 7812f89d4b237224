#include <windows.h>

#include <cstdlib>
#include <thread>

#include "session_fixture.h"
#include "unit/test_files.h"

namespace {

using Strings = std::vector<std::string>;
using vmtest::TreeOf;

constexpr char kClockSatellite[] = "VTOOL.SATELLITE:VCLOCK.EXE";

class PlacementRemoval : public vmtest::SessionFixture {
 protected:
  // What the session's end deletes itself before and after the two removal steps.
  void EndSession() {
    DeleteFileA(InInstance(placement_.MidiFileName).c_str());
    DeleteFileA(InInstance(placement_.ProjectorFileName).c_str());
    for (const std::string& path : placement_.SessionFiles) DeleteFileA(path.c_str());
    placement_.RemovePlacedFiles();
    placement_.RemoveGroupFolders();
    DeleteFileA(InInstance(placement_.HookLibraryFileName).c_str());
  }
};

TEST_F(PlacementRemoval, AFullSessionLeavesNothingBehind) {
  Pack({{"Movie.EXE", "projector"},
        {"Run.DLL", "hooks"},
        {"Tune.MID", "midi"},
        {"Readme.txt", "read me"},
        {"Boom.wav", "boom", "Data\\Sounds"},
        {"Deep.txt", "deep", "a\\b\\c"},
        {"Side.txt", "side", "a\\d\\"},
        {"Clock.vtools.ini", "[Clock]"},
        {"VClock.EXE", "clock program", "VTOOL.PROGRAM"},
        {"Face.bmp", "face", kClockSatellite}});
  Extract();
  placement_.PrepareToolFolders();
  ASSERT_EQ(TreeOf(InstanceDir()).size(), 19u);

  EndSession();
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{});
}

TEST_F(PlacementRemoval, AGroupFolderThatStillHoldsAFileStays) {
  Pack({{"Deep.txt", "deep", "a\\b\\c"}, {"Keep.txt", "keep", "a\\b"}});
  Extract();
  DeleteFileA(InInstance("a\\b\\c\\deep.txt").c_str());
  placement_.RemoveGroupFolders();
  EXPECT_EQ(TreeOf(InstanceDir()), (Strings{"a\\", "a\\b\\", "a\\b\\keep.txt"}));
}

TEST_F(PlacementRemoval, WaitsForAToolFileThatIsReleasedSoon) {
  Pack({{"Clock.vtools.ini", "[Clock]"},
        {"VClock.EXE", "clock program", "VTOOL.PROGRAM"},
        {"Face.bmp", "face", kClockSatellite}});
  Extract();
  placement_.PrepareToolFolders();
  vm::UniqueFile held = vmtest::HoldOpen(InInstance("clock\\face.bmp"));
  std::thread releaser([&held] {
    Sleep(400);
    held.reset();
  });
  placement_.RemovePlacedFiles();
  releaser.join();
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{});
}

// 22 tries 111 ms apart would be spent on a file that is not there.
TEST_F(PlacementRemoval, DoesNotWaitForAPlacedFileThatIsNotThere) {
  Pack({{"Clock.vtools.ini", "[Clock]"}});
  Extract();
  placement_.PrepareToolFolders();
  DWORD start = GetTickCount();
  placement_.RemovePlacedFiles();
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(TreeOf(InstanceDir()), Strings{});
}

// The end-to-end tests follow a session through these lines.
TEST_F(PlacementRemoval, TracesEachPlacementAndEachCleanUpStep) {
  vmtest::TempDir traceFolder;
  const std::string trace = traceFolder.File("trace.txt");
  _putenv(("VARDEL_TRACE=" + trace).c_str());
  Pack({{"Movie.EXE", "projector"}, {"Tune.MID", "midi"}, {"Boom.wav", "boom", "Data"}});
  placement_.MidiMuted = true;
  Extract();
  EndSession();
  _putenv("VARDEL_TRACE=");

  const std::string text = vmtest::ReadBytes(trace);
  const Strings expected = {
      "place: Movie.EXE -> " + InInstance("movie.exe") + " (projector)",
      "place: Tune.MID not written (MIDI muted)",
      "place: group folder " + InInstance("Data") + " made",
      "place: Boom.wav -> " + InInstance("Data\\boom.wav") + " (group file)",
      "clean-up: folder " + InInstance("Data") + " removed"};
  for (const std::string& line : expected) {
    EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << "\nin:\n" << text;
  }
}

}  // namespace
