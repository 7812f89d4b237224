#pragma once

#include <cstdint>
#include <string>

namespace vm::pack {

// A FILETIME (100 ns intervals since 1601-01-01 UTC) as ISO 8601 UTC to the second, such as
// "2019-04-18T12:00:00Z". Done by hand rather than with gmtime, which refuses times before 1970
// on Windows.
std::string FileTimeToIso8601(uint64_t fileTime);

}  // namespace vm::pack
