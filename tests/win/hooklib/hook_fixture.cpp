#include "win/hooklib/hook_fixture.h"

#include "engine/shared_block.h"
#include "payload/file_helpers_paths.h"
#include "support/paths.h"
#include "win/create_process_retrying.h"

namespace vmtest {
namespace {

constexpr DWORD kPollMs = 5;

}  // namespace

std::function<void(const MSG&)> OnThreadMessage;

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.hwnd == nullptr && OnThreadMessage) OnThreadMessage(message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount() - start >= limitMs) return false;
    Sleep(kPollMs);
  }
}

std::string BuiltFile(const char* name) { return vm::FolderOf(vm::OwnExecutablePath(), vm::NoLeadBytes) + name; }

TargetProcess::TargetProcess(const char* programName) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  const std::string path = BuiltFile(programName);
  CreateProcessRetrying(path.c_str(), nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup, &process_);
}

TargetProcess::~TargetProcess() {
  if (!process_.hProcess) return;
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
  const HANDLE process = process_.hProcess;
  if (!PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, kHookWaitMs))
    TerminateProcess(process, 1);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool TargetProcess::Start() {
  if (!process_.hProcess) return false;
  ResumeThread(process_.hThread);
  WaitForInputIdle(process_.hProcess, kHookWaitMs);
  return PumpUntil(
      [this] {
        EnumThreadWindows(process_.dwThreadId, TakeWindow, reinterpret_cast<LPARAM>(this));
        return window_ != nullptr;
      },
      kHookWaitMs);
}

std::string TargetProcess::Caption() const {
  char text[128] = "";
  GetWindowTextA(window_, text, sizeof text);
  return text;
}

// A named callback, not a lambda: a lambda converts only to a function of the default calling
// convention, which on i686 is not the stdcall that the system calls.
BOOL CALLBACK TargetProcess::TakeWindow(HWND window, LPARAM self) {
  reinterpret_cast<TargetProcess*>(self)->window_ = window;
  return FALSE;
}

LoadedLibrary::LoadedLibrary(const char* copyName, const char* mappingName) {
  CopyFileA(BuiltFile(VARDELRUN_LIBRARY).c_str(), folder.File(copyName).c_str(), FALSE);
  mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   static_cast<DWORD>(vm::kSharedMappingSize), mappingName));
  if (mapping) view.reset(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, vm::kSharedBlockSize));
  module.reset(LoadLibraryA(folder.File(copyName).c_str()));
}

HOOKPROC LoadedLibrary::Procedure(const char* name) const {
  // Through void*: the export's real type is only known by name.
  return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
}

}  // namespace vmtest
