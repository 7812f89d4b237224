#include "engine/hook_removal_win.h"

#include <string>

#include "support/trace.h"

namespace vm {
namespace {

constexpr int kInvalidHandleTries = 5;

}  // namespace

bool RemoveHookRetrying(HHOOK hook, const std::function<void()>& pump) {
  int invalid = 0;
  while (!UnhookWindowsHookEx(hook)) {
    const DWORD error = GetLastError();
    MessageBeep(0);
    pump();
    if (error == ERROR_INVALID_HOOK_HANDLE && ++invalid >= kInvalidHandleTries) {
      Trace("clean-up: the hook handle is invalid (error ", error, "), given up after ", invalid, " tries");
      return false;
    }
  }
  return true;
}

}  // namespace vm
