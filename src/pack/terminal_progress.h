#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace vm::pack {

// True when the process's standard error is a terminal.
bool StderrIsTerminal();

// One line on a terminal that shows how far a long step has come, redrawn in place and erased
// when the object goes away. When disabled it writes nothing, so that redirected output stays
// free of carriage returns.
class TerminalProgress {
 public:
  TerminalProgress(std::ostream& terminal, bool enabled, std::string action);
  ~TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void Update(int64_t done, int64_t total, const std::string& item);

 private:
  std::ostream& terminal_;
  bool enabled_;
  std::string action_;
  int shownPercent_ = -1;
  std::string shownItem_;
  size_t shownWidth_ = 0;
};

}  // namespace vm::pack
