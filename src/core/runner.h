#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "commands/address_opener_win.h"
#include "commands/file_placement.h"
#include "engine/shared_block.h"
#include "config/password_hash.h"
#include "config/registry_preferences_win.h"
#include "config/runner_settings.h"
#include "payload/exe_appender.h"
#include "payload/instance_directory_win.h"
#include "payload/session_lookup.h"
#include "sound/media_player.h"
#include "sound/midi_playback.h"
#include "support/win_handles.h"

namespace vm {

// The pause that lets the projector act on what a launch or capture step has just done to it
// before the next step looks.
constexpr DWORD kSettleMs = 55;

// The runner object: everything of one run of the Runner. It is created for each run of the
// restart loop and reached by the main window procedure through CurrentRunner. The name is the
// system's heritage ("the main form"); it is no form, only the run's state and its steps.
struct TfrmMain {
  TfrmMain() : Placement(Appender) {}
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // Identity and mode.
  std::string ExeFileName;  // the executable's file name without its folder
  std::string ProgramName;  // its section in the preference store
  bool SetupMode = false;   // started with "/C"
  // The base directory of this run's files, resolved once at start-up: the settings pass and the
  // launch run in different current directories and must use the same folder.
  std::string TempBase;

  RunnerSettings Settings;
  RandomGenerator Random;  // the process's generator, which the password check draws from
  std::unique_ptr<RegistryPreferenceStore> Preferences;
  TExeAppender Appender;
  SessionPlacement Placement;  // reads Appender's TargetDir and GroupName

  // Window and presentation.
  HWND MainWnd = nullptr;
  UniqueMenu PopupMenu;
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t RatioBaseWidth = 0, RatioBaseHeight = 0;
  RECT ScreenRect = {};
  UINT GlobalCloseMessage = 0;
  ATOM CloseAtom = 0;  // named after ExeFileName, added for the end-of-session broadcast

  // The session.
  InstanceClaim Instance;  // InstanceDir, InstanceNumber, InstanceSuffix
  bool UseStartDirectory = false;
  uint8_t* SharedBlockBytes = nullptr;  // the clean-up's mapped view; null while not mapped
  UINT RunnerMessage = 0;
  DWORD ProjectorProcessId = 0;
  DWORD ProjectorThreadId = 0;  // 0 once closing has begun
  HWND ProjectorWindow = nullptr;
  UINT FullScreenCommand = 0;
  bool LaunchFailed = false;
  bool ProjectorReady = false;
  bool ProjectorShown = false;
  bool CloseRequestHeld = false;  // the movie asked to end while it was being embedded

  // The pages and documents that the movie asked for, on their way to the shell.
  AddressOpener Opener;

  // The session's background music; its notices come to the main window.
  TMediaPlayer MidiPlayer{SystemMci()};

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
  void ReadRunnerSettings(RunnerSettings& into);  // the same pass into another record
  bool RunSetupDialog();  // true when a preference changed
  void LaunchSession();
  // The password prompt as the settings ask for it: true when the movie may play.
  bool AskPassword();
  // WM_SETTEXT: the reply to a movie command or browser request, 0 for a caption.
  LRESULT HandleCommandText(WPARAM requestCode, LPARAM text);

  // The projector's movie window.
  bool FindProjectorWindow();
  bool MatchProjectorWindow(HWND window);
  void CaptureProjectorWindow();
  UINT FullScreenCommandOfProjector();
  void SyncProjectorZOrder();
  static void CloseProjector(TfrmMain& runner, MSG& message, bool& handled);
  static void HoldCloseRequest(TfrmMain& runner, MSG& message, bool& handled);

  // The MIDI music: started once the movie is up, stopped by the session's clean-up, which
  // deletes its file; errors leave the movie without music.
  MidiState Music();
  void StartMidiMusic();
  void StopMidiMusic();
};

}  // namespace vm
