#pragma once

// The machine's sound, muted for a session whose settings ask for it. Every Runner of the user
// shares one record of what the machine had before (HKCU "Software\Halvorn", values "MuteSaved"
// and "MuteHolders", under a named mutex): the first Runner to mute saves the states, the last
// to end restores them, and the states that Runners which all died left muted are restored by
// the next Runner that starts.
namespace vm {

class SessionMute {
 public:
  // Puts back what Runners that have all ended without restoring left muted.
  static void RestoreAbandoned();

  // Mutes every wave mute control and the wave volume, saving them first when no other live
  // Runner has.
  void Begin();
  // After Begin: restores the saved states when this was the last live Runner muting.
  void End();

 private:
  bool begun_ = false;
};

}  // namespace vm
