#pragma once

// What the hook library's Win32 tests share: the library loaded under an instance's file name
// with that instance's mapping, a target process that stands in for the projector, and a pump
// for this thread, which stands in for the Runner's.
#include <windows.h>

#include <functional>
#include <string>

#include "support/win_handles.h"
#include "unit/test_files.h"

namespace vmtest {

constexpr DWORD kHookWaitMs = 5000;  // for what must arrive

// Called, while PumpUntil pumps, for every message posted to this thread rather than a window.
extern std::function<void(const MSG&)> OnThreadMessage;

// Pumps this thread's messages until done() holds or the time is up. No TranslateMessage: a
// WM_CHAR must come from the library, never from a key that reached one of this thread's windows.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);

// A file built beside this test program.
std::string BuiltFile(const char* name);

// The stand-in projector: a window in a process of its own, started suspended as the Runner
// starts the projector, so that the block can name it before it runs.
class TargetProcess {
 public:
  explicit TargetProcess(const char* programName);
  // Closes the window and waits for the process, pumping: the window has been this thread's
  // child and may wait for it as it closes.
  ~TargetProcess();
  TargetProcess(const TargetProcess&) = delete;
  TargetProcess& operator=(const TargetProcess&) = delete;

  // Runs it until its window is there; true when it is.
  bool Start();
  HWND Window() const { return window_; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  DWORD ThreadId() const { return process_.dwThreadId; }
  // What the target reports of the input that reached it.
  std::string Caption() const;

 private:
  static BOOL CALLBACK TakeWindow(HWND window, LPARAM self);

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

// The library under an instance's file name and that instance's mapping, created first, as the
// Runner does.
struct LoadedLibrary {
  LoadedLibrary(const char* copyName, const char* mappingName);
  HOOKPROC Procedure(const char* name) const;

  TempDir folder;
  vm::UniqueHandle mapping;
  vm::UniqueView view;
  vm::UniqueLibrary module;
};

}  // namespace vmtest
