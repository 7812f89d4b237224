#pragma once

#include <optional>
#include <string>

#include "config/preference_store.h"

namespace vm {

// The preferences of one runner executable: the values of the sub-key ProgramName of
// HKEY_CURRENT_USER "Software\Halvorn" (of that key itself when ProgramName is empty). Values
// stored with a type other than a string read as missing, so the default stands.
class RegistryPreferenceStore : public PreferenceStore {
 public:
  // Creates "Software\Halvorn" when it is missing; a failure only leaves every read missing.
  explicit RegistryPreferenceStore(const std::string& programName);

  std::optional<std::string> ReadString(const std::string& name) const override;
  void WriteString(const std::string& name, const std::string& value) override;

  // The section's path under HKEY_CURRENT_USER.
  const std::string& KeyPath() const { return keyPath_; }

 private:
  std::string keyPath_;
};

// The system's temporary path as GetTempPathA gives it; empty when it gives none.
std::string SystemTempPath();

// The base directory of this runner's files (preference_store.h), with the system's temporary
// path and code page, a relative preference taken below the running program's folder.
std::string TempBaseDirectory(const PreferenceStore& store);

}  // namespace vm
