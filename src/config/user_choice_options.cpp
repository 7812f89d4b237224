#include "config/user_choice_options.h"

#include <algorithm>

#include "support/trace.h"

namespace vm {

const std::array<UserChoiceOption, 5> kUserChoiceOptions = {{
    {"Interaction", &RunnerSettings::Interaction, false, "MouseExit", true, true},
    // Sound is fixed the other way round: 0 mutes it.
    {"Sound", &RunnerSettings::Sound, true, "Mute", false, false},
    {"Midi", &RunnerSettings::Midi, false, "MidiMute", false, false},
    {"RightClickMenu", &RunnerSettings::RightClickMenu, false, "DisplayRightClickMenu", false, false},
    {"KeyInteraction", &RunnerSettings::KeyInteraction, false, "AnyKeyExit", true, false},
}};

const UserChoiceOption& UserChoiceOptionFor(TOptionState RunnerSettings::*field) {
  return *std::find_if(kUserChoiceOptions.begin(), kUserChoiceOptions.end(),
                       [&](const UserChoiceOption& o) { return o.Field == field; });
}

void PresetUserChoiceOptions(RunnerSettings& settings) {
  for (const UserChoiceOption& option : kUserChoiceOptions) {
    TOptionState& state = settings.*option.Field;
    state.UserChoice = true;
    state.Enabled = true;
  }
  // Changeable only while mouse interaction is on; OverlayPreferences settles it.
  settings.RightClickMenu.Enabled = false;
}

void OverlayPreferences(const PreferenceStore& store, RunnerSettings& settings) {
  for (const UserChoiceOption& option : kUserChoiceOptions) {
    TOptionState& state = settings.*option.Field;
    if (!state.UserChoice) continue;
    bool stored = ReadBoolPreference(store, option.Preference, option.PreferenceDefault);
    state.Value = stored != option.PreferenceInverted;
    Trace("settings: ", option.Key, " = ", (state.Value ? "true" : "false"), " from the preferences");
  }
  settings.RightClickMenu.Enabled = settings.Interaction.Value;
}

}  // namespace vm
