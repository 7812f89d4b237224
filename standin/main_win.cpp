#include <windows.h>

#include <algorithm>
#include <exception>

#include "standin/environment_win.h"
#include "standin/log_lines.h"
#include "standin/observation_log.h"
#include "standin/options.h"
#include "standin/own_sound_win.h"
#include "standin/projector_window_win.h"
#include "standin/script.h"
#include "standin/startup_log_win.h"

using namespace vm::standin;

namespace {

// A projector that never opens its window still ends when its thread is asked to quit.
constexpr UINT kNoWindowLifetimeMs = 60000;

void WaitWithoutWindow() {
  UINT_PTR timer = SetTimer(nullptr, 0, kNoWindowLifetimeMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) {
  }
  KillTimer(nullptr, timer);
}

// A script that looked at the sound sees it once more, once its window, and with it the movie,
// has gone.
void RunWindow(const Options& options, const ObservationLog& log, HINSTANCE instance, int showCommand) {
  WindowSetup setup;
  setup.Menu = options.Menu;
  setup.FullScreenCommand = options.FullScreenCommand;
  setup.SizeBorder = options.SizeBorder;
  setup.Suffix = options.Suffix;
  try {
    setup.Script = ParseScript(options.Script);
  } catch (const ScriptError& e) {
    log.Write(ErrorLine(e.what()));
  }
  ProjectorWindow window(setup, log);
  window.Create(instance, showCommand);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (window.TranslateShortcut(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (std::any_of(setup.Script.begin(), setup.Script.end(),
                  [](const Action& action) { return action.Kind == ActionKind::Sound; }))
    log.Write(OwnSoundLine());
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const Options options = ReadOptions(EnvironmentVariable);
  const ObservationLog log(options.LogPath);
  try {
    LogStartObservations(log);
    if (options.NoWindow)
      WaitWithoutWindow();
    else
      RunWindow(options, log, instance, showCommand);
  } catch (const std::exception& e) {
    log.Write(ErrorLine(e.what()));
    return 1;
  }
  log.Write(kClosedLine);
  return 0;
}
