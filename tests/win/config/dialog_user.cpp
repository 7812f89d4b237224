#include "win/config/dialog_user.h"

#include <gtest/gtest.h>

namespace vmtest {
namespace {

constexpr DWORD kPollMs = 20;
constexpr char kDialogClass[] = "#32770";

struct Search {
  const std::string* title;  // null: any title
  HWND found;
};

BOOL CALLBACK FindOwnDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || lstrcmpA(cls, kDialogClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
  if (search->title && *search->title != WindowText(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

HWND OwnDialog(const std::string* title) {
  Search search{title, nullptr};
  EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

HWND WaitForDialogTitled(const std::string* title) {
  for (DWORD waited = 0; waited < kDialogWaitMs; waited += kPollMs) {
    if (HWND found = OwnDialog(title)) return found;
    Sleep(kPollMs);
  }
  ADD_FAILURE() << (title ? "no window \"" + *title + "\" appeared" : std::string("no dialog appeared"));
  return nullptr;
}

}  // namespace

HWND WaitForDialog() { return WaitForDialogTitled(nullptr); }
HWND WaitForDialog(const std::string& title) { return WaitForDialogTitled(&title); }

void WaitUntilGone(HWND hwnd) {
  for (DWORD waited = 0; waited < kDialogWaitMs; waited += kPollMs) {
    if (!IsWindow(hwnd)) return;
    Sleep(kPollMs);
  }
  ADD_FAILURE() << "the window stayed open";
}

User::User(std::function<void()> script)
    : thread_([this, script] {
        script();
        while (!done_) {
          if (HWND left = OwnDialog()) {
            ADD_FAILURE() << "unexpected window \"" << WindowText(left) << "\"";
            PostMessageA(left, WM_CLOSE, 0, 0);
            WaitUntilGone(left);
          }
          Sleep(kPollMs);
        }
      }) {}

User::~User() {
  done_ = true;
  thread_.join();
}

vm::DialogPump TestPump::Get() {
  return {[this] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
              if (msg.message == WM_QUIT) {
                quit_ = true;
                return;
              }
              TranslateMessage(&msg);
              DispatchMessageA(&msg);
            }
            if (GetTickCount() - start_ > 2 * kDialogWaitMs) quit_ = true;
          },
          quit_};
}

}  // namespace vmtest
