#include <gtest/gtest.h>

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

}  // namespace
