#pragma once

#include <string>

#include "payload/file_helpers_paths.h"

namespace vm {

// The name of the runner's own section in the preference store: the executable's file name
// without its folder, cut just before the first ".exe" in any letter case, its case kept; empty
// when the name holds no ".exe".
std::string DeriveProgramName(const std::string& exePath, LeadBytePredicate isLeadByte);

}  // namespace vm
