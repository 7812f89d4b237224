#include "pack/pack_inputs.h"

#include <algorithm>

#include "pack/host_files.h"
#include "payload/name_rules.h"
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

PackInput DescribeInput(const std::string& path, const std::string& group,
                        const CodePage& codePage) {
  const std::string storedGroup = codePage.FromHost(group, "The group name \"" + group + "\"");
  CheckFieldLength(storedGroup, "Group name");
  const RunnerPath where = RunnerPathOf(path);
  const std::string name =
      codePage.FromHost(where.Name, "The file name \"" + EscapeControlCharacters(where.Name) + "\"");
  // Only informative for the Runner, which always names the folder it unpacks into.
  const std::string folder = codePage.FromHostLenient(where.Folder);
  if (std::optional<std::string> problem = FileNameProblem(name, codePage.LeadBytes()))
    throw Exception("Cannot pack " + EscapeControlCharacters(path) +
                    ": the Runner cannot write the file name safely: " + *problem);
  if (std::optional<std::string> problem = GroupNameProblem(storedGroup, codePage.LeadBytes()))
    throw Exception("Cannot pack " + EscapeControlCharacters(path) + " into the group \"" +
                    EscapeControlCharacters(group) + "\": " + *problem);
  CheckFieldLength(name, "File name");
  CheckFieldLength(folder, "Source folder");

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
  input.Meta.FileName = name;
  input.Meta.SourceFolder = folder;
  input.Meta.GroupName = storedGroup;
  // Opening it now refuses a file that is locked or unreadable before any output exists.
  input.Size = FileStream::OpenRead(path).Size();
  return input;
}

}  // namespace vm::pack
