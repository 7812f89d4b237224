// The library's exported hook procedures. The Runner installs them on the projector's main
// thread; they act only in the projector's process while its session runs, and always hand the
// event on to the next hook.
#include <windows.h>

#include <optional>

#include "engine/runner_messages.h"
#include "engine/shared_block.h"
#include "engine/shared_block_win.h"
#include "hooklib/hook_decisions.h"
#include "hooklib/embedding_watch_win.h"
#include "hooklib/full_screen_report_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/movie_end_win.h"
#include "hooklib/movie_window_win.h"
#include "hooklib/open_intercept_win.h"
#include "hooklib/runner_notices_win.h"
#include "hooklib/session_audio_win.h"

static_assert(vm::kHookAction == HC_ACTION);
static_assert(vm::kKeyEscape == VK_ESCAPE);
static_assert(vm::kLeftButtonDown == WM_LBUTTONDOWN && vm::kLeftButtonUp == WM_LBUTTONUP &&
              vm::kLeftButtonDoubleClick == WM_LBUTTONDBLCLK);
static_assert(vm::kRightButtonDown == WM_RBUTTONDOWN && vm::kRightButtonUp == WM_RBUTTONUP &&
              vm::kRightButtonDoubleClick == WM_RBUTTONDBLCLK);
static_assert(vm::kMiddleButtonDown == WM_MBUTTONDOWN && vm::kMiddleButtonUp == WM_MBUTTONUP &&
              vm::kMiddleButtonDoubleClick == WM_MBUTTONDBLCLK);
static_assert(vm::kExtraButtonDown == WM_XBUTTONDOWN && vm::kExtraButtonUp == WM_XBUTTONUP &&
              vm::kExtraButtonDoubleClick == WM_XBUTTONDBLCLK);
static_assert(vm::kFrameLeftButtonDown == WM_NCLBUTTONDOWN && vm::kFrameLeftButtonUp == WM_NCLBUTTONUP &&
              vm::kFrameLeftButtonDoubleClick == WM_NCLBUTTONDBLCLK);
static_assert(vm::kFrameRightButtonDown == WM_NCRBUTTONDOWN && vm::kFrameRightButtonUp == WM_NCRBUTTONUP &&
              vm::kFrameRightButtonDoubleClick == WM_NCRBUTTONDBLCLK);
static_assert(vm::kFrameMiddleButtonDown == WM_NCMBUTTONDOWN && vm::kFrameMiddleButtonUp == WM_NCMBUTTONUP &&
              vm::kFrameMiddleButtonDoubleClick == WM_NCMBUTTONDBLCLK);
static_assert(vm::kWindowsUserMessage == WM_USER);

namespace {

using vm::SharedBlockView;

// A hook procedure's answer that keeps the event from its target.
constexpr LRESULT kDiscardEvent = 1;

bool IsMovieOrInside(const SharedBlockView& block, HWND window) {
  const HWND movie = vm::WindowFromBlock(block.Get(vm::kBlockProjectorWindow));
  return movie && window && (window == movie || IsChild(movie, window));
}

// The projector's threads come here first: the first of them takes over the projector's ways of
// opening addresses, each is watched for the embedding, and any event in the projector may be
// the first after it: the first to read the menu for the Runner, and on the movie window's thread
// the first to take the window over.
std::optional<SharedBlockView> ProjectorEvent() {
  const std::optional<SharedBlockView> block = vm::ProjectorBlock();
  if (block) {
    vm::InterceptProjectorOpensOnce();
    vm::WatchThisThread(*block);
    vm::ReportFullScreenCommandOnce(*block);
    vm::TakeOverMovieWindowOnce(*block);
    vm::AnnounceReadyOnce(*block);
    vm::MuteProjectorAudioOnce(*block);
  }
  return block;
}

// Each On... handler answers whether the event is to be kept from its target.
bool OnKey(int code, WPARAM virtualKey, LPARAM flags) {
  const std::optional<SharedBlockView> block = ProjectorEvent();
  if (!block) return false;
  const vm::KeyResponse response =
      vm::DecideKey(*block, {code, static_cast<uint32_t>(virtualKey), static_cast<uint32_t>(flags),
                             IsMovieOrInside(*block, GetFocus())});
  if (response.sendEscape) vm::PostToRunner(*block, WM_CHAR, VK_ESCAPE, flags);
  if (response.endMovie) vm::AskRunnerToEndMovie(*block);
  return response.swallow;
}

bool OnMouse(int code, WPARAM message, LPARAM details) {
  const std::optional<SharedBlockView> block = ProjectorEvent();
  if (!block) return false;
  const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(details);
  const vm::MouseResponse response = vm::DecideMouse(
      *block, {code, static_cast<uint32_t>(message), mouse && IsMovieOrInside(*block, mouse->hwnd)});
  if (response.movieClicked) vm::PostToRunner(*block, vm::WM_RUNNER_MOVIE_CLICKED, 0, 0);
  if (response.dragStart) vm::PostToRunner(*block, vm::WM_RUNNER_DRAG_START, WM_LBUTTONDOWN, 0);
  if (response.dragEnd) vm::PostToRunner(*block, vm::WM_RUNNER_CANCEL_DRAG, 0, 0);
  if (response.showMenu) vm::PostToRunner(*block, vm::WM_RUNNER_SHOW_MENU, 0, 0);
  if (response.endMovie) vm::AskRunnerToEndMovie(*block);
  return response.swallow;
}

bool OnCbt(int code, WPARAM window) {
  const std::optional<SharedBlockView> block = ProjectorEvent();
  if (!block) return false;
  if (code == HCBT_ACTIVATE) vm::PostToRunner(*block, vm::WM_RUNNER_ACTIVATION, window, 0);
  if (code == HCBT_DESTROYWND) vm::RestoreProjectorAudioBefore(*block, reinterpret_cast<HWND>(window));
  return false;
}

bool OnGetMessage() {
  ProjectorEvent();
  return false;
}

// Windows 95, 98 and Me find the next hook by the handle that the Runner stored; later systems
// ignore it.
LRESULT NextHook(vm::DwordField hook, int code, WPARAM wParam, LPARAM lParam) {
  const uint8_t* bytes = vm::HookSessionBlock();
  const HHOOK handle = bytes ? vm::HookFromBlock(SharedBlockView(bytes).Get(hook)) : nullptr;
  return CallNextHookEx(handle, code, wParam, lParam);
}

// A negative code is the system's: the event goes straight on. The library is built without
// exceptions, so nothing can escape into the system's hook chain.
template <typename Handler>
LRESULT HookProcedure(vm::DwordField hook, int code, WPARAM wParam, LPARAM lParam, Handler handler) noexcept {
  const bool discard = code >= 0 && handler();
  const LRESULT next = NextHook(hook, code, wParam, lParam);
  return discard ? kDiscardEvent : next;
}

}  // namespace

extern "C" {

LRESULT CALLBACK MProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return HookProcedure(vm::kBlockMouseHook, code, wParam, lParam, [=] { return OnMouse(code, wParam, lParam); });
}

LRESULT CALLBACK KProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return HookProcedure(vm::kBlockKeyboardHook, code, wParam, lParam, [=] { return OnKey(code, wParam, lParam); });
}

LRESULT CALLBACK CProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return HookProcedure(vm::kBlockCbtHook, code, wParam, lParam, [=] { return OnCbt(code, wParam); });
}

LRESULT CALLBACK GProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return HookProcedure(vm::kBlockGetMessageHook, code, wParam, lParam, [] { return OnGetMessage(); });
}

// The Runner requires these three to exist but installs none of them.
LRESULT CALLBACK WProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK FProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK SProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // extern "C"
