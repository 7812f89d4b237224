#include "hooklib/movie_end_win.h"

#include "hooklib/hook_session_win.h"
#include "hooklib/library_name.h"

namespace vm {

// The message is the Runner's instance's own: the library finds its name in its own file name.
DWORD AskRunnerToEndMovie(const SharedBlockView& block) {
  char path[MAX_PATH];
  char name[kRunnerMessageNameCapacity];
  if (!LibraryPath(HookLibraryModule(), path) || !RunnerMessageNameFor(path, name)) return ERROR_INVALID_NAME;
  const UINT message = RegisterWindowMessageA(name);
  if (!message || !PostThreadMessageA(block.Get(kBlockRunnerThreadId), message, 0, 0)) return GetLastError();
  return ERROR_SUCCESS;
}

}  // namespace vm
