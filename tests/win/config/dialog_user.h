#pragma once

// What the dialog tests share: finding this process's dialogs, a person at the screen on a
// thread of its own, and the Runner's pump as a dialog sees it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "config/password_prompt_win.h"

namespace vmtest {

constexpr DWORD kDialogWaitMs = 5000;

std::string WindowText(HWND hwnd);

// A visible dialog of this process, with that title when one is given, or null.
HWND OwnDialog(const std::string* title = nullptr);
// The same, waited for at most kDialogWaitMs; a failure of the test when none appears.
HWND WaitForDialog();
HWND WaitForDialog(const std::string& title);
// Waits at most kDialogWaitMs for the window to go; a failure of the test when it stays.
void WaitUntilGone(HWND hwnd);

// The person at the screen, on a thread of its own, while the test's thread runs the dialog.
// After the script, until the object goes, any dialog still open is reported and closed, so that
// a script that went wrong fails the test instead of hanging it.
class User {
 public:
  explicit User(std::function<void()> script);
  ~User();
  User(const User&) = delete;
  User& operator=(const User&) = delete;

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// The Runner's pump as a dialog sees it: what is queued is handled, WM_QUIT sets the quit flag.
// A dialog that nobody closes ends as a quit after a while rather than hang the test.
class TestPump {
 public:
  vm::DialogPump Get();

 private:
  bool quit_ = false;
  DWORD start_ = GetTickCount();
};

}  // namespace vmtest
