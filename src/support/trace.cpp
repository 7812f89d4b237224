#include "support/trace.h"

#include <cstdlib>

namespace vm {

void Trace(const std::string& line) {
  const char* path = std::getenv("VARDEL_TRACE");
  if (path == nullptr || *path == '\0') return;
  AppendTraceLine(path, line + "\n");
}

}  // namespace vm
