#pragma once

#include <optional>
#include <string>

#include "payload/file_helpers_paths.h"

namespace vm {

// The user's saved preferences: string values in the runner's own section of the store (the
// registry on Windows, a fake in tests). Booleans are the strings "0" and "1".
class PreferenceStore {
 public:
  virtual ~PreferenceStore() = default;

  // The stored string; none when the section or value is missing or cannot be read as a string,
  // so that the caller's default stands.
  virtual std::optional<std::string> ReadString(const std::string& name) const = 0;
  // Stores the string, creating the section when it is missing; failures raise vm::Exception.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

// The base directory under which the runner unpacks its files.
constexpr char kTempDirectoryPreference[] = "Vardel Temp Directory";

// A stored string read by the settings integer rule, true when not 0; the default when the value
// is missing or does not convert.
bool ReadBoolPreference(const PreferenceStore& store, const std::string& name, bool defaultValue);
void WriteBoolPreference(PreferenceStore& store, const std::string& name, bool value);

// Neither rooted (\Temp, \\server\share) nor on a drive (C:\Temp, C:Temp); the empty text stands
// for the root of the current drive. ANSI or wide text.
template <typename Char>
bool IsRelativePath(const Char* path) {
  return path[0] != 0 && path[0] != '\\' && path[0] != '/' && path[1] != ':';
}

// The stored "Vardel Temp Directory" (none when it is not stored), or else the system's temporary
// path, always ending in "\": an empty preference gives "\", the root of the current drive. A
// relative preference names a folder below executableFolder (which ends in "\"), whatever the
// current directory. The last byte is taken as a "\" only when it is a character of its own, not
// the second byte of a double-byte character.
std::string TempBaseDirectory(const std::optional<std::string>& stored, const std::string& systemTempPath,
                              const std::string& executableFolder, LeadBytePredicate isLeadByte);

}  // namespace vm
