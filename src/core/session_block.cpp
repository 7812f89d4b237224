#include "core/session_block.h"

namespace vm {

void SetHookFlags(SharedBlock& block, const RunnerSettings& settings) {
  block.Set(kBlockDisableScreenSaver, settings.DisableScreenSaver ? 1 : 0);
  if (settings.DisableW95Key) block.Set(kBlockDisableWindowsKey, 1);
  block.Set(kBlockRightClickMenuOff, settings.RightClickMenu.Value ? 0 : 1);
  block.Set(kBlockCloseMenu, settings.CloseMenu ? 1 : 0);
  block.Set(kBlockSetupMenu, settings.SetupMenu ? 1 : 0);
  block.Set(kBlockMinimizeMenu, settings.MinimizeMenu ? 1 : 0);
  block.Set(kBlockMouseInteractionOff, settings.Interaction.Value ? 0 : 1);
  block.Set(kBlockDraggable, settings.Draggable ? 1 : 0);
}

void CompleteSessionBlock(SharedBlock& block, const RunnerSettings& settings, const SessionHandles& handles) {
  block.Set(kBlockHideCursor, settings.HideCursor ? 1 : 0);
  block.Set(kBlockMuteSound, settings.Sound.Value ? 1 : 0);
  block.Set(kBlockMainWindowCopy, handles.MainWindow);
  block.Set(kBlockMainWindow, handles.MainWindow);
  block.Set(kBlockMouseHook, handles.MouseHook);
  block.Set(kBlockKeyboardHook, handles.KeyboardHook);
  block.Set(kBlockCbtHook, handles.CbtHook);
  block.Set(kBlockGetMessageHook, handles.GetMessageHook);
  for (DwordField field : {kBlockReserved16, kBlockReserved20, kBlockReserved28}) block.Set(field, 0);
  for (ByteField field : {kBlockReserved69, kBlockReserved72, kBlockReserved71, kBlockReserved70}) block.Set(field, 0);
  block.Set(kBlockReservedOne68, 1);
  block.Set(kBlockExitOnEsc, settings.ExitOnESC ? 1 : 0);
  block.Set(kBlockReserved60, 0);
  block.Set(kBlockRunnerThreadId, handles.RunnerThreadId);
  block.Set(kBlockRunnerProcessId, handles.RunnerProcessId);
  block.Set(kBlockProjectorProcessId, handles.ProjectorProcessId);
}

void ReleaseSessionBlock(SharedBlock& block) {
  for (DwordField field : {kBlockProjectorProcessId, kBlockReserved28, kBlockProjectorWindow, kBlockMainWindow,
                           kBlockMainWindowCopy})
    block.Set(field, 0);
  block.Set(kBlockReserved60, 0);
  block.Set(kBlockKeyInteractionOff, 0);
}

}  // namespace vm
