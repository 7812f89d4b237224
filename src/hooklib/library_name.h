#pragma once

#include <optional>
#include <string>

namespace vm {

// The name of the shared mapping of the Runner instance that loaded the library from `path`.
// The file placement writes the instance number into the library's file name, just before a
// final ".dll" in any letter case: "...\vardelrun3.dll" -> "HalvornRunnerMapping_VDL_RT3",
// "...\vardelrun0.dll" -> "HalvornRunnerMapping_VDL_RT". Nothing when the name carries no
// number, or one beyond a 32-bit instance number.
std::optional<std::string> SharedMappingNameFor(const std::string& path);

}  // namespace vm
