#include <gtest/gtest.h>

#include "unit/pack/pack_test_support.h"
#include "unit/test_files.h"

namespace {

struct Misuse {
  const char* Label;
  std::vector<std::string> Args;
  std::string Message;
  std::string HelpTopic;
};

void PrintTo(const Misuse& c, std::ostream* os) { *os << c.Label; }

class UsageErrorTest : public ::testing::TestWithParam<Misuse> {};

TEST_P(UsageErrorTest, ExitsWith2AndPointsToHelp) {
  const Misuse& misuse = GetParam();

  const vmtest::VmpackResult result = vmtest::Vmpack(misuse.Args);

  EXPECT_EQ(result.ExitCode, 2);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "vmpack: " + misuse.Message + "\nTry '" + misuse.HelpTopic +
                            " --help' for more information.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Misuses, UsageErrorTest,
    ::testing::Values(
        Misuse{"NoCommand", {}, "missing COMMAND", "vmpack"},
        Misuse{"UnknownCommand", {"pack"}, "unknown command pack", "vmpack"},
        Misuse{"UnknownOption", {"build", "--runer", "r.exe"}, "unknown option --runer",
               "vmpack build"},
        Misuse{"UnknownShortOption", {"verify", "-x", "f.exe"}, "unknown option -x",
               "vmpack verify"},
        Misuse{"MissingOutput", {"build", "--runner", "r.exe", "a.swf"}, "missing -o OUT.exe",
               "vmpack build"},
        Misuse{"MissingRunner", {"build", "-o", "o.exe", "a.swf"},
               "missing --runner RUNNER.exe", "vmpack build"},
        Misuse{"RunnerWithAppend", {"build", "--runner", "r.exe", "--append", "-o", "o.exe", "a"},
               "--runner and --append exclude each other: --append adds to OUT.exe",
               "vmpack build"},
        Misuse{"NoFiles", {"build", "--runner", "r.exe", "-o", "o.exe"}, "no FILE to pack",
               "vmpack build"},
        Misuse{"GroupAfterTheLastFile",
               {"build", "--runner", "r.exe", "-o", "o.exe", "a.swf", "--group", "intro"},
               "no FILE follows --group \"intro\"", "vmpack build"},
        Misuse{"MissingValue", {"build", "--runner", "r.exe", "a.swf", "-o"},
               "option -o needs a value", "vmpack build"},
        Misuse{"ValueForAFlag", {"build", "--append=yes", "-o", "o.exe", "a.swf"},
               "option --append takes no value", "vmpack build"},
        Misuse{"RepeatedOption", {"extract", "f.exe", "--session", "a", "--session", "b"},
               "option --session given more than once", "vmpack extract"},
        Misuse{"ListWithoutFile", {"list"}, "missing FILE", "vmpack list"},
        Misuse{"VerifyTwoFiles", {"verify", "a.exe", "b.exe"}, "unexpected argument b.exe",
               "vmpack verify"},
        Misuse{"PasswordHashWithoutText", {"password-hash"}, "missing TEXT",
               "vmpack password-hash"},
        Misuse{"UnknownCodePage", {"verify", "--codepage", "437", "f.exe"},
               "code page 437 is not supported; use 1250 to 1258, 932, 936, 949 or 950",
               "vmpack verify"},
        Misuse{"BuildEmptySessionName",
               {"build", "--runner", "r.exe", "-o", "o.exe", "--session", "", "a.swf"},
               "--session needs a name, 1 to 63 bytes", "vmpack build"},
        Misuse{"ListEmptySessionName", {"list", "f.exe", "--session", ""},
               "--session needs a name", "vmpack list"},
        Misuse{"ExtractEmptySessionName", {"extract", "f.exe", "--session="},
               "--session needs a name", "vmpack extract"},
        Misuse{"SettingsWithAnArgument", {"settings", "movie.ini"},
               "unexpected argument movie.ini", "vmpack settings"}),
    [](const ::testing::TestParamInfo<Misuse>& info) { return info.param.Label; });

TEST(HelpTest, EveryCommandAndTheProgramShowUsageOnStdout) {
  const std::vector<std::vector<std::string>> requests = {
      {"--help"}, {"-h"}, {"build", "--help"}, {"list", "-h"}, {"verify", "--help"},
      {"extract", "--help"}, {"password-hash", "-h"}, {"build", "-o", "x", "--help"},
      {"settings", "--help"}};
  for (const auto& request : requests) {
    const vmtest::VmpackResult result = vmtest::Vmpack(request);
    EXPECT_EQ(result.ExitCode, 0) << request[0];
    EXPECT_EQ(result.Out.rfind("Usage: vmpack", 0), 0u) << request[0];
    EXPECT_EQ(result.Err, "");
  }
}

TEST(FailureTest, ReportsTheMessageOnStderrWithExit1) {
  vmtest::TempDir dir;

  const vmtest::VmpackResult result = vmtest::Vmpack({"list", dir.File("missing.exe")});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "vmpack: Cannot open file " + dir.File("missing.exe") + "\n");
}

// Reference values computed apart from this code, from the algorithm itself.
TEST(PasswordHashTest, PrintsTheCheckValueInDecimal) {
  const struct {
    std::vector<std::string> Args;
    std::string Out;
  } cases[] = {
      {{"password-hash", ""}, "366722058\n"},
      {{"password-hash", "secret"}, "408382745\n"},
      {{"password-hash", "Secret"}, "40582142\n"},
      {{"password-hash", " secret\t"}, "408382745\n"},
      {{"password-hash", "--", "-secret"}, "227144506\n"},
  };
  for (const auto& c : cases) {
    const vmtest::VmpackResult result = vmtest::Vmpack(c.Args);
    EXPECT_EQ(result.ExitCode, 0) << c.Args.back();
    EXPECT_EQ(result.Out, c.Out) << c.Args.back();
  }
}

}  // namespace
