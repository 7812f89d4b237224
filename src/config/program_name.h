#pragma once

#include <cstddef>
#include <string>

#include "payload/file_helpers_paths.h"

namespace vm {

// The name of the runner's own section in the preference store: the executable's file name
// without its folder, cut just before the first ".exe" in any letter case, its case kept; empty
// when the name holds no ".exe".
std::string DeriveProgramName(const std::string& exePath, LeadBytePredicate isLeadByte);

// The longest section name the registry takes under "Software\Halvorn\": the ANSI registry
// functions refuse a key path of MAX_PATH characters or more (measured under Wine: error 234).
constexpr size_t kLongestPreferenceSection = 259 - 17;

// The program's section in the preference store: the program name itself while the registry can
// hold it; a longer one is cut, at a whole character, to kLongestPreferenceSection - 9 bytes at
// most and followed by "~" and the CRC-32 of the whole name in 8 upper-case hex digits. So the
// same program always finds its own section, and programs whose long names begin alike keep theirs.
std::string PreferenceSectionName(const std::string& programName, LeadBytePredicate isLeadByte);

}  // namespace vm
