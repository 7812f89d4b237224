#pragma once

#include <windows.h>

#include <optional>

#include "core/keyboard_hook_thread_win.h"
#include "core/session_mute_win.h"
#include "support/win_handles.h"

namespace vm {

struct TfrmMain;

// Everything one launch creates, undone in one fixed order however the launch ends: the close
// broadcast, the programs that the movie started (awaited), MIDI, the extracted files, the projector's handles, the display request, the hooks,
// the library, the shared block, the placed files and folders, the hook library file and the
// instance directory.
class SessionCleanup {
 public:
  explicit SessionCleanup(TfrmMain& runner) : r_(runner) {}
  SessionCleanup(const SessionCleanup&) = delete;
  SessionCleanup& operator=(const SessionCleanup&) = delete;
  ~SessionCleanup();

  UniqueHandle Mapping;
  UniqueView View;  // the shared block; the runner reads it through SharedBlockBytes
  UniqueLibrary HookLibrary;
  UniqueHook KeyboardHook, GetMessageHook, CbtHook, MouseHook;
  std::optional<KeyboardHookThread> WindowsKeys;  // the low-level keyboard hook, while the movie plays
  UniqueHandle ProjectorProcess, ProjectorThread;
  bool ProjectorSuspended = false;  // started, and not yet resumed
  // Ends the projector when its last handle closes: at the clean-up, or when the system closes
  // the handles of a Runner that was killed.
  UniqueHandle ProjectorJob;
  SessionMute Mute;  // begun once the projector exists, ended after its files are gone
  // Keeps the display on while the movie plays.
  UniqueExecutionRequest DisplayRequired;
  DWORD AttachedThreadId = 0;
  bool HookLibraryPathFormed = false;

 private:
  void Run();
  void AwaitSessionPrograms();
  void BroadcastSessionEnd();
  void RemoveHooks(bool hooksGone);
  void ReleaseSharedBlock();

  TfrmMain& r_;
};

}  // namespace vm
