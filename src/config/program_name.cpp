#include "config/program_name.h"

#include "config/ascii_case.h"

namespace vm {

std::string DeriveProgramName(const std::string& exePath, LeadBytePredicate isLeadByte) {
  const std::string fileName = exePath.substr(FolderOf(exePath, isLeadByte).size());
  size_t cut = LowerAscii(fileName).find(".exe");
  if (cut == std::string::npos) return {};
  return fileName.substr(0, cut);
}

}  // namespace vm
