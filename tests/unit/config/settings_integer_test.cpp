#include "config/settings_integer.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsInteger, ConvertsByTheRule) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"640", 640},
      {"+640", 640},
      {"-5", -5},
      {"0", 0},
      {"000640", 640},
      {"   640", 640},
      {"$280", 640},
      {"$abcDEF", 0xABCDEF},
      {"0x280", 640},
      {"0X280", 640},
      {"0x1", 1},
      {"$7FFFFFFF", 2147483647},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"2147483647", 2147483647},
      {"-2147483647", -2147483647},
      // Not a number by the rule: the caller's default is taken.
      {"2147483648", std::nullopt},
      {"-2147483648", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$100000000", std::nullopt},
      {"$000000001", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"0x-1", std::nullopt},
      {"-$10", std::nullopt},
      {" 0x10", std::nullopt},
      {"$12G", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"yes", std::nullopt},
      {"12abc", std::nullopt},
      {"640 ", std::nullopt},
      {"6 40", std::nullopt},
      {"\t640", std::nullopt},
      {"1.5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(vm::ParseSettingsInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
