#include "standin/script_runner_win.h"

#include <cstdint>
#include <exception>
#include <utility>

#include "standin/address_opening_win.h"
#include "standin/environment_win.h"
#include "standin/log_lines.h"
#include "standin/own_sound_win.h"
#include "standin/shared_block_win.h"

namespace vm::standin {
namespace {

constexpr UINT WM_PROJECTOR_READY = WM_USER + 4;
constexpr char kRunnerMessagePrefix[] = "HalvornRunnerMessage";
constexpr char kRunnerWindowVariable[] = "MossantEngine_WH";
// Starts the script on the next turn of the message loop, not inside the Runner's SetParent.
constexpr UINT kStartDelayMs = 0;

HWND WindowFromNumber(std::uint32_t number) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(number));
}

// The hook library talks to the window that the projector sits in, or, before that, to the one
// the Runner names in the environment.
HWND RunnerWindow(HWND window) {
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent != nullptr && parent != GetDesktopWindow()) return parent;
  try {
    return WindowFromNumber(ParseNumber(EnvironmentVariable(kRunnerWindowVariable)));
  } catch (const ScriptError&) {
    return nullptr;
  }
}

}  // namespace

ScriptRunner::ScriptRunner(std::vector<Action> actions, std::string suffix, const ObservationLog& log)
    : actions_(std::move(actions)), suffix_(std::move(suffix)), log_(log) {}

void ScriptRunner::Start(HWND window) {
  if (started_ || actions_.empty()) return;
  started_ = true;
  SetTimer(window, kTimer, kStartDelayMs, nullptr);
}

void ScriptRunner::Continue(HWND window) {
  KillTimer(window, kTimer);
  while (next_ < actions_.size()) {
    const Action& action = actions_[next_++];
    // A message sent to the Runner may come back as one that ends this window.
    if (!Perform(window, action) || !IsWindow(window)) return;
  }
}

bool ScriptRunner::Perform(HWND window, const Action& action) {
  bool needsRunner = action.Kind != ActionKind::Sleep && action.Kind != ActionKind::DumpBlock &&
                     action.Kind != ActionKind::Exit && action.Kind != ActionKind::ShellOpen &&
                     action.Kind != ActionKind::ShellOpenEx && action.Kind != ActionKind::ShellOpenW &&
                     action.Kind != ActionKind::ShellOpenExW && action.Kind != ActionKind::DdeOpen &&
                     action.Kind != ActionKind::Focus && action.Kind != ActionKind::Sound;
  HWND runner = needsRunner ? RunnerWindow(window) : nullptr;
  if (needsRunner && runner == nullptr) {
    log_.Write(ErrorLine("no Runner window: no parent and no " + std::string(kRunnerWindowVariable)));
    return true;
  }
  switch (action.Kind) {
    case ActionKind::Ready:
      SendMessageA(runner, WM_PROJECTOR_READY, 0, 0);
      return true;
    case ActionKind::Sleep:
      SetTimer(window, kTimer, action.Milliseconds, nullptr);
      return false;
    case ActionKind::SetText: {
      LRESULT reply = SendMessageA(runner, WM_SETTEXT, action.WParam, reinterpret_cast<LPARAM>(action.Text.c_str()));
      log_.Write(ReplyLine(reply));
      return true;
    }
    case ActionKind::Send:
      SendMessageA(runner, action.Message, action.WParam, action.LParam);
      return true;
    case ActionKind::Post:
      PostMessageA(runner, action.Message, action.WParam, action.LParam);
      return true;
    case ActionKind::CloseRequest: {
      // The hook library asks the Runner's thread, not its window, to end the movie.
      UINT message = RegisterWindowMessageA((kRunnerMessagePrefix + suffix_).c_str());
      PostThreadMessageA(GetWindowThreadProcessId(runner, nullptr), message, 0, 0);
      return true;
    }
    case ActionKind::DumpBlock:
      try {
        for (const std::string& line : ReadSharedBlockLines(suffix_)) log_.Write(line);
      } catch (const std::exception& e) {
        log_.Write(ErrorLine(e.what()));
      }
      return true;
    case ActionKind::ShellOpen:
      log_.Write(OpenThroughShell(window, action.Text));
      return true;
    case ActionKind::ShellOpenEx:
      log_.Write(OpenThroughShellEx(window, action.Text));
      return true;
    case ActionKind::ShellOpenW:
      log_.Write(OpenThroughShellW(window, action.Text));
      return true;
    case ActionKind::ShellOpenExW:
      log_.Write(OpenThroughShellExW(window, action.Text));
      return true;
    case ActionKind::DdeOpen:
      log_.Write(OpenThroughDde(suffix_, action.Text));
      return true;
    case ActionKind::Focus:
      SetFocus(window);
      return true;
    case ActionKind::Sound:
      log_.Write(OwnSoundLine());
      return true;
    case ActionKind::Exit:
      Stop();
      DestroyWindow(window);
      return false;
  }
  return true;
}

}  // namespace vm::standin
