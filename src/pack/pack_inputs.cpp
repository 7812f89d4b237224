#include "pack/pack_inputs.h"

#include <algorithm>

#include "pack/host_files.h"
#include "support/errors.h"
#include "support/file_stream.h"
#include "support/paths.h"

namespace vm::pack {
namespace {

#ifndef _WIN32
constexpr char kWindowsDelimiter = '\\';
constexpr char kWineRootDrive[] = "Z:";
#endif

void CheckFieldLength(const std::string& text, const std::string& what) {
  if (text.size() > kMaxFileNameLength)
    throw Exception(what + " is longer than " + std::to_string(kMaxFileNameLength) +
                    " bytes: " + text);
}

}  // namespace

RunnerPath RunnerPathOf(const std::string& file) {
  const std::string full = FullPath(file);
  const size_t nameStart = full.find_last_of(kPathDelimiter) + 1;
  RunnerPath where{full.substr(0, nameStart), full.substr(nameStart)};
#ifndef _WIN32
  where.Folder = kWineRootDrive + where.Folder;
  std::replace(where.Folder.begin(), where.Folder.end(), kPathDelimiter, kWindowsDelimiter);
#endif
  return where;
}

PackInput DescribeInput(const std::string& path, const std::string& group) {
  CheckFieldLength(group, "Group name");
  const RunnerPath where = RunnerPathOf(path);
  if (!IsBareFileName(where.Name))
    throw Exception("Cannot pack " + path +
                    ": the Runner needs a plain file name, without \\, / or :");
  CheckFieldLength(where.Name, "File name");
  CheckFieldLength(where.Folder, "Source folder");

  switch (KindOf(path)) {
    case PathKind::Missing:
      throw Exception("Input file not found: " + path);
    case PathKind::File:
      break;
    case PathKind::Directory:
    case PathKind::Other:
      throw Exception("Not a regular file: " + path);
  }
  PackInput input;
  input.Path = path;
  input.Meta.FileName = where.Name;
  input.Meta.SourceFolder = where.Folder;
  input.Meta.GroupName = group;
  // Opening it now refuses a file that is locked or unreadable before any output exists.
  input.Size = FileStream::OpenRead(path).Size();
  return input;
}

}  // namespace vm::pack
