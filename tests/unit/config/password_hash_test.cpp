#include "config/password_hash.h"

#include <gtest/gtest.h>

namespace {

uint32_t Hash(const std::string& text) {
  vm::RandomGenerator rng;
  return vm::PasswordHash(text, true, rng);
}

// Values computed independently from the generator and the sine weights.
TEST(PasswordHash, GivesTheStoredCheckValues) {
  struct Case {
    const char* text;
    uint32_t value;
  } cases[] = {
      {"", 366722058u},
      {"secret", 408382745u},
      {"Secret", 40582142u},
      {"  secret\t", 408382745u},
      {"\x01secret\x1F ", 408382745u},
      {"kiosk2026", 28275721u},
      {" \t\r\n", 366722058u},
  };
  for (const auto& c : cases) EXPECT_EQ(Hash(c.text), c.value) << '"' << c.text << '"';
}

TEST(PasswordHash, DoesNotDependOnTheGeneratorsStateAndLeavesItMoved) {
  vm::RandomGenerator rng;
  rng.State = 0xDEADBEEF;
  EXPECT_EQ(vm::PasswordHash("secret", true, rng), 408382745u);
  EXPECT_NE(rng.State, 0xDEADBEEFu);
}

TEST(PasswordHash, WithoutAPasswordDrawsFromTheCurrentState) {
  vm::RandomGenerator a, b;
  a.State = b.State = 42;
  uint32_t first = vm::PasswordHash("anything", false, a);
  EXPECT_EQ(first, b.Draw(2147483647));
  EXPECT_NE(vm::PasswordHash("anything", false, a), first);
}

TEST(RandomGenerator, DrawsBelowItsRange) {
  vm::RandomGenerator rng;
  EXPECT_EQ(rng.Draw(1), 0u);
  EXPECT_EQ(rng.State, 1u);
  EXPECT_EQ(rng.Draw(0x7FFFFFFF), static_cast<uint32_t>((uint64_t{134775814} * 0x7FFFFFFF) >> 32));
}

}  // namespace
