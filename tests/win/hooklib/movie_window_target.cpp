// A movie window in a process of its own, for the tests of what the hook library does to the
// projector's window. Its caption says what reached it and what it saw:
// "screensave S monitorpower M cursor none|shown|unknown procedure own|replaced", the cursor as
// the system had set it for the last mouse move, the procedure as it was at the last message.
#include <windows.h>

#include <cstdio>

namespace {

constexpr char kClassName[] = "VardelMovieWindowTarget";
// Ends on its own should a test not close it.
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 60000;
// A movie redraws all the time: the projector's thread is never idle for long.
constexpr UINT_PTR kFrameTimer = 2;
constexpr UINT kFrameMs = 40;

int g_screenSaves = 0;
int g_monitorPowers = 0;
const char* g_cursor = "unknown";

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void ShowWhatReached(HWND window) {
  const bool own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == TargetProc;
  char caption[128];
  std::snprintf(caption, sizeof caption, "screensave %d monitorpower %d cursor %s procedure %s", g_screenSaves,
                g_monitorPowers, g_cursor, own ? "own" : "replaced");
  char current[128] = "";
  GetWindowTextA(window, current, sizeof current);
  if (lstrcmpA(current, caption) != 0) SetWindowTextA(window, caption);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) ++g_screenSaves;
      if ((wParam & 0xFFF0) == SC_MONITORPOWER) ++g_monitorPowers;
      ShowWhatReached(window);
      break;
    case WM_MOUSEMOVE:
      g_cursor = GetCursor() ? "shown" : "none";
      ShowWhatReached(window);
      return 0;
    case WM_NULL:
      ShowWhatReached(window);
      return 0;
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
  HWND window = CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW, 600, 100, 300, 200, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ShowWhatReached(window);
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
