#include "standin/projector_window_win.h"

#include <windowsx.h>

#include <exception>
#include <utility>

#include "engine/runner_messages.h"
#include "standin/address_opening_win.h"
#include "standin/demo_layout.h"
#include "standin/demo_paint_win.h"
#include "standin/log_lines.h"
#include "standin/projector_menu_win.h"
#include "standin/wine_paint_win.h"
#include "support/errors.h"

namespace vm::standin {
namespace {

constexpr char kTitle[] = "Stand-in Projector";
constexpr int kMovieWidth = 550;  // the Flash authoring tool's default stage
constexpr int kMovieHeight = 400;
constexpr DWORD kFramedStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFixedSizeStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kAnimationTimer = 2;
constexpr UINT_PTR kEmbedWaitTimer = 4;
// Position changes announce most re-parenting and showing; the timer catches what they miss.
constexpr UINT kWatchIntervalMs = 50;
constexpr UINT kFrameIntervalMs = 33;
// A script plays once the Runner has embedded the window, or after this long without that.
constexpr UINT kEmbedWaitMs = 15000;
constexpr int kAtomNameCapacity = 1024;

void RegisterProjectorClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kProjectorWindowClass, &existing)) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kProjectorWindowClass;
  if (!RegisterClassExA(&wc))
    throw Exception("RegisterClassExA failed for " + std::string(kProjectorWindowClass) + " (error " +
                    std::to_string(GetLastError()) + ")");
}

}  // namespace

ProjectorWindow::ProjectorWindow(WindowSetup setup, const ObservationLog& log)
    : setup_(std::move(setup)), log_(log), script_(setup_.Script, setup_.Suffix, log) {}

ProjectorWindow::~ProjectorWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

HWND ProjectorWindow::Create(HINSTANCE instance, int showCommand) {
  RegisterProjectorClass(instance, WindowProc);
  globalCloseMessage_ = RegisterWindowMessageA(kGlobalCloseMessageName);
  DWORD style = setup_.SizeBorder ? kFramedStyle : kFixedSizeStyle;
  RECT frame = {0, 0, kMovieWidth, kMovieHeight};
  AdjustWindowRect(&frame, style, TRUE);
  UniqueMenu menu = BuildProjectorMenu(setup_.Menu, setup_.FullScreenCommand);
  HWND window = CreateWindowExA(0, kProjectorWindowClass, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, menu.get(),
                                instance, this);
  if (window == nullptr)
    throw Exception("CreateWindowExA failed for " + std::string(kProjectorWindowClass) + " (error " +
                    std::to_string(GetLastError()) + ")");
  menu.release();  // destroyed with the window
  shortcuts_ = BuildProjectorShortcuts(setup_.FullScreenCommand);

  SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
  SetTimer(window, kAnimationTimer, kFrameIntervalMs, nullptr);
  if (!setup_.Script.empty()) SetTimer(window, kEmbedWaitTimer, kEmbedWaitMs, nullptr);
  ShowWindow(window, showCommand);
  Observe();
  return window;
}

bool ProjectorWindow::TranslateShortcut(MSG& msg) {
  return window_ != nullptr && shortcuts_ && TranslateAcceleratorA(window_, shortcuts_.get(), &msg);
}

LRESULT CALLBACK ProjectorWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<ProjectorWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ProjectorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(window, msg, wParam, lParam);
  }
  try {
    return self->Dispatch(msg, wParam, lParam);
  } catch (const std::exception& e) {
    self->log_.Write(ErrorLine(e.what()));
    return 0;
  }
}

LRESULT ProjectorWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != 0 && msg == globalCloseMessage_) {
    OnGlobalClose(wParam, lParam);
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:           OnCommand(wParam); return 0;
    case WM_TIMER:             OnTimer(wParam); return 0;
    case WM_PAINT:             OnPaint(); return 0;
    case WM_LBUTTONUP:         log_.Write(ButtonLine(msg)); OnClick(lParam); return 0;
    case WM_MOUSEMOVE:         ObserveCursor(); return 0;
    case WM_SYSCOMMAND:        OnSystemCommand(wParam, lParam); break;  // then as every window does
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:        log_.Write(KeyLine(static_cast<uint32_t>(wParam))); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:     log_.Write(ButtonLine(msg)); break;
    case WM_CONTEXTMENU:       log_.Write(kContextMenuLine); break;
    case WM_ERASEBKGND:        return 1;  // every frame covers the whole client area
    case WM_WINDOWPOSCHANGED:  Observe(); break;
    case WM_STYLECHANGED:      Observe(); break;
    case WM_DESTROY:           OnDestroy(); return 0;
  }
  return DefWindowProcA(window_, msg, wParam, lParam);
}

// Only the full-screen item's own id switches: a command with the Flash Player's id does nothing
// in a stand-in that carries another.
void ProjectorWindow::OnCommand(WPARAM wParam) {
  const UINT command = LOWORD(wParam);
  if (command == setup_.FullScreenCommand) {
    fullScreen_.Toggle(window_);
    log_.Write(fullScreen_.IsOn() ? kFullScreenOnLine : kFullScreenOffLine);
  } else if (command == kCloseCommand) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
  }
}

void ProjectorWindow::OnTimer(WPARAM timer) {
  switch (timer) {
    case kWatchTimer:
      Observe();
      break;
    case kAnimationTimer:
      ++frame_;
      InvalidateRect(window_, nullptr, FALSE);
      break;
    case kEmbedWaitTimer:
      StartScript();
      break;
    case ScriptRunner::kTimer:
      script_.Continue(window_);
      break;
  }
}

void ProjectorWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (dc == nullptr) return;
  LetWinePaintEmbedded(window_, dc);
  RECT client;
  GetClientRect(window_, &client);
  PaintDemoFrame(dc, client, frame_);
  EndPaint(window_, &paint);
}

// The demo's link and button open their addresses as a movie's would: through the shell, where
// the hook library takes them for the Runner.
void ProjectorWindow::OnClick(LPARAM position) {
  RECT client;
  GetClientRect(window_, &client);
  switch (DemoAreaAt(client.right, client.bottom, GET_X_LPARAM(position), GET_Y_LPARAM(position))) {
    case DemoArea::PageLink: {
      char directory[MAX_PATH];
      const DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
      if (length > 0 && length < MAX_PATH) log_.Write(OpenThroughShell(window_, std::string(directory) + "\\" + kDemoPage));
      break;
    }
    case DemoArea::QuitButton:
      log_.Write(OpenThroughShell(window_, kDemoQuitAddress));
      break;
    case DemoArea::None:
      break;
  }
}

void ProjectorWindow::OnSystemCommand(WPARAM command, LPARAM argument) {
  const std::string line = SystemCommandLine(static_cast<std::uint32_t>(command), static_cast<std::int32_t>(argument));
  if (!line.empty()) log_.Write(line);
}

// The system asks the window for its cursor (WM_SETCURSOR) before it hands over each mouse move,
// so the move sees the cursor that the window, or what stands before its procedure, chose.
void ProjectorWindow::ObserveCursor() {
  const bool shown = GetCursor() != nullptr;
  if (cursorShown_ == shown) return;
  cursorShown_ = shown;
  log_.Write(shown ? kCursorShownLine : kCursorNoneLine);
}

// A real projector's window only receives it; the log shows what a Runner handed on.
void ProjectorWindow::OnGlobalClose(WPARAM sender, LPARAM atom) {
  char name[kAtomNameCapacity] = {};
  GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
  log_.Write(GlobalCloseLine(sender, name));
}

void ProjectorWindow::OnDestroy() {
  script_.Stop();
  PostQuitMessage(0);
}

void ProjectorWindow::Observe() {
  if (watch_.Check(window_, log_)) StartScript();
}

void ProjectorWindow::StartScript() {
  KillTimer(window_, kEmbedWaitTimer);
  script_.Start(window_);
}

}  // namespace vm::standin
