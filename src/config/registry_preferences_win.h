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

  // A folder stored as a string, as ReadString reads it, but read wide: one whose name the ANSI
  // code page cannot hold comes in the form that the ANSI calls open (support/ansi_path.h), made
  // full below relativeTo (which ends in "\") first when it is relative. Raises UnheldPathError
  // when it has no such form.
  std::optional<std::string> ReadFolder(const std::string& name, const std::string& relativeTo) const;

  // The section's path under HKEY_CURRENT_USER.
  const std::string& KeyPath() const { return keyPath_; }

 private:
  std::string keyPath_;
};

// The system's temporary path in the form that the ANSI calls open; empty when the system gives
// none. Raises UnheldPathError when it has no such form.
std::string SystemTempPath();

// The base directory of this runner's files (preference_store.h), with the system's temporary
// path and code page, a relative preference taken below the running program's folder.
std::string TempBaseDirectory(const RegistryPreferenceStore& store);

}  // namespace vm
