#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/file_stream.h"

namespace vm::pack {

// The machine field of a Windows program's file header (IMAGE_FILE_MACHINE_*), read from its
// first headers alone, so that a projector of many megabytes costs two small reads. None when
// the file has no MZ and PE headers.
std::optional<uint16_t> ReadPeMachine(FileStream& file);

// "32-bit (x86)", "64-bit (x86-64)", "64-bit (ARM64)", or "machine 0x1C0" for any other.
std::string MachineText(uint16_t machine);

}  // namespace vm::pack
