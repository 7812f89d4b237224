#include <windows.h>

#include "hooklib/embedding_watch_win.h"
#include "hooklib/hook_session_win.h"

// The system loads the library into every process that its hooks reach; each copy finds its
// Runner's block once, here. This is the library's entry itself: it carries no C runtime that
// would start before it.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    vm::OpenHookSession(instance);
    vm::OpenEmbeddingWatch();
  } else if (reason == DLL_PROCESS_DETACH) {
    vm::CloseEmbeddingWatch();
    vm::CloseHookSession();
  }
  return TRUE;
}
