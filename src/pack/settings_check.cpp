#include "pack/settings_check.h"

#include <algorithm>
#include <map>
#include <optional>

#include "config/ascii_case.h"
#include "config/ini_file.h"
#include "config/settings_reader.h"

namespace vm::pack {
namespace {

constexpr char kPasswordKey[] = "Password";
constexpr char kCheckValueKey[] = "AlignmentX";
constexpr char kCustomSizeKey[] = "CustomSize";
// Farther than this from every known name, a name gets no suggestion.
constexpr size_t kMaxSuggestionDistance = 3;

// The optimal string alignment distance: insertions, deletions, substitutions, and swaps of two
// neighbouring letters, the commonest slip in typing a key ("Widht").
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                          d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

std::optional<std::string> Nearest(const std::string& name, const std::vector<std::string>& known) {
  std::optional<std::string> best;
  size_t bestDistance = kMaxSuggestionDistance + 1;
  for (const std::string& candidate : known) {
    const size_t distance = EditDistance(LowerAscii(name), LowerAscii(candidate));
    if (distance < bestDistance && distance < std::max<size_t>(candidate.size() / 2, 1)) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::string Suggestion(const std::optional<std::string>& nearest, const std::string& open = "",
                       const std::string& close = "") {
  return nearest ? "; did you mean " + open + *nearest + close + "?" : "";
}

// A line starting with ";" or "#" is a comment to the author; the reader finds no key in it
// either way, since no key of the Runner starts so.
bool IsComment(const std::string& key) { return !key.empty() && (key[0] == ';' || key[0] == '#'); }

struct KnownKeys {
  std::vector<std::string> Sections;
  std::map<std::string, std::vector<std::string>> KeysOf;  // by lower-case section
  std::map<std::string, std::string> SectionOfKey;         // lower-case key to its section
};

KnownKeys Vocabulary(const std::vector<SettingsKeyRead>& reads) {
  KnownKeys known;
  for (const SettingsKeyRead& read : reads) {
    auto& keys = known.KeysOf[LowerAscii(read.Section)];
    if (keys.empty()) known.Sections.push_back(read.Section);
    keys.push_back(read.Key);
    known.SectionOfKey[LowerAscii(read.Key)] = read.Section;
  }
  return known;
}

std::string ValueText(const SettingsKeyRead& read) { return read.Key + "=" + *read.Text; }

}  // namespace

SettingsCheck CheckSettingsText(const std::string& text) {
  const IniFile ini(text);
  SettingsCheck check;
  const std::vector<SettingsKeyRead> reads = ExplainSettingsKeys(ini, "", check.Settings);
  const KnownKeys known = Vocabulary(reads);
  auto warn = [&](int line, const std::string& key, const std::string& message) {
    check.Warnings.push_back({line, key, message});
  };

  for (const IniFile::SectionLine& section : ini.SectionLines()) {
    if (known.KeysOf.count(LowerAscii(section.Name)) == 0)
      warn(section.Line, "[" + section.Name + "]",
           "unknown section, which the Runner does not read" +
               Suggestion(Nearest(section.Name, known.Sections), "[", "]"));
  }

  // Where the Runner takes each key from: the first line that sets it in its section.
  std::map<std::pair<std::string, std::string>, int> firstLine;
  for (const IniFile::KeyLine& line : ini.KeyLines()) {
    if (IsComment(line.Key)) continue;
    if (!line.InSection) {
      warn(line.Line, line.Key, "outside any section, so the Runner ignores it");
      continue;
    }
    const std::string section = LowerAscii(line.Section);
    auto keys = known.KeysOf.find(section);
    if (keys == known.KeysOf.end()) continue;  // the section is reported already
    const std::string key = LowerAscii(line.Key);
    const bool isKnown = std::any_of(keys->second.begin(), keys->second.end(),
                                     [&](const std::string& k) { return LowerAscii(k) == key; });
    if (!isKnown) {
      auto elsewhere = known.SectionOfKey.find(key);
      warn(line.Line, line.Key,
           elsewhere != known.SectionOfKey.end()
               ? "the Runner reads this key only in [" + elsewhere->second + "]"
               : "unknown key, which the Runner ignores" +
                     Suggestion(Nearest(line.Key, keys->second)));
      continue;
    }
    auto [first, isFirst] = firstLine.emplace(std::make_pair(section, key), line.Line);
    if (!isFirst)
      warn(line.Line, line.Key,
           "given again; the Runner takes the value on line " + std::to_string(first->second));
  }

  auto lineOf = [&](const SettingsKeyRead& read) {
    auto found = firstLine.find({LowerAscii(read.Section), LowerAscii(read.Key)});
    return found == firstLine.end() ? 0 : found->second;
  };
  const SettingsKeyRead* password = nullptr;
  const SettingsKeyRead* checkValue = nullptr;
  const SettingsKeyRead* customSize = nullptr;
  for (const SettingsKeyRead& read : reads) {
    if (read.Key == kPasswordKey) password = &read;
    if (read.Key == kCheckValueKey) checkValue = &read;
    if (read.Key == kCustomSizeKey) customSize = &read;
    if (read.Outcome == SettingOutcome::NotANumber)
      warn(lineOf(read), read.Key,
           ValueText(read) + " is not a number, so the Runner takes the default " +
               read.DefaultText);
    if (read.Outcome == SettingOutcome::NeitherZeroNorOne)
      warn(lineOf(read), read.Key,
           ValueText(read) + " is neither 0 nor 1, so the Runner ignores it and the option " +
               "stays off");
  }
  if (check.Settings.PasswordRequired && checkValue != nullptr && !checkValue->Text) {
    const std::string how = password != nullptr && password->Text
                                ? ValueText(*password) + " asks for a password"
                                : "without Password the Runner asks for a password";
    warn(password != nullptr ? lineOf(*password) : 0, kPasswordKey,
         how + ", but no " + kCheckValueKey +
             " holds its check value, so only a password whose check value is 0 opens the "
             "movie; use vmpack build --password TEXT, or Password=0");
  }
  if (check.Settings.FullScreen && check.Settings.CustomSize && customSize != nullptr)
    warn(lineOf(*customSize), kCustomSizeKey,
         "FullScreen=1 with CustomSize=1 is not the full-screen mode: the Runner maximises a "
         "window with a title and border, or sizes one without to the screen, and keeps it on top; "
         "use CustomSize=0 for full screen");
  std::stable_sort(check.Warnings.begin(), check.Warnings.end(),
                   [](const SettingsWarning& a, const SettingsWarning& b) { return a.Line < b.Line; });
  return check;
}

std::string WarningText(const std::string& file, const SettingsWarning& warning) {
  return file + (warning.Line > 0 ? ":" + std::to_string(warning.Line) : "") + ": " +
         warning.Key + ": " + warning.Message;
}

}  // namespace vm::pack
