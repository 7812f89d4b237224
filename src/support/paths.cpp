#include "support/paths.h"

namespace vm {

bool NoLeadBytes(unsigned char) { return false; }

std::optional<size_t> LastCharOf(const std::string& s, LeadBytePredicate isLeadByte) {
  std::optional<size_t> last;
  size_t i = 0;
  while (i < s.size()) {
    last = i;
    // A lead byte at the very end has no second byte and stands alone.
    i += isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
  }
  return last;
}

bool EndsWithChar(const std::string& s, char c, LeadBytePredicate isLeadByte) {
  std::optional<size_t> last = LastCharOf(s, isLeadByte);
  return last && *last + 1 == s.size() && s[*last] == c;
}

std::string WithTrailingDelimiter(std::string dir, LeadBytePredicate isLeadByte) {
  if (dir.empty() || EndsWithChar(dir, kPathDelimiter, isLeadByte)) return dir;
#ifdef _WIN32
  if (EndsWithChar(dir, ':', isLeadByte)) return dir;
#endif
  return dir + kPathDelimiter;
}

}  // namespace vm
