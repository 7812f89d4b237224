#include "pack/terminal_progress.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vm::pack {
namespace {

// Narrower than the narrowest usual terminal, so that the line never wraps and "\r" can still
// return to its start.
constexpr size_t kMaxLineWidth = 79;
constexpr int kFullPercent = 100;

}  // namespace

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

TerminalProgress::TerminalProgress(std::ostream& terminal, bool enabled, std::string action)
    : terminal_(terminal), enabled_(enabled), action_(std::move(action)) {}

TerminalProgress::~TerminalProgress() {
  if (!enabled_ || shownWidth_ == 0) return;
  terminal_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
}

void TerminalProgress::Update(int64_t done, int64_t total, const std::string& item) {
  if (!enabled_) return;
  int percent = total > 0 ? static_cast<int>(std::clamp<int64_t>(done * kFullPercent / total, 0,
                                                                   kFullPercent))
                          : kFullPercent;
  if (percent == shownPercent_ && item == shownItem_) return;
  shownPercent_ = percent;
  shownItem_ = item;

  std::string line = action_ + " " + std::to_string(percent) + "% " + item;
  if (line.size() > kMaxLineWidth) line.resize(kMaxLineWidth);
  size_t width = line.size();
  if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
  terminal_ << '\r' << line << std::flush;
  shownWidth_ = std::max(shownWidth_, width);
}

}  // namespace vm::pack
