#pragma once

#include <string>

#include "config/preference_store.h"
#include "config/runner_settings.h"

namespace vm {

// The settings pass of start-up and of the setup dialog. The caller extracts the settings file
// into TempBaseDirectory(preferences) and, when one was found, calls ReadSettingsKeys on it and
// deletes it afterwards, also when this raises; when none was found, or the extraction raised,
// it calls OverlayPreferences (user_choice_options.h) instead, before passing the failure on.

// Presets the user-choice options, reads every key of the settings file at settingsFilePath into
// settings (a missing or unreadable file, section or key, or a number that does not convert, gives
// the key's default; programName is the default screen name), then overlays the preferences.
void ReadSettingsKeys(const std::string& settingsFilePath, const std::string& programName,
                      const PreferenceStore& preferences, RunnerSettings& settings);

}  // namespace vm
