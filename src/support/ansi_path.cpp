#include "support/ansi_path.h"

namespace vm {
namespace {

bool IsDelimiter(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

// Part by part rather than the path as a whole: a short path replaces every long name, and the
// program's own file name names its preferences, so the names that the code page holds stay.
bool AnsiPathOf(const wchar_t* path, const AnsiPathSystem& system, std::string& out) {
  out.clear();
  for (size_t start = 0;;) {
    size_t end = start;
    while (path[end] != 0 && !IsDelimiter(path[end])) ++end;
    if (!system.AppendAnsi(path + start, end - start, out) && !system.AppendShortName(path, end, out)) return false;
    if (path[end] == 0) return true;
    out += static_cast<char>(path[end]);
    start = end + 1;
  }
}

}  // namespace vm
