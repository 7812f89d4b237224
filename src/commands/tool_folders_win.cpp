#include "commands/file_names.h"
#include "commands/file_placement.h"
#include "commands/tool_folders.h"
#include "payload/file_helpers.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

// Upper case as the system's code page has it.
std::string UpperBySystem(std::string text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string OwnNameOf(const std::string& path) {
  return path.substr(FolderOf(path, IsSystemLeadByte).size());
}

// A tool runs without its program or a satellite rather than not at all, so a failed copy is
// only traced.
void CopyIntoToolFolder(const std::string& from, const std::string& to) {
  if (CopyFileA(from.c_str(), to.c_str(), FALSE))
    Trace("tools: ", from, " copied to ", to);
  else
    Trace("tools: ", from, " not copied to ", to, " (error ", GetLastError(), ")");
}

}  // namespace

void SessionPlacement::PrepareToolFolders() {
  const std::string instanceDir = WithTrailingDelimiter(extractor_.TargetDir);
  // Backwards over the entries present now; the copies it adds are not visited.
  for (size_t i = PlacedFiles.size(); i-- > 0;) {
    // A copy: preparing the folder adds to PlacedFiles.
    const std::string entry = PlacedFiles[i];
    if (EndsWithBackslash(entry, IsSystemLeadByte)) PrepareToolFolder(entry, instanceDir);
  }
}

void SessionPlacement::PrepareToolFolder(const std::string& folder, const std::string& instanceDir) {
  const std::string iniPath = folder + kToolIniName;
  std::optional<std::string> toolName = ToolNameFromText(ReadWholeFile(iniPath));
  if (!toolName) {
    Trace("tools: ", folder, " skipped, ", iniPath, " does not begin with [name]");
    return;
  }
  CheckToolName(*toolName, iniPath);

  const std::string program = ToolProgramName(*toolName);
  CopyIntoToolFolder(instanceDir + program, folder + program);
  PlacedFiles.push_back(folder + program);

  const std::string satelliteGroup = kSatelliteGroupPrefix + UpperBySystem(program);
  for (const ToolFile& tool : ToolFiles) {
    if (tool.GroupName != satelliteGroup) continue;
    const std::string copy = folder + OwnNameOf(tool.Path);
    CopyIntoToolFolder(tool.Path, copy);
    PlacedFiles.push_back(copy);
  }
}

}  // namespace vm
