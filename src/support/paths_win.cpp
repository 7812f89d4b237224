#include <windows.h>

#include "support/errors.h"
#include "support/failure_text.h"
#include "support/paths.h"

namespace vm {

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::string OwnExecutablePath() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer)
    throw Exception(Win32FailureText("GetModuleFileNameA", "", GetLastError()));
  return std::string(buffer, n);
}

}  // namespace vm
