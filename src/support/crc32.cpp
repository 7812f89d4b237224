#include "support/crc32.h"

namespace vm {

uint32_t BitwiseCrc32(uint32_t crc, const unsigned char* bytes, size_t length) {
  constexpr uint32_t kPolynomial = 0xEDB88320;
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (kPolynomial & (0u - (crc & 1)));
  }
  return ~crc;
}

}  // namespace vm
