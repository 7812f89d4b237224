#include "support/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

TEST(BitwiseCrc32, AgreesWithZlibsCrc32InOneCallAndInPieces) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 37 + (i >> 3));
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t length : {size_t{0}, size_t{1}, size_t{9}, bytes.size()}) {
    EXPECT_EQ(vm::BitwiseCrc32(0, data, length), crc32(0, data, static_cast<uInt>(length))) << length;
  }
  const uint32_t pieces = vm::BitwiseCrc32(vm::BitwiseCrc32(0, data, 400), data + 400, bytes.size() - 400);
  EXPECT_EQ(pieces, crc32(0, data, static_cast<uInt>(bytes.size())));
  EXPECT_EQ(vm::BitwiseCrc32(0, reinterpret_cast<const unsigned char*>("123456789"), 9), 0xCBF43926u);
}

}  // namespace
