#pragma once

#include <windows.h>

#include "support/win_handles.h"

namespace vm {

// A low-level keyboard hook in a thread of its own that does nothing but take the hook's
// messages. The system hands every key press of the machine to such a hook through the queue of
// the thread that installed it, and holds the key until the hook answers: in a thread that waits
// for other things as well (the Runner's main thread sleeps between its passes over the movie,
// and pauses while it brings the movie up), every key would wait with it, and Windows 7 and later
// silently drop a hook that keeps them waiting too long.
class KeyboardHookThread {
 public:
  // Installs procedure (of library) in the new thread; Installed() tells whether it took.
  KeyboardHookThread(HOOKPROC procedure, HMODULE library);
  KeyboardHookThread(const KeyboardHookThread&) = delete;
  KeyboardHookThread& operator=(const KeyboardHookThread&) = delete;
  // Removes the hook and ends the thread.
  ~KeyboardHookThread();

  bool Installed() const { return installed_; }

 private:
  static DWORD WINAPI Run(LPVOID self);

  HOOKPROC procedure_;
  HMODULE library_;
  UniqueHandle started_;  // set once the hook is in, or has failed
  UniqueHandle thread_;
  DWORD threadId_ = 0;
  bool hooked_ = false;  // the thread's answer, read once it has given it
  bool installed_ = false;
};

}  // namespace vm
