#include "engine/shared_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

// A block with one byte past its end, to catch writes beyond it.
constexpr uint8_t kGuard = 0xA5;

struct BlockBuffer {
  BlockBuffer() { bytes.back() = kGuard; }
  std::vector<uint8_t> bytes = std::vector<uint8_t>(vm::kSharedBlockSize + 1);
  vm::SharedBlock block{bytes.data()};
};

TEST(SharedBlock, SizesOfTheBlockAndItsMapping) {
  EXPECT_EQ(vm::kSharedBlockSize, 1140u);
  EXPECT_EQ(vm::kSharedMappingSize, 11140u);
  EXPECT_STREQ(vm::kSharedMappingName, "HalvornRunnerMapping");
  EXPECT_STREQ(vm::kRunnerMessageName, "HalvornRunnerMessage");
}

struct DwordCase {
  vm::DwordField field;
  size_t offset;
};

const DwordCase kDwords[] = {
    {vm::kBlockMouseHook, 0},          {vm::kBlockKeyboardHook, 4},   {vm::kBlockCbtHook, 8},
    {vm::kBlockGetMessageHook, 12},    {vm::kBlockReserved16, 16},    {vm::kBlockReserved20, 20},
    {vm::kBlockProjectorProcessId, 24}, {vm::kBlockReserved28, 28},   {vm::kBlockProjectorWindow, 48},
    {vm::kBlockMainWindow, 52},        {vm::kBlockMainWindowCopy, 56}, {vm::kBlockRunnerThreadId, 76},
    {vm::kBlockReservedOne88, 88},     {vm::kBlockMovieShown, 100},   {vm::kBlockRunnerProcessId, 104},
};

struct ByteCase {
  vm::ByteField field;
  size_t offset;
};

const ByteCase kBytes[] = {
    {vm::kBlockReserved60, 60},          {vm::kBlockKeyInteractionOff, 61}, {vm::kBlockMouseInteractionOff, 62},
    {vm::kBlockRightClickMenuOff, 63},   {vm::kBlockReservedOne68, 68},     {vm::kBlockReserved69, 69},
    {vm::kBlockReserved70, 70},          {vm::kBlockReserved71, 71},        {vm::kBlockReserved72, 72},
    {vm::kBlockDisableWindowsKey, 73},   {vm::kBlockDisableScreenSaver, 74}, {vm::kBlockExitOnEsc, 80},
    {vm::kBlockCloseMenu, 81},           {vm::kBlockSetupMenu, 82},         {vm::kBlockMenuOpen, 83},
    {vm::kBlockDraggable, 84},           {vm::kBlockProjectorReady, 96},    {vm::kBlockHideCursor, 97},
    {vm::kBlockMinimizeMenu, 98},
};

struct StringCase {
  vm::StringField field;
  size_t offset;
};

const StringCase kStrings[] = {
    {vm::kBlockWorkingDirectory, 116},
    {vm::kBlockBrowserCommand, 372},
    {vm::kBlockDdeApplication, 628},
    {vm::kBlockDdeTopic, 884},
};

// Each field lands at its offset, 32-bit values little-endian, length byte first.
TEST(SharedBlock, EachFieldIsWrittenAtItsOffset) {
  for (const DwordCase& c : kDwords) {
    BlockBuffer b;
    b.block.Set(c.field, 0x11223344u);
    EXPECT_EQ(b.bytes[c.offset], 0x44) << c.offset;
    EXPECT_EQ(b.bytes[c.offset + 1], 0x33) << c.offset;
    EXPECT_EQ(b.bytes[c.offset + 2], 0x22) << c.offset;
    EXPECT_EQ(b.bytes[c.offset + 3], 0x11) << c.offset;
  }
  for (const ByteCase& c : kBytes) {
    BlockBuffer b;
    b.block.Set(c.field, 0x5A);
    EXPECT_EQ(b.bytes[c.offset], 0x5A) << c.offset;
  }
  for (const StringCase& c : kStrings) {
    BlockBuffer b;
    b.block.Set(c.field, "C:\\x");
    EXPECT_EQ(std::string(b.bytes.begin() + c.offset, b.bytes.begin() + c.offset + 5), "\x04" "C:\\x") << c.offset;
  }
}

// Every field written at once reads back unchanged: no two of them share a byte.
TEST(SharedBlock, NoFieldOverlapsAnother) {
  BlockBuffer b;
  uint32_t next = 1;
  for (const DwordCase& c : kDwords) b.block.Set(c.field, 0x01010101u * next++);
  for (const ByteCase& c : kBytes) b.block.Set(c.field, static_cast<uint8_t>(next++));
  for (const StringCase& c : kStrings) b.block.Set(c.field, std::string(vm::kShortStringCapacity, static_cast<char>(next++)));

  next = 1;
  for (const DwordCase& c : kDwords) EXPECT_EQ(b.block.Get(c.field), 0x01010101u * next++) << c.offset;
  for (const ByteCase& c : kBytes) EXPECT_EQ(b.block.Get(c.field), next++) << c.offset;
  for (const StringCase& c : kStrings)
    EXPECT_EQ(b.block.Get(c.field), std::string(vm::kShortStringCapacity, static_cast<char>(next++))) << c.offset;
  EXPECT_EQ(b.bytes.back(), kGuard);
}

TEST(SharedBlock, ReadsValuesWithTheHighBitSet) {
  BlockBuffer b;
  b.block.Set(vm::kBlockProjectorWindow, 0xFFFFFFFEu);
  b.block.Set(vm::kBlockExitOnEsc, 0xFF);
  EXPECT_EQ(b.block.Get(vm::kBlockProjectorWindow), 0xFFFFFFFEu);
  EXPECT_EQ(b.block.Get(vm::kBlockExitOnEsc), 0xFF);
  EXPECT_TRUE(b.block.IsSet(vm::kBlockExitOnEsc));
  EXPECT_FALSE(b.block.IsSet(vm::kBlockDraggable));
}

// Lengths around the 255-character limit, and bytes of a double-byte code page kept as they are.
TEST(SharedBlock, StringsKeepUpTo255Characters) {
  const struct {
    std::string written;
    std::string read;
  } cases[] = {
      {"", ""},
      {"C:\\Temp\\Vdl_Rt", "C:\\Temp\\Vdl_Rt"},
      {"C:\\\x95\\\xE4\xFF", "C:\\\x95\\\xE4\xFF"},
      {std::string(200, 'd'), std::string(200, 'd')},
      {std::string(254, 'a'), std::string(254, 'a')},
      {std::string(255, 'b'), std::string(255, 'b')},
      {std::string(255, 'c') + "xyz", std::string(255, 'c')},
  };
  for (const auto& c : cases) {
    BlockBuffer b;
    b.block.Set(vm::kBlockDdeTopic, c.written);  // the last field: it ends where the block ends
    EXPECT_EQ(b.block.Get(vm::kBlockDdeTopic), c.read) << c.written.size();
    EXPECT_EQ(b.bytes[vm::kBlockDdeTopic.offset], c.read.size());
    EXPECT_EQ(b.bytes.back(), kGuard);
  }
}

// What the other side left in the field is read by its length byte, not up to a terminator.
TEST(SharedBlock, StringReadStopsAtItsLengthByte) {
  BlockBuffer b;
  b.block.Set(vm::kBlockWorkingDirectory, "C:\\Long\\Folder");
  b.block.Set(vm::kBlockWorkingDirectory, "D:\\x");
  EXPECT_EQ(b.block.Get(vm::kBlockWorkingDirectory), "D:\\x");
  b.bytes[vm::kBlockBrowserCommand.offset + 1] = 'x';
  EXPECT_EQ(b.block.Get(vm::kBlockBrowserCommand), "");
}

TEST(SharedBlock, ClearZeroesTheWholeBlockAndNothingBeyond) {
  BlockBuffer b;
  std::fill(b.bytes.begin(), b.bytes.end() - 1, 0x77);
  b.block.Clear();
  EXPECT_EQ(std::count(b.bytes.begin(), b.bytes.end() - 1, 0), static_cast<std::ptrdiff_t>(vm::kSharedBlockSize));
  EXPECT_EQ(b.bytes.back(), kGuard);
}

}  // namespace
