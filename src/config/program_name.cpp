#include "config/program_name.h"

#include "config/ascii_case.h"
#include "support/crc32.h"

#include <cstdint>

namespace vm {

std::string DeriveProgramName(const std::string& exePath, LeadBytePredicate isLeadByte) {
  const std::string fileName = exePath.substr(FolderOf(exePath, isLeadByte).size());
  size_t cut = LowerAscii(fileName).find(".exe");
  if (cut == std::string::npos) return {};
  return fileName.substr(0, cut);
}

std::string PreferenceSectionName(const std::string& programName, LeadBytePredicate isLeadByte) {
  if (programName.size() <= kLongestPreferenceSection) return programName;
  constexpr size_t kMark = 1 + 8;  // "~" and the checksum in hex
  size_t cut = 0;
  for (size_t next = 0; next < programName.size(); cut = next) {
    next += isLeadByte(static_cast<unsigned char>(programName[next])) && next + 1 < programName.size() ? 2 : 1;
    if (next > kLongestPreferenceSection - kMark) break;
  }
  // Formatted by hand: the Runner carries no formatted printing for one number.
  const uint32_t crc =
      BitwiseCrc32(0, reinterpret_cast<const unsigned char*>(programName.data()), programName.size());
  std::string mark = "~";
  for (int shift = 28; shift >= 0; shift -= 4) mark += "0123456789ABCDEF"[(crc >> shift) & 0xF];
  return programName.substr(0, cut) + mark;
}

}  // namespace vm
