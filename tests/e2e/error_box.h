#pragma once

#include <windows.h>

#include <string>

namespace vmtest {

// Waits at most timeoutMs for a message box of the given process, reads its text, and answers it
// with OK. Empty when none appeared.
std::string AnswerMessageBox(DWORD processId, DWORD timeoutMs);

// Stops or resumes every thread of another process.
void SuspendProcess(DWORD processId);
void ResumeProcess(DWORD processId);

}  // namespace vmtest
