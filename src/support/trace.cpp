#include "support/trace.h"

#include <cstdio>
#include <cstdlib>

namespace vm {

void Trace(const std::string& line) {
  const char* path = std::getenv("VARDEL_TRACE");
  if (path == nullptr || *path == '\0') return;
  // Opened per line so that the trace is complete even when the process is killed.
  if (std::FILE* f = std::fopen(path, "ab")) {
    // Written as it is: the printf family would bring along a formatter for numbers of every kind.
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

}  // namespace vm
