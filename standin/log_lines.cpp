#include "standin/log_lines.h"

namespace vm::standin {
namespace {

constexpr const char* kHandedOverVariables[] = {"MossantLocalDir_Engine", "MossantEngine_ID", "MossantEngine_WH"};
constexpr char kExeSuffix[] = ".exe";
constexpr std::size_t kLastDwordOffset = 108;
constexpr std::size_t kDwordSize = 4;
constexpr std::size_t kWorkingDirectoryOffset = 116;
constexpr std::uint32_t kCommandTypeMask = 0xFFF0;  // the system keeps the low four bits
constexpr std::uint32_t kScreenSaveCommand = 0xF140;   // SC_SCREENSAVE
constexpr std::uint32_t kMonitorPowerCommand = 0xF170;  // SC_MONITORPOWER

bool EndsWithExe(const std::string& name) {
  std::size_t n = sizeof kExeSuffix - 1;
  if (name.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = name[name.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kExeSuffix[i]) return false;
  }
  return true;
}

bool IsHandedOver(const std::string& name) {
  for (const char* handed : kHandedOverVariables)
    if (name == handed) return true;
  return EndsWithExe(name);
}

std::uint32_t DwordAt(const std::string& block, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = kDwordSize; i-- > 0;)
    value = (value << 8) | static_cast<unsigned char>(block[offset + i]);
  return value;
}

}  // namespace

std::string ParentClassLine(const std::string& className) { return "parent-class " + className; }

std::string CwdLine(const std::string& directory) { return "cwd " + directory; }

std::string ExeLine(const std::string& path) { return "exe " + path; }

std::string VersionLine(std::uint32_t major, std::uint32_t minor) {
  return "version " + std::to_string(major) + "." + std::to_string(minor);
}

std::string ReplyLine(std::int64_t result) { return "reply " + std::to_string(result); }

std::string OpeningLine(const std::string& action, std::int64_t result) {
  return action + " " + std::to_string(result);
}

std::string ErrorLine(const std::string& message) { return "error " + message; }

std::string SystemCommandLine(std::uint32_t command, std::int32_t argument) {
  switch (command & kCommandTypeMask) {
    case kScreenSaveCommand: return "syscommand screensave";
    case kMonitorPowerCommand: return "syscommand monitorpower " + std::to_string(argument);
  }
  return "";
}

std::string GlobalCloseLine(std::uint64_t sender, const std::string& name) {
  return "global-close " + std::to_string(sender) + " " + name;
}

std::string KeyLine(std::uint32_t virtualKey) { return "key " + std::to_string(virtualKey); }

std::string ButtonLine(std::uint32_t message) { return "button " + std::to_string(message); }

std::vector<std::string> EnvironmentLines(const std::vector<std::string>& entries) {
  std::vector<std::string> lines;
  for (const std::string& entry : entries) {
    // Windows keeps per-drive directories as "=C:=C:\dir": a name never starts at an "=".
    std::size_t equals = entry.find('=', 1);
    if (equals == std::string::npos) continue;
    std::string name = entry.substr(0, equals);
    if (IsHandedOver(name)) lines.push_back("env " + name + " " + entry.substr(equals + 1));
  }
  return lines;
}

std::vector<std::string> SharedBlockLines(const std::string& block) {
  std::vector<std::string> lines;
  for (std::size_t offset = 0; offset <= kLastDwordOffset && offset + kDwordSize <= block.size();
       offset += kDwordSize)
    lines.push_back("block " + std::to_string(offset) + " " + std::to_string(DwordAt(block, offset)));
  if (kWorkingDirectoryOffset < block.size()) {
    std::size_t length = static_cast<unsigned char>(block[kWorkingDirectoryOffset]);
    lines.push_back("block " + std::to_string(kWorkingDirectoryOffset) + " " +
                    block.substr(kWorkingDirectoryOffset + 1, length));
  }
  return lines;
}

}  // namespace vm::standin
