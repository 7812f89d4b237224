#include <windows.h>

#include <climits>

#include "config/program_name.h"
#include "core/main_window_win.h"
#include "core/process_state.h"
#include "core/runner.h"
#include "engine/runner_messages.h"
#include "payload/file_helpers_paths.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kSetupSwitch[] = "/C";
constexpr int32_t kEndlessMidiLoops = INT_MAX;
constexpr DWORD kShutdownPauseMs = 111;

bool IsSetupSwitch(const char* argument) {
  std::string upper = argument;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  return upper == kSetupSwitch;
}

// A later run of the restart loop replaces the earlier run's registration.
void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, kMainWindowClass, &existing)) {
    if (existing.lpfnWndProc == DefWindowProcA) return;
    UnregisterClassA(kMainWindowClass, instance);
  }
  WNDCLASSA cls = {};
  cls.lpfnWndProc = MainWindowProc;
  cls.hInstance = instance;
  cls.lpszClassName = kMainWindowClass;
  RegisterClassA(&cls);
}

}  // namespace

void TfrmMain::StartUp() {
  const std::string ownPath = OwnExecutablePath();
  ExeFileName = FileNameOf(ownPath, IsSystemLeadByte);
  GlobalCloseMessage = RegisterWindowMessageA(kGlobalCloseMessageName);

  SetupMode = __argc > 1 && IsSetupSwitch(__argv[1]);
  ProgramName = DeriveProgramName(ownPath, IsSystemLeadByte);
  const std::string section = PreferenceSectionName(ProgramName, IsSystemLeadByte);
  Preferences = std::make_unique<RegistryPreferenceStore>(section);
  TempBase = TempBaseDirectory(*Preferences);
  Trace("start: ", ownPath, (SetupMode ? " in setup mode" : ""), ", program name \"", ProgramName, "\"");
  if (section != ProgramName)
    Trace("start: a name too long for the registry: preferences under \"", section, "\"");

  ResizePending = false;
  ScreenWidth = ClientWidth = Width = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = ClientHeight = Height = GetSystemMetrics(SM_CYSCREEN);

  if (!SetupMode) {
    ReadRunnerSettings();
    if (Settings.MidiLoopTimes == 0) Settings.MidiLoopTimes = kEndlessMidiLoops;
    // Without a settings file no key was read, and the screen's size stands.
    if (!Placement.SettingsFileName.empty()) {
      Width = Settings.Width;
      Height = Settings.Height;
    }
    Placement.BeforeShowCommand = Settings.BeforeShowCommand;
    Placement.MidiMuted = Settings.Midi.Value;
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterMainWindowClass(instance);
  ScreenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

  const WindowLayout layout = ChooseWindowLayout(Settings, Width, Height, Os, ScreenRect.right, ScreenRect.bottom);
  Left = layout.Left;
  Top = layout.Top;
  Width = layout.Width;
  Height = layout.Height;
  MainWnd = CreateMainWindow(layout, instance);
  RatioBaseWidth = Width;
  RatioBaseHeight = Height;
  if (layout.Maximize) SendMessageA(MainWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  SetWindowTextA(MainWnd, Settings.ScreenName.c_str());
  if (!Settings.FullScreen) {
    RECT client = {};
    GetClientRect(MainWnd, &client);
    ClientWidth = client.right;
    ClientHeight = client.bottom;
  }

  const auto items = RightClickMenuItems(Settings.CloseMenu, Settings.SetupMenu, Settings.MinimizeMenu);
  if (!items.empty()) PopupMenu.reset(CreatePopupMenu());
  for (const auto& item : items) {
    if (PopupMenu && !AppendMenuA(PopupMenu.get(), MF_STRING, item.Id, item.Text.c_str())) PopupMenu.reset();
  }
  Trace("start: main window ", Width, "x", Height, " at ", Left, ",", Top, ", ", items.size(), " menu items");
  PostMessageA(MainWnd, WM_RUNNER_START, 0, 0);
}

void TfrmMain::ShutDown() {
  Sleep(kShutdownPauseMs);
  if (Settings.FullScreen && !Settings.CustomSize) CloseWindow(MainWnd);
  DestroyWindow(MainWnd);
  MainWnd = nullptr;
  Preferences.reset();
}

}  // namespace vm
