#include "standin/shared_block_win.h"

#include <windows.h>

#include "standin/log_lines.h"
#include "support/errors.h"
#include "support/win_handles.h"

namespace vm::standin {
namespace {

constexpr char kMappingPrefix[] = "HalvornRunnerMapping";
constexpr std::size_t kBlockSize = 1140;
constexpr std::size_t kDdeApplicationOffset = 628;
constexpr std::size_t kDdeTopicOffset = 884;

Exception Failure(const char* call, const std::string& name, DWORD error) {
  return Exception(std::string(call) + " failed for " + name + " (error " + std::to_string(error) + ")");
}

std::string ReadBlockBytes(const std::string& suffix, std::size_t size) {
  std::string name = kMappingPrefix + suffix;
  UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
  if (!mapping) throw Failure("OpenFileMappingA", name, GetLastError());
  UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, size));
  if (!view) throw Failure("MapViewOfFile", name, GetLastError());
  return std::string(static_cast<const char*>(view.get()), size);
}

std::string ShortStringAt(const std::string& block, std::size_t offset) {
  return block.substr(offset + 1, static_cast<unsigned char>(block[offset]));
}

}  // namespace

std::vector<std::string> ReadSharedBlockLines(const std::string& suffix) {
  return SharedBlockLines(ReadBlockBytes(suffix, kDumpedBlockSize));
}

BrowserNames ReadBrowserNames(const std::string& suffix) {
  const std::string block = ReadBlockBytes(suffix, kBlockSize);
  return {ShortStringAt(block, kDdeApplicationOffset), ShortStringAt(block, kDdeTopicOffset)};
}

}  // namespace vm::standin
