#pragma once

#include <cstddef>
#include <cstdint>

namespace vm {

// The Adler-32 of zlib's contract (the checksum as returned by an earlier call, 1 to start),
// without zlib's unrolled loops: small, and still far faster than the inflating it checks.
uint32_t CompactAdler32(uint32_t adler, const unsigned char* bytes, size_t length);

}  // namespace vm
