#include "config/preference_store.h"

#include "config/settings_integer.h"
#include "payload/instance_directory.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kTrue[] = "1";
constexpr char kFalse[] = "0";

const char* BoolText(bool value) { return value ? "true" : "false"; }

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

std::string TempBaseDirectory(const std::optional<std::string>& stored, const std::string& systemTempPath,
                              const std::string& executableFolder, LeadBytePredicate isLeadByte) {
  std::string preference = stored ? *stored : systemTempPath;
  if (IsRelativePath(preference.c_str())) preference = executableFolder + preference;
  const std::string base = InstanceBaseDirectory(preference, isLeadByte);
  Trace("preferences: temporary base directory ", base,
        (stored ? " from the store" : " (the system's temporary path)"));
  return base;
}

}  // namespace vm
