#include "config/settings_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "config/user_choice_options.h"
#include "unit/config/fake_preference_store.h"
#include "unit/test_files.h"

namespace {

using vm::RunnerSettings;
using vm::TOptionState;
using vmtest::FakePreferenceStore;

class SettingsReader : public ::testing::Test {
 protected:
  RunnerSettings Read(const std::string& text, const FakePreferenceStore& store = {}) {
    RunnerSettings settings;
    ReadInto(text, store, settings);
    return settings;
  }
  void ReadInto(const std::string& text, const FakePreferenceStore& store, RunnerSettings& settings) {
    vmtest::WriteBytes(path_, text);
    vm::ReadSettingsKeys(path_, "Demo", store, settings);
  }

  vmtest::TempDir dir_;
  const std::string path_ = dir_.File("movie.ini");
};

void ExpectDefaults(const RunnerSettings& s) {
  EXPECT_EQ(s.BeforeShowCommand, "");
  EXPECT_EQ(s.ScreenName, "Demo");
  EXPECT_TRUE(s.PasswordRequired);
  EXPECT_EQ(s.PasswordCheckValue, 0);
  EXPECT_EQ(s.PasswordLabel, "Please enter password:");
  EXPECT_EQ(s.WrongPasswordText, "Wrong password!");
  EXPECT_FALSE(s.HideCursor);
  EXPECT_EQ(s.CurrentDir, 0);
  EXPECT_TRUE(s.DisableW95Key);
  EXPECT_FALSE(s.DisableClickForeground);
  EXPECT_TRUE(s.DisableScreenSaver);
  EXPECT_FALSE(s.FullScreen);
  EXPECT_FALSE(s.CustomSize);
  EXPECT_TRUE(s.MaintainRatio);
  EXPECT_TRUE(s.AllowResize);
  EXPECT_TRUE(s.ExitOnESC);
  EXPECT_FALSE(s.AlwaysOnTop);
  EXPECT_FALSE(s.NoTitle);
  EXPECT_FALSE(s.NoBorder);
  EXPECT_FALSE(s.Draggable);
  EXPECT_FALSE(s.SetupMenu);
  EXPECT_TRUE(s.CloseMenu);
  EXPECT_FALSE(s.MinimizeMenu);
  EXPECT_EQ(s.Left, 0);
  EXPECT_EQ(s.Top, 0);
  EXPECT_EQ(s.Width, 640);
  EXPECT_EQ(s.Height, 480);
  EXPECT_EQ(s.AlignmentV, 2);
  EXPECT_EQ(s.AlignmentH, 2);
  EXPECT_EQ(s.MidiLoopTimes, 0);
  EXPECT_FALSE(s.MidiLoop);
  for (const vm::UserChoiceOption& option : vm::kUserChoiceOptions)
    EXPECT_TRUE((s.*option.Field).UserChoice) << option.Key;
}

TEST_F(SettingsReader, MissingFileSectionsOrKeysGiveEveryDefault) {
  for (const char* text : {"", "[Settings]\n", "[Other]\nWidth=800\nFullScreen=1\n",
                           "; no sections at all\nWidth=800\n"}) {
    SCOPED_TRACE(text);
    ExpectDefaults(Read(text));
  }
  RunnerSettings settings;
  vm::ReadSettingsKeys(dir_.File("missing.ini"), "Demo", FakePreferenceStore(), settings);
  ExpectDefaults(settings);
}

TEST_F(SettingsReader, EachKeyLandsInItsOwnField) {
  RunnerSettings s = Read(
      "[EngineCommands]\n"
      "BeforeShow=hooks.dll a b\n"
      "Width=111\n"
      "[Settings]\n"
      "BeforeShow=wrong.exe\n"
      "Vardel Screen Name=My Movie\n"
      "Password=0\n"
      "AlignmentX=123456\n"
      "PWEditLabel=Code:\n"
      "PWrong=Nope\n"
      "HideCursor=1\n"
      "CurrentDir=2\n"
      "DisableW95Key=0\nDisableClickForeground=1\nDisableScreenSaver=0\nFullScreen=1\n"
      "CustomSize=1\nMaintainRatio=0\nAllowResize=0\nExitOnESC=0\nAlwaysOnTop=1\nNoTitle=1\n"
      "NoBorder=1\nDraggable=1\nSetupMenu=1\nCloseMenu=0\nMinimizeMenu=1\n"
      "Left=11\nTop=12\nWidth=801\nHeight=602\nAlignmentV=3\nAlignmentH=1\nMidiLoopTimes=5\n"
      "Midi=1\nMidiLoop=1\nSound=1\nInteraction=1\nRightClickMenu=1\nKeyInteraction=0\n");
  EXPECT_EQ(s.BeforeShowCommand, "hooks.dll a b");
  EXPECT_EQ(s.ScreenName, "My Movie");
  EXPECT_FALSE(s.PasswordRequired);
  EXPECT_EQ(s.PasswordCheckValue, 123456);
  EXPECT_EQ(s.PasswordLabel, "Code:");
  EXPECT_EQ(s.WrongPasswordText, "Nope");
  EXPECT_TRUE(s.HideCursor);
  EXPECT_EQ(s.CurrentDir, 2);
  EXPECT_FALSE(s.DisableW95Key);
  EXPECT_TRUE(s.DisableClickForeground);
  EXPECT_FALSE(s.DisableScreenSaver);
  EXPECT_TRUE(s.FullScreen);
  EXPECT_TRUE(s.CustomSize);
  EXPECT_FALSE(s.MaintainRatio);
  EXPECT_FALSE(s.AllowResize);
  EXPECT_FALSE(s.ExitOnESC);
  EXPECT_TRUE(s.AlwaysOnTop);
  EXPECT_TRUE(s.NoTitle);
  EXPECT_TRUE(s.NoBorder);
  EXPECT_TRUE(s.Draggable);
  EXPECT_TRUE(s.SetupMenu);
  EXPECT_FALSE(s.CloseMenu);
  EXPECT_TRUE(s.MinimizeMenu);
  EXPECT_EQ(s.Left, 11);
  EXPECT_EQ(s.Top, 12);
  EXPECT_EQ(s.Width, 801);
  EXPECT_EQ(s.Height, 602);
  EXPECT_EQ(s.AlignmentV, 3);
  EXPECT_EQ(s.AlignmentH, 1);
  EXPECT_EQ(s.MidiLoopTimes, 5);
  EXPECT_TRUE(s.MidiLoop);
  EXPECT_TRUE(s.Midi.Value);
  EXPECT_FALSE(s.Sound.Value);
  EXPECT_TRUE(s.Interaction.Value);
  EXPECT_TRUE(s.RightClickMenu.Value);
  EXPECT_FALSE(s.KeyInteraction.Value);
}

TEST_F(SettingsReader, IntegerKeysFallBackToTheirDefaultWhenTheTextDoesNotConvert) {
  struct Case {
    const char* line;
    int32_t RunnerSettings::*field;
    int32_t value;
  } cases[] = {
      {"Width=0x320", &RunnerSettings::Width, 800},
      {"Width=0X320", &RunnerSettings::Width, 800},
      {"Width=$320", &RunnerSettings::Width, 800},
      {"Width=yes", &RunnerSettings::Width, 640},
      {"Width=", &RunnerSettings::Width, 640},
      {"Width=800 px", &RunnerSettings::Width, 640},
      {"Width=\" 800\"", &RunnerSettings::Width, 800},
      {"Width=\"800 \"", &RunnerSettings::Width, 640},
      {"Left=-20", &RunnerSettings::Left, -20},
      {"AlignmentV=9", &RunnerSettings::AlignmentV, 9},
      {"AlignmentH=centre", &RunnerSettings::AlignmentH, 2},
      {"MidiLoopTimes=-1", &RunnerSettings::MidiLoopTimes, -1},
      {"AlignmentX=$FFFFFFFF", &RunnerSettings::PasswordCheckValue, -1},
      {"AlignmentX=4294967295", &RunnerSettings::PasswordCheckValue, 0},
      {"CurrentDir=1", &RunnerSettings::CurrentDir, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(std::string("[Settings]\n") + c.line).*c.field, c.value) << c.line;
}

TEST_F(SettingsReader, BooleansTakeZeroAndOneAndLeaveTheFieldForOtherNumbers) {
  struct Case {
    const char* line;
    bool RunnerSettings::*field;
    bool before;
    bool after;
  } cases[] = {
      {"FullScreen=1", &RunnerSettings::FullScreen, false, true},
      {"FullScreen=0", &RunnerSettings::FullScreen, true, false},
      {"FullScreen=$1", &RunnerSettings::FullScreen, false, true},
      {"FullScreen=2", &RunnerSettings::FullScreen, false, false},
      {"FullScreen=2", &RunnerSettings::FullScreen, true, true},
      {"FullScreen=-1", &RunnerSettings::FullScreen, false, false},
      {"FullScreen=yes", &RunnerSettings::FullScreen, true, false},
      // A default of 1 applies only to a missing or non-numeric value, not to other numbers.
      {"DisableW95Key=2", &RunnerSettings::DisableW95Key, false, false},
      {"DisableW95Key=yes", &RunnerSettings::DisableW95Key, false, true},
      {"DisableW95Key=0", &RunnerSettings::DisableW95Key, true, false},
      {"MidiLoop=2", &RunnerSettings::MidiLoop, false, false},
      {"CloseMenu=", &RunnerSettings::CloseMenu, false, true},
  };
  for (const auto& c : cases) {
    RunnerSettings settings;
    settings.*c.field = c.before;
    ReadInto(std::string("[Settings]\n") + c.line, {}, settings);
    EXPECT_EQ(settings.*c.field, c.after) << c.line << " over " << c.before;
  }
}

TEST_F(SettingsReader, PasswordIsRequiredExactlyForOneAndHideCursorForAnyNumberButZero) {
  struct Case {
    const char* line;
    bool passwordRequired;
    bool hideCursor;
  } cases[] = {
      {"", true, false},
      {"Password=1\nHideCursor=1", true, true},
      {"Password=0\nHideCursor=0", false, false},
      {"Password=2\nHideCursor=2", false, true},
      {"Password=-1\nHideCursor=-1", false, true},
      {"Password=yes\nHideCursor=yes", true, false},
      {"Password=0x1\nHideCursor=$0", true, false},
  };
  for (const auto& c : cases) {
    RunnerSettings s = Read(std::string("[Settings]\n") + c.line);
    EXPECT_EQ(s.PasswordRequired, c.passwordRequired) << c.line;
    EXPECT_EQ(s.HideCursor, c.hideCursor) << c.line;
  }
}

TEST_F(SettingsReader, StringsAreTakenAsReadAndDefaultOnlyWhenMissing) {
  RunnerSettings s = Read("[Settings]\nVardel Screen Name=\nPWrong=\"Try again\"\nPWEditLabel=" +
                          std::string(2000, 'x'));
  EXPECT_EQ(s.ScreenName, "");
  EXPECT_EQ(s.WrongPasswordText, "Try again");
  EXPECT_EQ(s.PasswordLabel, std::string(1023, 'x'));
}

// The file's 0 and 1 fix an option, each key with its own sense; anything else leaves it to the
// user, whose stored preference (or its default) gives the value.
TEST_F(SettingsReader, UserChoiceOptionsFollowTheirOwnSense) {
  struct Case {
    const char* line;
    std::map<std::string, std::string> stored;
    TOptionState RunnerSettings::*field;
    bool userChoice;
    bool value;
  } cases[] = {
      {"Sound=0", {}, &RunnerSettings::Sound, false, true},
      {"Sound=1", {{"Mute", "1"}}, &RunnerSettings::Sound, false, false},
      {"Sound=2", {}, &RunnerSettings::Sound, true, false},
      {"", {}, &RunnerSettings::Sound, true, false},
      {"Sound=yes", {{"Mute", "1"}}, &RunnerSettings::Sound, true, true},
      {"Midi=0", {{"MidiMute", "1"}}, &RunnerSettings::Midi, false, false},
      {"Midi=1", {}, &RunnerSettings::Midi, false, true},
      {"Midi=-1", {}, &RunnerSettings::Midi, true, false},
      {"", {{"MidiMute", "1"}}, &RunnerSettings::Midi, true, true},
      {"Interaction=0", {}, &RunnerSettings::Interaction, false, false},
      {"Interaction=1", {{"MouseExit", "1"}}, &RunnerSettings::Interaction, false, true},
      {"", {}, &RunnerSettings::Interaction, true, false},
      {"Interaction=7", {{"MouseExit", "0"}}, &RunnerSettings::Interaction, true, true},
      {"", {{"MouseExit", "no"}}, &RunnerSettings::Interaction, true, false},
      {"RightClickMenu=0", {{"DisplayRightClickMenu", "1"}}, &RunnerSettings::RightClickMenu, false, false},
      {"RightClickMenu=1", {}, &RunnerSettings::RightClickMenu, false, true},
      {"", {}, &RunnerSettings::RightClickMenu, true, false},
      {"", {{"DisplayRightClickMenu", "1"}}, &RunnerSettings::RightClickMenu, true, true},
      {"KeyInteraction=0", {}, &RunnerSettings::KeyInteraction, false, false},
      {"KeyInteraction=1", {{"AnyKeyExit", "1"}}, &RunnerSettings::KeyInteraction, false, true},
      {"", {}, &RunnerSettings::KeyInteraction, true, true},
      {"", {{"AnyKeyExit", "1"}}, &RunnerSettings::KeyInteraction, true, false},
  };
  for (const auto& c : cases) {
    FakePreferenceStore store = FakePreferenceStore::With(c.stored);
    TOptionState option = Read(std::string("[Settings]\n") + c.line, store).*c.field;
    const char* preference = vm::UserChoiceOptionFor(c.field).Preference;
    SCOPED_TRACE(std::string(c.line) + " with " + (c.stored.empty() ? "nothing" : c.stored.begin()->first) +
                 " stored");
    EXPECT_EQ(option.UserChoice, c.userChoice);
    EXPECT_EQ(option.Value, c.value);
    // A fixed option does not look at the store.
    EXPECT_EQ(std::count(store.Reads.begin(), store.Reads.end(), preference), c.userChoice ? 1 : 0);
  }
}

TEST_F(SettingsReader, TheRightClickMenuCheckboxIsEnabledOnlyWithMouseInteraction) {
  struct Case {
    const char* line;
    std::map<std::string, std::string> stored;
    bool enabled;
  } cases[] = {
      {"Interaction=1", {}, true},
      {"Interaction=0", {}, false},
      {"", {}, false},
      {"", {{"MouseExit", "0"}}, true},
  };
  for (const auto& c : cases) {
    RunnerSettings s = Read(std::string("[Settings]\n") + c.line, FakePreferenceStore::With(c.stored));
    EXPECT_EQ(s.RightClickMenu.Enabled, c.enabled) << c.line;
    for (auto field : {&RunnerSettings::Interaction, &RunnerSettings::Sound, &RunnerSettings::Midi,
                       &RunnerSettings::KeyInteraction})
      EXPECT_TRUE((s.*field).Enabled) << vm::UserChoiceOptionFor(field).Key;
  }
}

// A session without a settings file: nothing is read, the preferences included.
TEST(OverlayPreferences, OnAFreshRecordReadsNothingAndLeavesEveryOptionOff) {
  FakePreferenceStore store = FakePreferenceStore::With({{"MouseExit", "0"}, {"Mute", "1"}, {"MidiMute", "1"},
                             {"DisplayRightClickMenu", "1"}, {"AnyKeyExit", "0"}});
  RunnerSettings settings;
  vm::OverlayPreferences(store, settings);
  EXPECT_TRUE(store.Reads.empty());
  for (const vm::UserChoiceOption& option : vm::kUserChoiceOptions) {
    const TOptionState& state = settings.*option.Field;
    EXPECT_FALSE(state.UserChoice || state.Enabled || state.Value) << option.Key;
  }
}

class SettingsTrace : public SettingsReader {
 protected:
  SettingsTrace() { SetTraceFile(trace_.c_str()); }
  ~SettingsTrace() override { SetTraceFile(""); }

  static void SetTraceFile(const char* path) {
#ifdef _WIN32
    _putenv_s("VARDEL_TRACE", path);
#else
    setenv("VARDEL_TRACE", path, 1);
#endif
  }

  const std::string trace_ = dir_.File("trace.txt");
};

TEST_F(SettingsTrace, TellsWhereEachValueCameFrom) {
  Read("[Settings]\nWidth=0x320\nFullScreen=yes\nNoTitle=2\nSound=2\n",
       FakePreferenceStore::With({{"Mute", "1"}}));
  const std::string trace = vmtest::ReadBytes(trace_);
  for (const char* line : {"settings: Width = 800 from the file (\"0x320\")\n",
                           "settings: Height = 480 by default (not in the file)\n",
                           "settings: FullScreen = 0 by default (\"yes\" is not a number)\n",
                           "settings: NoTitle left false (2 is neither 0 nor 1)\n",
                           "settings: Vardel Screen Name = \"Demo\" by default\n",
                           "settings: Sound left to the user (preference Mute)\n",
                           "preferences: Mute = \"1\" from the store: true\n",
                           "preferences: MouseExit not stored, default true\n",
                           "settings: Sound = true from the preferences\n"})
    EXPECT_NE(trace.find(line), std::string::npos) << line << "in\n" << trace;
}

}  // namespace
