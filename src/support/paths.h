#pragma once

#include <string>

namespace vm {

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

// A folder that a file name can be appended to: a delimiter is added unless the text is empty or
// already ends in a delimiter or, on Windows, in ":" (a bare drive).
std::string WithTrailingDelimiter(std::string dir);

// The full path of the running program.
std::string OwnExecutablePath();

}  // namespace vm
