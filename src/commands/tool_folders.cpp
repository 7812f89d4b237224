#include "commands/tool_folders.h"

#include "support/errors.h"

namespace vm {
namespace {

constexpr size_t kToolFolderSuffixLength = sizeof kToolFolderSuffix - 1;
// "[" and "]" around at least one character.
constexpr size_t kShortestToolLine = 3;

}  // namespace

std::optional<std::string> ToolFolderOf(const std::string& lowerFileName) {
  if (lowerFileName.size() <= kToolFolderSuffixLength ||
      lowerFileName.compare(lowerFileName.size() - kToolFolderSuffixLength, kToolFolderSuffixLength,
                            kToolFolderSuffix) != 0)
    return std::nullopt;
  return lowerFileName.substr(0, lowerFileName.size() - kToolFolderSuffixLength);
}

std::optional<std::string> ToolNameFromText(const std::string& text) {
  // Lines end at CR, LF or CR LF, as the system's text lists read them.
  const std::string line = text.substr(0, text.find_first_of("\r\n"));
  if (line.size() < kShortestToolLine || line.front() != '[' || line.back() != ']')
    return std::nullopt;
  return line.substr(1, line.size() - 2);
}

void CheckToolName(const std::string& toolName, const std::string& iniPath) {
  if (toolName.find_first_of("\\/:") != std::string::npos ||
      toolName.find("..") != std::string::npos)
    throw Exception("Unsafe tool name \"" + toolName + "\" in " + iniPath +
                    ": its program would lie outside the tool folder");
}

std::string ToolProgramName(const std::string& toolName) { return "V" + toolName + ".EXE"; }

}  // namespace vm
