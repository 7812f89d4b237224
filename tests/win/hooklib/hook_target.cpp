// A window in a process of its own, standing in for the projector in the hook library's tests.
// Its caption counts the input that reached it, so the test can see what the hooks kept away:
// "escapes E keys K left L right R". Its menu bar has a German view menu whose full-screen item
// has the id 31337, which the library is to read for the Runner.
#include <windows.h>

#include <cstdio>

namespace {

constexpr char kClassName[] = "VardelHookTarget";
// Ends on its own should a test not close it.
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 60000;
// A movie redraws all the time: the projector's thread is never idle for long.
constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT kFrameMs = 40;
constexpr UINT kFullScreenId = 31337;

int g_escapes = 0;
int g_otherKeys = 0;
int g_leftPresses = 0;
int g_rightMessages = 0;

void ShowCounts(HWND window) {
  char caption[64];
  std::snprintf(caption, sizeof caption, "escapes %d keys %d left %d right %d", g_escapes, g_otherKeys, g_leftPresses,
                g_rightMessages);
  SetWindowTextA(window, caption);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      ++(wParam == VK_ESCAPE ? g_escapes : g_otherKeys);
      ShowCounts(window);
      break;
    case WM_LBUTTONDOWN:
      ++g_leftPresses;
      ShowCounts(window);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      ++g_rightMessages;
      ShowCounts(window);
      break;
    case WM_TIMER:
      if (wParam == kLifetimeTimer) DestroyWindow(window);
      if (wParam == kFrameTimer) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TargetProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass)) return 1;
  HMENU view = CreatePopupMenu();
  HMENU bar = CreateMenu();
  if (!view || !bar || !AppendMenuA(view, MF_STRING, kFullScreenId, "&Vollbild\tStrg+F") ||
      !AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&Ansicht"))
    return 1;
  HWND window = CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW, 600, 100, 300, 200, nullptr, bar,
                                instance, nullptr);
  if (!window) return 1;
  ShowCounts(window);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(window, kLifetimeTimer, kLifetimeMs, nullptr);
  SetTimer(window, kFrameTimer, kFrameMs, nullptr);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
