#include <windows.h>

#include <algorithm>

#include "config/registry_preferences_win.h"
#include "payload/file_helpers.h"
#include "support/errors.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr char kPreferenceRoot[] = "Software\\Halvorn";
std::string FullKeyPath(const std::string& keyPath) { return "HKEY_CURRENT_USER\\" + keyPath; }

std::string ErrorSuffix(LONG status) { return " (error " + std::to_string(status) + ")"; }

// The value's bytes and type. The value may grow between asking for its size and reading it.
LONG QueryValue(HKEY key, const std::string& name, DWORD& type, std::string& data) {
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  while (status == ERROR_SUCCESS && size > 0) {
    data.resize(size);
    DWORD got = size;
    status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                              &got);
    if (status != ERROR_MORE_DATA) {
      data.resize(std::min(got, size));
      break;
    }
    size = std::max(got, size * 2);
    status = ERROR_SUCCESS;
  }
  return status;
}

}  // namespace

RegistryPreferenceStore::RegistryPreferenceStore(const std::string& programName)
    : keyPath_(programName.empty() ? kPreferenceRoot : std::string(kPreferenceRoot) + "\\" + programName) {
  HKEY raw = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kPreferenceRoot, 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) {
    Trace("preferences: RegCreateKeyExA failed for " + FullKeyPath(kPreferenceRoot) +
          ErrorSuffix(status));
    return;
  }
  UniqueKey created(raw);
}

std::optional<std::string> RegistryPreferenceStore::ReadString(const std::string& name) const {
  HKEY raw = nullptr;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw);
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND)
      Trace("preferences: RegOpenKeyExA failed for " + FullKeyPath(keyPath_) + ErrorSuffix(status));
    return std::nullopt;
  }
  UniqueKey key(raw);
  DWORD type = REG_NONE;
  std::string data;
  status = QueryValue(key.get(), name, type, data);
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND)
      Trace("preferences: RegQueryValueExA failed for " + name + ErrorSuffix(status));
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    // The store holds only strings; another type means someone edited it by hand. Playing on
    // with the default beats refusing to start until the registry is repaired.
    Trace("preferences: Invalid data type for '" + name + "', the default stands");
    return std::nullopt;
  }
  // Stored strings end in a NUL, and the text ends at the first one.
  return data.substr(0, data.find('\0'));
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
  Trace("preferences: " + name + " := \"" + value + "\"");
}

std::string SystemTempPath() {
  std::string path(MAX_PATH + 1, '\0');
  for (;;) {
    DWORD length = GetTempPathA(static_cast<DWORD>(path.size()), &path[0]);
    DWORD error = GetLastError();
    if (length == 0) {
      Trace("preferences: GetTempPathA failed" + ErrorSuffix(static_cast<LONG>(error)));
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
