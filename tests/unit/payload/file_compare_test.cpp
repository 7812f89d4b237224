#include "payload/file_compare.h"

#include <gtest/gtest.h>

#include <string>

#include "unit/test_files.h"

namespace {

constexpr size_t kBlock = 64 * 1024;  // the comparison's block

// Differences where the block loop could miss them: in the first and the last byte, on both
// sides of a block boundary, and in a short last block.
TEST(FilesEqual, FindsADifferenceAnywhereAcrossBlocks) {
  vmtest::TempDir dir;
  const std::string original = vmtest::Incompressible(3 * kBlock + 17);
  vmtest::WriteBytes(dir.File("original"), original);
  for (size_t at : {size_t{0}, kBlock - 1, kBlock, 2 * kBlock + 5, original.size() - 1}) {
    std::string changed = original;
    changed[at] = static_cast<char>(changed[at] ^ 1);
    vmtest::WriteBytes(dir.File("changed"), changed);
    EXPECT_FALSE(vm::FilesEqual(dir.File("original"), dir.File("changed"))) << "byte " << at;
  }
  vmtest::WriteBytes(dir.File("copy"), original);
  EXPECT_TRUE(vm::FilesEqual(dir.File("original"), dir.File("copy")));
  vmtest::WriteBytes(dir.File("longer"), original + "x");
  EXPECT_FALSE(vm::FilesEqual(dir.File("original"), dir.File("longer")));
}

TEST(FilesEqual, TakesAFileThatCannotBeOpenedAsEmpty) {
  vmtest::TempDir dir;
  vmtest::WriteBytes(dir.File("empty"), "");
  vmtest::WriteBytes(dir.File("full"), "projector");
  EXPECT_TRUE(vm::FilesEqual(dir.File("missing"), dir.File("empty")));
  EXPECT_TRUE(vm::FilesEqual(dir.File("missing"), dir.File("also-missing")));
  EXPECT_FALSE(vm::FilesEqual(dir.File("missing"), dir.File("full")));
  EXPECT_FALSE(vm::FilesEqual(dir.File("full"), dir.File("missing")));
}

}  // namespace
