#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/win_handles.h"
#include "unit/test_files.h"

namespace standintest {

// Every wait of these tests ends after this long at most.
constexpr DWORD kWaitMs = 10000;

// Runs this thread's message loop until done() holds or timeoutMs has passed; answers done().
// The stand-in sends its messages to windows of this thread, which answer only while it pumps.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);
void PumpFor(DWORD ms);
// Messages posted to this thread rather than to a window, in the order the pump took them.
std::vector<MSG>& ThreadMessages();

// One standin.exe, started as the Runner starts it, with STANDIN_LOG pointing into a directory of
// its own. Ended when the test is over, if it has not ended by then.
class StandinProcess {
 public:
  struct Setup {
    std::map<std::string, std::string> Variables;
    int ShowCommand = SW_SHOWNORMAL;
    std::string Directory;  // the working directory; empty: the test's own
  };

  explicit StandinProcess(const Setup& setup);
  ~StandinProcess();
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  // The process's "ShockwaveFlash" window, once it exists; nullptr when it does not appear.
  HWND WaitForWindow();
  DWORD ThreadId() const { return threadId_; }
  bool IsRunning() const;
  bool WaitForExit();

  std::vector<std::string> Log() const;
  bool HasLine(const std::string& line) const;
  bool WaitForLine(const std::string& line);
  // The first line that starts with prefix, waiting for it; empty when none comes.
  std::string WaitForLineStarting(const std::string& prefix);

 private:
  vmtest::TempDir dir_;
  std::string logPath_;
  vm::UniqueHandle process_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
};

// The windows of the process whose main thread is threadId.
std::vector<HWND> ThreadWindows(DWORD threadId);

std::string ClassOf(HWND window);

}  // namespace standintest
