#include "hooklib/embedding_watch_win.h"

#include "hooklib/full_screen_report_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/movie_window_win.h"
#include "hooklib/runner_notices_win.h"

namespace vm {
namespace {

// Per thread: its watch's hook handle, or WatchEnded() once it has removed itself.
DWORD g_watchSlot = TLS_OUT_OF_INDEXES;
// A function, not a constant: a global that needs code to initialise it would stay 0 in a library
// without a runtime to run that code.
HHOOK WatchEnded() { return reinterpret_cast<HHOOK>(static_cast<intptr_t>(-1)); }

HHOOK ThreadWatch() { return static_cast<HHOOK>(TlsGetValue(g_watchSlot)); }

void EndWatchIfDone(HHOOK watch) noexcept {
  const std::optional<SharedBlockView> block = ProjectorBlock();
  if (block) {
    ReportFullScreenCommandOnce(*block);
    TakeOverMovieWindowOnce(*block);
    AnnounceReadyOnce(*block);
  }
  if (block && !block->IsSet(kBlockProjectorReady)) return;
  UnhookWindowsHookEx(watch);
  TlsSetValue(g_watchSlot, WatchEnded());
}

LRESULT CALLBACK WatchProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  const HHOOK watch = ThreadWatch();
  const LRESULT next = CallNextHookEx(watch, code, wParam, lParam);
  if (code >= 0 && watch && watch != WatchEnded()) EndWatchIfDone(watch);
  return next;
}

}  // namespace

void OpenEmbeddingWatch() noexcept { g_watchSlot = TlsAlloc(); }

void CloseEmbeddingWatch() noexcept {
  if (g_watchSlot != TLS_OUT_OF_INDEXES) TlsFree(g_watchSlot);
}

void WatchThisThread(const SharedBlockView& block) {
  if (g_watchSlot == TLS_OUT_OF_INDEXES || ThreadWatch() || block.IsSet(kBlockProjectorReady)) return;
  const HHOOK watch =
      KeepLibraryLoaded() ? SetWindowsHookExA(WH_GETMESSAGE, WatchProc, HookLibraryModule(), GetCurrentThreadId()) : nullptr;
  TlsSetValue(g_watchSlot, watch ? watch : WatchEnded());
}

}  // namespace vm
