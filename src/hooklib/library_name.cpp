#include "hooklib/library_name.h"

#include <cstdint>

namespace vm {
namespace {

constexpr char kLibraryExtension[] = ".dll";
constexpr size_t kLibraryExtensionLength = sizeof kLibraryExtension - 1;
constexpr int64_t kLargestInstanceNumber = INT32_MAX;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

size_t TextLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

bool EndsWithLibraryExtension(const char* path, size_t length) {
  if (length < kLibraryExtensionLength) return false;
  const size_t start = length - kLibraryExtensionLength;
  for (size_t i = 0; i < kLibraryExtensionLength; ++i)
    if (LowerAsciiLetter(path[start + i]) != kLibraryExtension[i]) return false;
  return true;
}

// Only the digits and the extension are looked at, never a path separator: the trail byte of a
// double-byte character may be "\", but is never a digit or a dot.
bool InstanceNumberFromLibraryPath(const char* path, int32_t& instance) {
  const size_t length = TextLength(path);
  if (!EndsWithLibraryExtension(path, length)) return false;
  const size_t end = length - kLibraryExtensionLength;
  size_t start = end;
  while (start > 0 && IsDigit(path[start - 1])) --start;
  if (start == end) return false;

  int64_t number = 0;
  for (size_t i = start; i < end; ++i) {
    number = number * 10 + (path[i] - '0');
    if (number > kLargestInstanceNumber) return false;
  }
  instance = static_cast<int32_t>(number);
  return true;
}

char* Append(char* at, const char* text) {
  while (*text != '\0') *at++ = *text++;
  return at;
}

// name: room for prefix and the longest suffix.
bool InstanceNameFor(const char* path, const char* prefix, char* name) {
  int32_t instance = 0;
  if (!InstanceNumberFromLibraryPath(path, instance)) return false;
  char suffix[kInstanceSuffixCapacity];
  WriteInstanceSuffix(instance, suffix);
  *Append(Append(name, prefix), suffix) = '\0';
  return true;
}

}  // namespace

bool SharedMappingNameFor(const char* path, char (&name)[kSharedMappingNameCapacity]) {
  return InstanceNameFor(path, kSharedMappingName, name);
}

bool RunnerMessageNameFor(const char* path, char (&name)[kRunnerMessageNameCapacity]) {
  return InstanceNameFor(path, kRunnerMessageName, name);
}

}  // namespace vm
