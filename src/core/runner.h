#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "commands/file_placement.h"
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

  void StartUp();
  void ShutDown();
  void ReadRunnerSettings();
  void LaunchSession();
};

}  // namespace vm
