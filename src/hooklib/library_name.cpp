#include "hooklib/library_name.h"

#include <cstdint>
#include <limits>

#include "engine/shared_block.h"
#include "payload/instance_directory.h"

namespace vm {
namespace {

constexpr char kLibraryExtension[] = ".dll";
constexpr size_t kLibraryExtensionLength = sizeof kLibraryExtension - 1;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithLibraryExtension(const std::string& path) {
  if (path.size() < kLibraryExtensionLength) return false;
  const size_t start = path.size() - kLibraryExtensionLength;
  for (size_t i = 0; i < kLibraryExtensionLength; ++i)
    if (LowerAsciiLetter(path[start + i]) != kLibraryExtension[i]) return false;
  return true;
}

// Only the digits and the extension are looked at, never a path separator: the trail byte of a
// double-byte character may be "\", but is never a digit or a dot.
std::optional<int32_t> InstanceNumberFromLibraryPath(const std::string& path) {
  if (!EndsWithLibraryExtension(path)) return std::nullopt;
  const size_t end = path.size() - kLibraryExtensionLength;
  size_t start = end;
  while (start > 0 && IsDigit(path[start - 1])) --start;
  if (start == end) return std::nullopt;

  int64_t number = 0;
  for (size_t i = start; i < end; ++i) {
    number = number * 10 + (path[i] - '0');
    if (number > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  return static_cast<int32_t>(number);
}

}  // namespace

std::optional<std::string> SharedMappingNameFor(const std::string& path) {
  const std::optional<int32_t> instance = InstanceNumberFromLibraryPath(path);
  if (!instance) return std::nullopt;
  return kSharedMappingName + InstanceSuffixFor(*instance);
}

}  // namespace vm
