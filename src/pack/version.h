#pragma once

#include <string>

namespace vm::pack {

// The project's version, set by the build.
extern const char kVmpackVersion[];

// What vmpack writes into each session trailer to say who built it.
std::string BuilderText();

}  // namespace vm::pack
