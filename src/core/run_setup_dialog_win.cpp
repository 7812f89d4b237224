#include <windows.h>

#include "config/setup_dialog_win.h"
#include "core/message_pump_win.h"
#include "core/process_state.h"
#include "core/runner.h"

namespace vm {

bool TfrmMain::RunSetupDialog() {
  SetupDialogInput input;
  input.Owner = MainWnd;
  input.Preferences = Preferences.get();
  input.ReadSettings = [this](RunnerSettings& into) {
    // The password check reads the runner's own fields, which in setup mode no other pass fills.
    struct KeepRunnerKeys {
      TfrmMain& runner;
      const RunnerSettings& read;
      ~KeepRunnerKeys() {
        RunnerSettings& own = runner.Settings;
        own.BeforeShowCommand = read.BeforeShowCommand;
        own.PasswordRequired = read.PasswordRequired;
        own.PasswordCheckValue = read.PasswordCheckValue;
        own.PasswordLabel = read.PasswordLabel;
        own.WrongPasswordText = read.WrongPasswordText;
        own.HideCursor = read.HideCursor;
        // While a movie plays, start-up has already turned 0 into endless plays.
        if (runner.SetupMode) own.MidiLoopTimes = read.MidiLoopTimes;
      }
    } keep{*this, into};
    ReadRunnerSettings(into);
  };
  input.CheckPassword = [this] { return AskPassword(); };
  return vm::RunSetupDialog(input, {PumpPending, QuitFlag});
}

}  // namespace vm
