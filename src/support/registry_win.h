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

// Reads a string value (REG_SZ or REG_EXPAND_SZ, not expanded) of an open key as wide text into
// text, which holds capacity characters with the NUL; false when the value is missing, of another
// type, longer, or cannot be read.
bool RegReadWideString(HKEY key, const wchar_t* name, wchar_t* text, DWORD capacity);

}  // namespace vm
