#include "support/paths.h"

namespace vm {

std::string WithTrailingDelimiter(std::string dir) {
  if (dir.empty() || dir.back() == kPathDelimiter) return dir;
#ifdef _WIN32
  if (dir.back() == ':') return dir;
#endif
  return dir + kPathDelimiter;
}

}  // namespace vm
