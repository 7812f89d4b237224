#include "support/adler32.h"

namespace vm {

uint32_t CompactAdler32(uint32_t adler, const unsigned char* bytes, size_t length) {
  constexpr uint32_t kModulus = 65521;
  // The most bytes after which the sums, taken modulo kModulus before, still fit in 32 bits.
  constexpr size_t kBytesBetweenReductions = 5552;
  uint32_t low = adler & 0xFFFF;
  uint32_t high = adler >> 16;
  while (length > 0) {
    const size_t run = length < kBytesBetweenReductions ? length : kBytesBetweenReductions;
    for (size_t i = 0; i < run; ++i) {
      low += bytes[i];
      high += low;
    }
    low %= kModulus;
    high %= kModulus;
    bytes += run;
    length -= run;
  }
  return high << 16 | low;
}

}  // namespace vm
