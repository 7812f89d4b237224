#include "commands/file_names.h"

#include <algorithm>

namespace vm {
namespace {

char LowerAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string LowerAsciiLetters(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), LowerAsciiLetter);
  return text;
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && LowerAsciiLetters(a) == LowerAsciiLetters(b);
}

std::string LowerExtension(const std::string& fileName) {
  size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? std::string() : LowerAsciiLetters(fileName.substr(dot));
}

std::string NumberedName(const std::string& fileName, int64_t n, ZeroNumber zero) {
  if (n == 0 && zero == ZeroNumber::Omitted) return fileName;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) dot = fileName.size();
  return fileName.substr(0, dot) + std::to_string(n) + fileName.substr(dot);
}

int64_t NextNumber(int64_t n) { return n >= 0 ? n + 1 : n - 1; }

bool EndsWithBackslash(const std::string& path, LeadBytePredicate isLeadByte) {
  std::optional<size_t> last = LastCharOf(path, isLeadByte);
  return last && path.compare(*last, std::string::npos, "\\") == 0;
}

bool MayNameParentFolder(const std::string& segment) {
  return segment.find_first_not_of(". ") == std::string::npos &&
         std::count(segment.begin(), segment.end(), '.') >= 2;
}

}  // namespace vm
