#include <windows.h>

#include "hooklib/embedding_watch_win.h"
#include "hooklib/hook_session_win.h"

// The system loads the library into every process that its hooks reach; each copy finds its
// Runner's block once, here.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    vm::OpenHookSession(instance);
    vm::OpenEmbeddingWatch(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    vm::CloseEmbeddingWatch();
  }
  return TRUE;
}
