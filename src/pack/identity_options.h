#pragma once

#include <string>
#include <vector>

#include "pack/arguments.h"
#include "pack/program_identity.h"

namespace vm::pack {

// A version text holds at most this many UTF-16 units. The version block keeps its lengths in
// 16 bits, so all its texts together stay under 64 KiB: six of this length take under 13 KiB.
constexpr size_t kMaxVersionTextUnits = 1024;

// --icon FILE.ico, --product, --company, --description, --copyright, --version A.B.C.D
extern const std::vector<KnownOption> kIdentityOptions;

// The identity the options ask for, with the icon file read. Raises Exception for an icon file
// that is not one, a text that is not valid in the tool's own encoding or too long, and a
// version that is not four numbers from 0 to 65535.
ProgramIdentity ReadIdentity(const std::vector<ArgumentItem>& items);

// "1.2.0.7" as numbers; Exception otherwise.
VersionNumbers ParseVersionNumbers(const std::string& text);

}  // namespace vm::pack
