#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "standin/full_screen_win.h"
#include "standin/observation_log.h"
#include "standin/options.h"
#include "standin/script.h"
#include "standin/script_runner_win.h"
#include "standin/window_watch_win.h"
#include "support/win_handles.h"

namespace vm::standin {

constexpr char kProjectorWindowClass[] = "ShockwaveFlash";

struct WindowSetup {
  MenuLanguage Menu = MenuLanguage::English;
  UINT FullScreenCommand = kProjectorFullScreenCommand;
  bool SizeBorder = true;
  std::vector<Action> Script;
  std::string Suffix;  // the Runner's instance suffix, for close-request and dump-block
};

// The projector's movie window: the menu the Runner walks, the full-screen mode it switches on,
// the demo it shows, and the script it plays. The object outlives its window; the window
// procedure reaches it until WM_NCDESTROY.
class ProjectorWindow {
 public:
  ProjectorWindow(WindowSetup setup, const ObservationLog& log);
  ~ProjectorWindow();
  ProjectorWindow(const ProjectorWindow&) = delete;
  ProjectorWindow& operator=(const ProjectorWindow&) = delete;

  // Creates the window and shows it with showCommand, which is SW_HIDE when the Runner starts
  // the projector. Throws vm::Exception.
  HWND Create(HINSTANCE instance, int showCommand);
  HWND Handle() const { return window_; }
  // True when msg was a menu shortcut and has been handled.
  bool TranslateShortcut(MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam);
  void OnTimer(WPARAM timer);
  void OnPaint();
  void OnClick(LPARAM position);
  void OnSystemCommand(WPARAM command, LPARAM argument);
  void ObserveCursor();
  void OnGlobalClose(WPARAM sender, LPARAM atom);
  void OnDestroy();
  void Observe();
  void StartScript();

  WindowSetup setup_;
  const ObservationLog& log_;
  HWND window_ = nullptr;
  UINT globalCloseMessage_ = 0;
  UniqueAccelerators shortcuts_;
  FullScreenMode fullScreen_;
  WindowWatch watch_;
  ScriptRunner script_;
  unsigned frame_ = 0;
  std::optional<bool> cursorShown_;  // as last logged
};

}  // namespace vm::standin
