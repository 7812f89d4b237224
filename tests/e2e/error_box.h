#pragma once

#include <windows.h>

#include <string>

namespace vmtest {

// Waits at most timeoutMs for a message box of the given process with this caption, reads its
// text, and answers it with OK. Empty when none appeared.
std::string AnswerMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs);
// The same with the text read wide, for a text that the ANSI code page cannot hold.
std::wstring AnswerMessageBoxWide(DWORD processId, const std::string& caption, DWORD timeoutMs);

// Waits at most timeoutMs for a visible dialog of the process with exactly this title.
HWND FindDialog(DWORD processId, const std::string& title, DWORD timeoutMs);

// Stops or resumes every thread of another process.
void SuspendProcess(DWORD processId);
void ResumeProcess(DWORD processId);

}  // namespace vmtest
