#pragma once

#include <cstddef>

#include "engine/shared_block.h"
#include "payload/instance_suffix.h"

namespace vm {

// The longest mapping name and its final NUL.
constexpr size_t kSharedMappingNameCapacity = sizeof kSharedMappingName - 1 + kInstanceSuffixCapacity;

// Writes into `name` the name of the shared mapping of the Runner instance that loaded the
// library from `path`. The file placement writes the instance number into the library's file
// name, just before a final ".dll" in any letter case: "...\vardelrun3.dll" ->
// "HalvornRunnerMapping_VDL_RT3", "...\vardelrun0.dll" -> "HalvornRunnerMapping_VDL_RT". False,
// and `name` untouched, when the name carries no number, or one beyond a 32-bit instance number.
bool SharedMappingNameFor(const char* path, char (&name)[kSharedMappingNameCapacity]);

constexpr size_t kRunnerMessageNameCapacity = sizeof kRunnerMessageName - 1 + kInstanceSuffixCapacity;

// The same for the Runner's registered message: "...\vardelrun3.dll" -> "HalvornRunnerMessage_VDL_RT3".
bool RunnerMessageNameFor(const char* path, char (&name)[kRunnerMessageNameCapacity]);

}  // namespace vm
