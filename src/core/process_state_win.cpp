#include "core/process_state.h"

namespace vm {

bool RestartFlag = true;
bool QuitFlag = false;
MessageFilterRef MessageFilter;
TfrmMain* CurrentRunner = nullptr;
int32_t ScreenWidth = 0, ScreenHeight = 0;
int32_t ClientWidth = 0, ClientHeight = 0;
bool ResizePending = false;
OsFlags Os;

}  // namespace vm
