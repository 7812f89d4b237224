#include <windows.h>

#include "config/settings_reader.h"
#include "config/user_choice_options.h"
#include "core/runner.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kSettingsFolderPrefix[] = "Vdl_Settings";

// The settings file exists on disk only while it is read: it goes on every way out.
class SettingsPassGuard {
 public:
  explicit SettingsPassGuard(SessionPlacement& placement) : placement_(placement) {
    placement_.SettingsPass = true;
  }
  ~SettingsPassGuard() { placement_.SettingsPass = false; }
  SettingsPassGuard(const SettingsPassGuard&) = delete;
  SettingsPassGuard& operator=(const SettingsPassGuard&) = delete;

 private:
  SessionPlacement& placement_;
};

}  // namespace

// The settings file goes into a folder of this run's own, which takes every file that the pass
// writes with it on every way out: Runners started together never meet each other's file, and a
// file of the same name in the base directory is not ours to overwrite or delete.
void TfrmMain::ReadRunnerSettings() { ReadRunnerSettings(Settings); }

void TfrmMain::ReadRunnerSettings(RunnerSettings& into) {
  SettingsPassGuard pass(Placement);
  PrivateFolder folder(TempBase, kSettingsFolderPrefix);
  Appender.TargetDir = folder.Path();
  Placement.SettingsFileName.clear();
  Appender.OnFile = Placement.FileHandler();
  Trace("settings: extracting the settings file into ", folder.Path());
  try {
    Appender.Extract(kRunnerSession);
  } catch (...) {
    OverlayPreferences(*Preferences, into);
    throw;
  }

  if (Placement.SettingsFileName.empty()) {
    Trace("settings: the session holds no settings file");
    OverlayPreferences(*Preferences, into);
    return;
  }
  ReadSettingsKeys(folder.Path() + Placement.SettingsFileName, ProgramName, *Preferences, into);
}

}  // namespace vm
