#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "standin/observation_log.h"
#include "standin/script.h"

namespace vm::standin {

// Plays STANDIN_SCRIPT against the Runner's window. A sleep is a timer on the projector's window,
// so that the window keeps answering the Runner meanwhile; the window passes kTimer on to
// Continue.
class ScriptRunner {
 public:
  static constexpr UINT_PTR kTimer = 3;

  ScriptRunner(std::vector<Action> actions, std::string suffix, const ObservationLog& log);

  // The first call starts the script from the window's message loop; later calls do nothing.
  void Start(HWND window);
  void Continue(HWND window);
  // The window is going away: nothing more is played.
  void Stop() { next_ = actions_.size(); }

 private:
  // False when the script pauses or ends here.
  bool Perform(HWND window, const Action& action);

  std::vector<Action> actions_;
  std::string suffix_;
  const ObservationLog& log_;
  bool started_ = false;
  std::size_t next_ = 0;
};

}  // namespace vm::standin
