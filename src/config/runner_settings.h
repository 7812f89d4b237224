#pragma once

#include <cstdint>
#include <string>

namespace vm {

// One option that the movie's author may leave to the user (the T of the name is the system's
// heritage for a type).
struct TOptionState {
  bool UserChoice = false;  // the value comes from the preference store; the setup dialog shows it
  bool Enabled = false;     // the setup dialog's checkbox may be changed
  bool Value = false;
  int32_t X = 0;  // the checkbox's client position in the setup dialog
  int32_t Y = 0;
};

// The movie author's settings, one field per key of the settings file. A fresh record holds
// false, 0 and empty texts, as a freshly created runner object does; each key's default is taken
// only when the key is read (settings_reader.h), so a session without a settings file keeps these.
struct RunnerSettings {
  // [EngineCommands]
  std::string BeforeShowCommand;  // BeforeShow: engine command run before the movie is shown

  // [Settings]
  std::string ScreenName;           // Vardel Screen Name: the main window's caption
  bool PasswordRequired = false;    // Password: exactly 1 asks for the password
  int32_t PasswordCheckValue = 0;   // AlignmentX: the check value a typed password must give
  std::string PasswordLabel;        // PWEditLabel
  std::string WrongPasswordText;    // PWrong
  bool HideCursor = false;          // HideCursor: any number but 0
  int32_t CurrentDir = 0;           // 0 probe pass, 1 instance directory, 2 runner's directory
  bool DisableW95Key = false;
  bool DisableClickForeground = false;
  bool DisableScreenSaver = false;
  bool FullScreen = false;
  bool CustomSize = false;
  bool MaintainRatio = false;
  bool AllowResize = false;
  bool ExitOnESC = false;
  bool AlwaysOnTop = false;
  bool NoTitle = false;
  bool NoBorder = false;
  bool Draggable = false;
  bool SetupMenu = false;
  bool CloseMenu = false;
  bool MinimizeMenu = false;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t AlignmentV = 0;  // 0 at Top, 1 top edge, 2 centred, 3 bottom edge
  int32_t AlignmentH = 0;  // 0 at Left, 1 left edge, 2 centred, 3 right edge
  int32_t MidiLoopTimes = 0;
  TOptionState Midi;  // Value: the MIDI music is muted
  bool MidiLoop = false;
  TOptionState Sound;           // Value: the sound is muted
  TOptionState Interaction;     // Value: the mouse may be used in the movie
  TOptionState RightClickMenu;  // Value: the right-click menu is shown
  TOptionState KeyInteraction;  // Value: keys may be used in the movie
};

}  // namespace vm
