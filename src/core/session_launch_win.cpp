#include <windows.h>

#include <string>

#include "commands/browser_identity_win.h"
#include "core/main_window_win.h"
#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "core/session_cleanup_win.h"
#include "config/password_prompt_win.h"
#include "payload/file_helpers.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kSessionName[] = "Session1";
constexpr char kMainIcon[] = "MAINICON";
constexpr char kHookLibraryName[] = "vardelrun.dll";
constexpr DWORD kInputIdleMs = 11111;
constexpr DWORD kWaitStepMs = 44;
constexpr DWORD kSettleMs = 55;
constexpr DWORD kReadyPauseMs = 111;
constexpr UINT kKeepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
// The hook library's procedures, in the order they are looked up; all must exist.
const char* const kHookExports[] = {"MProc", "KProc", "CProc", "GProc", "WProc", "FProc", "SProc"};
enum HookExport { kMProc, kKProc, kCProc, kGProc };

enum WorkingDirectoryChoice { kProbe = 0, kInstanceDirectory = 1, kStartDirectory = 2 };

std::string FolderOfOwnExecutable() {
  std::string path = OwnExecutablePath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

std::string WithoutTrailingBackslash(std::string dir) {
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

uint32_t HandleValue(const void* handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

std::string SystemMessage(DWORD error) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                 sizeof text, nullptr);
  return text;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

void TfrmMain::LaunchSession() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), kMainIcon);
  SendMessageA(MainWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  PasswordPromptInput password;
  password.Owner = MainWnd;
  password.ScreenName = Settings.ScreenName;
  password.PasswordLabel = Settings.PasswordLabel;
  password.WrongPasswordText = Settings.WrongPasswordText;
  password.PasswordRequired = Settings.PasswordRequired;
  password.PasswordCheckValue = Settings.PasswordCheckValue;
  if (!CheckPassword(password, Random, {PumpPending, QuitFlag})) {
    Trace("launch: the password was not given; ending");
    return;
  }

  SetCurrentDirectoryA(FolderOfOwnExecutable().c_str());
  Appender.UseOwnFile = true;
  SessionCleanup cleanup(*this);

  // Working directory and instance directory.
  switch (Settings.CurrentDir) {
    case kProbe:
      Placement.ProbePass = true;
      Appender.Extract(kSessionName);
      Placement.ProbePass = false;
      UseStartDirectory = !Placement.HasGroupedFiles;
      break;
    case kStartDirectory: UseStartDirectory = true; break;
    case kInstanceDirectory:
    default: UseStartDirectory = false; break;
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

  // Extraction.
  Appender.UseOwnFile = true;
  Placement.ProbePass = false;
  Appender.TargetDir = Instance.InstanceDir;
  Placement.ClearForExtraction();
  Appender.Extract(kSessionName);
  if (Placement.HookLibraryFileName.empty()) {
    Trace("launch: the session holds no hook library; ending");
    return;
  }
  Placement.PrepareToolFolders();
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));

  // Shared mapping and hook library.
  const std::string mappingName = std::string(kSharedMappingName) + Instance.InstanceSuffix;
  cleanup.Mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           kSharedMappingSize, mappingName.c_str()));
  if (!cleanup.Mapping) {
    Trace("launch: CreateFileMappingA failed for " + mappingName + " (error " + std::to_string(GetLastError()) + ")");
    return;
  }
  SharedBlockBytes = static_cast<uint8_t*>(
      MapViewOfFile(cleanup.Mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kSharedBlockSize));
  if (SharedBlockBytes == nullptr) {
    Trace("launch: MapViewOfFile failed (error " + std::to_string(GetLastError()) + ")");
    return;
  }
  Trace("launch: shared block " + mappingName);

  Placement.HookLibraryFileName = Instance.InstanceDir + Placement.HookLibraryFileName;
  cleanup.HookLibraryPathFormed = true;
  cleanup.HookLibrary.reset(LoadLibraryA(Placement.HookLibraryFileName.c_str()));
  if (!cleanup.HookLibrary) {
    const DWORD error = GetLastError();
    const std::string text = std::string(kHookLibraryName) +
                             (FileExists(Placement.HookLibraryFileName) ? " exists but have" : "") +
                             " not loaded: " + SystemMessage(error);
    Trace("launch: " + text);
    MessageBoxA(MainWnd, text.c_str(), OwnExecutablePath().c_str(), MB_OK);
    return;
  }
  HOOKPROC procs[sizeof kHookExports / sizeof kHookExports[0]] = {};
  for (size_t i = 0; i < sizeof kHookExports / sizeof kHookExports[0]; ++i) {
    // Through void*: the export's real type is only known by name.
    procs[i] = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(cleanup.HookLibrary.get(), kHookExports[i])));
    if (procs[i] == nullptr) {
      Trace(std::string("launch: the hook library lacks the export ") + kHookExports[i] + "; ending");
      return;
    }
  }
  SharedBlock block = Block();
  block.Clear();
  block.Set(kBlockReservedOne88, 1);
  ReadBrowserIdentity(HKEY_CLASSES_ROOT, block);

  // Hooks, all system-wide.
  HINSTANCE module = cleanup.HookLibrary.get();
  auto install = [&](int kind, HOOKPROC proc, UniqueHook& hook, const char* name) {
    hook.reset(SetWindowsHookExA(kind, proc, module, 0));
    if (!hook) Trace(std::string("launch: the ") + name + " hook could not be installed (error " +
                     std::to_string(GetLastError()) + "); ending");
    return static_cast<bool>(hook);
  };
  if (!install(WH_KEYBOARD, procs[kKProc], cleanup.KeyboardHook, "keyboard")) return;
  block.Set(kBlockDisableScreenSaver, Settings.DisableScreenSaver ? 1 : 0);
  if (Settings.DisableW95Key) {
    block.Set(kBlockDisableWindowsKey, 1);
    if (!install(WH_GETMESSAGE, procs[kGProc], cleanup.GetMessageHook, "get-message")) return;
  }
  if (!install(WH_CBT, procs[kCProc], cleanup.CbtHook, "CBT")) return;
  block.Set(kBlockRightClickMenuOff, Settings.RightClickMenu.Value ? 0 : 1);
  block.Set(kBlockCloseMenu, Settings.CloseMenu ? 1 : 0);
  block.Set(kBlockSetupMenu, Settings.SetupMenu ? 1 : 0);
  block.Set(kBlockMinimizeMenu, Settings.MinimizeMenu ? 1 : 0);
  block.Set(kBlockMouseInteractionOff, Settings.Interaction.Value ? 0 : 1);
  block.Set(kBlockDraggable, Settings.Draggable ? 1 : 0);
  if (block.IsSet(kBlockRightClickMenuOff) || block.IsSet(kBlockMouseInteractionOff) || block.IsSet(kBlockDraggable)) {
    if (!install(WH_MOUSE, procs[kMProc], cleanup.MouseHook, "mouse")) return;
  }
  block.Set(kBlockHideCursor, Settings.HideCursor ? 1 : 0);
  block.Set(kBlockMainWindowCopy, HandleValue(MainWnd));
  block.Set(kBlockMainWindow, HandleValue(MainWnd));
  block.Set(kBlockProjectorProcessId, 0);
  block.Set(kBlockMouseHook, HandleValue(cleanup.MouseHook.get()));
  block.Set(kBlockKeyboardHook, HandleValue(cleanup.KeyboardHook.get()));
  block.Set(kBlockCbtHook, HandleValue(cleanup.CbtHook.get()));
  block.Set(kBlockGetMessageHook, HandleValue(cleanup.GetMessageHook.get()));
  block.Set(kBlockReservedOne68, 1);
  block.Set(kBlockExitOnEsc, Settings.ExitOnESC ? 1 : 0);
  block.Set(kBlockRunnerThreadId, GetCurrentThreadId());
  block.Set(kBlockRunnerProcessId, GetCurrentProcessId());

  // Runner message and projector file.
  RunnerMessage = RegisterWindowMessageA((std::string(kRunnerMessageName) + Instance.InstanceSuffix).c_str());
  if (RunnerMessage == 0) return;
  if (Placement.ProjectorFileName.empty()) {
    Trace("launch: the session holds no projector; ending");
    return;
  }
  std::string projectorPath = Instance.InstanceDir + Placement.ProjectorFileName;
  if (!Placement.MidiFileName.empty()) Placement.MidiFileName = Instance.InstanceDir + Placement.MidiFileName;

  // The projector process inherits these.
  const std::string mainWindow = std::to_string(reinterpret_cast<uintptr_t>(MainWnd));
  SetEnvironmentVariableA("MossantLocalDir_Engine", OwnExecutablePath().c_str());
  SetEnvironmentVariableA("MossantEngine_ID", std::to_string(GetCurrentProcessId()).c_str());
  SetEnvironmentVariableA("MossantEngine_WH", mainWindow.c_str());
  SetEnvironmentVariableA(ExeFileName.c_str(), mainWindow.c_str());

  const std::string workingDir =
      WithoutTrailingBackslash(UseStartDirectory ? CurrentDirectory() : Instance.InstanceDir);
  block.Set(kBlockWorkingDirectory, workingDir);
  const std::string copyInWorkingDir = workingDir + "\\" + Placement.ProjectorFileName;
  if (FilesEqual(projectorPath, copyInWorkingDir)) projectorPath = copyInWorkingDir;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(projectorPath.c_str(), nullptr, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      workingDir.c_str(), &startup, &info)) {
    Trace("launch: CreateProcessA failed for " + projectorPath + " (error " + std::to_string(GetLastError()) + ")");
    return;
  }
  cleanup.ProjectorProcess.reset(info.hProcess);
  cleanup.ProjectorThread.reset(info.hThread);
  ProjectorProcess = info.hProcess;
  ProjectorProcessId = info.dwProcessId;
  ProjectorThreadId = info.dwThreadId;
  cleanup.AttachedThreadId = info.dwThreadId;
  block.Set(kBlockProjectorProcessId, info.dwProcessId);
  Trace("launch: projector " + projectorPath + " started in " + workingDir);

  ProjectorWindow = nullptr;
  ResumeThread(info.hThread);
  WaitForInputIdle(info.hProcess, kInputIdleMs);

  // Finding and embedding the movie window.
  if (!FindProjectorWindow()) {
    LaunchFailed = true;
    return;
  }
  AttachThreadInput(GetCurrentThreadId(), info.dwThreadId, TRUE);
  if (!Placement.BeforeShowCommand.empty()) Placement.RunBeforeShow(MainWnd);
  CaptureProjectorWindow();
  block.Set(kBlockProjectorWindow, HandleValue(ProjectorWindow));

  // Bringing the movie up, and the wait until the projector ends.
  SetWindowPos(MainWnd, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
  Sleep(kSettleMs);
  PumpPending();
  SetWindowPos(ProjectorWindow, HWND_NOTOPMOST, 0, 0, ClientWidth, ClientHeight,
               SWP_SHOWWINDOW | SWP_NOZORDER | (Settings.KeyInteraction.Value ? 0 : SWP_NOACTIVATE));
  SetForegroundWindow(MainWnd);
  block.Set(kBlockMovieShown, 1);

  const bool fullScreenTopmost = Settings.FullScreen && !Settings.CustomSize && (Os.IsWin2000 || Os.IsWinMe);
  while (WaitForSingleObject(info.hProcess, kWaitStepMs) == WAIT_TIMEOUT) {
    SetPriorityClass(info.hProcess, NORMAL_PRIORITY_CLASS);
    if (ResizePending) {
      SetWindowPos(ProjectorWindow, nullptr, 0, 0, ClientWidth, ClientHeight, SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(ProjectorWindow, nullptr, TRUE);
      ResizePending = false;
    }
    if (fullScreenTopmost)
      if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) SetWindowPos(tray, HWND_BOTTOM, 0, 0, 0, 0, kKeepPlace);
    PumpPending();
    block.Set(kBlockKeyInteractionOff, Settings.KeyInteraction.Value ? 0 : 1);
    if (ProjectorReady) {
      if (MessageFilter.Assigned()) {
        PumpPending();
      } else {
        Trace("launch: the projector is ready");
        SetWindowPos(MainWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
        Sleep(kReadyPauseMs);
        SetWindowPos(MainWnd, Settings.AlwaysOnTop || fullScreenTopmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     kKeepPlace);
        PumpPending();
        PostMessageA(MainWnd, WM_RUNNER_START_MIDI, 0, 0);
        InvalidateRect(ProjectorWindow, nullptr, TRUE);
      }
      ProjectorShown = true;
      MessageFilter.Code = &TfrmMain::CloseProjector;
      MessageFilter.Object = this;
    }
    if (QuitFlag)
      PostMessageA(ProjectorWindow, WM_CLOSE, 0, 0);
    else
      SyncProjectorZOrder();
  }
  ShowWindow(MainWnd, SW_HIDE);
  Trace("launch: the projector has ended");
}

}  // namespace vm
