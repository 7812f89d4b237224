#include <windows.h>

#include "config/settings_reader.h"
#include "config/user_choice_options.h"
#include "core/runner.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kSessionName[] = "Session1";

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

void TfrmMain::ReadRunnerSettings() {
  SettingsPassGuard pass(Placement);
  const std::string& base = TempBase;
  Appender.TargetDir = base;
  Placement.SettingsFileName.clear();
  Appender.OnFile = Placement.FileHandler();
  Trace("settings: extracting the settings file into " + base);
  try {
    Appender.Extract(kSessionName);
  } catch (...) {
    OverlayPreferences(*Preferences, Settings);
    throw;
  }

  if (Placement.SettingsFileName.empty()) {
    Trace("settings: the session holds no settings file");
    OverlayPreferences(*Preferences, Settings);
    return;
  }
  const std::string path = base + Placement.SettingsFileName;
  struct DeleteAfterReading {
    const std::string& path;
    ~DeleteAfterReading() {
      bool deleted = DeleteFileA(path.c_str()) != FALSE;
      Trace("settings: deleting " + path + (deleted ? ": done" : ": failed"));
    }
  } deleteAfterReading{path};
  ReadSettingsKeys(path, ProgramName, *Preferences, Settings);
}

}  // namespace vm
