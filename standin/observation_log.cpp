#include "standin/observation_log.h"

#include <cstdio>

namespace vm::standin {

void ObservationLog::Write(const std::string& line) const {
  if (path_.empty()) return;
  // Opened per line, so that the log is complete when the Runner or a test ends the process.
  if (std::FILE* f = std::fopen(path_.c_str(), "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

}  // namespace vm::standin
