#pragma once

#include "commands/address_policy.h"

namespace vm {

// The file system as the system shows it: attributes, long names, the system's own judgement of
// dangerous types where it has one, and the ANSI code page's lead bytes. Without the C++ runtime:
// the hook library uses it too.
const FileSystemView& SystemFileSystem();

}  // namespace vm
