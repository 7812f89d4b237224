#include "support/trace.h"

#include <charconv>
#include <cstdlib>

namespace vm {

TracePiece::TracePiece(long long number) {
  size_ = static_cast<size_t>(std::to_chars(digits_, digits_ + sizeof digits_, number).ptr - digits_);
}

TracePiece::TracePiece(unsigned long long number) {
  size_ = static_cast<size_t>(std::to_chars(digits_, digits_ + sizeof digits_, number).ptr - digits_);
}

void TraceLine(std::initializer_list<TracePiece> pieces) {
  const char* path = std::getenv("VARDEL_TRACE");
  if (path == nullptr || *path == '\0') return;
  std::string line;
  for (const TracePiece& piece : pieces) line.append(piece.data(), piece.size());
  line += '\n';
  AppendTraceLine(path, line);
}

}  // namespace vm
