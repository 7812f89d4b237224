#include "commands/file_routing.h"

#include "commands/file_names.h"
#include "commands/group_names.h"
#include "commands/tool_folders.h"
#include "support/errors.h"

namespace vm {
namespace {

constexpr char kSettingsExtension[] = ".ini";
constexpr char kProjectorExtension[] = ".exe";
constexpr char kHookLibraryExtension[] = ".dll";
constexpr char kMidiExtension[] = ".mid";
constexpr char kRmidExtension[] = ".rmi";

FileRouting Skipped(std::string fileName, std::string reason) {
  return {FileRoute::Skipped, std::move(fileName), "", std::move(reason)};
}

FileRouting Routed(FileRoute route, std::string fileName, std::string folder = "") {
  return {route, std::move(fileName), std::move(folder), ""};
}

}  // namespace

FileRouting RouteSessionFile(const std::string& storedName, const std::string& groupName,
                             const RoutingPass& pass) {
  if (pass.ProbePass) return Routed(FileRoute::Probe, storedName);

  const std::string name = LowerAsciiLetters(storedName);
  const std::string extension = LowerExtension(name);
  const GroupKind group = KindOfGroup(groupName);

  if (!pass.SettingsPass && group == GroupKind::InstanceDirectory)
    return Routed(FileRoute::GroupFolder, name);
  if (!pass.SettingsPass && group == GroupKind::Folder) {
    CheckGroupFolder(groupName, storedName);
    return Routed(FileRoute::GroupFolder, name, groupName);
  }

  if (std::optional<std::string> folder = ToolFolderOf(name)) {
    if (pass.SettingsPass) return Skipped(name, "tool folder file, settings pass");
    if (MayNameParentFolder(*folder))
      throw Exception("Unsafe tool folder name \"" + *folder + "\" for file \"" + storedName +
                      "\": the folder would lie outside the instance directory");
    return Routed(FileRoute::ToolFolder, kToolIniName, *folder);
  }

  if (pass.SettingsPass && extension != kSettingsExtension) return Skipped(name, "settings pass");
  if (!pass.SettingsPass && extension == kSettingsExtension) return Skipped(name, "settings file");
  if (extension == kSettingsExtension) return Routed(FileRoute::SettingsFile, name);

  if (group == GroupKind::Tool) return Routed(FileRoute::ToolFile, name);
  if (extension == kProjectorExtension) return Routed(FileRoute::Projector, name);
  if (extension == kHookLibraryExtension) return Routed(FileRoute::HookLibrary, name);
  if (extension == kMidiExtension || extension == kRmidExtension)
    return pass.MidiMuted ? Skipped(name, "MIDI muted") : Routed(FileRoute::Midi, name);
  return Routed(FileRoute::SessionFile, name);
}

}  // namespace vm
