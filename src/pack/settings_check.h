#pragma once

#include <string>
#include <vector>

#include "config/runner_settings.h"

namespace vm::pack {

// One thing in a settings file that the Runner will read otherwise than its author probably
// meant. Line is 0 when the problem is a key that is missing.
struct SettingsWarning {
  int Line = 0;
  std::string Key;  // or "[Section]"
  std::string Message;
};

struct SettingsCheck {
  RunnerSettings Settings;  // as the Runner reads them, before the user's preferences
  std::vector<SettingsWarning> Warnings;
};

// Reads the text with the Runner's own settings reader and warns about unknown sections and
// keys (naming the nearest known one), keys outside any section or given twice, values that do
// not convert or that a boolean ignores, a password required without a check value, and
// FullScreen=1 with CustomSize=1, which keeps the window at its set size.
SettingsCheck CheckSettingsText(const std::string& text);

// "movie.ini:12: FullScren: unknown key, ..."
std::string WarningText(const std::string& file, const SettingsWarning& warning);

}  // namespace vm::pack
