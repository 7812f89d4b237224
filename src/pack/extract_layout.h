#pragma once

#include <string>

#include "support/paths.h"

namespace vm::pack {

// Where extract writes a session's files below its folder DIR: a group is a folder, its levels
// separated by "\" or "/" as on Windows; "." and the tool groups ("VTOOL.") name no folder, and
// their files land in DIR itself, as the Runner places them. The group must have passed the
// name rules (name_rules.h) already.

// The group's folder relative to DIR with this system's delimiter; empty for DIR itself.
std::string GroupFolder(const std::string& group, LeadBytePredicate isLeadByte);

// The same for two files exactly when Windows would take them for one file: by folder and
// name, ignoring the letter case of A to Z and a trailing delimiter.
std::string DestinationKey(const std::string& group, const std::string& fileName,
                           LeadBytePredicate isLeadByte);

}  // namespace vm::pack
