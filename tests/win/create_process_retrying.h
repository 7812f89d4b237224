#pragma once

#include <windows.h>

namespace vmtest {

// CreateProcessA for tests. Under Wine a process start now and then fails with
// ERROR_INTERNAL_ERROR while the server is busy with the previous program's end; a real failure
// still fails after the retries.
inline BOOL CreateProcessRetrying(LPCSTR application, LPSTR commandLine, BOOL inherit, DWORD flags,
                                  LPVOID environment, LPCSTR directory, STARTUPINFOA* startup,
                                  PROCESS_INFORMATION* info) {
  constexpr int kTries = 3;
  constexpr DWORD kPauseMs = 250;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(application, commandLine, nullptr, nullptr, inherit, flags, environment, directory,
                       startup, info))
      return TRUE;
    if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == kTries) return FALSE;
    Sleep(kPauseMs);
  }
}

// The same for a program whose path the ANSI calls cannot name.
inline BOOL CreateProcessRetrying(LPCWSTR application, LPWSTR commandLine, BOOL inherit, DWORD flags,
                                  LPVOID environment, LPCWSTR directory, STARTUPINFOW* startup,
                                  PROCESS_INFORMATION* info) {
  constexpr int kTries = 3;
  constexpr DWORD kPauseMs = 250;
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(application, commandLine, nullptr, nullptr, inherit, flags, environment, directory,
                       startup, info))
      return TRUE;
    if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == kTries) return FALSE;
    Sleep(kPauseMs);
  }
}

}  // namespace vmtest
