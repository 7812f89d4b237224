#include "hooklib/movie_command_win.h"

#include <windows.h>
#include <shellapi.h>

#include "commands/address_policy_win.h"
#include "engine/shared_block_win.h"
#include "hooklib/address_request.h"
#include "hooklib/debug_trace_win.h"
#include "hooklib/fixed_text.h"
#include "hooklib/heap_object_win.h"
#include "hooklib/hook_session_win.h"
#include "hooklib/movie_command.h"
#include "hooklib/movie_end_win.h"
#include "hooklib/runner_notices_win.h"
#include "support/win_handles.h"

#include <utility>

namespace vm {
namespace {

// How often a waiting thread looks whether the session is still on.
constexpr DWORD kWaitStepMs = 111;
constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;

using ShellExecuteExProc = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);

OpenOutcome Done() { return {OpenOutcome::Done, 0}; }
OpenOutcome Failed(DWORD error) { return {OpenOutcome::Failed, error}; }

// The library reaches the shell only in the projector, which has it loaded already when it opens
// addresses; every other process that the hooks reach never loads it for the library.
ShellExecuteExProc SystemShellExecuteEx() {
  HMODULE shell = GetModuleHandleA("shell32.dll");
  if (!shell) shell = LoadLibraryA("shell32.dll");
  return shell ? reinterpret_cast<ShellExecuteExProc>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteExA"))) : nullptr;
}

// Programs being waited for, and whether the frame was topmost before the first of them.
LONG g_waiting = 0;
LONG g_frameWasTopmost = 0;

HWND Frame(const SharedBlockView& block) { return WindowFromBlock(block.Get(kBlockMainWindow)); }
HWND Movie(const SharedBlockView& block) { return WindowFromBlock(block.Get(kBlockProjectorWindow)); }

// While a started program runs, it is in front and the movie takes no input.
void StandBack(const SharedBlockView& block) {
  if (InterlockedIncrement(&g_waiting) != 1) return;
  const HWND frame = Frame(block);
  InterlockedExchange(&g_frameWasTopmost, (GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
  SetWindowPos(frame, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace | SWP_NOACTIVATE);
  EnableWindow(Movie(block), FALSE);
}

void ComeBack() {
  if (InterlockedDecrement(&g_waiting) != 0) return;
  // A session that ended meanwhile has nothing left to bring back.
  const std::optional<SharedBlockView> block = ProjectorBlock();
  if (!block) return;
  // The movie takes input again only once its frame is back where it was.
  const HWND frame = Frame(*block);
  SetWindowPos(frame, g_frameWasTopmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, kKeepPlace);
  SetForegroundWindow(frame);
  EnableWindow(Movie(*block), TRUE);
}

// The projector's thread must go on playing, so a thread of its own waits, for as long as the
// program runs or the session lasts, whichever ends first.
DWORD WINAPI WaitForProgram(void* process) {
  const UniqueHandle owned(process);
  while (WaitForSingleObject(owned.get(), kWaitStepMs) == WAIT_TIMEOUT && ProjectorBlock()) {
  }
  ComeBack();
  return 0;
}

void WaitInBackground(const SharedBlockView& block, UniqueHandle process) {
  StandBack(block);
  const UniqueHandle waiter(CreateThread(nullptr, 0, WaitForProgram, process.get(), 0, nullptr));
  if (waiter)
    process.release();
  else
    ComeBack();
}

OpenOutcome Quit(const SharedBlockView& block) {
  const DWORD error = AskRunnerToEndMovie(block);
  return error == ERROR_SUCCESS ? Done() : Failed(error);
}

OpenOutcome Open(const SharedBlockView& block, const MovieCommand& command, const char* directory,
                 const char* file) {
  const ShellExecuteExProc shellExecuteEx = SystemShellExecuteEx();
  if (!shellExecuteEx) return Failed(ERROR_PROC_NOT_FOUND);
  SHELLEXECUTEINFOA info;
  ZeroFill(info);
  info.cbSize = sizeof info;
  // An error box of the shell's would hold the projector's thread, and the movie with it.
  info.fMask = SEE_MASK_FLAG_NO_UI | (command.Wait ? SEE_MASK_NOCLOSEPROCESS : 0);
  info.hwnd = Frame(block);
  info.lpFile = file;
  info.lpDirectory = directory;
  info.nShow = SW_SHOWNORMAL;
  if (!shellExecuteEx(&info)) return Failed(GetLastError());
  // A document handed to a program that was running already has no process to wait for.
  if (info.hProcess) WaitInBackground(block, UniqueHandle(info.hProcess));
  return Done();
}

OpenOutcome Run(const SharedBlockView& block, const MovieCommand& command, const char* directory,
                const char* file) {
  HeapObject<FixedText<kAddressTargetCapacity + 3 + kMovieCommandTextCapacity>> commandLine;
  if (!commandLine) return Failed(ERROR_NOT_ENOUGH_MEMORY);
  commandLine->Add("\"").Add(file).Add("\"");
  if (command.Arguments[0] != '\0') commandLine->Add(" ").Add(command.Arguments);
  if (!commandLine->Fits) return Failed(ERROR_FILENAME_EXCED_RANGE);
  STARTUPINFOA startup;
  ZeroFill(startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  ZeroFill(started);
  if (!CreateProcessA(file, commandLine->Text, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &started))
    return Failed(GetLastError());
  const UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);
  if (command.Wait) WaitInBackground(block, std::move(process));
  return Done();
}

// What one command needs besides the text: more than a thread's stack page.
struct CommandWork {
  MovieCommand Command;
  char Directory[kShortStringSize];
  AddressDecision File;
};

}  // namespace

OpenOutcome CarryOutMovieCommand(const SharedBlockView& block, const char* text) {
  HeapObject<CommandWork> work;
  if (!work) return Failed(ERROR_NOT_ENOUGH_MEMORY);
  const MovieCommand& command = work->Command;
  switch (ParseMovieCommand(text, work->Command)) {
    case MovieCommandParse::NotACommand:
    case MovieCommandParse::UnknownCommand:
      DebugTrace("ignores the unknown movie command", text);
      return Done();
    case MovieCommandParse::MissingFile:
      DebugTrace("finds no file in", text);
      return Failed(ERROR_FILE_NOT_FOUND);
    case MovieCommandParse::Command:
      break;
  }
  if (command.Kind == MovieCommandKind::Quit) return Quit(block);
  if (command.Kind == MovieCommandKind::Minimize) {
    // As the Runner's own menu minimises its window.
    PostMessageA(Frame(block), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return Done();
  }

  // Only files of the session: a document that runs no code for open, a program for run.
  const char* directory = work->Directory;
  ReadBlockText(HookSessionBlock(), kBlockWorkingDirectory, work->Directory);
  AddressDecision& file = work->File;
  const bool open = command.Kind == MovieCommandKind::Open;
  DecideAddress(command.File, open ? AddressUse::OpenDocument : AddressUse::RunProgram, directory,
                SystemFileSystem(), file);
  if (file.Verdict == AddressVerdict::Refused) {
    DebugTrace("refuses the movie command", text);
    DebugTrace("because", AddressRefusalText(file.Refusal));
    return Failed(ERROR_ACCESS_DENIED);
  }
  return open ? Open(block, command, directory, file.Target) : Run(block, command, directory, file.Target);
}

}  // namespace vm
