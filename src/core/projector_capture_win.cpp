#include <windows.h>

#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "engine/projector_menu_win.h"
#include "engine/projector_rules.h"
#include "engine/shared_block.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr DWORD kWindowSearchMs = 11000;
constexpr DWORD kWindowSearchStepMs = 22;
constexpr DWORD kCloseGraceMs = 555;
// The library answers on the projector's first message after the re-parenting, its repaint at the
// latest; a projector that the library does not reach costs this much once.
constexpr DWORD kLibraryMenuWaitMs = 2000;
constexpr DWORD kLibraryMenuStepMs = 11;
constexpr int kClassNameCapacity = 1000;
constexpr UINT kPlaceQuietly = SWP_NOACTIVATE | SWP_NOZORDER;

BOOL CALLBACK MatchCallback(HWND window, LPARAM lParam) {
  auto* runner = reinterpret_cast<TfrmMain*>(lParam);
  return runner->MatchProjectorWindow(window) ? TRUE : FALSE;
}

// Dialogs that the projector opens stay above a topmost main window.
BOOL CALLBACK RaiseOwnedWindow(HWND window, LPARAM lParam) {
  HWND projector = reinterpret_cast<HWND>(lParam);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  if (GetWindow(window, GW_OWNER) == projector && (style & WS_CHILD) == 0 && (exStyle & WS_EX_TOPMOST) == 0)
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TRUE;
}

bool HasSizingBorder(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) != 0; }

FrameMetrics SystemFrameMetrics() {
  FrameMetrics m;
  m.MenuHeight = GetSystemMetrics(SM_CYMENU);
  m.CaptionHeight = GetSystemMetrics(SM_CYCAPTION);
  m.FrameX = GetSystemMetrics(SM_CXFRAME);
  m.FrameY = GetSystemMetrics(SM_CYFRAME);
  m.DlgFrameX = GetSystemMetrics(SM_CXDLGFRAME);
  m.DlgFrameY = GetSystemMetrics(SM_CYDLGFRAME);
  return m;
}

}  // namespace

bool TfrmMain::FindProjectorWindow() {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kWindowSearchMs && ProjectorWindow == nullptr && !LaunchFailed) {
    Sleep(kWindowSearchStepMs);
    EnumThreadWindows(ProjectorThreadId, MatchCallback, reinterpret_cast<LPARAM>(this));
  }
  Trace(ProjectorWindow ? "capture: projector window found" : "capture: no projector window within 11 s");
  return ProjectorWindow != nullptr;
}

// Answers whether the enumeration goes on.
bool TfrmMain::MatchProjectorWindow(HWND window) {
  char className[kClassNameCapacity + 1] = {};
  GetClassNameA(window, className, kClassNameCapacity);
  if (!IsProjectorWindowClass(className)) return true;
  ProjectorWindow = window;
  if (Settings.FullScreen || Settings.CustomSize) return false;

  RECT outer = {};
  GetWindowRect(window, &outer);
  FrameOptions options;
  options.NoTitle = Settings.NoTitle;
  options.NoBorder = Settings.NoBorder;
  options.AllowResize = Settings.AllowResize;
  options.AlignmentH = Settings.AlignmentH;
  options.AlignmentV = Settings.AlignmentV;
  const Rect32 rect = MainRectFromProjector(
      {Left, Top, Width, Height},
      {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top}, HasSizingBorder(window),
      options, SystemFrameMetrics(), ScreenRect.right, ScreenRect.bottom);
  Left = rect.Left;
  Top = rect.Top;
  Width = rect.Width;
  Height = rect.Height;
  RatioBaseWidth = Width;
  RatioBaseHeight = Height;
  return false;
}

void TfrmMain::CaptureProjectorWindow() {
  if (ProjectorWindow == nullptr) return;
  if (!Settings.FullScreen) {
    Left = AlignOnScreen(Settings.AlignmentH, Left, Width, ScreenRect.left, ScreenRect.right);
    Top = AlignOnScreen(Settings.AlignmentV, Top, Height, ScreenRect.top, ScreenRect.bottom);
  }
  if (Os.IsWin95 || Os.IsWin98)
    SetWindowPos(ProjectorWindow, nullptr, -2000, -2000, ClientWidth, ClientHeight, kPlaceQuietly);
  SetParent(ProjectorWindow, MainWnd);
  Sleep(kSettleMs);
  PumpPending();

  if (HasSizingBorder(ProjectorWindow)) {
    SetForegroundWindow(ProjectorWindow);
    SetFocus(ProjectorWindow);
    FullScreenCommand = FullScreenCommandOfProjector();
    SendMessageA(ProjectorWindow, WM_COMMAND, FullScreenCommand, 0);
  }
  Sleep(kSettleMs);

  const bool keepMainRect = Settings.CustomSize && Settings.FullScreen;
  const UINT mainFlags = SWP_NOZORDER | SWP_SHOWWINDOW | (keepMainRect ? SWP_NOMOVE | SWP_NOSIZE : 0);
  SetWindowPos(ProjectorWindow, nullptr, 0, 0, ClientWidth, ClientHeight, kPlaceQuietly);
  SetWindowPos(MainWnd, nullptr, Left, Top, Width, Height, mainFlags | SWP_NOACTIVATE);
  SetWindowPos(ProjectorWindow, nullptr, 0, 0, ClientWidth, ClientHeight, kPlaceQuietly | SWP_SHOWWINDOW);
  SetWindowPos(MainWnd, nullptr, Left, Top, Width, Height, mainFlags);
  Trace("capture: movie window embedded, main window ", Width, "x", Height, " at ", Left, ",", Top);
}

// The Runner's own walk where it can read the projector's menu. Under Wine it cannot (another
// process's menu answers no items), and the hook library, which reads it inside the projector once
// the window is re-parented, hands the command over through the block.
UINT TfrmMain::FullScreenCommandOfProjector() {
  const FullScreenSearch own = FindFullScreenCommand(GetMenu(ProjectorWindow));
  uint32_t command = own.Command;
  const char* source = "";
  if (!own.MenuRead) {
    uint32_t handed = 0;
    const DWORD start = GetTickCount();
    while (BlockMapped() && (handed = Block().Get(kBlockFullScreenCommand)) == 0 &&
           GetTickCount() - start < kLibraryMenuWaitMs) {
      Sleep(kLibraryMenuStepMs);
      PumpPending();
    }
    if (handed != 0) command = handed;
    source = handed != 0 ? " from the hook library" : ": the projector's menu is out of reach";
  }
  Trace("capture: full-screen command ", command, source);
  return command;
}

void TfrmMain::SyncProjectorZOrder() {
  SetWindowPos(MainWnd, ProjectorWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (GetActiveWindow() == MainWnd) SetActiveWindow(ProjectorWindow);
  if ((GetWindowLongA(MainWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
    EnumWindows(RaiseOwnedWindow, reinterpret_cast<LPARAM>(ProjectorWindow));
}

// While the movie window is being embedded, a request to end the movie is kept, to be asked again
// once the movie is up and can be closed politely.
void TfrmMain::HoldCloseRequest(TfrmMain& r, MSG& message, bool& handled) {
  if (message.message != r.RunnerMessage || message.wParam != 0) return;
  r.CloseRequestHeld = true;
  handled = true;
}

// The hook library's request to end the movie: full screen off, hidden, then a polite WM_CLOSE.
void TfrmMain::CloseProjector(TfrmMain& r, MSG& message, bool& handled) {
  if (message.message != r.RunnerMessage || message.wParam != 0) return;
  if (r.ProjectorThreadId != 0) {
    Trace("close: the hook library asked for the end of the movie");
    if (r.ProjectorWindow != nullptr) {
      r.ProjectorThreadId = 0;
      SetWindowPos(r.MainWnd, nullptr, ScreenWidth - 1, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      PumpPending();
      Sleep(kSettleMs);
      SendMessageA(r.ProjectorWindow, WM_COMMAND, r.FullScreenCommand, 0);
      PumpPending();
      Sleep(kSettleMs);
      ShowWindow(r.ProjectorWindow, SW_HIDE);
      PumpPending();
      Sleep(kCloseGraceMs);
      PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
      PumpPending();
    } else {
      PostThreadMessageA(r.ProjectorThreadId, WM_QUIT, 1, 0);
    }
    r.ProjectorThreadId = 0;
  }
  handled = true;
}

}  // namespace vm
