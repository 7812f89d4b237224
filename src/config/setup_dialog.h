#pragma once

#include <array>
#include <string>

#include "config/preference_store.h"
#include "config/runner_settings.h"

namespace vm {

// One checkbox of the setup dialog and the option it edits.
struct SetupCheckbox {
  int Id;
  TOptionState RunnerSettings::*Field;
  const char* Preference;    // written when the dialog closes
  bool PreferenceInverted;   // the stored boolean is the option's value inverted
};

constexpr int kMouseInteractionBox = 10;
constexpr int kRightClickMenuBox = 11;

// Ids 10 to 14, top of the left column first.
extern const std::array<SetupCheckbox, 5> kSetupCheckboxes;

// The checkbox with that id; null for any other id.
const SetupCheckbox* SetupCheckboxFor(int id);

// "<screen name> - Setup".
std::string SetupDialogTitle(const std::string& screenName);

// Moves the checkboxes of the options left to the user (their X and Y, as the dialog's template
// placed them) up and to the left over the places of the options that the settings fixed, so
// that the visible ones leave no gaps.
void CloseOptionGaps(RunnerSettings& options);

// Writes the five preferences from the options' values, fixed ones included, and answers
// whether any of them differs from what the store held (a missing value counts as equal).
bool SavePreferences(PreferenceStore& store, const RunnerSettings& options);

}  // namespace vm
