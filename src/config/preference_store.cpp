#include "config/preference_store.h"

#include "config/settings_integer.h"
#include "payload/instance_directory.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kTrue[] = "1";
constexpr char kFalse[] = "0";

const char* BoolText(bool value) { return value ? "true" : "false"; }

// Neither rooted (\Temp, \\server\share) nor on a drive (C:\Temp, C:Temp). The empty preference
// stands for the root of the current drive.
bool IsRelativePath(const std::string& path) {
  if (path.empty() || path[0] == '\\' || path[0] == '/') return false;
  return !(path.size() >= 2 && path[1] == ':');
}

}  // namespace

bool ReadBoolPreference(const PreferenceStore& store, const std::string& name, bool defaultValue) {
  std::optional<std::string> stored = store.ReadString(name);
  if (!stored) {
    Trace("preferences: ", name, " not stored, default ", BoolText(defaultValue));
    return defaultValue;
  }
  std::optional<int32_t> number = ParseSettingsInteger(*stored);
  if (!number) {
    Trace("preferences: ", name, " = \"", *stored, "\" is not a number, default ", BoolText(defaultValue));
    return defaultValue;
  }
  Trace("preferences: ", name, " = \"", *stored, "\" from the store: ", BoolText(*number != 0));
  return *number != 0;
}

void WriteBoolPreference(PreferenceStore& store, const std::string& name, bool value) {
  store.WriteString(name, value ? kTrue : kFalse);
}

std::string TempBaseDirectory(const PreferenceStore& store, const std::string& systemTempPath,
                              const std::string& executableFolder, LeadBytePredicate isLeadByte) {
  std::optional<std::string> stored = store.ReadString(kTempDirectoryPreference);
  std::string preference = stored ? *stored : systemTempPath;
  if (IsRelativePath(preference)) preference = executableFolder + preference;
  const std::string base = InstanceBaseDirectory(preference, isLeadByte);
  Trace("preferences: temporary base directory ", base,
        (stored ? " from the store" : " (the system's temporary path)"));
  return base;
}

}  // namespace vm
