#include <gtest/gtest.h>

#include "pack/file_time_text.h"

namespace {

TEST(FileTimeTextTest, FormatsUtcToTheSecond) {
  const struct {
    uint64_t FileTime;
    const char* Text;
  } cases[] = {
      {0, "1601-01-01T00:00:00Z"},
      {94405412960000000ULL, "1900-02-28T12:34:56Z"},         // 1900 is no leap year
      {116444735990000000ULL, "1969-12-31T23:59:59Z"},
      {116444736000000000ULL, "1970-01-01T00:00:00Z"},
      {125963423990000000ULL, "2000-02-29T23:59:59Z"},        // 2000 is one
      {132000624009999999ULL, "2019-04-18T12:00:00Z"},        // fractions are dropped
      {157520160000000000ULL, "2100-03-01T00:00:00Z"},
      {2650467743990000000ULL, "9999-12-31T23:59:59Z"},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::pack::FileTimeToIso8601(c.FileTime), c.Text);
}

}  // namespace
