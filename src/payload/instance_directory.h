#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "payload/file_helpers_paths.h"

// Names of a runner instance's temporary directory and of the named objects it owns.
namespace vm {

// The base directory from the "Vardel Temp Directory" preference, ending in "\". An empty
// preference gives "\", the root of the current drive.
std::string InstanceBaseDirectory(const std::string& preference, LeadBytePredicate isLeadByte);

// base + "Vdl_Rt" for instance 0, else base + "Vdl_Rt" + number (Vdl_Rt1, Vdl_Rt2, ...); no
// trailing "\".
std::string InstanceDirectoryPath(const std::string& base, int32_t number);

// The instance number that an instance directory's name (without its folder) gives: "Vdl_Rt" in
// any letter case for 0, followed by a number from 1 for the others. Nothing for any other name.
std::optional<int32_t> InstanceNumberOfDirectory(const std::string& name);

// "_VDL_RT" for instance 0, else "_VDL_RT" + number: appended to the names of the instance's
// shared mapping and registered message so that each instance talks only to its own hook library.
std::string InstanceSuffixFor(int32_t number);

// The process that owns a private folder of that name: name is prefix (in any letter case) + a
// process id in decimal, optionally followed by "_" and a number. Nothing for any other name.
std::optional<uint32_t> PrivateFolderOwner(const std::string& name, const std::string& prefix);

}  // namespace vm
