#include "e2e/error_box.h"

#include <tlhelp32.h>

namespace vmtest {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPollMs = 50;

struct Search {
  DWORD processId;
  HWND found;
  const char* title;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  char title[256] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  if (pid == search->processId && lstrcmpA(cls, kDialogClass) == 0 && IsWindowVisible(hwnd) &&
      lstrcmpA(title, search->title) == 0) {
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

BOOL CALLBACK CollectStaticTextWide(HWND hwnd, LPARAM lParam) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (lstrcmpiW(cls, L"Static") == 0) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    *reinterpret_cast<std::wstring*>(lParam) += text;
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

HWND FindDialog(DWORD processId, const std::string& title, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    Search search{processId, nullptr, title.c_str()};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(kPollMs);
  }
  return nullptr;
}

std::string AnswerMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs) {
  HWND box = FindDialog(processId, caption, timeoutMs);
  if (box == nullptr) return "";
  std::string text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return text;
}

std::wstring AnswerMessageBoxWide(DWORD processId, const std::string& caption, DWORD timeoutMs) {
  HWND box = FindDialog(processId, caption, timeoutMs);
  if (box == nullptr) return L"";
  std::wstring text;
  EnumChildWindows(box, CollectStaticTextWide, reinterpret_cast<LPARAM>(&text));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return text;
}

void SuspendProcess(DWORD processId) {
  ForEachThread(processId, [](HANDLE thread) { SuspendThread(thread); });
}

void ResumeProcess(DWORD processId) {
  ForEachThread(processId, [](HANDLE thread) { ResumeThread(thread); });
}

}  // namespace vmtest
