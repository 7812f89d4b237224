#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standintest {

// A window of the Runner's class, "GaGaMossantWindow", that records what the stand-in sends it
// and answers WM_SETTEXT with kSetTextReply. White, so that a stand-in that cannot paint into it
// shows.
class FakeRunnerWindow {
 public:
  static constexpr LRESULT kSetTextReply = 4242;
  static constexpr int kLeft = 100;
  static constexpr int kTop = 80;
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  struct Received {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    std::string Text;  // WM_SETTEXT only
  };

  FakeRunnerWindow();
  ~FakeRunnerWindow();
  FakeRunnerWindow(const FakeRunnerWindow&) = delete;
  FakeRunnerWindow& operator=(const FakeRunnerWindow&) = delete;

  HWND Handle() const { return window_; }
  // The client area in screen coordinates.
  RECT ScreenClientRect() const;
  const std::vector<Received>& Messages() const { return received_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::vector<Received> received_;
};

}  // namespace standintest
