// The Windows keys' filter, a low-level keyboard hook that the Runner installs in a thread of its
// own. A hook on the projector's thread cannot keep these keys from the shell: on the NT systems
// the shell acts on them (its Start menu, the shortcuts built on them) before they reach any
// thread, while a low-level hook sees every key before it goes anywhere. It runs in the thread
// that installed it, so it maps the library into no other process; that thread must take its
// messages while the movie plays, since the system hands each key to the hook through them.
#include <windows.h>

#include "engine/shared_block_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/windows_key.h"

static_assert(vm::kKeyLeftWindows == VK_LWIN && vm::kKeyRightWindows == VK_RWIN && vm::kKeyApplications == VK_APPS);

namespace {

// A hook procedure's answer that keeps the event from its target.
constexpr LRESULT kDiscardEvent = 1;

// Only the Runner's hook thread calls it, one key at a time.
vm::WindowsKeyFilter g_filter;

bool KeepsKey(const KBDLLHOOKSTRUCT& key) {
  const uint8_t* bytes = vm::HookSessionBlock();
  const bool kept =
      bytes && vm::WindowsKeysKept(vm::SharedBlockView(bytes),
                                   vm::HandleToBlock(GetAncestor(GetForegroundWindow(), GA_ROOT)));
  return g_filter.Keeps(key.vkCode, (key.flags & LLKHF_UP) != 0, kept);
}

}  // namespace

extern "C" LRESULT CALLBACK LProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  const bool discard = code == HC_ACTION && KeepsKey(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
  const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
  return discard ? kDiscardEvent : next;
}
