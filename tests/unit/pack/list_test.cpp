#include <gtest/gtest.h>

#include <algorithm>

#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/payload/payload_bytes.h"
#include "unit/test_files.h"

namespace {

constexpr uint64_t kAprilEvening = 132000000000000000ULL;      // 2019-04-17T18:40:00Z
constexpr uint64_t kAprilNoon = 132000624000000000ULL;         // 2019-04-18T12:00:00Z

class ListTest : public ::testing::Test {
 protected:
  ListTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
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

// A Runner alone, or a build whose end was lost in a copy, is not a movie to look at.
TEST_F(ListTest, AFileWithoutPayloadOrWithItsLastTrailerCutFails) {
  const std::string cut = dir_.File("cut.exe");
  const std::string bytes = vmtest::ReadBytes(out_);
  vmtest::WriteBytes(cut, bytes.substr(0, bytes.size() - 1));
  const std::string oneSession = dir_.File("one.exe");
  Build({"--runner", runner_, "-o", oneSession, dir_.File("logo.png")});
  const std::string one = vmtest::ReadBytes(oneSession);
  vmtest::WriteBytes(oneSession, one.substr(0, one.size() - 1));

  for (const std::string& path : {runner_, oneSession}) {
    const vmtest::VmpackResult result = vmtest::Vmpack({"list", path});
    EXPECT_EQ(result.ExitCode, 1) << path;
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "vmpack: No sessions in " + path +
                              ": it holds no payload, or its payload is cut short\n");
  }
  const vmtest::VmpackResult older = vmtest::Vmpack({"list", cut});
  EXPECT_EQ(older.ExitCode, 1) << older.Out;
  EXPECT_NE(older.Err.find("cut short"), std::string::npos) << older.Err;
}

}  // namespace

namespace {

TEST_F(ListTest, AFileWhoseOnlyTrailerIsDamagedFailsWithTheReason) {
  vmtest::WriteBytes(runner_, vmtest::RunnerImage());
  vmtest::WriteFileAt(dir_.File("only.txt"), "x", kAprilEvening);
  Build({"--runner", runner_, "-o", out_, dir_.File("only.txt")});
  std::string bytes = vmtest::ReadBytes(out_);
  const size_t trailerAt = bytes.size() - 220;
  bytes[trailerAt + 100] ^= 0x01;  // inside the session name
  vmtest::WriteBytes(out_, bytes);

  const vmtest::VmpackResult result = vmtest::Vmpack({"list", out_});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "vmpack: The session trailer at offset " + std::to_string(trailerAt) +
                            " is damaged: its magic numbers or checksum do not match: " + out_ +
                            "\n");
}

// A name's escape sequence would clear the terminal, its newline forge a row of its own.
TEST(ListNamesTest, ShowsControlCharactersEscaped) {
  vmtest::TempDir dir;
  const std::string path = dir.File("hostile.exe");
  vmtest::RawFile forged = vmtest::StoredFile("a\x1B[2J\n  fake.swf  -  1", "x");
  forged.Prefix.GroupName = "g\r";
  vmtest::WriteBytes(path, vmtest::SessionBytes(vmtest::FakeRunnerImage(), "S\x07", {forged}));

  const vmtest::VmpackResult result = vmtest::Vmpack({"list", path});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_NE(result.Out.find("Session \"S\\x07\""), std::string::npos) << result.Out;
  EXPECT_NE(result.Out.find("  a\\x1B[2J\\x0A  fake.swf  -  1  g\\x0D  "), std::string::npos)
      << result.Out;
  EXPECT_EQ(std::count(result.Out.begin(), result.Out.end(), '\n'), 3);
  EXPECT_EQ(result.Out.find_first_of("\x1B\r\x07"), std::string::npos);
}

TEST_F(ListTest, JsonDescribesEverySessionAndFile) {
  const vmtest::VmpackResult result = vmtest::Vmpack({"list", out_, "--json", "--session", "Intro"});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  const auto sessions = vmtest::ReadPayload(out_);
  std::string jsonPath;
  for (char c : out_) jsonPath += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(result.Out,
            "{\"file\": \"" + jsonPath + "\", \"codepage\": 1252, \"bytesAfterLastSession\": 0, "
            "\"sessions\": [{\"name\": \"Intro\", \"trailerOffset\": " +
                std::to_string(sessions[1].TrailerOffset) + ", \"startOffset\": " +
                std::to_string(vmtest::RunnerImage().size()) + ", "
                "\"fileCount\": 1, \"totalSize\": 108, \"builtBy\": \"" +
                sessions[1].Trailer.BuilderText +
                "\", \"files\": [{\"name\": \"logo.png\", \"group\": \"\", \"size\": 108, "
                "\"storedSize\": 108, \"lastWrite\": \"2019-04-17T18:40:00Z\"}]}]}\n");
}

}  // namespace
