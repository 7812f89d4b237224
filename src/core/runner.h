#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "commands/file_placement.h"
#include "engine/shared_block.h"
#include "config/password_hash.h"
#include "config/registry_preferences_win.h"
#include "config/runner_settings.h"
#include "payload/exe_appender.h"
#include "payload/instance_directory_win.h"

namespace vm {

// The runner object: everything of one run of the Runner. It is created for each run of the
// restart loop and reached by the main window procedure through CurrentRunner.
struct TfrmMain {
  TfrmMain() : Placement(Appender) {}
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // Identity and mode.
  std::string ExeFileName;  // the executable's file name without its folder
  std::string ProgramName;  // its section in the preference store
  bool SetupMode = false;   // started with "/C"

  RunnerSettings Settings;
  RandomGenerator Random;  // the process's generator, which the password check draws from
  std::unique_ptr<RegistryPreferenceStore> Preferences;
  TExeAppender Appender;
  SessionPlacement Placement;  // reads Appender's TargetDir and GroupName

  // Window and presentation.
  HWND MainWnd = nullptr;
  HMENU PopupMenu = nullptr;
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t RatioBaseWidth = 0, RatioBaseHeight = 0;
  RECT ScreenRect = {};
  UINT GlobalCloseMessage = 0;

  // The session.
  InstanceClaim Instance;  // InstanceDir, InstanceNumber, InstanceSuffix
  bool UseStartDirectory = false;
  uint8_t* SharedBlockBytes = nullptr;  // the mapped view; null while not mapped
  UINT RunnerMessage = 0;
  HANDLE ProjectorProcess = nullptr;  // owned by the launch's clean-up
  DWORD ProjectorProcessId = 0;
  DWORD ProjectorThreadId = 0;  // 0 once closing has begun
  HWND ProjectorWindow = nullptr;
  UINT FullScreenCommand = 0;
  bool LaunchFailed = false;
  bool ProjectorReady = false;
  bool ProjectorShown = false;

  // Presentation state of the main window.
  bool RatioResized = false;
  bool Dragging = false;
  bool DragMoved = false;
  POINT DragOrigin = {};
  UINT_PTR DragTimer = 0;

  bool BlockMapped() const { return SharedBlockBytes != nullptr; }
  SharedBlock Block() { return SharedBlock(SharedBlockBytes); }

  void StartUp();
  void ShutDown();
  void ReadRunnerSettings();
  void LaunchSession();
  // WM_SETTEXT: the reply to a movie command or browser request, 0 for a caption.
  LRESULT HandleCommandText(WPARAM requestCode, LPARAM text);

  // The projector's movie window.
  bool FindProjectorWindow();
  bool MatchProjectorWindow(HWND window);
  void CaptureProjectorWindow();
  void SyncProjectorZOrder();
  static void CloseProjector(TfrmMain& runner, MSG& message, bool& handled);
};

}  // namespace vm
