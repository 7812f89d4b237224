#include "core/session_block.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Each setting reaches the byte the library reads, with the sense the library reads it in.
TEST(SetHookFlags, EachSettingSetsItsByteAndNoOther) {
  const struct {
    const char* name;
    std::function<void(vm::RunnerSettings&)> set;
    vm::ByteField field;
    uint8_t value;
  } cases[] = {
      {"DisableScreenSaver", [](vm::RunnerSettings& s) { s.DisableScreenSaver = true; },
       vm::kBlockDisableScreenSaver, 1},
      {"DisableW95Key", [](vm::RunnerSettings& s) { s.DisableW95Key = true; }, vm::kBlockDisableWindowsKey, 1},
      {"no right-click menu", [](vm::RunnerSettings& s) { s.RightClickMenu.Value = false; },
       vm::kBlockRightClickMenuOff, 1},
      {"CloseMenu", [](vm::RunnerSettings& s) { s.CloseMenu = true; }, vm::kBlockCloseMenu, 1},
      {"SetupMenu", [](vm::RunnerSettings& s) { s.SetupMenu = true; }, vm::kBlockSetupMenu, 1},
      {"MinimizeMenu", [](vm::RunnerSettings& s) { s.MinimizeMenu = true; }, vm::kBlockMinimizeMenu, 1},
      {"mouse off", [](vm::RunnerSettings& s) { s.Interaction.Value = false; }, vm::kBlockMouseInteractionOff, 1},
      {"Draggable", [](vm::RunnerSettings& s) { s.Draggable = true; }, vm::kBlockDraggable, 1},
  };
  vm::RunnerSettings base;
  base.RightClickMenu.Value = true;
  base.Interaction.Value = true;
  std::vector<uint8_t> baseBytes(vm::kSharedBlockSize, 0);
  vm::SharedBlock baseBlock(baseBytes.data());
  vm::SetHookFlags(baseBlock, base);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vm::RunnerSettings settings = base;
    c.set(settings);
    std::vector<uint8_t> bytes(vm::kSharedBlockSize, 0);
    vm::SharedBlock block(bytes.data());
    vm::SetHookFlags(block, settings);
    EXPECT_EQ(block.Get(c.field), c.value);
    EXPECT_EQ(baseBlock.Get(c.field), 1 - c.value) << "the byte does not follow the setting";
    for (size_t at = 0; at < bytes.size(); ++at) {
      if (at == c.field.offset) continue;
      EXPECT_EQ(bytes[at], baseBytes[at]) << "offset " << at;
    }
  }
}

// Once the session is over no library may act in the projector or post to the Runner's windows.
TEST(ReleaseSessionBlock, ClearsWhatMakesALibraryActAndKeepsTheRest) {
  std::vector<uint8_t> bytes(vm::kSharedBlockSize, 0xAA);
  vm::SharedBlock block(bytes.data());
  vm::ReleaseSessionBlock(block);
  for (vm::DwordField field : {vm::kBlockProjectorProcessId, vm::kBlockReserved28, vm::kBlockProjectorWindow,
                               vm::kBlockMainWindow, vm::kBlockMainWindowCopy})
    EXPECT_EQ(block.Get(field), 0u) << "offset " << field.offset;
  EXPECT_EQ(block.Get(vm::kBlockReserved60), 0);
  EXPECT_EQ(block.Get(vm::kBlockKeyInteractionOff), 0);
  EXPECT_EQ(block.Get(vm::kBlockRunnerThreadId), 0xAAAAAAAAu);
  EXPECT_EQ(block.Get(vm::kBlockExitOnEsc), 0xAA);
}

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
