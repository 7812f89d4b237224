#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vm {

// What reading one value of an open key found.
enum class RegistryRead { Found, Missing, WrongType, Failed };

// Reads a string value (REG_SZ or REG_EXPAND_SZ, not expanded) of an open key; the text ends at
// its first NUL. name "" is the key's default value. *status, when given, gets the system's code
// of a failed read.
RegistryRead RegReadString(HKEY key, const std::string& name, std::string& text,
                           LONG* status = nullptr);

}  // namespace vm
