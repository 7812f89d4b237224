#include "hooklib/runner_notices_win.h"

#include "engine/runner_messages.h"
#include "engine/shared_block_win.h"
#include "hooklib/hook_decisions.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/ready_latch.h"

namespace vm {
namespace {

ReadyLatch g_readyLatch;

}  // namespace

std::optional<SharedBlockView> ProjectorBlock() {
  const uint8_t* bytes = HookSessionBlock();
  if (!bytes) return std::nullopt;
  const SharedBlockView block(bytes);
  if (!ActsInProcess(block, GetCurrentProcessId())) return std::nullopt;
  return block;
}

// Notices are posted, not sent: a send would hold the projector's thread until the Runner pumps,
// which it does not while it waits for the starting projector to become idle, nor while its
// right-click menu is open.
void PostToRunner(const SharedBlockView& block, UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(WindowFromBlock(block.Get(kBlockMainWindow)), message, wParam, lParam);
}

// Only this process's own movie window counts. Its parent is the one SetParent gave, which
// GetParent reports only for windows styled WS_CHILD.
void AnnounceReadyOnce(const SharedBlockView& block) {
  const uint32_t movie = block.Get(kBlockProjectorWindow);
  const HWND movieWindow = WindowFromBlock(movie);
  DWORD owner = 0;
  GetWindowThreadProcessId(movieWindow, &owner);
  const HWND parent = owner == GetCurrentProcessId() ? GetAncestor(movieWindow, GA_PARENT) : nullptr;
  if (MovieJustEmbedded(block, HandleToBlock(parent)) && g_readyLatch.Claim(movie))
    PostToRunner(block, WM_RUNNER_READY, 0, 0);
}

}  // namespace vm
