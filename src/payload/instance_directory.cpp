#include "payload/instance_directory.h"

#include "payload/instance_suffix.h"

namespace vm {
namespace {

constexpr char kInstanceDirName[] = "Vdl_Rt";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The digits from text[at], moved past; false when there are none or the value passes UINT32_MAX.
bool ReadNumber(const std::string& text, size_t& at, uint32_t& value) {
  const size_t start = at;
  uint64_t number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    number = number * 10 + static_cast<uint64_t>(text[at] - '0');
    if (number > UINT32_MAX) return false;
  }
  value = static_cast<uint32_t>(number);
  return at > start;
}

std::string WithNumber(const std::string& name, int32_t number) {
  return number == 0 ? name : name + std::to_string(number);
}

}  // namespace

std::string InstanceBaseDirectory(const std::string& preference, LeadBytePredicate isLeadByte) {
  std::optional<size_t> last = LastCharOf(preference, isLeadByte);
  if (last && preference.substr(*last) == "\\") return preference;
  return preference + "\\";
}

std::string InstanceDirectoryPath(const std::string& base, int32_t number) {
  return WithNumber(base + kInstanceDirName, number);
}

std::optional<int32_t> InstanceNumberOfDirectory(const std::string& name) {
  const size_t prefix = sizeof kInstanceDirName - 1;
  if (name.size() < prefix) return std::nullopt;
  for (size_t i = 0; i < prefix; ++i)
    if (AsciiLower(name[i]) != AsciiLower(kInstanceDirName[i])) return std::nullopt;
  if (name.size() == prefix) return 0;
  // The directory of instance n is named by n itself: "Vdl_Rt01" or "Vdl_Rt0" is no instance's.
  if (name[prefix] == '0') return std::nullopt;
  size_t at = prefix;
  uint32_t number = 0;
  if (!ReadNumber(name, at, number) || at != name.size() || number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

std::string InstanceSuffixFor(int32_t number) {
  char suffix[kInstanceSuffixCapacity];
  const size_t length = WriteInstanceSuffix(number, suffix);
  return std::string(suffix, length);
}

std::optional<uint32_t> PrivateFolderOwner(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size()) return std::nullopt;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLower(name[i]) != AsciiLower(prefix[i])) return std::nullopt;
  size_t at = prefix.size();
  uint32_t process = 0, ignored = 0;
  if (!ReadNumber(name, at, process)) return std::nullopt;
  if (at < name.size() && (name[at++] != '_' || !ReadNumber(name, at, ignored))) return std::nullopt;
  if (at != name.size()) return std::nullopt;
  return process;
}

}  // namespace vm
