#include "hooklib/full_screen_report_win.h"

#include <windows.h>

#include "engine/projector_menu_win.h"
#include "engine/shared_block_win.h"
#include "hooklib/hook_decisions.h"
#include "hooklib/hook_session_win.h"

namespace vm {
namespace {

// The Runner names the movie window in the block only after it has switched the window to full
// screen, which takes the menu away. Before that, the movie window is the one child of the main
// window that belongs to this process.
HWND EmbeddedWindowOfThisProcess(HWND mainWindow) {
  const DWORD self = GetCurrentProcessId();
  for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    if (owner == self) return child;
  }
  return nullptr;
}

}  // namespace

void ReportFullScreenCommandOnce(const SharedBlockView& block) {
  if (!AwaitsFullScreenCommand(block)) return;
  const HWND movie = EmbeddedWindowOfThisProcess(WindowFromBlock(block.Get(kBlockMainWindow)));
  if (movie) WriteSessionBlock(kBlockFullScreenCommand, FindFullScreenCommand(GetMenu(movie)).Command);
}

}  // namespace vm
