#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/ini_file.h"
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

enum class SettingKind { String, Integer, Boolean, UserChoice };

enum class SettingOutcome {
  Missing,            // the default was taken
  Taken,              // the text was used
  NotANumber,         // the text does not convert, so the default was taken
  NeitherZeroNorOne,  // a boolean's number other than 0 and 1: the field was left as it was
};

// What the reader made of one key.
struct SettingsKeyRead {
  std::string Section;
  std::string Key;
  SettingKind Kind = SettingKind::String;
  std::string DefaultText;
  std::optional<std::string> Text;  // as in the file
  SettingOutcome Outcome = SettingOutcome::Missing;
};

// Reads the keys of ini into settings exactly as ReadSettingsKeys does, without the preferences,
// and tells for every key the reader knows, in the order of reading, what it made of it. For
// tools that check a settings file before it ships.
std::vector<SettingsKeyRead> ExplainSettingsKeys(const IniFile& ini, const std::string& programName,
                                                 RunnerSettings& settings);

}  // namespace vm
