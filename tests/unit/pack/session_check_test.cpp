#include <gtest/gtest.h>

#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace {

// Sessions that build but that the Runner would not play as meant: each warns with its own line,
// builds without --strict, and is refused with --strict, which writes nothing.
struct BrokenSession {
  const char* Label;
  std::vector<std::string> Args;      // "@name" is the file name in the test folder
  std::vector<std::string> Warnings;  // after "vmpack: warning: ", "@name" likewise
};

void PrintTo(const BrokenSession& c, std::ostream* os) { *os << c.Label; }

class SessionCheckTest : public ::testing::TestWithParam<BrokenSession> {
 protected:
  SessionCheckTest() {
    const std::string pe32 = vmtest::RunnerImage({false});
    const std::string pe64 = vmtest::RunnerImage();
    vmtest::WriteBytes(dir_.File("runner.exe"), pe64);
    vmtest::WriteBytes(dir_.File("runner32.exe"), pe32);
    vmtest::WriteBytes(dir_.File("movie.exe"), pe64);
    vmtest::WriteBytes(dir_.File("other.exe"), pe64);
    vmtest::WriteBytes(dir_.File("movie32.exe"), pe32);
    vmtest::WriteBytes(dir_.File("notes.exe"), "MZ, but only a text");
    vmtest::WriteBytes(dir_.File("vardelrun.dll"), pe64);
    vmtest::WriteBytes(dir_.File("hook32.dll"), pe32);
    vmtest::WriteBytes(dir_.File("movie.ini"), "[Settings]\nPassword=0\n");
    vmtest::WriteBytes(dir_.File("tune.mid"), "MThd");
  }

  std::string Expand(const std::string& text) const {
    std::string expanded;
    size_t at = 0;
    for (size_t mark; (mark = text.find('@', at)) != std::string::npos;) {
      size_t end = text.find_first_of(" ,):\"", mark);
      if (end == std::string::npos) end = text.size();
      expanded += text.substr(at, mark - at) + dir_.File(text.substr(mark + 1, end - mark - 1));
      at = end;
    }
    return expanded + text.substr(at);
  }

  vmtest::VmpackResult Build(bool strict) {
    std::vector<std::string> args = {"build", "-o", dir_.File("out.exe")};
    if (strict) args.push_back("--strict");
    for (const std::string& arg : GetParam().Args) args.push_back(Expand(arg));
    return vmtest::Vmpack(args);
  }

  vmtest::TempDir dir_;
};

TEST_P(SessionCheckTest, WarnsWithoutStrictAndRefusesWithIt) {
  std::string warnings;
  for (const std::string& warning : GetParam().Warnings)
    warnings += "vmpack: warning: " + Expand(warning) + "\n";

  const vmtest::VmpackResult built = Build(false);
  EXPECT_EQ(built.ExitCode, 0) << built.Err;
  EXPECT_EQ(built.Err, warnings);
  ASSERT_TRUE(vmtest::Exists(dir_.File("out.exe")));
  std::filesystem::remove(dir_.File("out.exe"));

  const size_t count = GetParam().Warnings.size();
  const vmtest::VmpackResult refused = Build(true);
  EXPECT_EQ(refused.ExitCode, count == 0 ? 0 : 1);
  EXPECT_EQ(refused.Err, warnings + (count == 0 ? "" : "vmpack: Not built, since --strict refuses warnings: " +
                                                           std::to_string(count) +
                                                           (count == 1 ? " warning\n" : " warnings\n")));
  EXPECT_EQ(vmtest::Exists(dir_.File("out.exe")), count == 0);
}

const char kNoProjector[] =
    "@out.exe: session \"Session1\" has no projector: an .exe outside any group, which the "
    "Runner starts as the projector; without it there is nothing to play";
const char kNoHookLibrary[] =
    "@out.exe: session \"Session1\" has no hook library: a .dll outside any group, which the "
    "Runner loads to embed the movie and carry out its kiosk options";
const char kNoSettings[] =
    "@out.exe: session \"Session1\" has no settings file (.ini): the Runner reads none of the "
    "movie's settings and plays it with its own defaults";

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionCheckTest,
    ::testing::Values(
        BrokenSession{"Complete", {"--runner", "@runner.exe", "@movie.ini", "@movie.exe",
                                   "@vardelrun.dll", "--group", ".", "@other.exe"}, {}},
        BrokenSession{"NothingButData", {"--runner", "@runner.exe", "@tune.mid"},
                      {kNoProjector, kNoHookLibrary, kNoSettings}},
        BrokenSession{"ProjectorOnlyInAGroup",
                      {"--runner", "@runner.exe", "@movie.ini", "@vardelrun.dll", "--group",
                       "Media", "@movie.exe"},
                      {kNoProjector}},
        BrokenSession{"HookLibraryInAToolGroup",
                      {"--runner", "@runner.exe", "@movie.ini", "@movie.exe", "--group",
                       "VTOOL.X", "@vardelrun.dll"},
                      {kNoHookLibrary}},
        BrokenSession{"ThirtyTwoBitRunnerWithSixtyFourBitParts",
                      {"--runner", "@runner32.exe", "@movie.ini", "@movie.exe", "@vardelrun.dll"},
                      {"@movie.exe: the projector is 64-bit (x86-64) and the Runner "
                       "@runner32.exe is 32-bit (x86): the hook library's system-wide hooks reach "
                       "only programs of their own bitness, so the movie cannot be embedded or "
                       "kept in kiosk mode",
                       "@vardelrun.dll: the hook library is 64-bit (x86-64) and the Runner "
                       "@runner32.exe is 32-bit (x86): a program cannot load a library of another "
                       "machine"}},
        BrokenSession{"ThirtyTwoBitPartsWithASixtyFourBitRunner",
                      {"--runner", "@runner.exe", "@movie.ini", "@movie32.exe", "@hook32.dll"},
                      {"@movie32.exe: the projector is 32-bit (x86) and the Runner @runner.exe is "
                       "64-bit (x86-64): the hook library's system-wide hooks reach only programs "
                       "of their own bitness, so the movie cannot be embedded or kept in kiosk "
                       "mode",
                       "@hook32.dll: the hook library is 32-bit (x86) and the Runner @runner.exe "
                       "is 64-bit (x86-64): a program cannot load a library of another machine"}},
        BrokenSession{"TwoProgramsAtTheTopLevel",
                      {"--runner", "@runner.exe", "@movie.ini", "@movie.exe", "@notes.exe",
                       "@vardelrun.dll"},
                      {"2 programs outside any group (@movie.exe, @notes.exe): the Runner takes "
                       "only the last, @notes.exe; give the others a group (--group .)",
                       "@notes.exe: the projector is no Windows program (it has no MZ and PE "
                       "headers)"}},
        BrokenSession{"MidiInAGroup",
                      {"--runner", "@runner.exe", "@movie.ini", "@movie.exe", "@vardelrun.dll",
                       "--group", "Media", "@tune.mid"},
                      {"@tune.mid: the Runner plays only a .mid or .rmi outside any group, so "
                       "it never plays this one in the group \"Media\""}}),
    [](const ::testing::TestParamInfo<BrokenSession>& info) { return info.param.Label; });

// The Runner keys its preferences by its own name; a name longer than the registry takes is
// cut, which the author hears of when building, at one byte past the limit and not before.
TEST(LongOutputName, WarnsThatThePreferencesAreKeptUnderACutName) {
  vmtest::TempDir dir;
#ifdef _WIN32
  // The ANSI file calls take paths of fewer than MAX_PATH (260) characters: a name this long fits
  // only in a folder near a drive's root, and the test's folder is deeper.
  if (dir.File(std::string(243, 'n') + ".exe").size() >= 260)
    GTEST_SKIP() << "the test folder's path leaves no room for such a name";
#endif
  vmtest::WriteBytes(dir.File("runner.exe"), vmtest::RunnerImage());
  vmtest::WriteBytes(dir.File("movie.exe"), vmtest::RunnerImage());
  vmtest::WriteBytes(dir.File("vardelrun.dll"), vmtest::RunnerImage());
  vmtest::WriteBytes(dir.File("movie.ini"), "[Settings]\nPassword=0\n");
  for (const size_t length : {size_t{242}, size_t{243}}) {
    SCOPED_TRACE(length);
    const std::string output = dir.File(std::string(length, 'n') + ".exe");
    const vmtest::VmpackResult built =
        vmtest::Vmpack({"build", "--runner", dir.File("runner.exe"), "-o", output, dir.File("movie.ini"),
                        dir.File("movie.exe"), dir.File("vardelrun.dll")});
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    const std::string warning = "vmpack: warning: " + output +
                                ": its name is over 242 bytes without \".exe\", too long for a registry key: "
                                "the Runner keeps its preferences under the first 233 bytes and a checksum of "
                                "the name\n";
    EXPECT_EQ(built.Err, length > 242 ? warning : "");
  }
}

}  // namespace
