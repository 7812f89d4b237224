#pragma once

#include <string>
#include <vector>

#include "payload/file_helpers_paths.h"

namespace vm {

// Group names of the payload's files, compared exactly (case-sensitive).
constexpr char kInstanceDirectoryGroup[] = ".";
constexpr char kToolGroupPrefix[] = "VTOOL.";
// Followed by the tool program's name in upper case.
constexpr char kSatelliteGroupPrefix[] = "VTOOL.SATELLITE:";

enum class GroupKind {
  None,               // empty: the file is placed by its type
  InstanceDirectory,  // ".": written into the instance directory itself
  Tool,               // "VTOOL.": a tool's program or satellite
  Folder,             // anything else: a sub-directory, possibly several levels deep
};

GroupKind KindOfGroup(const std::string& groupName);

// Refuses (vm::Exception naming the group and the file) a group folder that would leave the
// instance directory: rooted, with a drive or stream colon, or with a ".." segment. "\" and "/"
// both separate segments, as they do for Windows.
void CheckGroupFolder(const std::string& groupName, const std::string& fileName);

// The group names for which a folder was made, in the order of creation. Membership ignores
// letter case, as the file system does.
class GroupFolderList {
 public:
  bool Contains(const std::string& groupName) const;
  void Add(const std::string& groupName) { names_.push_back(groupName); }
  void Clear() { names_.clear(); }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  std::vector<std::string> names_;
};

// The folders a group made, deepest first, relative to the instance directory: "a\b\c" gives
// "a\b\c", "a\b", "a". One trailing "\" is ignored.
std::vector<std::string> GroupFolderLevels(const std::string& groupName,
                                           LeadBytePredicate isLeadByte);

}  // namespace vm
