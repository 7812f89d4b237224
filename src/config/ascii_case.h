#pragma once

#include <string>

namespace vm {

// Lower-cases the letters A to Z only: other bytes may belong to characters of the system's
// multi-byte code page and are left alone.
std::string LowerAscii(std::string s);

}  // namespace vm
