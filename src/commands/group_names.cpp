#include "commands/group_names.h"

#include <algorithm>

#include "commands/file_names.h"
#include "support/errors.h"

namespace vm {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Splits at every "\" and "/" byte. In a double-byte code page this may split inside a character
// too, which only adds segments: no real separator is ever missed.
std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> segments(1);
  for (char c : path) {
    if (IsSeparator(c))
      segments.emplace_back();
    else
      segments.back().push_back(c);
  }
  return segments;
}

bool LeavesFolder(const std::string& groupName) {
  if (groupName.empty()) return false;
  if (IsSeparator(groupName.front()) || groupName.find(':') != std::string::npos) return true;
  const std::vector<std::string> segments = Segments(groupName);
  return std::any_of(segments.begin(), segments.end(), MayNameParentFolder);
}

}  // namespace

GroupKind KindOfGroup(const std::string& groupName) {
  if (groupName.empty()) return GroupKind::None;
  if (groupName == kInstanceDirectoryGroup) return GroupKind::InstanceDirectory;
  if (groupName.compare(0, sizeof kToolGroupPrefix - 1, kToolGroupPrefix) == 0) return GroupKind::Tool;
  return GroupKind::Folder;
}

void CheckGroupFolder(const std::string& groupName, const std::string& fileName) {
  if (LeavesFolder(groupName))
    throw Exception("Unsafe group name \"" + groupName + "\" for file \"" + fileName +
                    "\": its folder would lie outside the instance directory");
}

bool GroupFolderList::Contains(const std::string& groupName) const {
  return std::any_of(names_.begin(), names_.end(), [&](const std::string& name) {
    return EqualIgnoringAsciiCase(name, groupName);
  });
}

std::vector<std::string> GroupFolderLevels(const std::string& groupName,
                                           LeadBytePredicate isLeadByte) {
  std::vector<std::string> levels;
  for (std::string name = WithoutTrailingBackslash(groupName, isLeadByte); !name.empty();) {
    levels.push_back(name);
    name = WithoutTrailingBackslash(FolderOf(name, isLeadByte), isLeadByte);
  }
  return levels;
}

}  // namespace vm
