#include "standin/environment_win.h"

#include <windows.h>

#include <cstring>

#include "support/win_handles.h"

namespace vm::standin {

std::string EnvironmentVariable(const char* name) {
  DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return "";
  std::string value(size, '\0');
  DWORD length = GetEnvironmentVariableA(name, &value[0], size);
  value.resize(length < size ? length : 0);
  return value;
}

std::vector<std::string> EnvironmentEntries() {
  std::vector<std::string> entries;
  UniqueEnvironmentBlock block(GetEnvironmentStringsA());
  if (!block) return entries;
  for (const char* entry = block.get(); *entry != '\0'; entry += std::strlen(entry) + 1)
    entries.emplace_back(entry);
  return entries;
}

}  // namespace vm::standin
