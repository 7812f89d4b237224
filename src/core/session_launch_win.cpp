#include <windows.h>

#include <string>

#include "commands/browser_identity_win.h"
#include "core/main_window_win.h"
#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "core/session_block.h"
#include "core/session_cleanup_win.h"
#include "config/password_prompt_win.h"
#include "payload/file_compare.h"
#include "payload/file_helpers.h"
#include "resources/resource_names.h"
#include "support/failure_text.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kHookLibraryName[] = "vardelrun.dll";
constexpr DWORD kInputIdleMs = 11111;
// Between tries to hook a projector thread that the system does not hook yet.
constexpr DWORD kHookRetryMs = 1;
constexpr DWORD kWaitStepMs = 44;
constexpr DWORD kReadyPauseMs = 111;
constexpr UINT kKeepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
constexpr EXECUTION_STATE kDisplayRequired = ES_CONTINUOUS | ES_DISPLAY_REQUIRED;
// The hook library's procedures, in the order they are looked up; all must exist.
const char* const kHookExports[] = {"MProc", "KProc", "CProc", "GProc", "WProc", "FProc", "SProc"};
enum HookExport { kMProc, kKProc, kCProc, kGProc };

enum WorkingDirectoryChoice { kProbe = 0, kInstanceDirectory = 1, kStartDirectory = 2 };

std::string FolderOfOwnExecutable() { return FolderOf(OwnExecutablePath(), IsSystemLeadByte); }

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

uint32_t HandleValue(const void* handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

// A Runner that is killed (the task manager, taskkill /f) runs no clean-up; the job makes the
// system end its projector with it, instead of leaving it hidden and holding the instance
// directory. The programs that the movie starts are the projector's children and stay in the
// job: they belong to the session, which the clean-up ends only once they have ended.
UniqueHandle TieToRunner(HANDLE process) {
  auto untied = [](const char* api) {
    Trace("launch: the projector is not tied to the runner's life: ",
          Win32FailureText(api, "the projector", GetLastError()));
    return UniqueHandle();
  };
  UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
  if (!job) return untied("CreateJobObjectA");
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
    return untied("SetInformationJobObject");
  if (!AssignProcessToJobObject(job.get(), process)) return untied("AssignProcessToJobObject");
  return job;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The launch's steps, in their order. Each step that can end the launch says by its result
// whether the launch goes on; whatever a step creates goes to the clean-up, which undoes it
// however the launch ends.
class LaunchSteps {
 public:
  LaunchSteps(TfrmMain& runner, SessionCleanup& cleanup) : r_(runner), c_(cleanup) {}

  void ChooseWorkingDirectory();
  bool ClaimDirectory();
  bool ExtractSession();
  bool MapSharedBlock();
  bool LoadHookLibrary();
  void StartBlock();
  void SetHookFlags();
  bool RegisterRunnerMessage();
  bool FormProjectorPaths();
  bool StartProjector();
  bool InstallHooks();
  void CompleteBlock();
  void LetProjectorRun();
  bool EmbedMovie();
  void WaitForProjector();

 private:
  bool Install(int kind, HookExport which, UniqueHook& hook, const char* name);
  void KeepWindowsKeys();

  TfrmMain& r_;
  SessionCleanup& c_;
  HOOKPROC procs_[sizeof kHookExports / sizeof kHookExports[0]] = {};
};

void LaunchSteps::ChooseWorkingDirectory() {
  switch (r_.Settings.CurrentDir) {
    case kProbe:
      r_.Placement.ProbePass = true;
      r_.Appender.Extract(kRunnerSession);
      r_.Placement.ProbePass = false;
      r_.UseStartDirectory = !r_.Placement.HasGroupedFiles;
      break;
    case kStartDirectory: r_.UseStartDirectory = true; break;
    case kInstanceDirectory:
    default: r_.UseStartDirectory = false; break;
  }
  Trace("launch: the projector starts in ",
        (r_.UseStartDirectory ? "the runner's directory" : "the instance directory"));
}

bool LaunchSteps::ClaimDirectory() {
  r_.Instance.BaseDirectory = r_.TempBase;
  ClaimInstanceDirectory(r_.Instance);
  if (!r_.Instance.Claimed) {
    Trace("launch: no instance directory: another runner kept the claim lock");
    return false;
  }
  r_.Placement.InstanceNumber = r_.Instance.InstanceNumber;
  return true;
}

bool LaunchSteps::ExtractSession() {
  r_.Appender.UseOwnFile = true;
  r_.Placement.ProbePass = false;
  r_.Appender.TargetDir = r_.Instance.InstanceDir;
  r_.Placement.ClearForExtraction();
  r_.Appender.Extract(kRunnerSession);
  if (r_.Placement.HookLibraryFileName.empty()) {
    Trace("launch: the session holds no hook library; ending");
    return false;
  }
  r_.Placement.PrepareToolFolders();
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  return true;
}

bool LaunchSteps::MapSharedBlock() {
  const std::string mappingName = std::string(kSharedMappingName) + r_.Instance.InstanceSuffix;
  c_.Mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSharedMappingSize,
                                      mappingName.c_str()));
  if (!c_.Mapping) {
    Trace("launch: ", Win32FailureText("CreateFileMappingA", mappingName, GetLastError()));
    return false;
  }
  c_.View.reset(MapViewOfFile(c_.Mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kSharedBlockSize));
  r_.SharedBlockBytes = static_cast<uint8_t*>(c_.View.get());
  if (!c_.View) {
    Trace("launch: ", Win32FailureText("MapViewOfFile", mappingName, GetLastError()));
    return false;
  }
  Trace("launch: shared block ", mappingName);
  return true;
}

bool LaunchSteps::LoadHookLibrary() {
  SessionPlacement& p = r_.Placement;
  p.HookLibraryFileName = r_.Instance.InstanceDir + p.HookLibraryFileName;
  c_.HookLibraryPathFormed = true;
  c_.HookLibrary.reset(LoadLibraryA(p.HookLibraryFileName.c_str()));
  if (!c_.HookLibrary) {
    const DWORD error = GetLastError();
    const std::string text = std::string(kHookLibraryName) +
                             (FileExists(p.HookLibraryFileName) ? " exists but have" : "") + " not loaded: " +
                             SystemErrorMessage(error);
    Trace("launch: ", text);
    MessageBoxA(r_.MainWnd, text.c_str(), OwnExecutablePath().c_str(), MB_OK);
    return false;
  }
  for (size_t i = 0; i < sizeof kHookExports / sizeof kHookExports[0]; ++i) {
    // Through void*: the export's real type is only known by name.
    procs_[i] = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(c_.HookLibrary.get(), kHookExports[i])));
    if (procs_[i] == nullptr) {
      Trace("launch: the hook library lacks the export ", kHookExports[i], "; ending");
      return false;
    }
  }
  return true;
}

// The block starts empty but for its constant and the browser the movie's pages may go to.
void LaunchSteps::StartBlock() {
  SharedBlock block = r_.Block();
  block.Clear();
  block.Set(kBlockReservedOne88, 1);
  ReadBrowserIdentity(HKEY_CLASSES_ROOT, block);
}

// The flags that the hooks read, written before any hook is in.
void LaunchSteps::SetHookFlags() {
  const RunnerSettings& s = r_.Settings;
  SharedBlock block = r_.Block();
  vm::SetHookFlags(block, s);
  // The library turns the screen saver's commands away from the movie; where the system has a
  // way to be told that the display is in use, this thread, which lives as long as the session,
  // tells it too.
  if (s.DisableScreenSaver) {
    SetThreadExecutionState(kDisplayRequired);
    c_.DisplayRequired.reset(kDisplayRequired);
    Trace("launch: the display stays on while the movie plays");
  }
}

// The message the hook library sends this Runner, named for its instance.
bool LaunchSteps::RegisterRunnerMessage() {
  const std::string name = std::string(kRunnerMessageName) + r_.Instance.InstanceSuffix;
  r_.RunnerMessage = RegisterWindowMessageA(name.c_str());
  if (r_.RunnerMessage != 0) return true;
  Trace("launch: ", Win32FailureText("RegisterWindowMessageA", name, GetLastError()), "; ending");
  return false;
}

// The projector's and the MIDI file's paths in the instance directory.
bool LaunchSteps::FormProjectorPaths() {
  SessionPlacement& p = r_.Placement;
  if (p.ProjectorFileName.empty()) {
    Trace("launch: the session holds no projector; ending");
    return false;
  }
  if (!p.MidiFileName.empty()) p.MidiFileName = r_.Instance.InstanceDir + p.MidiFileName;
  return true;
}

bool LaunchSteps::StartProjector() {
  SessionPlacement& p = r_.Placement;
  std::string projectorPath = r_.Instance.InstanceDir + p.ProjectorFileName;
  // The projector process inherits these.
  const std::string mainWindow = std::to_string(reinterpret_cast<uintptr_t>(r_.MainWnd));
  SetEnvironmentVariableA("MossantLocalDir_Engine", OwnExecutablePath().c_str());
  SetEnvironmentVariableA("MossantEngine_ID", std::to_string(GetCurrentProcessId()).c_str());
  SetEnvironmentVariableA("MossantEngine_WH", mainWindow.c_str());
  SetEnvironmentVariableA(r_.ExeFileName.c_str(), mainWindow.c_str());

  const std::string workingDir = WithoutTrailingBackslash(
      r_.UseStartDirectory ? CurrentDirectory() : r_.Instance.InstanceDir, IsSystemLeadByte);
  SharedBlock block = r_.Block();
  block.Set(kBlockWorkingDirectory, workingDir);
  const std::string copyInWorkingDir = workingDir + "\\" + p.ProjectorFileName;
  if (FilesEqual(projectorPath, copyInWorkingDir)) projectorPath = copyInWorkingDir;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(projectorPath.c_str(), nullptr, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      workingDir.c_str(), &startup, &info)) {
    Trace("launch: ", Win32FailureText("CreateProcessA", projectorPath, GetLastError()));
    return false;
  }
  c_.ProjectorProcess.reset(info.hProcess);
  c_.ProjectorThread.reset(info.hThread);
  c_.ProjectorSuspended = true;
  r_.ProjectorProcessId = info.dwProcessId;
  r_.ProjectorThreadId = info.dwThreadId;
  c_.AttachedThreadId = info.dwThreadId;
  c_.ProjectorJob = TieToRunner(info.hProcess);
  if (r_.Settings.Sound.Value) c_.Mute.Begin();
  Trace("launch: projector ", projectorPath, " started in ", workingDir, " (process ", info.dwProcessId, ")");
  return true;
}

// Windows hooks only a thread that has started its user-interface part, and refuses one that
// has not yet run with ERROR_INVALID_PARAMETER: the projector's thread then runs, and gets its
// hooks as soon as the system takes them, while the system library that starts that part is
// being loaded, before the program's own code runs.
bool LaunchSteps::Install(int kind, HookExport which, UniqueHook& hook, const char* name) {
  const DWORD start = GetTickCount();
  for (;;) {
    HHOOK installed = SetWindowsHookExA(kind, procs_[which], c_.HookLibrary.get(), r_.ProjectorThreadId);
    const DWORD error = GetLastError();
    hook.reset(installed);
    if (hook) return true;
    if (error != ERROR_INVALID_PARAMETER || GetTickCount() - start >= kInputIdleMs ||
        (!c_.ProjectorSuspended && WaitForSingleObject(c_.ProjectorProcess.get(), kHookRetryMs) != WAIT_TIMEOUT)) {
      Trace("launch: ", Win32FailureText("SetWindowsHookExA", name, error), "; ending");
      return false;
    }
    if (c_.ProjectorSuspended) ResumeThread(c_.ProjectorThread.get());
    c_.ProjectorSuspended = false;
  }
}

// On the projector's main thread only, the one that owns the movie window: the library acts
// nowhere else, and hooks for every thread would have the system map it into every program with
// a window, where it may stay after the session and keep its file from being deleted. The thread
// is still suspended, so none of its events is missed.
bool LaunchSteps::InstallHooks() {
  const RunnerSettings& s = r_.Settings;
  if (!Install(WH_KEYBOARD, kKProc, c_.KeyboardHook, "keyboard")) return false;
  if (s.DisableW95Key && !Install(WH_GETMESSAGE, kGProc, c_.GetMessageHook, "get-message")) return false;
  if (!Install(WH_CBT, kCProc, c_.CbtHook, "CBT")) return false;
  // Every setting needs the mouse hook: the right button must never reach the projector, whose
  // own menu would open in place of the Runner's.
  return Install(WH_MOUSE, kMProc, c_.MouseHook, "mouse");
}

// The handles, and the projector's process id, which makes the library act in it.
void LaunchSteps::CompleteBlock() {
  SessionHandles handles;
  handles.MainWindow = HandleValue(r_.MainWnd);
  handles.MouseHook = HandleValue(c_.MouseHook.get());
  handles.KeyboardHook = HandleValue(c_.KeyboardHook.get());
  handles.CbtHook = HandleValue(c_.CbtHook.get());
  handles.GetMessageHook = HandleValue(c_.GetMessageHook.get());
  handles.RunnerThreadId = GetCurrentThreadId();
  handles.RunnerProcessId = GetCurrentProcessId();
  handles.ProjectorProcessId = r_.ProjectorProcessId;
  SharedBlock block = r_.Block();
  CompleteSessionBlock(block, r_.Settings, handles);
}

void LaunchSteps::LetProjectorRun() {
  r_.ProjectorWindow = nullptr;
  if (c_.ProjectorSuspended) ResumeThread(c_.ProjectorThread.get());
  c_.ProjectorSuspended = false;
  WaitForInputIdle(c_.ProjectorProcess.get(), kInputIdleMs);
}

bool LaunchSteps::EmbedMovie() {
  if (!r_.FindProjectorWindow()) {
    r_.LaunchFailed = true;
    return false;
  }
  // The stand-by filter goes in before anything pumps: the movie may ask to end as soon as it
  // sees itself embedded, in the same pass of the queue as its ready notice.
  MessageFilter.Code = &TfrmMain::HoldCloseRequest;
  MessageFilter.Object = &r_;
  AttachThreadInput(GetCurrentThreadId(), r_.ProjectorThreadId, TRUE);
  if (!r_.Placement.BeforeShowCommand.empty()) r_.Placement.RunBeforeShow(r_.MainWnd);
  r_.CaptureProjectorWindow();
  SharedBlock block = r_.Block();
  block.Set(kBlockProjectorWindow, HandleValue(r_.ProjectorWindow));
  return true;
}

// While the movie plays.
void LaunchSteps::KeepWindowsKeys() {
  if (!r_.Settings.DisableW95Key) return;
  // Through void*: the export's real type is only known by name.
  const auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(c_.HookLibrary.get(), "LProc")));
  if (proc) c_.WindowsKeys.emplace(proc, c_.HookLibrary.get());
  if (!c_.WindowsKeys || !c_.WindowsKeys->Installed())
    Trace("launch: no low-level keyboard hook: the Windows keys stay the system's");
}

// Brings the movie up and keeps the presentation in order until the projector ends.
void LaunchSteps::WaitForProjector() {
  const RunnerSettings& s = r_.Settings;
  SharedBlock block = r_.Block();
  MessageFilter.Code = &TfrmMain::CloseProjector;
  if (r_.CloseRequestHeld) PostThreadMessageA(GetCurrentThreadId(), r_.RunnerMessage, 0, 0);
  SetWindowPos(r_.MainWnd, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
  Sleep(kSettleMs);
  PumpPending();
  SetWindowPos(r_.ProjectorWindow, HWND_NOTOPMOST, 0, 0, ClientWidth, ClientHeight,
               SWP_SHOWWINDOW | SWP_NOZORDER | (s.KeyInteraction.Value ? 0 : SWP_NOACTIVATE));
  SetForegroundWindow(r_.MainWnd);
  block.Set(kBlockMovieShown, 1);
  KeepWindowsKeys();

  const bool fullScreenTopmost = s.FullScreen && !s.CustomSize && (Os.IsWin2000 || Os.IsWinMe);
  while (WaitForSingleObject(c_.ProjectorProcess.get(), kWaitStepMs) == WAIT_TIMEOUT) {
    SetPriorityClass(c_.ProjectorProcess.get(), NORMAL_PRIORITY_CLASS);
    if (ResizePending) {
      SetWindowPos(r_.ProjectorWindow, nullptr, 0, 0, ClientWidth, ClientHeight, SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(r_.ProjectorWindow, nullptr, TRUE);
      ResizePending = false;
    }
    if (fullScreenTopmost)
      if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) SetWindowPos(tray, HWND_BOTTOM, 0, 0, 0, 0, kKeepPlace);
    PumpPending();
    block.Set(kBlockKeyInteractionOff, s.KeyInteraction.Value ? 0 : 1);
    if (r_.ProjectorReady) {
      if (r_.ProjectorShown) {
        PumpPending();
      } else {
        Trace("launch: the projector is ready");
        SetWindowPos(r_.MainWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
        Sleep(kReadyPauseMs);
        SetWindowPos(r_.MainWnd, s.AlwaysOnTop || fullScreenTopmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     kKeepPlace);
        PumpPending();
        PostMessageA(r_.MainWnd, WM_RUNNER_START_MIDI, 0, 0);
        InvalidateRect(r_.ProjectorWindow, nullptr, TRUE);
      }
      r_.ProjectorShown = true;
    }
    if (QuitFlag)
      PostMessageA(r_.ProjectorWindow, WM_CLOSE, 0, 0);
    else
      r_.SyncProjectorZOrder();
  }
  c_.WindowsKeys.reset();
  ShowWindow(r_.MainWnd, SW_HIDE);
  Trace("launch: the projector has ended");
}

}  // namespace

bool TfrmMain::AskPassword() {
  return CheckPassword({MainWnd, Settings}, Random, {PumpPending, QuitFlag});
}

void TfrmMain::LaunchSession() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), kMainIconName);
  SendMessageA(MainWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  if (!AskPassword()) {
    Trace("launch: the password was not given; ending");
    return;
  }

  SetCurrentDirectoryA(FolderOfOwnExecutable().c_str());
  SessionMute::RestoreAbandoned();
  Appender.UseOwnFile = true;
  SessionCleanup cleanup(*this);
  LaunchSteps step(*this, cleanup);
  step.ChooseWorkingDirectory();
  if (!step.ClaimDirectory() || !step.ExtractSession() || !step.MapSharedBlock() || !step.LoadHookLibrary())
    return;
  step.StartBlock();
  step.SetHookFlags();
  // The hooks are the projector thread's: it is created suspended, hooked, then let run.
  if (!step.RegisterRunnerMessage() || !step.FormProjectorPaths() || !step.StartProjector() ||
      !step.InstallHooks())
    return;
  step.CompleteBlock();
  step.LetProjectorRun();
  if (!step.EmbedMovie()) return;
  step.WaitForProjector();
}

}  // namespace vm
