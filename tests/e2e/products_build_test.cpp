// The products under test come from one build, and from the build that this run names: a 32-bit
// Runner cannot load a 64-bit hook library, and a run meant for the release build must not pass
// on the test build's programs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "e2e/runner_harness.h"

namespace {

constexpr size_t kPeOffsetField = 0x3c;
constexpr uint16_t kMachineI386 = 0x014c;
constexpr uint16_t kMachineAmd64 = 0x8664;

// The build that a Windows program was made by, from the machine field of its PE header.
std::string BuildOf(const std::string& path) {
  const std::string bytes = vmtest::ReadBytes(path);
  uint32_t peOffset = 0;
  if (bytes.size() < kPeOffsetField + 4) return "not a program";
  std::memcpy(&peOffset, bytes.data() + kPeOffsetField, 4);
  if (peOffset > bytes.size() - 6 || bytes.compare(peOffset, 4, std::string("PE\0\0", 4)) != 0)
    return "not a program";
  uint16_t machine = 0;
  std::memcpy(&machine, bytes.data() + peOffset + 4, 2);
  if (machine == kMachineI386) return "i686";
  if (machine == kMachineAmd64) return "x86_64";
  return "machine " + std::to_string(machine);
}

TEST(ProductsUnderTest, AreAllOfTheBuildThatThisRunNames) {
  const std::string dir = vmtest::ProductsDir();
  const std::string runner = BuildOf(dir + "\\runner.exe");
  EXPECT_EQ(BuildOf(dir + "\\vardelrun.dll"), runner);
  EXPECT_EQ(BuildOf(dir + "\\standin.exe"), runner);
  char expected[16] = {};
  if (GetEnvironmentVariableA("VARDEL_PRODUCTS_BUILD", expected, sizeof expected)) {
    EXPECT_EQ(runner, expected) << "the products in " << dir;
  }
}

}  // namespace
