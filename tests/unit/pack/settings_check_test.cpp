#include "pack/settings_check.h"

#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "config/password_hash.h"
#include "pack/settings_password.h"
#include "unit/pack/pack_test_support.h"
#include "unit/pack/runner_fixture.h"
#include "unit/test_files.h"

namespace {

std::vector<std::string> WarningsOf(const std::string& text) {
  std::vector<std::string> warnings;
  for (const auto& warning : vm::pack::CheckSettingsText(text).Warnings)
    warnings.push_back(vm::pack::WarningText("movie.ini", warning));
  return warnings;
}

const std::string kNoCheckValue =
    " asks for a password, but no AlignmentX holds its check value, so only a password whose "
    "check value is 0 opens the movie; use vmpack build --password TEXT, or Password=0";

TEST(SettingsCheckTest, WarnsAboutWhatTheRunnerReadsOtherwiseThanMeant) {
  const struct {
    const char* Label;
    std::string Text;
    std::vector<std::string> Warnings;
  } cases[] = {
      {"misspelt key", "[Settings]\nPassword=0\nFullScren=1\n",
       {"movie.ini:3: FullScren: unknown key, which the Runner ignores; did you mean FullScreen?"}},
      {"misspelt section", "[Settings]\nPassword=0\n[Setings]\nWidth=800\n",
       {"movie.ini:3: [Setings]: unknown section, which the Runner does not read; did you mean "
        "[Settings]?"}},
      {"key far from any", "[Settings]\nPassword=0\nColour=red\n",
       {"movie.ini:3: Colour: unknown key, which the Runner ignores"}},
      {"values", "[Settings]\r\nPassword=0\r\nFullScreen=yes\r\nNoBorder=2\r\nWidth=0x280\r\n"
                 "Height=lots\r\nMidi=2\r\n",
       {"movie.ini:3: FullScreen: FullScreen=yes is not a number, so the Runner takes the "
        "default 0",
        "movie.ini:4: NoBorder: NoBorder=2 is neither 0 nor 1, so the Runner ignores it and the "
        "option stays off",
        "movie.ini:6: Height: Height=lots is not a number, so the Runner takes the default 480"}},
      {"password without check value", "[Settings]\nPassword=1\n",
       {"movie.ini:2: Password: Password=1" + kNoCheckValue}},
      {"no password key", "[Settings]\nFullScreen=1\n",
       {"movie.ini: Password: without Password the Runner" + kNoCheckValue}},
      {"outside a section and twice", "Width=1\n[Settings]\nPassword=0\nWidth=2\nwidth=3\n",
       {"movie.ini:1: Width: outside any section, so the Runner ignores it",
        "movie.ini:5: width: given again; the Runner takes the value on line 4"}},
      {"wrong section", "[EngineCommands]\nFullScreen=1\n[Settings]\nPassword=0\nBeforeShow=x\n",
       {"movie.ini:2: FullScreen: the Runner reads this key only in [Settings]",
        "movie.ini:5: BeforeShow: the Runner reads this key only in [EngineCommands]"}},
      {"transposed letters", "[Settings]\nPassword=0\nWidht=800\nHieght=600\n",
       {"movie.ini:3: Widht: unknown key, which the Runner ignores; did you mean Width?",
        "movie.ini:4: Hieght: unknown key, which the Runner ignores; did you mean Height?"}},
      {"full screen at a custom size", "[Settings]\nPassword=0\nCustomSize=1\nFullScreen=1\n",
       {"movie.ini:3: CustomSize: FullScreen=1 with CustomSize=1 is not the full-screen mode: "
        "the Runner maximises a window with a title and border, or sizes one without to the "
        "screen, and keeps it on top; use CustomSize=0 for full screen"}},
      {"case, comments and a locked movie",
       "[settings]\n; FullScreen=1 is what we want\nFullscreen=1\nPassword=1\nAlignmentX=408382745\n",
       {}},
  };
  for (const auto& c : cases) EXPECT_EQ(WarningsOf(c.Text), c.Warnings) << c.Label;
}

TEST(SettingsCheckTest, TheDemoSettingsAreClean) {
  EXPECT_EQ(WarningsOf(vmtest::ReadBytes(VARDEL_SOURCE_DIR "/demo/settings.ini")),
            std::vector<std::string>{});
}

// A fresh file names every key the Runner reads, and packed as it is, warns about nothing.
TEST(SettingsCommandTest, PrintsEveryKeyWithItsDefault) {
  const vmtest::VmpackResult result = vmtest::Vmpack({"settings"});
  ASSERT_EQ(result.ExitCode, 0) << result.Err;

  EXPECT_EQ(WarningsOf(result.Out), std::vector<std::string>{});
  const vm::IniFile ini(result.Out);
  EXPECT_EQ(ini.Read("Settings", "Password"), "0");
  EXPECT_EQ(ini.Read("Settings", "Width"), "640");
  EXPECT_EQ(ini.Read("Settings", "MaintainRatio"), "1");
  EXPECT_EQ(ini.Read("Settings", "Midi"), "2");
  EXPECT_EQ(ini.Read("EngineCommands", "BeforeShow"), "");
  EXPECT_EQ(ini.Read("Settings", "Vardel Screen Name"), std::nullopt);  // the program's name
  const vm::pack::SettingsCheck check = vm::pack::CheckSettingsText(result.Out);
  EXPECT_FALSE(check.Settings.PasswordRequired);
  EXPECT_TRUE(check.Settings.Midi.UserChoice);
  EXPECT_NE(result.Out.find("; 1 plays the movie full screen (with CustomSize=0)\nFullScreen=0\n"), std::string::npos);
}

TEST(SettingsPasswordTest, SetsTheLinesTheRunnerReadsAndKeepsEveryOtherByte) {
  const struct {
    std::string Text;
    std::string Expected;
  } cases[] = {
      {"[Settings]\r\nWidth=800\r\nPassword = 0\r\nalignmentx=5\r\nPassword=0\r\n",
       "[Settings]\r\nWidth=800\r\nPassword=1\r\nAlignmentX=77\r\nPassword=0\r\n"},
      {"; movie\n[EngineCommands]\nPassword=0\n[Settings]\nWidth=800",
       "; movie\n[EngineCommands]\nPassword=0\n[Settings]\nPassword=1\nAlignmentX=77\nWidth=800"},
      {"[EngineCommands]\nBeforeShow=x", "[EngineCommands]\nBeforeShow=x\n[Settings]\nPassword=1\nAlignmentX=77\n"},
      {"\xEF\xBB\xBF[Settings]\nWidth=800\n", "\xEF\xBB\xBF[Settings]\nPassword=1\nAlignmentX=77\nWidth=800\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vm::pack::WithPassword(c.Text, 77), c.Expected) << c.Text;
    const vm::pack::SettingsCheck check = vm::pack::CheckSettingsText(c.Expected);
    EXPECT_TRUE(check.Settings.PasswordRequired);
    EXPECT_EQ(check.Settings.PasswordCheckValue, 77);
  }
}

class BuildSettingsTest : public ::testing::Test {
 protected:
  BuildSettingsTest() {
    vmtest::WriteBytes(runner_, vmtest::RunnerImage());
    vmtest::WriteBytes(dir_.File("movie.swf"), "FWS");
    vmtest::WriteBytes(dir_.File("tune.mid"), "MThd");
    vmtest::WriteBytes(dir_.File("clean.ini"), "[Settings]\nPassword=0\n");
    vmtest::WriteBytes(dir_.File("muted.ini"), "[Settings]\nPassword=0\nMidi=1\nFullScren=1\n");
    vmtest::WriteBytes(projector_, vmtest::RunnerImage());
    vmtest::WriteBytes(hookLibrary_, vmtest::RunnerImage());
    fs_ = vmtest::ListNames(dir_.Path());
  }

  vmtest::VmpackResult Build(std::vector<std::string> args) {
    args.insert(args.begin(), {"build", "--runner", runner_, "-o", out_});
    return vmtest::Vmpack(args);
  }

  std::string Packed(size_t index) {
    const auto sessions = vmtest::ReadPayload(out_);
    const vmtest::StoredFile& file = sessions.at(0).Files.at(index);
    return vmtest::ReadBytes(out_).substr(static_cast<size_t>(file.PrefixOffset) + vm::kPrefixSize,
                                          static_cast<size_t>(file.Prefix.StoredSize));
  }

  vmtest::TempDir dir_;
  const std::string runner_ = dir_.File("runner.exe");
  const std::string out_ = dir_.File("out.exe");
  // A projector and a hook library of the Runner's machine, so that only the settings warn.
  const std::string projector_ = dir_.File("projector.exe");
  const std::string hookLibrary_ = dir_.File("vardelrun.dll");
  std::vector<std::string> fs_;
};

TEST_F(BuildSettingsTest, WarnsAboutTheSessionAndBuildsAnyway) {
  vmtest::TempDir other;
  vmtest::WriteBytes(other.File("movie.swf"), "FWS2");
  const vmtest::VmpackResult result =
      Build({dir_.File("movie.swf"), dir_.File("clean.ini"), dir_.File("tune.mid"),
             other.File("movie.swf"), dir_.File("muted.ini"), projector_, hookLibrary_});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  const std::string muted = dir_.File("muted.ini");
  EXPECT_EQ(result.Err,
            "vmpack: warning: " + other.File("movie.swf") + ": the Runner writes it over " +
                dir_.File("movie.swf") + ", which has the same name\n"
            "vmpack: warning: 2 settings files (" + dir_.File("clean.ini") + ", " + muted +
                "): the Runner reads only the last, " + muted + "\n"
            "vmpack: warning: " + muted + ":4: FullScren: unknown key, which the Runner ignores; "
                "did you mean FullScreen?\n"
            "vmpack: warning: " + muted + ": Midi=1 mutes the MIDI music, so the Runner leaves "
                "out " + dir_.File("tune.mid") + "\n");
}

TEST_F(BuildSettingsTest, StrictRefusesAWarningAndWritesNothing) {
  const vmtest::VmpackResult result =
      Build({"--strict", dir_.File("movie.swf"), dir_.File("muted.ini"), projector_, hookLibrary_});

  EXPECT_EQ(result.ExitCode, 1);
  EXPECT_NE(result.Err.find("vmpack: Not built, since --strict refuses warnings: 1 warning\n"),
            std::string::npos)
      << result.Err;
  EXPECT_EQ(vmtest::ListNames(dir_.Path()), fs_);

  EXPECT_EQ(Build({"--strict", dir_.File("movie.swf"), dir_.File("clean.ini"), projector_,
                   hookLibrary_})
                .ExitCode,
            0);
}

TEST_F(BuildSettingsTest, PasswordGoesIntoThePackedCopyOnly) {
  const vmtest::VmpackResult result =
      Build({"--strict", "--password", "secret", dir_.File("movie.swf"), dir_.File("clean.ini"),
             projector_, hookLibrary_});

  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(Packed(1), "[Settings]\nAlignmentX=408382745\nPassword=1\n");
  EXPECT_EQ(vmtest::ReadBytes(dir_.File("clean.ini")), "[Settings]\nPassword=0\n");
  EXPECT_EQ(vmtest::Vmpack({"verify", out_}).ExitCode, 0);

  const vmtest::VmpackResult noSettings =
      Build({"--password", "secret", dir_.File("movie.swf")});
  EXPECT_EQ(noSettings.ExitCode, 1);
  EXPECT_EQ(noSettings.Err, "vmpack: --password needs a settings file (.ini) in the session, to "
                            "hold the password's check value\n");
}

}  // namespace
