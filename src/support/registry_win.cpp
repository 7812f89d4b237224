#include "support/registry_win.h"

#include <algorithm>

namespace vm {
namespace {

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

RegistryRead RegReadString(HKEY key, const std::string& name, std::string& text, LONG* status) {
  DWORD type = REG_NONE;
  std::string data;
  const LONG result = QueryValue(key, name, type, data);
  if (status != nullptr) *status = result;
  if (result == ERROR_FILE_NOT_FOUND) return RegistryRead::Missing;
  if (result != ERROR_SUCCESS) return RegistryRead::Failed;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return RegistryRead::WrongType;
  text = data.substr(0, data.find('\0'));
  return RegistryRead::Found;
}

bool RegReadWideString(HKEY key, const wchar_t* name, wchar_t* text, DWORD capacity) {
  DWORD type = REG_NONE;
  DWORD size = (capacity - 1) * sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  // A value may be stored without its NUL.
  text[size / sizeof(wchar_t)] = 0;
  return true;
}

}  // namespace vm
