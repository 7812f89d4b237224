#include <zlib.h>

#include "support/adler32.h"
#include "support/crc32.h"

// zlib's inflater takes its checksums from these two, linked before the library is searched, so
// that the library's objects for them stay out of the Runner.

// It asks for a CRC-32 only for gzip streams, which payloads never hold; the library's
// table-driven one would weigh 8 KB.
extern "C" uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  return buf == Z_NULL ? 0 : vm::BitwiseCrc32(static_cast<uint32_t>(crc), buf, len);
}

// Each payload file is a zlib stream checked by Adler-32; the library's unrolled one, with the
// combining functions in its object, weighs 2 KB.
extern "C" uLong adler32(uLong adler, const Bytef* buf, uInt len) {
  return buf == Z_NULL ? 1 : vm::CompactAdler32(static_cast<uint32_t>(adler), buf, len);
}
