#pragma once

#include <windows.h>

#include <cstdint>

#include "core/window_layout.h"

namespace vm {

struct TfrmMain;

// A message filter: the code and the object it acts on. Called for every message taken from
// the queue before it is dispatched; setting handled keeps it from being dispatched.
struct MessageFilterRef {
  void (*Code)(TfrmMain& runner, MSG& message, bool& handled) = nullptr;
  TfrmMain* Object = nullptr;
  bool Assigned() const { return Code != nullptr; }
};

// Process-wide values; the Runner has one thread, and all of these belong to it.
extern bool RestartFlag;  // run (again) when the current run ends
extern bool QuitFlag;     // the current run's loop is to end
extern MessageFilterRef MessageFilter;
extern TfrmMain* CurrentRunner;
extern int32_t ScreenWidth, ScreenHeight;
extern int32_t ClientWidth, ClientHeight;  // the size given to the movie window
extern bool ResizePending;
extern OsFlags Os;

}  // namespace vm
