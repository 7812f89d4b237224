#include "payload/file_helpers_paths.h"

namespace vm {
namespace {

// Calls visit(start, length) for each character of s, in order. A lead byte at the very end has
// no second byte and stands alone.
template <typename Visit>
void ForEachChar(const std::string& s, LeadBytePredicate isLeadByte, Visit visit) {
  size_t i = 0;
  while (i < s.size()) {
    size_t length = isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    visit(i, length);
    i += length;
  }
}

}  // namespace

bool NoLeadBytes(unsigned char) { return false; }

std::optional<size_t> LastCharOf(const std::string& s, LeadBytePredicate isLeadByte) {
  std::optional<size_t> last;
  ForEachChar(s, isLeadByte, [&](size_t start, size_t) { last = start; });
  return last;
}

std::string FolderOf(const std::string& path, LeadBytePredicate isLeadByte) {
  size_t end = 0;
  ForEachChar(path, isLeadByte, [&](size_t start, size_t length) {
    if (length == 1 && (path[start] == '\\' || path[start] == ':')) end = start + 1;
  });
  return path.substr(0, end);
}

}  // namespace vm
