#include <windows.h>

#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "payload/file_helpers.h"
#include "support/errors.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kSessionName[] = "Session1";
constexpr char kMainIcon[] = "MAINICON";
constexpr int kHookLibraryDeleteTries = 6;
constexpr DWORD kHookLibraryRetryMs = 555;

enum WorkingDirectoryChoice { kProbe = 0, kInstanceDirectory = 1, kStartDirectory = 2 };

std::string FolderOfOwnExecutable() {
  std::string path = OwnExecutablePath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

void DeleteOnce(const std::string& path) {
  bool deleted = DeleteFileA(path.c_str()) != FALSE;
  Trace("clean-up: delete " + path + (deleted ? ": done" : ": failed"));
}

// The hook library may still be mapped into processes that are ending; when it stays locked,
// the system deletes it at the next restart.
void DeleteHookLibrary(const std::string& path) {
  for (int attempt = 1; attempt <= kHookLibraryDeleteTries; ++attempt) {
    if (DeleteFileA(path.c_str())) {
      Trace("clean-up: delete " + path + ": done");
      return;
    }
    if (attempt < kHookLibraryDeleteTries) Sleep(kHookLibraryRetryMs);
    else MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    PumpPending();
  }
  Trace("clean-up: delete " + path + ": failed, left for deletion at the next restart");
}

}  // namespace

// Everything the launch creates on disk is undone here, in one order, however the launch ends.
class SessionCleanup {
 public:
  explicit SessionCleanup(TfrmMain& runner) : r_(runner) {}
  SessionCleanup(const SessionCleanup&) = delete;
  SessionCleanup& operator=(const SessionCleanup&) = delete;
  ~SessionCleanup() {
    try {
      Run();
    } catch (const std::exception& e) {
      Trace(std::string("clean-up: stopped by an error: ") + e.what());
    }
  }

  bool HookLibraryPathFormed = false;

 private:
  void Run() {
    SessionPlacement& p = r_.Placement;
    const std::string& dir = r_.Instance.InstanceDir;
    if (!p.MidiFileName.empty()) DeleteOnce(dir + p.MidiFileName);
    if (!p.ProjectorFileName.empty()) DeleteOnce(dir + p.ProjectorFileName);
    for (const auto& path : p.SessionFiles) DeleteOnce(path);
    p.RemovePlacedFiles();
    p.RemoveGroupFolders();
    PumpPending();
    if (HookLibraryPathFormed) DeleteHookLibrary(p.HookLibraryFileName);
    if (!dir.empty()) {
      RemoveInstanceDirectory(dir);
      Trace("clean-up: removed the instance directory " + dir);
    }
    r_.Instance.InstanceLock.reset();
  }

  TfrmMain& r_;
};

void TfrmMain::LaunchSession() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), kMainIcon);
  SendMessageA(MainWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  SetCurrentDirectoryA(FolderOfOwnExecutable().c_str());
  Appender.UseOwnFile = true;
  SessionCleanup cleanup(*this);

  switch (Settings.CurrentDir) {
    case kProbe:
      Placement.ProbePass = true;
      Appender.Extract(kSessionName);
      Placement.ProbePass = false;
      UseStartDirectory = !Placement.HasGroupedFiles;
      break;
    case kInstanceDirectory: UseStartDirectory = false; break;
    case kStartDirectory:    UseStartDirectory = true; break;
    default:                 UseStartDirectory = false; break;
  }
  Trace(std::string("launch: the projector starts in ") +
        (UseStartDirectory ? "the runner's directory" : "the instance directory"));

  Instance.BaseDirectory = TempBaseDirectory(*Preferences);
  ClaimInstanceDirectory(Instance);
  if (!Instance.Claimed) {
    Trace("launch: no instance directory: another runner kept the claim lock");
    return;
  }
  Placement.InstanceNumber = Instance.InstanceNumber;

  Appender.UseOwnFile = true;
  Placement.ProbePass = false;
  Appender.TargetDir = Instance.InstanceDir;
  Placement.ClearForExtraction();
  Appender.Extract(kSessionName);

  if (Placement.HookLibraryFileName.empty()) {
    Trace("launch: the session holds no hook library; ending");
    return;
  }
  Placement.HookLibraryFileName = Instance.InstanceDir + Placement.HookLibraryFileName;
  cleanup.HookLibraryPathFormed = true;
  Placement.PrepareToolFolders();
  Trace("launch: session unpacked; starting the projector comes with the engine bridge");
}

}  // namespace vm
