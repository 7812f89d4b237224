#include "support/trace.h"

#include <cstdio>
#include <cstdlib>

namespace vm {

void Trace(const std::string& line) {
  const char* path = std::getenv("VARDEL_TRACE");
  if (path == nullptr || *path == '\0') return;
  // Opened per line so that the trace is complete even when the process is killed.
  if (std::FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

}  // namespace vm
