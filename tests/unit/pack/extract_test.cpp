#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "pack/text_conversion.h"
#include "support/paths.h"
#include "unit/pack/pack_test_support.h"
#include "unit/test_files.h"

namespace {

constexpr uint64_t kAprilNoonAndABit = 132000624001234567ULL;

class ExtractTest : public ::testing::Test {
 protected:
  ExtractTest() {
    vmtest::WriteBytes(exe_, vmtest::FakeRunnerImage());
    vmtest::AppendSession(exe_, "Session1", {{"first.swf", vmtest::Compressible(300)}});
    vmtest::AppendSession(exe_, "Main",
                          {{"intro.swf", vmtest::Compressible(4000), "", kAprilNoonAndABit},
                           {"note.txt", "hello"}});
  }

  vmtest::TempDir dir_;
  const std::string exe_ = dir_.File("movie.exe");
};

TEST_F(ExtractTest, UnpacksTheNamedSessionIntoTheFolderWithTimes) {
  vmtest::TempDir target;

  const vmtest::VmpackResult result =
      vmtest::Vmpack({"extract", exe_, "--session", "Main", "-C", target.Path()});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, "Extracted 2 files of session \"Main\" to " + target.Path() + "\n");
  EXPECT_EQ(vmtest::ListNames(target.Path()),
            (std::vector<std::string>{"intro.swf", "note.txt"}));
  EXPECT_EQ(vmtest::ReadBytes(target.File("intro.swf")), vmtest::Compressible(4000));
  EXPECT_EQ(vmtest::LastWriteTimeOf(target.File("intro.swf")), kAprilNoonAndABit);
  EXPECT_EQ(vmtest::ReadBytes(target.File("note.txt")), "hello");
}

TEST_F(ExtractTest, DefaultsToSession1AndTheWorkingFolder) {
  vmtest::TempDir target;
  vmtest::VmpackResult result;
  {
    vmtest::WorkingFolder inTarget(target.Path());
    result = vmtest::Vmpack({"extract", exe_});
  }

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(vmtest::ListNames(target.Path()), std::vector<std::string>{"first.swf"});
  EXPECT_EQ(vmtest::ReadBytes(target.File("first.swf")), vmtest::Compressible(300));
}

TEST_F(ExtractTest, RefusesAMissingSessionOrFolder) {
  vmtest::TempDir target;

  const vmtest::VmpackResult noSession =
      vmtest::Vmpack({"extract", exe_, "--session", "Outro", "-C", target.Path()});
  EXPECT_EQ(noSession.ExitCode, 1);
  EXPECT_EQ(noSession.Err, "vmpack: Cannot extract session \"Outro\" from " + exe_ +
                               ": Session not found on extract from " + exe_ + "\n");
  EXPECT_TRUE(vmtest::ListNames(target.Path()).empty());

  const vmtest::VmpackResult noFolder =
      vmtest::Vmpack({"extract", exe_, "-C", target.File("missing")});
  EXPECT_EQ(noFolder.ExitCode, 1);
  EXPECT_EQ(noFolder.Err, "vmpack: Folder not found: " + target.File("missing") + "\n");
}

size_t FilesBelow(const std::string& dir) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    count += entry.is_regular_file() ? 1 : 0;
  return count;
}

std::string Below(const vmtest::TempDir& dir, const std::string& relative) {
  std::string path = relative;
  for (char& c : path)
    if (c == '/') c = vm::kPathDelimiter;
  return dir.File(path);
}

TEST(ExtractGroupsTest, EachGroupIsAFolderAndEveryFileIsWrittenAndCounted) {
  vmtest::TempDir dir;
  const std::string exe = dir.File("movie.exe");
  vmtest::WriteBytes(exe, vmtest::FakeRunnerImage());
  vmtest::AppendSession(exe, "Session1",
                        {{"tune.mid", "top"},
                         {"tune.mid", "media", "Media"},
                         {"clip.swf", "deep", "Media\\Clips\\"},
                         {"readme.txt", "beside", "."},
                         {"tool.exe", "tool", "VTOOL.SATELLITE:HELPER"}});
  vmtest::TempDir target;

  const vmtest::VmpackResult result = vmtest::Vmpack({"extract", exe, "-C", target.Path()});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, "Extracted 5 files of session \"Session1\" to " + target.Path() + "\n");
  EXPECT_EQ(FilesBelow(target.Path()), 5u);
  EXPECT_EQ(vmtest::ReadBytes(Below(target, "tune.mid")), "top");
  EXPECT_EQ(vmtest::ReadBytes(Below(target, "Media/tune.mid")), "media");
  EXPECT_EQ(vmtest::ReadBytes(Below(target, "Media/Clips/clip.swf")), "deep");
  EXPECT_EQ(vmtest::ReadBytes(Below(target, "readme.txt")), "beside");
  EXPECT_EQ(vmtest::ReadBytes(Below(target, "tool.exe")), "tool");
}

// Windows would write the second over the first, so neither is written anywhere.
TEST(ExtractGroupsTest, TwoFilesThatWouldLandOnOneAreRefusedByName) {
  const struct {
    vmtest::PackedFile First, Second;
    std::string Names;
  } cases[] = {
      {{"Tune.MID", "1", "Media"}, {"tune.mid", "2", "media\\"}, "Media/Tune.MID and media\\/tune.mid"},
      {{"a.txt", "1"}, {"A.TXT", "2", "."}, "a.txt and ./A.TXT"},
  };
  for (const auto& c : cases) {
    vmtest::TempDir dir;
    const std::string exe = dir.File("movie.exe");
    vmtest::WriteBytes(exe, vmtest::FakeRunnerImage());
    vmtest::AppendSession(exe, "Session1", {{"first.txt", "0"}, c.First, c.Second});
    vmtest::TempDir target;

    const vmtest::VmpackResult result = vmtest::Vmpack({"extract", exe, "-C", target.Path()});

    EXPECT_EQ(result.ExitCode, 1) << c.Names;
    EXPECT_EQ(result.Err, "vmpack: Cannot extract session \"Session1\" from " + exe +
                              ": Two files would land on one: " + c.Names +
                              " (Windows compares names without letter case)\n");
    EXPECT_TRUE(vmtest::ListNames(target.Path()).empty()) << c.Names;
  }
}

// "\xD6\xDC\xEA\xE5\xEB\xEF\xF2" and "\xD9\xEC\xDD\xE3\xE1.txt" are "Φάκελος" and "Ωμέγα.txt" in 1253.
TEST(ExtractNamesTest, NamesAreWrittenAsTheCodePageReadsThem) {
  const std::string folder = vm::pack::UnicodeToHost(U"Φάκελος");
  const std::string name = vm::pack::UnicodeToHost(U"Ωμέγα.txt");
  if (vm::pack::HostToUnicode(folder + name) != U"ΦάκελοςΩμέγα.txt")
    GTEST_SKIP() << "this system's own text cannot hold Greek";
  vmtest::TempDir dir;
  const std::string exe = dir.File("movie.exe");
  vmtest::WriteBytes(exe, vmtest::FakeRunnerImage());
  vmtest::AppendSession(exe, "Session1",
                        {{"\xD9\xEC\xDD\xE3\xE1.txt", "top"},
                         {"\xD9\xEC\xDD\xE3\xE1.txt", "grouped", "\xD6\xDC\xEA\xE5\xEB\xEF\xF2"}});
  vmtest::TempDir target;

  const vmtest::VmpackResult result =
      vmtest::Vmpack({"extract", exe, "-C", target.Path(), "--codepage", "1253"});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  std::vector<std::string> names = {name, folder};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(vmtest::ListNames(target.Path()), names);
  EXPECT_EQ(vmtest::ReadBytes(target.File(name)), "top");
  EXPECT_EQ(vmtest::ReadBytes(target.File(folder) + vm::kPathDelimiter + name), "grouped");
}

// 0xD2 is no character of 1253: no stand-in for it may turn into part of a path.
TEST(ExtractNamesTest, ANameThatIsNoTextOfTheCodePageIsRefusedBeforeWriting) {
  vmtest::TempDir dir;
  const std::string exe = dir.File("movie.exe");
  vmtest::WriteBytes(exe, vmtest::FakeRunnerImage());
  vmtest::AppendSession(exe, "Session1", {{"first.txt", "0"}, {"a\xD2.txt", "1"}});
  vmtest::TempDir target;

  const vmtest::VmpackResult result =
      vmtest::Vmpack({"extract", exe, "-C", target.Path(), "--codepage", "1253"});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(result.Err, "vmpack: Cannot extract session \"Session1\" from " + exe +
                            ": The name \"a\\xD2.txt\" is no text of code page 1253; choose "
                            "another one with --codepage\n");
  EXPECT_TRUE(vmtest::ListNames(target.Path()).empty());
}

}  // namespace
