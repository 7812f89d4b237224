#include "config/setup_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/user_choice_options.h"
#include "unit/config/fake_preference_store.h"

namespace {

struct Position {
  int32_t X, Y;
};

// The checkboxes where the template puts them: the left column at x 11, the right one at 146,
// rows 34, 45 and 56.
vm::RunnerSettings TemplateLayout(const std::string& flags) {
  vm::RunnerSettings s;
  vm::TOptionState* options[] = {&s.Interaction, &s.RightClickMenu, &s.KeyInteraction, &s.Sound, &s.Midi};
  const Position at[] = {{11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 45}};
  for (size_t i = 0; i < 5; ++i) {
    options[i]->UserChoice = flags[i] >= 'A' && flags[i] <= 'Z';
    options[i]->X = at[i].X;
    options[i]->Y = at[i].Y;
  }
  return s;
}

void ExpectAt(const vm::TOptionState& option, Position expected, const std::string& what) {
  EXPECT_EQ(option.X, expected.X) << what;
  EXPECT_EQ(option.Y, expected.Y) << what;
}

// Every combination of the five flags (capital: left to the user). Hidden checkboxes move too;
// what counts is that the visible ones fill each column from the top, and that the right column
// takes the left one's place when the left one is empty.
TEST(CloseOptionGaps, MovesTheVisibleCheckboxesUpAndLeftForEveryCombination) {
  struct Case {
    const char* flags;  // I R K S M
    Position i, r, k, s, m;
  } cases[] = {
      {"irksm", {11, 34}, {11, 34}, {11, 34}, {11, 34}, {11, 34}},
      {"irksM", {11, 34}, {11, 34}, {11, 34}, {11, 34}, {11, 34}},
      {"irkSm", {11, 34}, {11, 34}, {11, 34}, {11, 34}, {11, 45}},
      {"irkSM", {11, 34}, {11, 34}, {11, 34}, {11, 34}, {11, 45}},
      {"irKsm", {11, 34}, {11, 34}, {11, 34}, {146, 34}, {146, 34}},
      {"irKsM", {11, 34}, {11, 34}, {11, 34}, {146, 34}, {146, 34}},
      {"irKSm", {11, 34}, {11, 34}, {11, 34}, {146, 34}, {146, 45}},
      {"irKSM", {11, 34}, {11, 34}, {11, 34}, {146, 34}, {146, 45}},
      {"iRksm", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 34}},
      {"iRksM", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 34}},
      {"iRkSm", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 45}},
      {"iRkSM", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 45}},
      {"iRKsm", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 34}},
      {"iRKsM", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 34}},
      {"iRKSm", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 45}},
      {"iRKSM", {11, 34}, {11, 34}, {11, 45}, {146, 34}, {146, 45}},
      {"Irksm", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 34}},
      {"IrksM", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 34}},
      {"IrkSm", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 45}},
      {"IrkSM", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 45}},
      {"IrKsm", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 34}},
      {"IrKsM", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 34}},
      {"IrKSm", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 45}},
      {"IrKSM", {11, 34}, {11, 45}, {11, 45}, {146, 34}, {146, 45}},
      {"IRksm", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 34}},
      {"IRksM", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 34}},
      {"IRkSm", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 45}},
      {"IRkSM", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 45}},
      {"IRKsm", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 34}},
      {"IRKsM", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 34}},
      {"IRKSm", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 45}},
      {"IRKSM", {11, 34}, {11, 45}, {11, 56}, {146, 34}, {146, 45}},
  };
  for (const Case& c : cases) {
    vm::RunnerSettings s = TemplateLayout(c.flags);
    vm::CloseOptionGaps(s);
    const std::string flags = c.flags;
    ExpectAt(s.Interaction, c.i, flags + " Interaction");
    ExpectAt(s.RightClickMenu, c.r, flags + " RightClickMenu");
    ExpectAt(s.KeyInteraction, c.k, flags + " KeyInteraction");
    ExpectAt(s.Sound, c.s, flags + " Sound");
    ExpectAt(s.Midi, c.m, flags + " Midi");
  }
}

TEST(SetupCheckboxes, MapEachIdToItsOptionAndPreference) {
  struct Case {
    int id;
    vm::TOptionState vm::RunnerSettings::*field;
    const char* preference;
    bool inverted;
  } cases[] = {
      {10, &vm::RunnerSettings::Interaction, "MouseExit", true},
      {11, &vm::RunnerSettings::RightClickMenu, "DisplayRightClickMenu", false},
      {12, &vm::RunnerSettings::KeyInteraction, "AnyKeyExit", true},
      {13, &vm::RunnerSettings::Sound, "Mute", false},
      {14, &vm::RunnerSettings::Midi, "MidiMute", false},
  };
  for (const Case& c : cases) {
    const vm::SetupCheckbox* box = vm::SetupCheckboxFor(c.id);
    ASSERT_NE(box, nullptr) << c.id;
    EXPECT_TRUE(box->Field == c.field) << c.id;
    EXPECT_STREQ(box->Preference, c.preference) << c.id;
    EXPECT_EQ(box->PreferenceInverted, c.inverted) << c.id;
  }
  EXPECT_EQ(vm::SetupCheckboxFor(9), nullptr);
  EXPECT_EQ(vm::SetupCheckboxFor(15), nullptr);
}

TEST(SetupDialogTitle, FollowsTheScreenNameWithSetup) {
  EXPECT_EQ(vm::SetupDialogTitle("Demo Movie"), "Demo Movie - Setup");
  EXPECT_EQ(vm::SetupDialogTitle(""), " - Setup");
}

// The options as the settings pass leaves them: all left to the user, values from the store.
vm::RunnerSettings ReadFrom(const vmtest::FakePreferenceStore& store) {
  vm::RunnerSettings s;
  vm::PresetUserChoiceOptions(s);
  vm::OverlayPreferences(store, s);
  return s;
}

const char* const kSavedOrder[] = {"MouseExit", "AnyKeyExit", "Mute", "MidiMute", "DisplayRightClickMenu"};

TEST(SavePreferences, OpeningAndClosingWithNothingStoredIsNoChangeButWritesAllFive) {
  vmtest::FakePreferenceStore store;
  vm::RunnerSettings s = ReadFrom(store);
  store.Reads.clear();
  EXPECT_FALSE(vm::SavePreferences(store, s));
  EXPECT_EQ(store.Reads, std::vector<std::string>(std::begin(kSavedOrder), std::end(kSavedOrder)));
  EXPECT_EQ(store.Values, (std::map<std::string, std::string>{{"MouseExit", "1"},
                                                              {"AnyKeyExit", "0"},
                                                              {"Mute", "0"},
                                                              {"MidiMute", "0"},
                                                              {"DisplayRightClickMenu", "0"}}));
}

TEST(SavePreferences, WritesTheCheckedStatesAsZeroAndOne) {
  auto store = vmtest::FakePreferenceStore::With({});
  vm::RunnerSettings s = ReadFrom(store);
  s.Interaction.Value = true;
  s.RightClickMenu.Value = true;
  s.KeyInteraction.Value = false;
  s.Sound.Value = true;
  s.Midi.Value = true;
  EXPECT_TRUE(vm::SavePreferences(store, s));
  EXPECT_EQ(store.Values, (std::map<std::string, std::string>{{"MouseExit", "0"},
                                                              {"AnyKeyExit", "1"},
                                                              {"Mute", "1"},
                                                              {"MidiMute", "1"},
                                                              {"DisplayRightClickMenu", "1"}}));
}

TEST(SavePreferences, DetectsEachDifferenceFromTheStore) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> stored;
    void (*change)(vm::RunnerSettings&);
    bool changed;
  } cases[] = {
      {"stored values read back unchanged", {{"MouseExit", "0"}, {"Mute", "1"}}, [](vm::RunnerSettings&) {}, false},
      {"one checkbox clicked with nothing stored", {}, [](vm::RunnerSettings& s) { s.Midi.Value = true; }, true},
      {"mouse interaction turned on with nothing stored", {},
       [](vm::RunnerSettings& s) { s.Interaction.Value = true; }, true},
      {"a stored choice clicked back to the default", {{"AnyKeyExit", "1"}},
       [](vm::RunnerSettings& s) { s.KeyInteraction.Value = true; }, true},
      // A fixed option is saved with its fixed value, which the store may not hold.
      {"fixed option disagreeing with the store",
       {{"Mute", "0"}},
       [](vm::RunnerSettings& s) {
         s.Sound.UserChoice = false;
         s.Sound.Value = true;
       },
       true},
      {"fixed option agreeing with the store",
       {{"AnyKeyExit", "1"}},
       [](vm::RunnerSettings& s) {
         s.KeyInteraction.UserChoice = false;
         s.KeyInteraction.Value = false;
       },
       false},
      {"fixed option with nothing stored",
       {},
       [](vm::RunnerSettings& s) {
         s.Interaction.UserChoice = false;
         s.Interaction.Value = true;
       },
       false},
      {"a stored 2 reads as true", {{"DisplayRightClickMenu", "2"}}, [](vm::RunnerSettings&) {}, false},
      {"a non-numeric stored value counts as equal", {{"MidiMute", "yes"}}, [](vm::RunnerSettings&) {}, false},
  };
  for (const Case& c : cases) {
    auto store = vmtest::FakePreferenceStore::With(c.stored);
    vm::RunnerSettings s = ReadFrom(store);
    c.change(s);
    EXPECT_EQ(vm::SavePreferences(store, s), c.changed) << c.name;
  }
}

}  // namespace
