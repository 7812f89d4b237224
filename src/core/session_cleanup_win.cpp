#include "core/session_cleanup_win.h"

#include <exception>
#include <string>

#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "core/session_block.h"
#include "engine/hook_removal_win.h"
#include "support/failure_text.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr int kHookLibraryDeleteTries = 6;
constexpr DWORD kHookLibraryRetryMs = 555;
constexpr DWORD kBlockReleasePauseMs = 111;
constexpr DWORD kProjectorEndMs = 5555;
constexpr DWORD kProgramWaitStepMs = 44;

void DeleteOnce(const std::string& path) {
  bool deleted = DeleteFileA(path.c_str()) != FALSE;
  Trace("clean-up: delete ", path, (deleted ? ": done" : ": failed"));
}

// The hook library is mapped into the projector alone, which has ended by now; should it still be
// locked, the system deletes it at the next restart.
void DeleteHookLibrary(const std::string& path) {
  for (int attempt = 1; attempt <= kHookLibraryDeleteTries; ++attempt) {
    if (DeleteFileA(path.c_str())) {
      Trace("clean-up: delete ", path, ": done");
      return;
    }
    if (attempt < kHookLibraryDeleteTries) Sleep(kHookLibraryRetryMs);
    else MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    PumpPending();
  }
  Trace("clean-up: delete ", path, ": failed, left for deletion at the next restart");
}

}  // namespace

SessionCleanup::~SessionCleanup() {
  try {
    Run();
  } catch (const std::exception& e) {
    Trace("clean-up: stopped by an error: ", e.what());
  }
}

void SessionCleanup::Run() {
  SessionPlacement& p = r_.Placement;
  const std::string& dir = r_.Instance.InstanceDir;

  BroadcastSessionEnd();
  if (AttachedThreadId != 0) AttachThreadInput(GetCurrentThreadId(), AttachedThreadId, FALSE);
  // A projector whose window never appeared would run on hidden, and one that the launch left
  // before it ran would stay suspended; both keep its file in use: it is ended first, so that its
  // file goes with the one delete below.
  if ((r_.LaunchFailed || ProjectorSuspended) && ProjectorProcess) {
    Trace(ProjectorSuspended ? "clean-up: ending the projector, which never ran"
                             : "clean-up: ending the projector, whose window never appeared");
    TerminateProcess(ProjectorProcess.get(), 1);
    WaitForSingleObject(ProjectorProcess.get(), kProjectorEndMs);
  }
  AwaitSessionPrograms();
  if (!p.MidiFileName.empty()) {
    r_.StopMidiMusic();
    DeleteOnce(p.MidiFileName.find('\\') == std::string::npos ? dir + p.MidiFileName : p.MidiFileName);
  }
  if (!p.ProjectorFileName.empty()) DeleteOnce(dir + p.ProjectorFileName);
  for (const auto& path : p.SessionFiles) DeleteOnce(path);
  Mute.End();

  // The hooks are the projector thread's: the system removed them with the thread, if it ended.
  const bool hooksGone = ProjectorThread && WaitForSingleObject(ProjectorThread.get(), 0) == WAIT_OBJECT_0;
  ProjectorJob.reset();
  ProjectorThread.reset();
  ProjectorProcess.reset();
  DisplayRequired.reset();
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  MessageFilter = MessageFilterRef();
  RemoveHooks(hooksGone);
  HookLibrary.reset();
  ReleaseSharedBlock();
  PostMessageA(r_.MainWnd, WM_CLOSE, 0, 0);

  p.RemovePlacedFiles();
  p.RemoveGroupFolders();
  PumpPending();
  if (HookLibraryPathFormed) DeleteHookLibrary(p.HookLibraryFileName);
  if (!dir.empty()) {
    RemoveInstanceDirectory(dir);
    Trace("clean-up: removed the instance directory ", dir);
  }
  r_.Instance.InstanceLock.reset();
}

// The programs that the movie started run from the session's files, and its job would end them
// with the Runner: the session stays, its window hidden, until they have ended. An installer
// started from a CD menu runs to its end.
void SessionCleanup::AwaitSessionPrograms() {
  if (!ProjectorJob || (ProjectorProcess && WaitForSingleObject(ProjectorProcess.get(), 0) != WAIT_OBJECT_0)) return;
  bool waiting = false;
  for (;;) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job = {};
    if (!QueryInformationJobObject(ProjectorJob.get(), JobObjectBasicAccountingInformation, &job, sizeof job,
                                   nullptr)) {
      Trace("clean-up: ", Win32FailureText("QueryInformationJobObject", "the job", GetLastError()));
      return;
    }
    if (job.ActiveProcesses == 0) break;
    if (!waiting) {
      ShowWindow(r_.MainWnd, SW_HIDE);
      Trace("clean-up: waiting for the movie's ", job.ActiveProcesses, " program(s)");
      waiting = true;
    }
    Sleep(kProgramWaitStepMs);
    PumpPending();
  }
  if (waiting) Trace("clean-up: the movie's programs have ended");
}

// The receivers are the main windows of Runners whose environment came from this one, through the
// projector it started: without a projector there are none, and no atom is added. The atom names
// this executable; the receivers read it when they take the posted message, so the run releases
// it only at its very end (CloseAtom), after the rest of the clean-up and the shutdown's pauses.
void SessionCleanup::BroadcastSessionEnd() {
  if (!ProjectorProcess) return;
  r_.CloseAtom = GlobalAddAtomA(r_.ExeFileName.c_str());
  PostMessageA(HWND_BROADCAST, r_.GlobalCloseMessage, reinterpret_cast<WPARAM>(r_.MainWnd), r_.CloseAtom);
}

void SessionCleanup::RemoveHooks(bool hooksGone) {
  WindowsKeys.reset();
  if (hooksGone) {
    for (UniqueHook* hook : {&KeyboardHook, &MouseHook, &CbtHook, &GetMessageHook}) hook->release();
    return;
  }
  KeyboardHook.reset();
  MouseHook.reset();
  if (CbtHook) RemoveHookRetrying(CbtHook.release(), PumpPending);
  GetMessageHook.reset();
}

void SessionCleanup::ReleaseSharedBlock() {
  if (r_.BlockMapped()) {
    SharedBlock block = r_.Block();
    ReleaseSessionBlock(block);
    Sleep(kBlockReleasePauseMs);
    r_.SharedBlockBytes = nullptr;
    View.reset();
  }
  Mapping.reset();
}

}  // namespace vm
