#pragma once

#include <array>

#include "config/preference_store.h"
#include "config/runner_settings.h"

namespace vm {

// How one user-choice option reads: the settings file's 0 or 1 fixes its value, any other number
// leaves it to the user, whose stored preference then gives the value.
struct UserChoiceOption {
  const char* Key;  // in the settings file
  TOptionState RunnerSettings::*Field;
  bool ValueForZero;  // the value that 0 fixes; 1 fixes the opposite
  const char* Preference;
  bool PreferenceInverted;  // Value is the stored boolean's inverse
  bool PreferenceDefault;   // the stored boolean when nothing is stored
};

// In the order in which the preferences are overlaid.
extern const std::array<UserChoiceOption, 5> kUserChoiceOptions;

const UserChoiceOption& UserChoiceOptionFor(TOptionState RunnerSettings::*field);

// Before the settings file is read: every option starts as a user choice; the right-click menu's
// checkbox starts disabled.
void PresetUserChoiceOptions(RunnerSettings& settings);

// Gives each option left to the user its value from the store, then enables the right-click
// menu's checkbox exactly when mouse interaction is on. Options the file fixed read nothing.
void OverlayPreferences(const PreferenceStore& store, RunnerSettings& settings);

}  // namespace vm
