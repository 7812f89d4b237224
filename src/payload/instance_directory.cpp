#include "payload/instance_directory.h"

#include "payload/instance_suffix.h"

namespace vm {
namespace {

constexpr char kInstanceDirName[] = "Vdl_Rt";

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

std::string InstanceSuffixFor(int32_t number) {
  char suffix[kInstanceSuffixCapacity];
  const size_t length = WriteInstanceSuffix(number, suffix);
  return std::string(suffix, length);
}

}  // namespace vm
