#include <zlib.h>

#include "support/crc32.h"

// zlib's inflater asks for a CRC-32 only for gzip streams, which payloads never hold (each file is
// a zlib stream, checked by Adler-32); its table-driven CRC-32 still weighs 8 KB of the Runner.
// This one, linked before the library is searched, keeps that object out.
extern "C" uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  return buf == Z_NULL ? 0 : vm::BitwiseCrc32(static_cast<uint32_t>(crc), buf, len);
}
