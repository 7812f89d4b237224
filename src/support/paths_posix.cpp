#include <unistd.h>

#include <climits>

#include "support/errors.h"
#include "support/paths.h"

namespace vm {

bool IsSystemLeadByte(unsigned char) { return false; }

std::string OwnExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer))
    throw Exception("Cannot find the path of the running program");
  return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace vm
