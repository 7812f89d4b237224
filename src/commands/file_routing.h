#pragma once

#include <string>

namespace vm {

// The extraction pass a file is seen in, and the setting that keeps the MIDI music out.
struct RoutingPass {
  bool SettingsPass = false;  // only the settings file is wanted
  bool ProbePass = false;     // nothing is written; only groups are looked at
  bool MidiMuted = false;
};

enum class FileRoute {
  Probe,         // not written
  Skipped,       // not written; Reason says why
  GroupFolder,   // into the group's folder (Folder), or the instance directory when Folder is empty
  ToolFolder,    // as "vtools.ini" into the tool folder Folder, made beside the other files
  SettingsFile,  // the runner settings (settings pass only)
  ToolFile,      // a tool program or satellite, kept with its group for the tool folders
  Projector,
  HookLibrary,
  Midi,
  SessionFile,   // any other file the movie needs
};

struct FileRouting {
  FileRoute Route = FileRoute::Skipped;
  std::string FileName;  // the name to write: lower-cased (A to Z), "vtools.ini" for a tool folder
  std::string Folder;
  std::string Reason;
};

// Decides where one payload file goes from its stored name, its group name and the pass. Throws
// vm::Exception, before anything of the file is written, for a group folder or tool folder that
// would lie outside the instance directory.
FileRouting RouteSessionFile(const std::string& storedName, const std::string& groupName,
                             const RoutingPass& pass);

}  // namespace vm
