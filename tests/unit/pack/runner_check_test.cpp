#include <gtest/gtest.h>

#include <filesystem>

#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace {

constexpr size_t kFixtureCharacteristicsAt = 0x80 + 4 + 18;
constexpr char kDllFlagHighByte = 0x20;  // IMAGE_FILE_DLL is 0x2000

class RunnerCheckTest : public ::testing::Test {
 protected:
  RunnerCheckTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
    vmtest::WriteBytes(movie_, "FWS");
  }

  vmtest::VmpackResult BuildFrom(const std::string& runner) {
    return vmtest::Vmpack({"build", "--runner", runner, "-o", out_, movie_});
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
  const std::string movie_ = dir_.File("movie.swf");
};

// Whatever a file starts with, only a Runner is copied; nothing is written otherwise.
TEST_F(RunnerCheckTest, RefusesAnythingButARunnerEvenWithoutStrict) {
  std::string dll = vmtest::RunnerImage();
  dll[kFixtureCharacteristicsAt + 1] |= kDllFlagHighByte;
  std::vector<vmtest::FixtureResource> noSetupDialog;
  for (const auto& r : vmtest::RunnerLikeResources())
    if (r.Name != u"SETUP_DIALOG") noSetupDialog.push_back(r);
  const struct {
    const char* Label;
    std::string Bytes;
    std::string Why;
  } cases[] = {
      {"text starting with MZ", "MZ is how this note starts", "it has no MZ and PE headers"},
      {"Linux program", std::string("\x7F" "ELF\x02\x01\x01", 7) + std::string(200, '\0'),
       "it has no MZ and PE headers"},
      {"DLL", dll, "it is a DLL, not a program"},
      {"program without the Runner's resources", vmtest::RunnerFixture({}),
       "it has no dialog \"SETUP_DIALOG\", which the Runner loads"},
      {"Runner without its setup dialog", vmtest::RunnerFixture(noSetupDialog),
       "it has no dialog \"SETUP_DIALOG\", which the Runner loads"},
  };
  for (const auto& c : cases) {
    const std::string path = dir_.File("not-a-runner.exe");
    vmtest::WriteBytes(path, c.Bytes);
    const vmtest::VmpackResult built = BuildFrom(path);
    EXPECT_EQ(built.ExitCode, 1) << c.Label;
    EXPECT_EQ(built.Err, "vmpack: Not a Runner of Vardel Mossant (runner.exe): " + path + ": " +
                             c.Why + "\n")
        << c.Label;
    EXPECT_FALSE(vmtest::Exists(out_)) << c.Label;
  }

  vmtest::WriteBytes(out_, "MZ is how this note starts");
  const vmtest::VmpackResult appended = vmtest::Vmpack({"build", "--append", "-o", out_, movie_});
  EXPECT_EQ(appended.ExitCode, 1);
  EXPECT_EQ(appended.Err, "vmpack: Not a Runner of Vardel Mossant (runner.exe): " + out_ +
                              ": it has no MZ and PE headers\n");
  EXPECT_EQ(vmtest::ReadBytes(out_), "MZ is how this note starts");
}

// A Runner that already carries sessions is still one: only its bytes before them are read.
TEST_F(RunnerCheckTest, ARunnerWithSessionsOrASignatureIsARunner) {
  ASSERT_EQ(BuildFrom(runner_).ExitCode, 0);
  const std::string again = dir_.File("again.exe");
  EXPECT_EQ(vmtest::Vmpack({"build", "--runner", out_, "-o", again, "--session", "Two", movie_})
                .ExitCode,
            0);
  vmtest::WriteBytes(runner_, vmtest::RunnerImage({true, true}));
  EXPECT_EQ(BuildFrom(runner_).ExitCode, 0);
}

TEST_F(RunnerCheckTest, OutputNamingTheRunnerItselfIsAUsageError) {
  const std::string before = vmtest::ReadBytes(runner_);
  std::vector<std::string> outputs = {"runner.exe", "./runner.exe", runner_};
#ifndef _WIN32
  std::filesystem::create_symlink(runner_, dir_.File("link.exe"));
  outputs.push_back(dir_.File("link.exe"));
#endif
  vmtest::WorkingFolder inDir(dir_.Path());
  for (const std::string& output : outputs) {
    const vmtest::VmpackResult built =
        vmtest::Vmpack({"build", "--runner", "runner.exe", "-o", output, movie_});
    EXPECT_EQ(built.ExitCode, 2) << output;
    EXPECT_EQ(built.Err, "vmpack: -o names the Runner itself (runner.exe): write the built "
                         "program to another file\nTry 'vmpack build --help' for more "
                         "information.\n")
        << output;
  }
  EXPECT_EQ(vmtest::ReadBytes(runner_), before);
}

TEST_F(RunnerCheckTest, AnEmptyOrBlankPasswordIsAUsageError) {
  vmtest::WriteBytes(dir_.File("movie.ini"), "[Settings]\nPassword=0\n");
  for (const std::string& password : {std::string(""), std::string(" \t "), std::string("\r\n")}) {
    const vmtest::VmpackResult built = vmtest::Vmpack(
        {"build", "--runner", runner_, "-o", out_, "--password", password, dir_.File("movie.ini")});
    EXPECT_EQ(built.ExitCode, 2);
    EXPECT_EQ(built.Err, "vmpack: --password needs a password: an empty or blank one (blanks "
                         "and control characters do not count) would open the movie to "
                         "anyone\nTry 'vmpack build --help' for more information.\n");
    EXPECT_FALSE(vmtest::Exists(out_));
  }
}

}  // namespace
