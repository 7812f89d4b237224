#include "commands/file_placement.h"

#include "commands/file_routing.h"
#include "commands/tool_folders.h"
#include "payload/file_helpers.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

std::string Error(DWORD code) { return "error " + std::to_string(code); }

// True when nothing of that name is in the way: there is none, or the older file was deleted.
bool ClearedForNewFile(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  if (DeleteFileA(path.c_str())) {
    Trace("place: older ", path, " deleted");
    return true;
  }
  Trace("place: ", path, " is taken (", Error(GetLastError()), "), trying the next number");
  return false;
}

const char* RouteName(FileRoute route) {
  switch (route) {
    case FileRoute::GroupFolder: return "group file";
    case FileRoute::ToolFolder: return "tool folder";
    case FileRoute::SettingsFile: return "settings file";
    case FileRoute::ToolFile: return "tool file";
    case FileRoute::Projector: return "projector";
    case FileRoute::HookLibrary: return "hook library";
    case FileRoute::Midi: return "MIDI music";
    case FileRoute::SessionFile: return "session file";
    case FileRoute::Probe:
    case FileRoute::Skipped: break;
  }
  return "not written";
}

}  // namespace

TExeAppender::FileEvent SessionPlacement::FileHandler() {
  return [this](TExeAppender& sender, std::string& fileName, std::string& dir, bool& skip) {
    FilterSessionFile(sender, fileName, dir, skip);
  };
}

void SessionPlacement::ClearForExtraction() {
  ProjectorFileName.clear();
  MidiFileName.clear();
  HookLibraryFileName.clear();
  SessionFiles.clear();
  PlacedFiles.clear();
  GroupFolders.Clear();
  ToolFiles.clear();
}

void SessionPlacement::FilterSessionFile(TExeAppender& sender, std::string& fileName,
                                         std::string& dir, bool& skip) {
  const std::string stored = fileName;
  const FileRouting routing =
      RouteSessionFile(stored, sender.GroupName, {SettingsPass, ProbePass, MidiMuted});
  switch (routing.Route) {
    case FileRoute::Probe:
      skip = true;
      if (!sender.GroupName.empty() && !SettingsPass) HasGroupedFiles = true;
      Trace("place: ", stored, " not written (probe pass",
            (sender.GroupName.empty() ? "" : ", group " + sender.GroupName), ")");
      return;
    case FileRoute::Skipped:
      skip = true;
      Trace("place: ", stored, " not written (", routing.Reason, ")");
      return;
    case FileRoute::GroupFolder:
      fileName = routing.FileName;
      PlaceInGroupFolder(routing.Folder, dir);
      SessionFiles.push_back(dir + fileName);
      break;
    case FileRoute::ToolFolder:
      fileName = routing.FileName;
      PlaceToolFolder(routing.Folder, dir);
      break;
    case FileRoute::SettingsFile:
      fileName = SettingsFileName = routing.FileName;
      break;
    case FileRoute::ToolFile:
      fileName = routing.FileName;
      ToolFiles.push_back({WithTrailingDelimiter(sender.TargetDir) + fileName, sender.GroupName});
      break;
    case FileRoute::Projector:
      fileName = ProjectorFileName = FreeNumberedName(routing.FileName, dir, ZeroNumber::Omitted);
      break;
    case FileRoute::HookLibrary:
      fileName = HookLibraryFileName = FreeNumberedName(routing.FileName, dir, ZeroNumber::Written);
      break;
    case FileRoute::Midi:
      fileName = MidiFileName = routing.FileName;
      break;
    case FileRoute::SessionFile:
      fileName = routing.FileName;
      SessionFiles.push_back(WithTrailingDelimiter(dir) + fileName);
      break;
  }
  Trace("place: ", stored, " -> ", WithTrailingDelimiter(dir), fileName, " (", RouteName(routing.Route), ")");
}

// The group's folder is made with all its levels the first time the group is seen; "." is the
// instance directory itself.
void SessionPlacement::PlaceInGroupFolder(const std::string& folder, std::string& dir) {
  if (!folder.empty()) {
    dir = WithTrailingDelimiter(extractor_.TargetDir) + folder;
    if (!GroupFolders.Contains(folder)) {
      CreateDirectoryPath(dir);
      GroupFolders.Add(folder);
      Trace("place: group folder ", dir, (IsDirectory(dir) ? " made" : " could not be made"));
    }
  }
  if (!EndsWithBackslash(dir, IsSystemLeadByte)) dir += '\\';
}

// The folder is listed before its "vtools.ini" so that removal, going backwards, empties it first.
void SessionPlacement::PlaceToolFolder(const std::string& folder, std::string& dir) {
  dir = WithTrailingDelimiter(extractor_.TargetDir) + folder;
  PlacedFiles.push_back(dir + '\\');
  PlacedFiles.push_back(dir + '\\' + kToolIniName);
  if (!CreateDirectoryA(dir.c_str(), nullptr))
    Trace("place: tool folder ", dir, " not made (", Error(GetLastError()), ")");
}

// A file of the name that cannot be deleted belongs to another runner still playing; its
// number is passed over.
std::string SessionPlacement::FreeNumberedName(const std::string& fileName, const std::string& dir,
                                               ZeroNumber zero) {
  const std::string folder = WithTrailingDelimiter(dir);
  for (int64_t n = InstanceNumber;; n = NextNumber(n)) {
    std::string candidate = NumberedName(fileName, n, zero);
    if (ClearedForNewFile(folder + candidate)) return candidate;
  }
}

}  // namespace vm
