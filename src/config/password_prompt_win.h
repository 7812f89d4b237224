#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "config/password_check.h"
#include "config/runner_settings.h"
#include "support/win_handles.h"

namespace vm {

// What the prompt shows and checks: of the settings, ScreenName (the dialog's title),
// PasswordLabel (the text above the edit field), WrongPasswordText (the message after a wrong
// try), PasswordRequired and PasswordCheckValue (its 32 bits are compared).
struct PasswordPromptInput {
  HWND Owner;  // MainWnd: the dialog's parent and the wrong-password box's owner
  const RunnerSettings& Settings;
};

// How a modeless dialog keeps the thread's messages flowing while it waits: the Runner passes
// PumpPending and its QuitFlag. Pump handles what is queued without blocking; QuitFlag, once
// set, ends the wait.
struct DialogPump {
  std::function<void()> Pump;
  const bool& QuitFlag;
};

// The password dialog made from "PW_DIALOG" (the "frm" of the name is the system's heritage: a
// form, here a modeless dialog). The dialog procedure reaches the object through the window's
// DWLP_USER, set from the creation parameter. At most one exists at a time; its dialog procedure
// copies between the controls and these fields.
struct TfrmPWDialog {
  TfrmPWDialog();
  ~TfrmPWDialog();  // destroys the window if it still exists
  TfrmPWDialog(const TfrmPWDialog&) = delete;
  TfrmPWDialog& operator=(const TfrmPWDialog&) = delete;

  // Creates the modeless dialog. When no window results, says so in a message box without
  // owner and leaves Handle empty.
  void CreatePasswordDialog(HWND parent);

  // Shows the dialog and pumps until it is closed or QuitFlag is set. Answers Accepted, which
  // stays 0 while the window exists; a window that QuitFlag left open goes with the object.
  int32_t RunPasswordDialog(const DialogPump& pump);

  std::string Label;        // put on the label control at initialisation
  UniqueWindow Handle;      // given up when the window destroys itself
  HWND Edit = nullptr;
  UniqueFont Font;          // the label's; deleted with the window
  std::string EnteredText;  // at most kMaxEnteredText characters
  int32_t Accepted = 0;     // 1 when closed by OK or Enter
};

// Asks once: the typed text, or CancelMarker when the dialog was cancelled, closed, could not
// be created or was ended by QuitFlag.
std::string PromptPassword(const PasswordPromptInput& input, const DialogPump& pump);

// True when no password is required or the right one was typed; three tries, each wrong one
// answered by the wrong-password message box.
bool CheckPassword(const PasswordPromptInput& input, RandomGenerator& rng, const DialogPump& pump);

}  // namespace vm
