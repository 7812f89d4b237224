#include "support/adler32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

uint32_t ZlibAdler32(uint32_t adler, const std::string& bytes, size_t from, size_t length) {
  return adler32(adler, reinterpret_cast<const Bytef*>(bytes.data()) + from, static_cast<uInt>(length));
}

uint32_t Compact(uint32_t adler, const std::string& bytes, size_t from, size_t length) {
  return vm::CompactAdler32(adler, reinterpret_cast<const unsigned char*>(bytes.data()) + from, length);
}

std::string MixedBytes() {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 37 + (i >> 3));
  return bytes;
}

TEST(CompactAdler32, AgreesWithZlibsAdler32InOneCallAndInPieces) {
  const std::string mixed = MixedBytes();
  // All bytes at their largest make the sums grow fastest: the reductions must come in time,
  // within a call and across the calls that inflate makes in pieces.
  const std::string saturated(3 * 5552 + 7, '\xFF');
  for (const std::string* bytes : {&mixed, &saturated}) {
    for (size_t length : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, bytes->size()}) {
      EXPECT_EQ(Compact(1, *bytes, 0, length), ZlibAdler32(1, *bytes, 0, length)) << length;
    }
    const size_t split = bytes->size() / 3;
    EXPECT_EQ(Compact(Compact(1, *bytes, 0, split), *bytes, split, bytes->size() - split),
              ZlibAdler32(1, *bytes, 0, bytes->size()));
  }
  EXPECT_EQ(Compact(1, "Wikipedia", 0, 9), 0x11E60398u);
}

}  // namespace
