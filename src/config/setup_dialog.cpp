#include "config/setup_dialog.h"

#include <algorithm>

#include "config/user_choice_options.h"

namespace vm {

const std::array<SetupCheckbox, 5> kSetupCheckboxes = {{
    {kMouseInteractionBox, &RunnerSettings::Interaction, "MouseExit", true},
    {kRightClickMenuBox, &RunnerSettings::RightClickMenu, "DisplayRightClickMenu", false},
    {12, &RunnerSettings::KeyInteraction, "AnyKeyExit", true},
    {13, &RunnerSettings::Sound, "Mute", false},
    {14, &RunnerSettings::Midi, "MidiMute", false},
}};

const SetupCheckbox* SetupCheckboxFor(int id) {
  auto found = std::find_if(kSetupCheckboxes.begin(), kSetupCheckboxes.end(),
                            [id](const SetupCheckbox& box) { return box.Id == id; });
  return found == kSetupCheckboxes.end() ? nullptr : &*found;
}

std::string SetupDialogTitle(const std::string& screenName) { return screenName + " - Setup"; }

void CloseOptionGaps(RunnerSettings& o) {
  TOptionState& i = o.Interaction;
  TOptionState& r = o.RightClickMenu;
  TOptionState& k = o.KeyInteraction;
  TOptionState& s = o.Sound;
  TOptionState& m = o.Midi;
  // An empty left column gives its place to the right one; the rules below then lift what is
  // under a fixed option, each on the positions the rules before it left.
  if (!i.UserChoice && !r.UserChoice && !k.UserChoice) {
    m.X = i.X;
    s.X = r.X;
  }
  if (!i.UserChoice) {
    k.Y = r.Y;
    r.Y = i.Y;
  }
  if (!r.UserChoice) k.Y = r.Y;
  if (!s.UserChoice) m.Y = s.Y;
}

bool SavePreferences(PreferenceStore& store, const RunnerSettings& options) {
  // "MouseExit", "AnyKeyExit", "Mute", "MidiMute", "DisplayRightClickMenu": read in this order,
  // then written in it.
  constexpr int kStoreOrder[] = {10, 12, 13, 14, 11};
  // A missing value of an option left to the user stands for the default that the settings pass
  // read in its place, so a click with nothing stored yet is a change; for a fixed option it
  // counts as equal, the fixed value having been in force all along.
  bool changed = false;
  for (int id : kStoreOrder) {
    const SetupCheckbox& box = *SetupCheckboxFor(id);
    const TOptionState& option = options.*box.Field;
    bool value = option.Value != box.PreferenceInverted;
    bool missing = option.UserChoice ? UserChoiceOptionFor(box.Field).PreferenceDefault : value;
    if (ReadBoolPreference(store, box.Preference, missing) != value) changed = true;
  }
  for (int id : kStoreOrder) {
    const SetupCheckbox& box = *SetupCheckboxFor(id);
    WriteBoolPreference(store, box.Preference, (options.*box.Field).Value != box.PreferenceInverted);
  }
  return changed;
}

}  // namespace vm
