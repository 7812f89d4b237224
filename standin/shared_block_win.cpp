#include "standin/shared_block_win.h"

#include <windows.h>

#include "standin/log_lines.h"
#include "support/errors.h"
#include "support/win_handles.h"

namespace vm::standin {
namespace {

constexpr char kMappingPrefix[] = "HalvornRunnerMapping";

Exception Failure(const char* call, const std::string& name, DWORD error) {
  return Exception(std::string(call) + " failed for " + name + " (error " + std::to_string(error) + ")");
}

}  // namespace

std::vector<std::string> ReadSharedBlockLines(const std::string& suffix) {
  std::string name = kMappingPrefix + suffix;
  UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
  if (!mapping) throw Failure("OpenFileMappingA", name, GetLastError());
  UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kDumpedBlockSize));
  if (!view) throw Failure("MapViewOfFile", name, GetLastError());
  return SharedBlockLines(std::string(static_cast<const char*>(view.get()), kDumpedBlockSize));
}

}  // namespace vm::standin
