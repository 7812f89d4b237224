#pragma once

#include <windows.h>

#include <array>
#include <exception>
#include <functional>

#include "config/password_prompt_win.h"
#include "config/preference_store.h"
#include "config/runner_settings.h"
#include "config/setup_dialog.h"
#include "support/win_handles.h"

namespace vm {

// What the setup dialog needs of the runner.
struct SetupDialogInput {
  HWND Owner = nullptr;  // MainWnd: the dialog's parent
  PreferenceStore* Preferences = nullptr;
  // The settings pass into the dialog's own records; the keys of the password check go to the
  // runner, so that CheckPassword sees them. Errors it raises end the opening.
  std::function<void(RunnerSettings&)> ReadSettings;
  std::function<bool()> CheckPassword;
};

// The setup dialog made from "SETUP_DIALOG"; its dialog procedure reaches it through DWLP_USER.
struct TfrmSetup {
  explicit TfrmSetup(const SetupDialogInput& input);
  ~TfrmSetup();  // destroys the window if it still exists
  TfrmSetup(const TfrmSetup&) = delete;
  TfrmSetup& operator=(const TfrmSetup&) = delete;

  // Creates the modeless dialog, whose initialisation reads the settings and asks for the
  // password; a refused password closes it unshown. An error of the settings pass is raised here.
  void CreateSetupDialog(HWND parent);
  // Puts the options on their checkboxes, shows the dialog when the password was accepted,
  // pumps until it is closed or QuitFlag is set, then saves the preferences.
  void ShowSetupDialog(const DialogPump& pump);

  const SetupDialogInput& Input;
  UniqueWindow Handle;  // given up when the window destroys itself
  RunnerSettings Settings;  // the five options and the screen name, as this dialog's pass read them
  std::array<HWND, 5> Controls = {};  // the checkboxes, in the order of kSetupCheckboxes
  RECT IconPosition = {};
  HICON Icon = nullptr;
  UniqueFont Font;
  UniqueBrush Brush;
  bool SettingsRead = false;  // the settings pass ran: the options hold values to save
  bool PasswordAccepted = false;
  bool PreferencesChanged = false;
  std::exception_ptr InitialisationError;
};

// The open setup dialog, if any: the main window's "Setup" and "Close" items and the end of the
// Windows session act on it.
extern TfrmSetup* CurrentSetupDialog;

// Shows or hides the checkbox as the option is left to the user or not, enables it, sets its
// check mark and redraws it.
void ApplyOptionToControl(const TOptionState& option, HWND control);

// Opens the dialog and returns, once it has closed and saved, whether a preference changed.
bool RunSetupDialog(const SetupDialogInput& input, const DialogPump& pump);

}  // namespace vm
