#include "config/settings_reader.h"

#include "config/ini_file.h"
#include "config/settings_integer.h"
#include "config/user_choice_options.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kEngineCommandsSection[] = "EngineCommands";
constexpr char kSettingsSection[] = "Settings";

constexpr int32_t kPasswordOn = 1;
constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;
constexpr int32_t kAlignCentred = 2;
constexpr int32_t kLeftToUser = 2;
constexpr char kDefaultPasswordLabel[] = "Please enter password:";
constexpr char kDefaultWrongPasswordText[] = "Wrong password!";

const char* BoolText(bool value) { return value ? "true" : "false"; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Reads keys by their kind and traces where each value came from; tells the report, when there
// is one, what it made of each key.
class KeyReader {
 public:
  KeyReader(const IniFile& ini, std::vector<SettingsKeyRead>* report)
      : ini_(ini), report_(report) {}

  std::string String(const char* section, const char* key, const std::string& defaultValue) const {
    std::optional<std::string> text = ini_.Read(section, key);
    Trace("settings: ", key, " = ", Quoted(text ? *text : defaultValue), (text ? " from the file" : " by default"));
    Note(section, key, SettingKind::String, defaultValue, text,
         text ? SettingOutcome::Taken : SettingOutcome::Missing);
    return text ? *text : defaultValue;
  }

  int32_t Integer(const char* key, int32_t defaultValue) const {
    std::optional<std::string> text;
    const int32_t value = IntegerValue(key, defaultValue, text);
    Note(kSettingsSection, key, SettingKind::Integer, std::to_string(defaultValue), text,
         OutcomeOf(text));
    return value;
  }

  // 0 and 1 set the field; any other number leaves it as it was.
  void Boolean(const char* key, bool defaultValue, bool& field) const {
    std::optional<std::string> text;
    int32_t number = IntegerValue(key, defaultValue ? 1 : 0, text);
    const bool set = number == 0 || number == 1;
    Note(kSettingsSection, key, SettingKind::Boolean, defaultValue ? "1" : "0", text,
         set ? OutcomeOf(text) : SettingOutcome::NeitherZeroNorOne);
    if (set) {
      field = number == 1;
      return;
    }
    Trace("settings: ", key, " left ", BoolText(field), " (", number, " is neither 0 nor 1)");
  }

  void UserChoice(TOptionState RunnerSettings::*field, RunnerSettings& settings) const {
    const UserChoiceOption& option = UserChoiceOptionFor(field);
    TOptionState& state = settings.*field;
    std::optional<std::string> text;
    int32_t number = IntegerValue(option.Key, kLeftToUser, text);
    Note(kSettingsSection, option.Key, SettingKind::UserChoice, std::to_string(kLeftToUser), text,
         OutcomeOf(text));
    if (number == 0 || number == 1) {
      state.Value = (number == 0) == option.ValueForZero;
      state.UserChoice = false;
      Trace("settings: ", option.Key, " fixed to ", BoolText(state.Value));
    } else {
      state.UserChoice = true;
      Trace("settings: ", option.Key, " left to the user (preference ", option.Preference, ")");
    }
  }

 private:
  int32_t IntegerValue(const char* key, int32_t defaultValue, std::optional<std::string>& text) const {
    text = ini_.Read(kSettingsSection, key);
    std::optional<int32_t> number = text ? ParseSettingsInteger(*text) : std::nullopt;
    if (number) {
      Trace("settings: ", key, " = ", *number, " from the file (", Quoted(*text), ")");
      return *number;
    }
    Trace("settings: ", key, " = ", defaultValue, " by default (",
          (text ? Quoted(*text) + " is not a number" : std::string("not in the file")), ")");
    return defaultValue;
  }

  static SettingOutcome OutcomeOf(const std::optional<std::string>& text) {
    if (!text) return SettingOutcome::Missing;
    return ParseSettingsInteger(*text) ? SettingOutcome::Taken : SettingOutcome::NotANumber;
  }

  void Note(const char* section, const char* key, SettingKind kind, const std::string& defaultText,
            const std::optional<std::string>& text, SettingOutcome outcome) const {
    if (report_ != nullptr) report_->push_back({section, key, kind, defaultText, text, outcome});
  }

  const IniFile& ini_;
  std::vector<SettingsKeyRead>* report_;
};

// In the order of the settings file's documentation, which is also the order of reading.
void ReadKeys(const IniFile& ini, const std::string& programName, RunnerSettings& s,
              std::vector<SettingsKeyRead>* report) {
  const KeyReader read(ini, report);
  s.BeforeShowCommand = read.String(kEngineCommandsSection, "BeforeShow", "");
  s.ScreenName = read.String(kSettingsSection, "Vardel Screen Name", programName);
  s.PasswordRequired = read.Integer("Password", kPasswordOn) == kPasswordOn;
  s.PasswordCheckValue = read.Integer("AlignmentX", 0);
  s.PasswordLabel = read.String(kSettingsSection, "PWEditLabel", kDefaultPasswordLabel);
  s.WrongPasswordText = read.String(kSettingsSection, "PWrong", kDefaultWrongPasswordText);
  s.HideCursor = read.Integer("HideCursor", 0) != 0;
  s.CurrentDir = read.Integer("CurrentDir", 0);
  read.Boolean("DisableW95Key", true, s.DisableW95Key);
  read.Boolean("DisableClickForeground", false, s.DisableClickForeground);
  read.Boolean("DisableScreenSaver", true, s.DisableScreenSaver);
  read.Boolean("FullScreen", false, s.FullScreen);
  read.Boolean("CustomSize", false, s.CustomSize);
  read.Boolean("MaintainRatio", true, s.MaintainRatio);
  read.Boolean("AllowResize", true, s.AllowResize);
  read.Boolean("ExitOnESC", true, s.ExitOnESC);
  read.Boolean("AlwaysOnTop", false, s.AlwaysOnTop);
  read.Boolean("NoTitle", false, s.NoTitle);
  read.Boolean("NoBorder", false, s.NoBorder);
  read.Boolean("Draggable", false, s.Draggable);
  read.Boolean("SetupMenu", false, s.SetupMenu);
  read.Boolean("CloseMenu", true, s.CloseMenu);
  read.Boolean("MinimizeMenu", false, s.MinimizeMenu);
  s.Left = read.Integer("Left", 0);
  s.Top = read.Integer("Top", 0);
  s.Width = read.Integer("Width", kDefaultWidth);
  s.Height = read.Integer("Height", kDefaultHeight);
  s.AlignmentV = read.Integer("AlignmentV", kAlignCentred);
  s.AlignmentH = read.Integer("AlignmentH", kAlignCentred);
  s.MidiLoopTimes = read.Integer("MidiLoopTimes", 0);
  read.UserChoice(&RunnerSettings::Midi, s);
  read.Boolean("MidiLoop", false, s.MidiLoop);
  read.UserChoice(&RunnerSettings::Sound, s);
  read.UserChoice(&RunnerSettings::Interaction, s);
  read.UserChoice(&RunnerSettings::RightClickMenu, s);
  read.UserChoice(&RunnerSettings::KeyInteraction, s);
}

}  // namespace

void ReadSettingsKeys(const std::string& settingsFilePath, const std::string& programName,
                      const PreferenceStore& preferences, RunnerSettings& settings) {
  Trace("settings: reading ", settingsFilePath);
  PresetUserChoiceOptions(settings);
  ReadKeys(IniFile::Load(settingsFilePath), programName, settings, nullptr);
  OverlayPreferences(preferences, settings);
}

std::vector<SettingsKeyRead> ExplainSettingsKeys(const IniFile& ini, const std::string& programName,
                                                 RunnerSettings& settings) {
  std::vector<SettingsKeyRead> report;
  PresetUserChoiceOptions(settings);
  ReadKeys(ini, programName, settings, &report);
  return report;
}

}  // namespace vm
