#include "commands/file_names.h"
#include "commands/file_placement.h"
#include "payload/file_helpers.h"
#include "support/paths.h"
#include "support/trace.h"

namespace vm {
namespace {

// A tool may still be closing and holding its files for a moment after the projector ended.
constexpr int kPlacedFileDeleteTries = 22;
constexpr DWORD kPlacedFileRetryPauseMs = 111;

std::string Error(DWORD code) { return "error " + std::to_string(code); }

// A file that is not there (a copy that failed) is not waited for: there is nothing to delete.
void DeletePlacedFile(const std::string& path) {
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 1; attempt <= kPlacedFileDeleteTries; ++attempt) {
    if (DeleteFileA(path.c_str())) {
      Trace("clean-up: ", path, " deleted", (attempt > 1 ? " at attempt " + std::to_string(attempt) : ""));
      return;
    }
    error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      Trace("clean-up: ", path, " was not there");
      return;
    }
    if (attempt < kPlacedFileDeleteTries) Sleep(kPlacedFileRetryPauseMs);
  }
  Trace("clean-up: ", path, " not deleted after ", kPlacedFileDeleteTries, " tries (", Error(error), ")");
}

void RemoveFolder(const std::string& path) {
  if (RemoveDirectoryA(path.c_str()))
    Trace("clean-up: folder ", path, " removed");
  else
    Trace("clean-up: folder ", path, " not removed (", Error(GetLastError()), ")");
}

}  // namespace

void SessionPlacement::RemovePlacedFiles() {
  // Backwards: each folder was listed before the files placed in it.
  for (auto entry = PlacedFiles.rbegin(); entry != PlacedFiles.rend(); ++entry) {
    if (EndsWithBackslash(*entry, IsSystemLeadByte))
      RemoveFolder(entry->substr(0, entry->size() - 1));
    else
      DeletePlacedFile(*entry);
  }
  for (auto tool = ToolFiles.rbegin(); tool != ToolFiles.rend(); ++tool) DeletePlacedFile(tool->Path);
}

// A folder that still holds something stays; the instance directory's removal takes it.
void SessionPlacement::RemoveGroupFolders() {
  const std::string instanceDir = WithTrailingDelimiter(extractor_.TargetDir);
  const std::vector<std::string>& names = GroupFolders.Names();
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    for (const std::string& level : GroupFolderLevels(*name, IsSystemLeadByte))
      RemoveFolder(instanceDir + level);
  }
}

}  // namespace vm
