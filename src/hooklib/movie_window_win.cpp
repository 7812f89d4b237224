#include "hooklib/movie_window_win.h"

#include <windows.h>

#include "engine/movie_window_rules.h"
#include "engine/shared_block_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/runner_notices_win.h"

static_assert(vm::kScreenSaveCommand == SC_SCREENSAVE && vm::kMonitorPowerCommand == SC_MONITORPOWER);
static_assert(vm::kHitClient == HTCLIENT);

namespace vm {
namespace {

// Set once, on the movie window's thread, before the window can call the replacement.
HWND g_movie = nullptr;
WNDPROC g_ownProcedure = nullptr;

WNDPROC CurrentProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

LRESULT CALLBACK MovieWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Only while the replacement is still the first procedure: a procedure put in front of it since
// would otherwise be dropped. The replacement then stays behind it and passes everything on.
void GiveBackOwnProcedure(HWND window) {
  if (CurrentProcedure(window) == MovieWindowProc)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ownProcedure));
}

LRESULT CALLBACK MovieWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const std::optional<SharedBlockView> block = ProjectorBlock();
  if (!block || WindowFromBlock(block->Get(kBlockProjectorWindow)) != window || message == WM_NCDESTROY) {
    GiveBackOwnProcedure(window);
  } else if (message == WM_SYSCOMMAND &&
             RefusesSystemCommand(*block, static_cast<uint32_t>(wParam), static_cast<int32_t>(lParam))) {
    return 0;
  } else if (message == WM_SETCURSOR && HidesCursor(*block, static_cast<short>(LOWORD(lParam)))) {
    SetCursor(nullptr);
    return TRUE;
  }
  return CallWindowProcA(g_ownProcedure, window, message, wParam, lParam);
}

}  // namespace

void TakeOverMovieWindowOnce(const SharedBlockView& block) {
  if (g_movie || !(block.IsSet(kBlockDisableScreenSaver) || block.IsSet(kBlockHideCursor))) return;
  const HWND movie = WindowFromBlock(block.Get(kBlockProjectorWindow));
  if (!movie || GetWindowThreadProcessId(movie, nullptr) != GetCurrentThreadId() || !KeepLibraryLoaded()) return;
  g_movie = movie;
  g_ownProcedure = CurrentProcedure(movie);
  SetWindowLongPtrA(movie, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MovieWindowProc));
}

}  // namespace vm
