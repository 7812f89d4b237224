#include <windows.h>

#include <cstring>
#include <cwchar>

#include "config/registry_preferences_win.h"
#include "payload/file_helpers.h"
#include "support/ansi_path_win.h"
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

std::optional<std::string> RegistryPreferenceStore::ReadFolder(const std::string& name,
                                                                const std::string& relativeTo) const {
  HKEY raw = nullptr;
  wchar_t wideName[MAX_PATH + 1];
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS ||
      MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wideName, MAX_PATH + 1) == 0)
    return ReadString(name);
  UniqueKey key(raw);
  wchar_t value[MAX_PATH + 1];
  std::string held;
  if (!RegReadWideString(key.get(), wideName, value, MAX_PATH + 1) ||
      SystemAnsiPaths().AppendAnsi(value, std::wcslen(value), held))
    return ReadString(name);
  // Only a full path has a short form.
  if (!IsRelativePath(value)) return AnsiPathOrRaise(value, PathRole::TempPreference);
  wchar_t full[2 * (MAX_PATH + 1)];
  const int prefix = MultiByteToWideChar(CP_ACP, 0, relativeTo.c_str(), static_cast<int>(relativeTo.size()), full,
                                         MAX_PATH + 1);
  std::memcpy(full + prefix, value, (std::wcslen(value) + 1) * sizeof(wchar_t));
  return AnsiPathOrRaise(full, PathRole::TempPreference);
}

std::string SystemTempPath() {
  // GetTempPathW gives at most MAX_PATH + 1 characters, its trailing "\" included.
  wchar_t path[MAX_PATH + 2];
  const DWORD length = GetTempPathW(MAX_PATH + 2, path);
  if (length == 0 || length > MAX_PATH + 1) {
    Trace("preferences: GetTempPathW failed", ErrorSuffix(static_cast<LONG>(GetLastError())));
    return {};
  }
  return AnsiPathOrRaise(path, PathRole::TempFolder);
}

std::string TempBaseDirectory(const RegistryPreferenceStore& store) {
  const std::string executableFolder = FolderOf(OwnExecutablePath(), IsSystemLeadByte);
  // The system's path only when it is needed: one that the ANSI calls cannot reach raises.
  const std::optional<std::string> stored = store.ReadFolder(kTempDirectoryPreference, executableFolder);
  return TempBaseDirectory(stored, stored ? std::string() : SystemTempPath(), executableFolder, IsSystemLeadByte);
}

}  // namespace vm
