#include <gtest/gtest.h>

#include "unit/pack/pack_test_support.h"
#include "unit/test_files.h"

namespace {

constexpr uint64_t kAprilEvening = 132000000000000000ULL;      // 2019-04-17T18:40:00Z
constexpr uint64_t kAprilNoon = 132000624000000000ULL;         // 2019-04-18T12:00:00Z

class ListTest : public ::testing::Test {
 protected:
  ListTest() {
    vmtest::WriteBytes(runner_, vmtest::FakeRunnerImage());
    vmtest::WriteFileAt(dir_.File("logo.png"), vmtest::Compressible(108), kAprilEvening);
    vmtest::WriteFileAt(dir_.File("raw.txt"), vmtest::Compressible(108), kAprilEvening);
    vmtest::WriteFileAt(dir_.File("packed.txt"), vmtest::Compressible(109), kAprilNoon);
    Build({"--runner", runner_, "-o", out_, "--session", "Intro", dir_.File("logo.png")});
    Build({"--append", "-o", out_, "--session", "Main", dir_.File("raw.txt"), "--group",
           "video", dir_.File("packed.txt")});
  }

  void Build(std::vector<std::string> args) {
    args.insert(args.begin(), "build");
    ASSERT_EQ(vmtest::Vmpack(args).ExitCode, 0);
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
};

TEST_F(ListTest, ShowsSessionsNewestFirstAndTheCompressionThreshold) {
  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 2u);
  ASSERT_EQ(sessions[0].Files.size(), 2u);
  // 109 bytes is the first size that is compressed; this text shrinks.
  const std::string packedStored = std::to_string(sessions[0].Files[1].Prefix.StoredSize);
  ASSERT_LT(sessions[0].Files[1].Prefix.StoredSize, 109);
  const std::string builder = sessions[0].Trailer.BuilderText;

  const vmtest::VmpackResult result = vmtest::Vmpack({"list", out_});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "Session \"Main\": 2 files, 217 bytes, built by \"" + builder + "\"\n"
            "  NAME        GROUP  SIZE  STORED  LAST WRITE\n"
            "  raw.txt     -       108     108  2019-04-17T18:40:00Z\n"
            "  packed.txt  video   109  " + std::string(6 - packedStored.size(), ' ') +
                packedStored + "  2019-04-18T12:00:00Z\n"
            "\n"
            "Session \"Intro\": 1 file, 108 bytes, built by \"" + builder + "\"\n"
            "  NAME      GROUP  SIZE  STORED  LAST WRITE\n"
            "  logo.png  -       108     108  2019-04-17T18:40:00Z\n");
}

TEST_F(ListTest, SessionOptionShowsOnlyThatSession) {
  const vmtest::VmpackResult result = vmtest::Vmpack({"list", out_, "--session", "Intro"});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out.rfind("Session \"Intro\"", 0), 0u) << result.Out;
  EXPECT_EQ(result.Out.find("Main"), std::string::npos) << result.Out;
}

TEST_F(ListTest, UnknownSessionFails) {
  const vmtest::VmpackResult result = vmtest::Vmpack({"list", out_, "--session", "Outro"});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(result.Err, "vmpack: No session \"Outro\" in " + out_ + "\n");
}

TEST_F(ListTest, FileWithoutPayloadSaysSo) {
  const vmtest::VmpackResult result = vmtest::Vmpack({"list", runner_});

  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, "No sessions in " + runner_ + "\n");
}

}  // namespace
