#include <windows.h>

#include <exception>
#include <memory>

#include "core/error_report_win.h"
#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"

namespace vm {
namespace {

constexpr DWORD kRunEndPauseMs = 111;
constexpr int kStartUpFailedExitCode = 1;

OSVERSIONINFOA VersionInfo() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExA(&info);
  return info;
}

// One run: start-up, the message loop (inside which the whole session runs), shutdown. An error
// out of start-up is not caught here; it ends the process.
void RunOnce() {
  auto runner = std::make_unique<TfrmMain>();
  CurrentRunner = runner.get();
  runner->StartUp();

  do {
    try {
      PumpMessage();
    } catch (const std::exception& e) {
      ReportException(runner->MainWnd, e);
    }
  } while (!QuitFlag);

  try {
    runner->ShutDown();
  } catch (const std::exception&) {
  }
  Sleep(kRunEndPauseMs);
  if (!runner->Placement.HookLibraryFileName.empty())
    DeleteFileA(runner->Placement.HookLibraryFileName.c_str());
  CurrentRunner = nullptr;
}

}  // namespace
}  // namespace vm

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  vm::Os = vm::ComputeOsFlags(GetVersion(), vm::VersionInfo().dwPlatformId);
  try {
    while (vm::RestartFlag) {
      vm::QuitFlag = false;
      vm::RestartFlag = false;
      vm::RunOnce();
    }
  } catch (const std::exception& e) {
    vm::ReportFatalException(e);
    return vm::kStartUpFailedExitCode;
  }
  return 0;
}
