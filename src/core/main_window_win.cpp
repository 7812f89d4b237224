#include "core/main_window_win.h"

#include <exception>

#include "core/error_report_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "support/trace.h"

namespace vm {
namespace {

// The session runs inside the dispatch of this message and returns when the movie is over. An
// error out of it is reported once, and the run then ends as a normal one does: nothing else
// would end it, its window being hidden by then.
void OnRunnerStart(TfrmMain& runner) {
  try {
    if (runner.SetupMode)
      Trace("setup mode: the setup dialog is not available in this build");
    else
      runner.LaunchSession();
  } catch (const std::exception& e) {
    ReportException(runner.MainWnd, e);
  }
  QuitFlag = true;
}

void OnDestroy(TfrmMain& runner) {
  if (runner.PopupMenu) {
    DestroyMenu(runner.PopupMenu);
    runner.PopupMenu = nullptr;
  }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TfrmMain* runner = CurrentRunner;
  if (runner != nullptr) {
    switch (msg) {
      case WM_RUNNER_START: OnRunnerStart(*runner); return 0;
      case WM_DESTROY:      OnDestroy(*runner); break;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vm
