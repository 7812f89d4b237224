#pragma once

#include <cstddef>
#include <cstdint>

namespace vm {

// The CRC-32 of zlib's contract (reflected polynomial 0xEDB88320, crc as returned by an earlier
// call, 0 to start), computed bit by bit: small, not fast.
uint32_t BitwiseCrc32(uint32_t crc, const unsigned char* bytes, size_t length);

}  // namespace vm
