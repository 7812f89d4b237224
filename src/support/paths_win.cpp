#include <windows.h>

#include "support/ansi_path_win.h"
#include "support/errors.h"
#include "support/failure_text.h"
#include "support/paths.h"

namespace vm {

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// Read wide: the ANSI call gives a folder named in another script than the code page's with "?"
// in place of what it cannot hold, a path that opens nothing.
std::string OwnExecutablePath() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) throw Exception(Win32FailureText("GetModuleFileNameW", "", GetLastError()));
  return AnsiPathOrRaise(buffer, PathRole::Program);
}

}  // namespace vm
