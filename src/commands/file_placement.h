#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commands/file_names.h"
#include "commands/group_names.h"
#include "payload/exe_appender.h"

namespace vm {

// A file whose group begins "VTOOL.", with that group name.
struct ToolFile {
  std::string Path;
  std::string GroupName;
};

// Decides, file by file while the extractor unpacks the session, which file is the projector,
// the hook library, the settings, the MIDI music or a tool's, and where each goes; remembers
// what it placed, completes the tool folders, runs the engine command, and removes what it
// placed. The runner owns one, next to the extractor whose TargetDir (the instance directory,
// in the settings pass the base directory) it reads.
class SessionPlacement {
 public:
  explicit SessionPlacement(const TExeAppender& extractor) : extractor_(extractor) {}
  // The extractor's handler is bound to this very object.
  SessionPlacement(const SessionPlacement&) = delete;
  SessionPlacement& operator=(const SessionPlacement&) = delete;

  // Names in the instance directory; empty until found.
  std::string ProjectorFileName;
  std::string HookLibraryFileName;
  std::string MidiFileName;
  std::string SettingsFileName;   // found by the settings pass
  std::string BeforeShowCommand;  // the settings' engine command
  int32_t InstanceNumber = 0;
  bool MidiMuted = false;  // the MIDI option's value: ".mid" and ".rmi" files are left out

  bool SettingsPass = false;
  bool ProbePass = false;
  bool HasGroupedFiles = false;  // found by the probe pass

  std::vector<std::string> PlacedFiles;  // tool folders (ending in "\") and their files
  std::vector<ToolFile> ToolFiles;
  GroupFolderList GroupFolders;
  std::vector<std::string> SessionFiles;  // every other file written

  // The extractor's OnFile handler: FilterSessionFile on this object. A group folder or tool
  // folder outside the instance directory throws vm::Exception, which stops the extraction before
  // that file is written.
  TExeAppender::FileEvent FileHandler();
  void FilterSessionFile(TExeAppender& sender, std::string& fileName, std::string& dir, bool& skip);

  // Forgets the three names and the four lists before the main extraction.
  void ClearForExtraction();

  // After the main extraction: copies each tool's program and satellites into its folder.
  // Throws vm::Exception for a tool name that would lead out of the folder.
  void PrepareToolFolders();

  // Calls the engine command library's "BeforeShow" export, or starts the engine command
  // program. Reports nothing: whatever fails leaves the launch unaffected.
  void RunBeforeShow(HWND mainWindow);

  // At the end of the session: the tool folders with their files, then the tool files; then the
  // group folders, level by level.
  void RemovePlacedFiles();
  void RemoveGroupFolders();

 private:
  void PlaceInGroupFolder(const std::string& folder, std::string& dir);
  void PlaceToolFolder(const std::string& folder, std::string& dir);
  std::string FreeNumberedName(const std::string& fileName, const std::string& dir, ZeroNumber zero);
  void PrepareToolFolder(const std::string& folder, const std::string& instanceDir);

  const TExeAppender& extractor_;
};

}  // namespace vm
