#include "core/session_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The hook procedures run in other processes as soon as each hook is in and may write into the
// block before it is complete: every field the completion owns must end as it says, whatever
// was there.
TEST(CompleteSessionBlock, SetsEveryFieldItOwnsWhateverWasThere) {
  std::vector<uint8_t> bytes(vm::kSharedBlockSize, 0xAA);
  vm::SharedBlock block(bytes.data());
  vm::RunnerSettings settings;
  settings.HideCursor = true;
  settings.ExitOnESC = false;
  settings.Sound.Value = true;
  vm::SessionHandles handles;
  handles.MainWindow = 0x10020;
  handles.KeyboardHook = 0x3001;
  handles.CbtHook = 0x3002;
  handles.RunnerThreadId = 77;
  handles.RunnerProcessId = 88;
  handles.ProjectorProcessId = 99;
  vm::CompleteSessionBlock(block, settings, handles);

  const struct {
    vm::DwordField field;
    uint32_t value;
  } dwords[] = {{vm::kBlockMouseHook, 0},       {vm::kBlockKeyboardHook, 0x3001},  {vm::kBlockCbtHook, 0x3002},
                {vm::kBlockGetMessageHook, 0},  {vm::kBlockReserved16, 0},         {vm::kBlockReserved20, 0},
                {vm::kBlockProjectorProcessId, 99}, {vm::kBlockReserved28, 0},      {vm::kBlockMainWindow, 0x10020},
                {vm::kBlockMainWindowCopy, 0x10020}, {vm::kBlockRunnerThreadId, 77}, {vm::kBlockRunnerProcessId, 88}};
  for (const auto& d : dwords) EXPECT_EQ(block.Get(d.field), d.value) << "offset " << d.field.offset;
  const struct {
    vm::ByteField field;
    uint8_t value;
  } singles[] = {{vm::kBlockReserved60, 0},  {vm::kBlockReservedOne68, 1}, {vm::kBlockReserved69, 0},
                 {vm::kBlockReserved70, 0},  {vm::kBlockReserved71, 0},    {vm::kBlockReserved72, 0},
                 {vm::kBlockExitOnEsc, 0},   {vm::kBlockHideCursor, 1},    {vm::kBlockMuteSound, 1}};
  for (const auto& b : singles) EXPECT_EQ(block.Get(b.field), b.value) << "offset " << b.field.offset;
  // What the completion does not own stays as it was.
  EXPECT_EQ(block.Get(vm::kBlockProjectorWindow), 0xAAAAAAAAu);
}

}  // namespace
