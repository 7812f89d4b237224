#include <windows.h>

#include "config/registry_preferences_win.h"
#include "payload/file_helpers.h"
#include "support/errors.h"
#include "support/registry_win.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr char kPreferenceRoot[] = "Software\\Halvorn";
std::string FullKeyPath(const std::string& keyPath) { return "HKEY_CURRENT_USER\\" + keyPath; }

std::string ErrorSuffix(LONG status) { return " (error " + std::to_string(status) + ")"; }

}  // namespace

RegistryPreferenceStore::RegistryPreferenceStore(const std::string& programName)
    : keyPath_(programName.empty() ? kPreferenceRoot : std::string(kPreferenceRoot) + "\\" + programName) {
  HKEY raw = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kPreferenceRoot, 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) {
    Trace("preferences: RegCreateKeyExA failed for ", FullKeyPath(kPreferenceRoot), ErrorSuffix(status));
    return;
  }
  UniqueKey created(raw);
}

std::optional<std::string> RegistryPreferenceStore::ReadString(const std::string& name) const {
  HKEY raw = nullptr;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw);
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND)
      Trace("preferences: RegOpenKeyExA failed for ", FullKeyPath(keyPath_), ErrorSuffix(status));
    return std::nullopt;
  }
  UniqueKey key(raw);
  std::string text;
  switch (RegReadString(key.get(), name, text, &status)) {
    case RegistryRead::Found:
      return text;
    case RegistryRead::Missing:
      return std::nullopt;
    case RegistryRead::WrongType:
      // The store holds only strings; another type means someone edited it by hand. Playing on
      // with the default beats refusing to start until the registry is repaired.
      Trace("preferences: Invalid data type for '", name, "', the default stands");
      return std::nullopt;
    case RegistryRead::Failed:
      break;
  }
  Trace("preferences: RegQueryValueExA failed for ", name, ErrorSuffix(status));
  return std::nullopt;
}

void RegistryPreferenceStore::WriteString(const std::string& name, const std::string& value) {
  HKEY raw = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS)
    throw Exception("RegCreateKeyExA failed for " + FullKeyPath(keyPath_) + ErrorSuffix(status));
  UniqueKey key(raw);
  status = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
  if (status != ERROR_SUCCESS)
    throw Exception("RegSetValueExA failed for " + FullKeyPath(keyPath_) + "\\" + name +
                    ErrorSuffix(status));
  Trace("preferences: ", name, " := \"", value, "\"");
}

std::string SystemTempPath() {
  std::string path(MAX_PATH + 1, '\0');
  for (;;) {
    DWORD length = GetTempPathA(static_cast<DWORD>(path.size()), &path[0]);
    DWORD error = GetLastError();
    if (length == 0) {
      Trace("preferences: GetTempPathA failed", ErrorSuffix(static_cast<LONG>(error)));
      return {};
    }
    // A path too long for the buffer gives the size it needs instead.
    bool fits = length < path.size();
    path.resize(length);
    if (fits) return path;
  }
}

std::string TempBaseDirectory(const PreferenceStore& store) {
  return TempBaseDirectory(store, SystemTempPath(), FolderOf(OwnExecutablePath(), IsSystemLeadByte),
                           IsSystemLeadByte);
}

}  // namespace vm
