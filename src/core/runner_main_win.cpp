#include <windows.h>

#include <exception>
#include <memory>
#include <string>

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
  // Only a path that the launch made full: a bare name would hit whatever file of that name
  // lies in the current folder.
  const std::string& hookLibrary = runner->Placement.HookLibraryFileName;
  if (hookLibrary.find('\\') != std::string::npos) DeleteFileA(hookLibrary.c_str());
  if (runner->CloseAtom != 0) GlobalDeleteAtom(runner->CloseAtom);
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
  } catch (const vm::UnheldPathError& e) {
    vm::ReportUnheldPath(e);
    return vm::kStartUpFailedExitCode;
  } catch (const std::exception& e) {
    vm::ReportFatalException(e);
    return vm::kStartUpFailedExitCode;
  }
  return 0;
}
