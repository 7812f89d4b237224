#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pack/icon_file.h"
#include "pack/version_resource.h"

namespace vm::pack {

// What the author's program shows of itself in Explorer and the Task Manager: its icon and its
// version information.
struct ProgramIdentity {
  std::optional<std::vector<IconImage>> Icon;
  VersionChanges Version;

  bool Empty() const {
    return !Icon && Version.Strings.empty() && !Version.FileAndProductVersion;
  }
};

// The Runner's file with the identity in its icon group "MAINICON" (the one the Runner loads)
// and its version information (RT_VERSION 1); every other byte of the image stays where it is.
// Raises Exception naming path when the Runner is no Windows program that can take them.
std::string WithIdentity(std::string runner, const std::string& path,
                         const ProgramIdentity& identity);

}  // namespace vm::pack
