#include "core/keyboard_hook_thread_win.h"

namespace vm {
namespace {

// How long the Runner waits for the thread to install its hook, or to end.
constexpr DWORD kThreadStepMs = 5000;

}  // namespace

KeyboardHookThread::KeyboardHookThread(HOOKPROC procedure, HMODULE library)
    : procedure_(procedure), library_(library), started_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!started_) return;
  thread_.reset(CreateThread(nullptr, 0, Run, this, 0, &threadId_));
  installed_ = thread_ && WaitForSingleObject(started_.get(), kThreadStepMs) == WAIT_OBJECT_0 && hooked_;
}

KeyboardHookThread::~KeyboardHookThread() {
  if (!thread_) return;
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), kThreadStepMs);
}

DWORD WINAPI KeyboardHookThread::Run(LPVOID self) {
  auto& owner = *static_cast<KeyboardHookThread*>(self);
  MSG msg;
  // The queue exists before the owner can post the quit message to it.
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  const UniqueHook hook(SetWindowsHookExA(WH_KEYBOARD_LL, owner.procedure_, owner.library_, 0));
  owner.hooked_ = static_cast<bool>(hook);
  SetEvent(owner.started_.get());
  if (!hook) return 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

}  // namespace vm
