#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "payload/exe_appender.h"
#include "support/paths.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kAprilEvening = 132000000000000000ULL;  // 2019-04-17T18:40:00Z
constexpr uint64_t kAprilNoonAndABit = 132000624001234567ULL;  // 2019-04-18T12:00:00.1234567Z
constexpr uint64_t kJustOver2GiB = uint64_t{1} << 31;

void ExtractWithRunner(const std::string& exe, const std::string& session,
                       const std::string& dir) {
  vm::TExeAppender appender;
  appender.UseOwnFile = false;
  appender.SourceFile = exe;
  appender.TargetDir = dir;
  appender.Extract(session);
}

// The folder the Runner is told a file came from: the real one on Windows, Wine's Z: view
// of it elsewhere.
std::string RunnerFolderOf(const std::string& dir) {
#ifdef _WIN32
  return dir + "\\";
#else
  std::string folder = "Z:" + dir + "\\";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder;
#endif
}

class BuildTest : public ::testing::Test {
 protected:
  BuildTest() { vmtest::WriteBytes(runner_, vmtest::RunnerImage()); }

  std::string Input(const std::string& name, const std::string& bytes,
                    uint64_t time = kAprilEvening) {
    const std::string path = dir_.File(name);
    vmtest::WriteFileAt(path, bytes, time);
    return path;
  }

  vmtest::VmpackResult Build(std::vector<std::string> args) {
    args.insert(args.begin(), "build");
    return vmtest::Vmpack(args);
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
};

TEST_F(BuildTest, RunnerExtractsEveryFileWithItsBytesAndTime) {
  struct Packed {
    std::string Name;
    std::string Bytes;
    uint64_t Time;
  };
  const std::vector<Packed> files = {
      {"raw.txt", vmtest::Compressible(108), kAprilEvening},
      {"packed.txt", vmtest::Compressible(109), kAprilNoonAndABit},
      {"noise.bin", vmtest::Incompressible(300000), kAprilEvening + 1},
      {"empty.txt", "", kAprilEvening},
  };
  std::vector<std::string> args = {"--runner", runner_, "-o", out_};
  for (const auto& f : files) args.push_back(Input(f.Name, f.Bytes, f.Time));

  const vmtest::VmpackResult result = Build(args);
  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, "Wrote " + out_ + ": session \"Session1\", 4 files\n");
  // Data files alone make no movie: the build says which parts are missing, and still writes.
  const std::string session = "vmpack: warning: " + out_ + ": session \"Session1\" has no ";
  EXPECT_EQ(result.Err,
            session + "projector: an .exe outside any group, which the Runner starts as the "
                      "projector; without it there is nothing to play\n" +
            session + "hook library: a .dll outside any group, which the Runner loads to embed "
                      "the movie and carry out its kiosk options\n" +
            session + "settings file (.ini): the Runner reads none of the movie's settings and "
                      "plays it with its own defaults\n");
  EXPECT_EQ(vmtest::ReadBytes(out_).substr(0, vmtest::RunnerImage().size()),
            vmtest::RunnerImage());

  vmtest::TempDir target;
  ExtractWithRunner(out_, "Session1", target.Path());
  EXPECT_EQ(vmtest::ListNames(target.Path()),
            (std::vector<std::string>{"empty.txt", "noise.bin", "packed.txt", "raw.txt"}));
  for (const auto& f : files) {
    EXPECT_EQ(vmtest::ReadBytes(target.File(f.Name)), f.Bytes) << f.Name;
    EXPECT_EQ(vmtest::LastWriteTimeOf(target.File(f.Name)), f.Time) << f.Name;
  }
}

TEST_F(BuildTest, RecordsNameFolderTimeAndBuilder) {
  ASSERT_EQ(Build({"--runner", runner_, "-o", out_, "--session", "Main",
                   Input("movie.swf", "FWS", kAprilNoonAndABit)})
                .ExitCode,
            0);

  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 1u);
  EXPECT_EQ(sessions[0].Trailer.SessionName, "Main");
  EXPECT_EQ(sessions[0].Trailer.BuilderText,
            std::string("Vardel Mossant vmpack ") + VARDEL_PROJECT_VERSION);
  ASSERT_EQ(sessions[0].Files.size(), 1u);
  const vm::FilePrefix& prefix = sessions[0].Files[0].Prefix;
  EXPECT_EQ(prefix.FileName, "movie.swf");
  EXPECT_EQ(prefix.SourceFolder, RunnerFolderOf(dir_.Path()));
  EXPECT_EQ(prefix.GroupName, "");
  EXPECT_EQ(prefix.LastWriteTime, kAprilNoonAndABit);
}

TEST_F(BuildTest, RelativePathsAreStoredWithTheirAbsoluteFolder) {
  fs::create_directory(dir_.File("movie"));
  vmtest::WriteBytes(dir_.File("movie") + vm::kPathDelimiter + "intro.swf", "FWS");
  {
    vmtest::WorkingFolder inDir(dir_.Path());
    ASSERT_EQ(Build({"--runner", "runner.exe", "-o", "out.exe", "movie/../movie/intro.swf"})
                  .ExitCode,
              0);
  }
  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 1u);
  ASSERT_EQ(sessions[0].Files.size(), 1u);
  EXPECT_EQ(sessions[0].Files[0].Prefix.FileName, "intro.swf");
  EXPECT_EQ(sessions[0].Files[0].Prefix.SourceFolder,
            RunnerFolderOf(dir_.File("movie")));
}

TEST_F(BuildTest, GroupAppliesToTheFilesAfterItUntilTheNextGroup) {
  ASSERT_EQ(Build({"--runner", runner_, "-o", out_, Input("a", "1"), "--group", "intro",
                   Input("b", "2"), Input("c", "3"), "--group", "", Input("d", "4"),
                   "--group=outro", Input("e", "5")})
                .ExitCode,
            0);

  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 1u);
  std::vector<std::string> names;
  std::vector<std::string> groups;
  for (const auto& file : sessions[0].Files) {
    names.push_back(file.Prefix.FileName);
    groups.push_back(file.Prefix.GroupName);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(groups, (std::vector<std::string>{"", "intro", "intro", "", "outro"}));
}

TEST_F(BuildTest, AppendAddsANewerSessionAndLeavesTheOlderBytesAlone) {
  ASSERT_EQ(Build({"--runner", runner_, "-o", out_, "--session", "Main",
                   Input("main.swf", vmtest::Compressible(5000))})
                .ExitCode,
            0);
  const std::string before = vmtest::ReadBytes(out_);
  const vmtest::VmpackResult appended =
      Build({"--append", "-o", out_, "--session", "Extra", Input("extra.swf", "tiny")});
  ASSERT_EQ(appended.ExitCode, 0) << appended.Err;

  const std::string after = vmtest::ReadBytes(out_);
  EXPECT_EQ(after.substr(0, before.size()), before);
  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_EQ(sessions[0].Trailer.SessionName, "Extra");
  EXPECT_EQ(sessions[1].Trailer.SessionName, "Main");

  vmtest::TempDir mainDir;
  vmtest::TempDir extraDir;
  ExtractWithRunner(out_, "Main", mainDir.Path());
  ExtractWithRunner(out_, "Extra", extraDir.Path());
  EXPECT_EQ(vmtest::ReadBytes(mainDir.File("main.swf")), vmtest::Compressible(5000));
  EXPECT_EQ(vmtest::ListNames(extraDir.Path()), std::vector<std::string>{"extra.swf"});
}

TEST_F(BuildTest, SessionsAlreadyInTheRunnerAreKept) {
  vmtest::AppendSession(runner_, "Intro", {{"logo.png", "PNG"}});
  ASSERT_EQ(Build({"--runner", runner_, "-o", out_, "--session", "Main", Input("a.swf", "FWS")})
                .ExitCode,
            0);

  const auto sessions = vmtest::ReadPayload(out_);
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_EQ(sessions[0].Trailer.SessionName, "Main");
  EXPECT_EQ(sessions[1].Trailer.SessionName, "Intro");
}

TEST_F(BuildTest, SameInputsAndTimesGiveTheSameBytes) {
  auto writeInputs = [&] {
    return std::vector<std::string>{
        Input("a.swf", vmtest::Compressible(70000)),
        Input("b.bin", vmtest::Incompressible(5000), kAprilNoonAndABit)};
  };
  const std::string first = dir_.File("first.exe");
  const std::string second = dir_.File("second.exe");
  auto inputs = writeInputs();
  ASSERT_EQ(Build({"--runner", runner_, "-o", first, inputs[0], inputs[1]}).ExitCode, 0);
  inputs = writeInputs();
  ASSERT_EQ(Build({"--runner", runner_, "-o", second, inputs[0], inputs[1]}).ExitCode, 0);

  EXPECT_EQ(vmtest::ReadBytes(first), vmtest::ReadBytes(second));
}

TEST_F(BuildTest, OutputKeepsTheRunnersExecutableBit) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no executable bit";
#endif
  fs::permissions(runner_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  ASSERT_EQ(Build({"--runner", runner_, "-o", out_, Input("a.swf", "FWS")}).ExitCode, 0);

  EXPECT_EQ(fs::status(out_).permissions(),
            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Each refusal names what is wrong, creates no OUT, leaves an existing OUT as it was and leaves
// no temporary file behind.
struct Refusal {
  const char* Label;
  std::vector<std::string> Args;      // "@name" stands for the path of name in the test folder
  std::vector<std::string> Message;   // parts of the message, "@name" likewise
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.Label; }

class BuildRefusalTest : public ::testing::TestWithParam<Refusal> {
 protected:
  std::string Expand(const std::string& text) const {
    std::string expanded;
    size_t at = 0;
    for (size_t mark; (mark = text.find('@', at)) != std::string::npos;) {
      size_t end = text.find_first_of(" \"", mark);
      if (end == std::string::npos) end = text.size();
      expanded += text.substr(at, mark - at) + dir_.File(text.substr(mark + 1, end - mark - 1));
      at = end;
    }
    return expanded + text.substr(at);
  }

  vmtest::TempDir dir_;
};

TEST_P(BuildRefusalTest, NamesTheProblemAndLosesNothing) {
  const Refusal& refusal = GetParam();
  vmtest::WriteBytes(dir_.File("runner.exe"), vmtest::RunnerImage());
  vmtest::WriteBytes(dir_.File("used.exe"), vmtest::RunnerImage());
  vmtest::AppendSession(dir_.File("used.exe"), "Session1", {{"old.swf", "FWS"}});
  vmtest::WriteBytes(dir_.File("existing.exe"), vmtest::RunnerImage());
  vmtest::AppendSession(dir_.File("existing.exe"), "Main", {{"old.swf", "FWS"}});
  vmtest::WriteBytes(dir_.File("a.swf"), vmtest::Compressible(20000));
  fs::create_directory(dir_.File("sub"));
  // Sparse where the file system allows; made only where needed, since elsewhere it is not.
  if (std::find(refusal.Args.begin(), refusal.Args.end(), "@huge.bin") != refusal.Args.end()) {
    vmtest::WriteBytes(dir_.File("huge.bin"), "");
    fs::resize_file(dir_.File("huge.bin"), kJustOver2GiB);
  }
  const std::vector<std::string> namesBefore = vmtest::ListNames(dir_.Path());
  const std::string existingBefore = vmtest::ReadBytes(dir_.File("existing.exe"));

  std::vector<std::string> args = {"build"};
  for (const auto& arg : refusal.Args) args.push_back(Expand(arg));
  const vmtest::VmpackResult result = vmtest::Vmpack(args);

  EXPECT_EQ(result.ExitCode, 1) << result.Err;
  EXPECT_EQ(result.Err.rfind("vmpack: ", 0), 0u) << result.Err;
  for (const auto& fragment : refusal.Message)
    EXPECT_NE(result.Err.find(Expand(fragment)), std::string::npos)
        << "missing \"" << Expand(fragment) << "\" in " << result.Err;
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(vmtest::ListNames(dir_.Path()), namesBefore);
  EXPECT_EQ(vmtest::ReadBytes(dir_.File("existing.exe")), existingBefore);
}

const std::string kLongName(256, 'n');
const std::string kLongFolder(250, 'd');

INSTANTIATE_TEST_SUITE_P(
    Refusals, BuildRefusalTest,
    ::testing::Values(
        Refusal{"MissingInput",
                {"--runner", "@runner.exe", "-o", "@new.exe", "@a.swf", "@nope.swf"},
                {"Input file not found: @nope.swf"}},
        Refusal{"FolderAsInput",
                {"--runner", "@runner.exe", "-o", "@new.exe", "@sub"},
                {"Not a regular file: @sub"}},
        Refusal{"FileNameOver255Bytes",
                {"--runner", "@runner.exe", "-o", "@new.exe", "@" + kLongName},
                {"File name is longer than 255 bytes: " + kLongName}},
        Refusal{"SourceFolderOver255Bytes",
                {"--runner", "@runner.exe", "-o", "@new.exe", "@" + kLongFolder + "/x.swf"},
                {"Source folder is longer than 255 bytes", kLongFolder}},
        Refusal{"GroupOver255Bytes",
                {"--runner", "@runner.exe", "-o", "@new.exe", "--group", kLongName, "@a.swf"},
                {"Group name is longer than 255 bytes: " + kLongName}},
        Refusal{"NameTheRunnerCannotWrite",
                {"--runner", "@runner.exe", "-o", "@new.exe", "@a:b.swf"},
                {"Cannot pack @a:b.swf", "it holds \":\", which Windows does not allow"}},
        Refusal{"SessionNameOf64Bytes",
                {"--runner", "@runner.exe", "-o", "@new.exe", "--session", std::string(64, 's'),
                 "@a.swf"},
                {"Session name is longer than 63 bytes: " + std::string(64, 's')}},
        Refusal{"SessionAlreadyInTheRunner",
                {"--runner", "@used.exe", "-o", "@new.exe", "@a.swf"},
                {"@used.exe already holds a session named \"Session1\""}},
        Refusal{"MissingRunner",
                {"--runner", "@nope.exe", "-o", "@new.exe", "@a.swf"},
                {"Runner not found: @nope.exe"}},
        Refusal{"AppendToMissingOut",
                {"--append", "-o", "@new.exe", "@a.swf"},
                {"Cannot append to @new.exe: file not found"}},
        Refusal{"AppendSessionNameInUse",
                {"--append", "-o", "@existing.exe", "--session", "Main", "@a.swf"},
                {"@existing.exe already holds a session named \"Main\""}},
        Refusal{"ResultOver2GiB",
                {"--runner", "@runner.exe", "-o", "@existing.exe", "@a.swf", "@huge.bin"},
                {"Cannot pack @huge.bin into @existing.exe", "2 GiB"}}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.Label; });

}  // namespace
