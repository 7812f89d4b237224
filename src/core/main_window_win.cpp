#include "core/main_window_win.h"

#include <exception>
#include <string>

#include "config/setup_dialog_win.h"
#include "core/error_report_win.h"
#include "core/main_window_rules.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "engine/movie_window_rules.h"
#include "engine/runner_messages.h"
#include "payload/file_helpers_paths.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr UINT_PTR kDragTimerId = 1231;
constexpr UINT kDragTimerMs = 11;
constexpr WPARAM kEscape = 27;
constexpr int kAtomNameCapacity = 1024;
constexpr DWORD kEnvironmentCapacity = 500;

bool ProjectorHasForeground(const TfrmMain& r) {
  return r.ProjectorWindow != nullptr && GetForegroundWindow() == r.ProjectorWindow;
}

// The session runs inside the dispatch of this message and returns when the movie is over. An
// error out of it is reported once, and the run then ends as a normal one does: nothing else
// would end it, its window being hidden by then.
void OnRunnerStart(TfrmMain& r) {
  try {
    if (r.SetupMode)
      r.RunSetupDialog();
    else
      r.LaunchSession();
  } catch (const std::exception& e) {
    ReportException(r.MainWnd, e);
  }
  QuitFlag = true;
}

void KeepRectangle(TfrmMain& r) {
  RECT rect = {};
  GetWindowRect(r.MainWnd, &rect);
  r.Left = rect.left;
  r.Top = rect.top;
  r.Width = rect.right - rect.left;
  r.Height = rect.bottom - rect.top;
}

void OnSize(TfrmMain& r, LPARAM lParam) {
  if (r.MainWnd != nullptr) {
    KeepRectangle(r);
    RECT client = {};
    GetClientRect(r.MainWnd, &client);
    ClientWidth = client.right;
    ClientHeight = client.bottom;
  } else {
    ClientWidth = LOWORD(lParam);
    ClientHeight = HIWORD(lParam);
  }
  ResizePending = true;
}

void StopDrag(TfrmMain& r) {
  if (r.DragTimer != 0) KillTimer(r.MainWnd, kDragTimerId);
  r.DragTimer = 0;
  r.Dragging = false;
}

void OnDragStart(TfrmMain& r, WPARAM mouseMessage) {
  if (!r.BlockMapped() || r.Block().IsSet(kBlockMenuOpen) || r.Dragging || mouseMessage != WM_LBUTTONDOWN) return;
  GetCursorPos(&r.DragOrigin);
  r.Dragging = true;
  r.DragMoved = false;
  if (r.DragTimer != 0) KillTimer(r.MainWnd, kDragTimerId);
  r.DragTimer = SetTimer(r.MainWnd, kDragTimerId, kDragTimerMs, nullptr);
  if (r.DragTimer != kDragTimerId) r.Dragging = false;
  else Trace("main window: a drag begins");
}

void OnDragStep(TfrmMain& r) {
  if (!r.Dragging || GetCapture() == r.ProjectorWindow) return;
  POINT cursor;
  GetCursorPos(&cursor);
  const int primary = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  if ((GetAsyncKeyState(primary) & 0x8000) == 0) {
    r.Dragging = false;
    return;
  }
  const int32_t dx = cursor.x - r.DragOrigin.x;
  const int32_t dy = cursor.y - r.DragOrigin.y;
  if (!DragShouldMove(r.DragMoved, dx, dy)) return;
  r.Left += dx;
  r.Top += dy;
  r.DragOrigin = cursor;
  MoveWindow(r.MainWnd, r.Left, r.Top, r.Width, r.Height, TRUE);
  r.DragMoved = true;
}

void OnSizing(TfrmMain& r, WPARAM edge, LPARAM lParam) {
  if (r.MainWnd == nullptr || !r.Settings.MaintainRatio) return;
  r.RatioResized = true;
  POINT cursor;
  GetCursorPos(&cursor);
  RECT* proposed = reinterpret_cast<RECT*>(lParam);
  Edges edges{proposed->left, proposed->top, proposed->right, proposed->bottom};
  RatioState state;
  state.BaseWidth = r.RatioBaseWidth;
  state.BaseHeight = r.RatioBaseHeight;
  state.Left = r.Left;
  state.Top = r.Top;
  state.Width = r.Width;
  state.Height = r.Height;
  state.CursorX = cursor.x;
  state.CursorY = cursor.y;
  KeepAspectRatio(static_cast<int32_t>(edge), state, edges);
  *proposed = RECT{edges.Left, edges.Top, edges.Right, edges.Bottom};
}

// The new preferences take effect only in a new run: a change ends this movie and restarts.
void OnSetupCommand(TfrmMain& r) {
  if (CurrentSetupDialog) {
    // While it is still opening (the password prompt is up) there is nothing to focus yet.
    if (CurrentSetupDialog->Handle) SetFocus(CurrentSetupDialog->Handle.get());
    return;
  }
  if (!r.RunSetupDialog()) return;
  Trace("menu: the preferences changed; restarting the movie");
  PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
  RestartFlag = true;
}

void OnMenuCommand(TfrmMain& r, WPARAM id) {
  switch (id) {
    case kMenuClose:
      if (CurrentSetupDialog)
        SendMessageA(CurrentSetupDialog->Handle.get(), WM_CLOSE, 0, 0);
      else
        PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
      break;
    case kMenuMinimize: PostMessageA(r.MainWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case kMenuSetup:    OnSetupCommand(r); break;
  }
}

void OnShowMenu(TfrmMain& r) {
  if (!r.PopupMenu || !r.BlockMapped() || r.Block().IsSet(kBlockMenuOpen)) return;
  POINT cursor;
  GetCursorPos(&cursor);
  r.Block().Set(kBlockMenuOpen, 1);
  TrackPopupMenu(r.PopupMenu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, r.MainWnd, nullptr);
  r.Block().Set(kBlockMenuOpen, 0);
}

void OnActivationNotice(TfrmMain& r, WPARAM window) {
  HWND activated = reinterpret_cast<HWND>(window);
  if (r.BlockMapped() && r.Block().IsSet(kBlockMenuOpen) && activated != r.MainWnd &&
      (GetMenuState(r.PopupMenu.get(), 0, MF_BYPOSITION) & MF_HILITE) == 0) {
    SendMessageA(r.MainWnd, WM_CANCELMODE, 0, 0);
    r.Dragging = false;
  }
  if (!(GetForegroundWindow() == r.MainWnd && activated == r.MainWnd))
    SendMessageA(r.MainWnd, WM_NCACTIVATE, 0, 0);
}

void OnMovieClicked(TfrmMain& r) {
  Trace("main window: the movie was clicked");
  if (r.MainWnd != nullptr) SendMessageA(r.MainWnd, WM_NCACTIVATE, 1, 0);
  if (r.Settings.DisableClickForeground || r.ProjectorWindow == nullptr || r.MainWnd == nullptr) return;
  const bool mouse = r.Settings.Interaction.Value;
  SetWindowPos(r.MainWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | (mouse ? SWP_NOACTIVATE : 0));
  if (!r.Settings.AlwaysOnTop)
    SetWindowPos(r.MainWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  SendMessageA(r.MainWnd, WM_NCACTIVATE, 1, 0);
  if (!mouse) SetForegroundWindow(r.MainWnd);
}

std::string AtomName(LPARAM atom) {
  char name[kAtomNameCapacity] = {};
  GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
  return name;
}

void OnGlobalClose(TfrmMain& r, WPARAM wParam, LPARAM lParam) {
  const std::string name = AtomName(lParam);
  if (wParam == 0) {
    r.GlobalCloseMessage = 0xFFFFFFFF;
    if (lstrcmpiA(FileNameOf(name, IsSystemLeadByte).c_str(), r.ExeFileName.c_str()) == 0) SendMessageA(r.MainWnd, WM_CLOSE, 0, 0);
    return;
  }
  char value[kEnvironmentCapacity + 1] = {};
  GetEnvironmentVariableA(name.c_str(), value, sizeof value);
  if (PublishedHandleMatches(value, wParam) && r.ProjectorWindow)
    PostMessageA(r.ProjectorWindow, r.GlobalCloseMessage, wParam, lParam);
}

// Keeps the main window's caption drawn active while the embedded movie has the focus.
bool OnActivationMessage(TfrmMain& r, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_ACTIVATEAPP && wParam == 0 && static_cast<DWORD>(lParam) != r.ProjectorThreadId) r.Dragging = false;
  if (!r.Settings.Interaction.Value) return false;
  switch (msg) {
    case WM_ACTIVATEAPP:
      if (wParam == 0)
        SendMessageA(r.MainWnd, WM_NCACTIVATE, static_cast<DWORD>(lParam) == r.ProjectorThreadId ? 1 : 0, 0);
      result = 0;
      return true;
    case WM_NCHITTEST:
      result = DefWindowProcA(hwnd, msg, wParam, lParam);
      if (result != HTCLIENT && ProjectorHasForeground(r)) PostMessageA(r.MainWnd, WM_NCACTIVATE, 1, 0);
      return true;
    case WM_NCPAINT:
      result = DefWindowProcA(hwnd, msg, wParam, lParam);
      if (ProjectorHasForeground(r)) SendMessageA(r.MainWnd, WM_NCACTIVATE, 1, 0);
      return true;
    case WM_NCACTIVATE:
      result = wParam == 0 && ProjectorHasForeground(r) ? 1 : DefWindowProcA(hwnd, msg, wParam, lParam);
      return true;
  }
  return false;
}

LRESULT Dispatch(TfrmMain& r, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (msg) {
    case WM_DESTROY:
      r.PopupMenu.reset();
      break;
    case WM_MOVE:
      if (r.MainWnd) KeepRectangle(r);
      break;
    case WM_SIZE:       OnSize(r, lParam); break;
    case WM_SETTEXT:
      if (LRESULT reply = r.HandleCommandText(wParam, lParam)) return reply;
      break;
    case WM_CLOSE:
      if (r.ProjectorWindow) PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
      return 0;
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      if (CurrentSetupDialog)
        SendMessageA(CurrentSetupDialog->Handle.get(), WM_CLOSE, 0, 0);
      else if (r.ProjectorWindow)
        PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
      break;
    case WM_ERASEBKGND:
      if (r.RatioResized) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      }
      break;
    case WM_ACTIVATEAPP:
    case WM_NCHITTEST:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      if (OnActivationMessage(r, hwnd, msg, wParam, lParam, result)) return result;
      break;
    case WM_CANCELMODE: StopDrag(r); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // With the keys set to end the movie, one that comes here rather than to the movie (the
      // focus can stay with this window once the movie is shown) ends it all the same, politely.
      if (r.ProjectorShown && r.BlockMapped() && r.Block().IsSet(kBlockKeyInteractionOff)) {
        Trace("main window: a key ends the movie");
        PostThreadMessageA(GetCurrentThreadId(), r.RunnerMessage, 0, 0);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // The system asks the foreground window to start the screen saver, and while the movie
      // plays that is this one, not the projector's.
      if (r.BlockMapped() && RefusesSystemCommand(r.Block(), static_cast<uint32_t>(wParam), static_cast<int32_t>(lParam))) {
        Trace("main window: the screen saver and the monitor's power-off wait for the movie's end");
        return 0;
      }
      break;
    case MM_MCINOTIFY:  r.MidiPlayer.MMNotify(static_cast<uint32_t>(wParam)); break;
    case WM_WINDOWPOSCHANGING:
      if (r.Settings.DisableClickForeground && r.ProjectorShown) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOZORDER | SWP_NOACTIVATE;
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == kEscape && r.BlockMapped() && r.Block().IsSet(kBlockExitOnEsc) && r.ProjectorWindow) {
        Trace("main window: ESC ends the movie");
        PostMessageA(r.ProjectorWindow, WM_CLOSE, 0, 0);
      }
      break;
    case WM_COMMAND:
      if (lParam == 0 && r.ProjectorWindow) OnMenuCommand(r, wParam);
      break;
    case WM_TIMER:
      if (wParam == kDragTimerId) OnDragStep(r);
      break;
    case WM_SIZING:     OnSizing(r, wParam, lParam); break;
    case WM_RUNNER_START:          OnRunnerStart(r); return 0;
    case WM_RUNNER_MOVIE_CLICKED:  OnMovieClicked(r); return 0;
    case WM_RUNNER_READY:
      if (r.BlockMapped()) r.Block().Set(kBlockProjectorReady, 1);
      r.ProjectorReady = true;
      return 0;
    case WM_RUNNER_START_MIDI:     r.StartMidiMusic(); return 0;
    case WM_RUNNER_ACTIVATION:     OnActivationNotice(r, wParam); return 0;
    case WM_RUNNER_FOREGROUND:     SetForegroundWindow(r.ProjectorWindow); return 0;
    case WM_RUNNER_SHOW_MENU:      OnShowMenu(r); return 0;
    case WM_RUNNER_CANCEL_DRAG:    StopDrag(r); return 0;
    case WM_RUNNER_DRAG_START:     OnDragStart(r, wParam); return 0;
    case WM_RUNNER_CLOSE:
      if (wParam == 0) SendMessageA(r.MainWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_RUNNER_CLEAR_DRAGGING: r.Dragging = false; return 0;
    default:
      if (msg >= kFirstRunnerMessage && msg <= kLastRunnerMessage) return 0;
      if (msg == r.GlobalCloseMessage && r.GlobalCloseMessage != 0) {
        OnGlobalClose(r, wParam, lParam);
        return 0;
      }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TfrmMain* runner = CurrentRunner;
  if (runner == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  try {
    return Dispatch(*runner, hwnd, msg, wParam, lParam);
  } catch (const std::exception& e) {
    ReportException(runner->MainWnd, e);
    return 0;
  }
}

}  // namespace vm
