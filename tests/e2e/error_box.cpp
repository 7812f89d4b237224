#include "e2e/error_box.h"

#include <tlhelp32.h>

namespace vmtest {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPollMs = 50;

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid == search->processId && lstrcmpA(cls, kDialogClass) == 0 && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    *reinterpret_cast<std::string*>(lParam) += text;
  }
  return TRUE;
}

template <typename Action>
void ForEachThread(DWORD processId, Action action) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
      action(thread);
      CloseHandle(thread);
    }
  }
  CloseHandle(snapshot);
}

}  // namespace

std::string AnswerMessageBox(DWORD processId, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    Search search{processId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      std::string text;
      EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&text));
      PostMessageA(search.found, WM_COMMAND, IDOK, 0);
      return text;
    }
    Sleep(kPollMs);
  }
  return "";
}

void SuspendProcess(DWORD processId) {
  ForEachThread(processId, [](HANDLE thread) { SuspendThread(thread); });
}

void ResumeProcess(DWORD processId) {
  ForEachThread(processId, [](HANDLE thread) { ResumeThread(thread); });
}

}  // namespace vmtest
