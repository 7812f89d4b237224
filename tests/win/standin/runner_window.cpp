#include "win/standin/runner_window.h"

#include <stdexcept>

#include "engine/runner_messages.h"

namespace standintest {
namespace {

constexpr const char* kRunnerClass = vm::kMainWindowClass;

}  // namespace

FakeRunnerWindow::FakeRunnerWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  if (!GetClassInfoA(instance, kRunnerClass, &wc)) {
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kRunnerClass;
    RegisterClassA(&wc);
  }
  window_ = CreateWindowExA(0, kRunnerClass, "Runner", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                            kLeft, kTop, kWidth, kHeight, nullptr, nullptr, instance, this);
  if (window_ == nullptr) throw std::runtime_error("cannot create the Runner's window");
}

FakeRunnerWindow::~FakeRunnerWindow() { DestroyWindow(window_); }

RECT FakeRunnerWindow::ScreenClientRect() const {
  RECT rect;
  GetClientRect(window_, &rect);
  MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LRESULT CALLBACK FakeRunnerWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<FakeRunnerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && msg == WM_SETTEXT) {
    self->received_.push_back({msg, wParam, lParam, reinterpret_cast<const char*>(lParam)});
    return kSetTextReply;
  }
  if (self != nullptr && msg >= WM_USER && msg < 0xC000) {
    self->received_.push_back({msg, wParam, lParam, ""});
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace standintest
