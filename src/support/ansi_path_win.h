#pragma once

#include <windows.h>

#include <string>

#include "support/ansi_path.h"
#include "support/errors.h"

namespace vm {

// The Runner's folders that come from outside it; each has its own advice when it cannot be used.
enum class PathRole { Program, TempFolder, TempPreference };

// A path that the ANSI calls cannot reach: a name in it that the ANSI code page cannot hold has
// no short name that it can. Keeps the path itself for the box that names it; what() has it
// with the unheld characters as "?".
class UnheldPathError : public Exception {
 public:
  UnheldPathError(const wchar_t* path, PathRole role);
  const wchar_t* Path() const { return path_; }
  PathRole Role() const { return role_; }

 private:
  wchar_t path_[MAX_PATH + 1];
  PathRole role_;
};

// The system's ANSI code page and short names.
const AnsiPathSystem& SystemAnsiPaths();

// AnsiPathOf with the system's code page and short names; raises UnheldPathError.
std::string AnsiPathOrRaise(const wchar_t* path, PathRole role);

}  // namespace vm
