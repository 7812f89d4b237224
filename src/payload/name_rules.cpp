#include "payload/name_rules.h"

#include <algorithm>
#include <array>
#include <vector>

#include "support/errors.h"

namespace vm {
namespace {

constexpr char kForbiddenInNames[] = "\\/:*?<>|\"";
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr char kInstanceDirectoryGroup[] = ".";
constexpr char kToolGroupPrefix[] = "VTOOL.";

// Windows opens these as devices whatever the folder and the extension.
constexpr std::array<const char*, 4> kDeviceNames = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<const char*, 2> kNumberedDeviceNames = {"COM", "LPT"};

bool IsControl(unsigned char c) { return c < kFirstPrintable || c == kDelete; }

// Formatted by hand: the printf family would bring its whole formatter into the Runner.
std::string Hex(unsigned char c) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("\\x") + kDigits[c >> 4] + kDigits[c & 0xF];
}

// The characters of s, each as its start and length; a lead byte at the very end stands alone.
std::vector<std::pair<size_t, size_t>> Characters(const std::string& s,
                                                  LeadBytePredicate isLeadByte) {
  std::vector<std::pair<size_t, size_t>> chars;
  for (size_t i = 0; i < s.size();) {
    const size_t length = isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    chars.emplace_back(i, length);
    i += length;
  }
  return chars;
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Windows takes the part before the first dot, without the blanks at its end, as the device.
std::optional<std::string> DeviceNameOf(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  stem.erase(stem.find_last_not_of(' ') + 1);
  stem = UpperAscii(stem);
  for (const char* device : kDeviceNames)
    if (stem == device) return stem;
  for (const char* prefix : kNumberedDeviceNames) {
    if (stem.size() == 4 && stem.compare(0, 3, prefix) == 0 && stem[3] >= '1' && stem[3] <= '9')
      return stem;
  }
  return std::nullopt;
}

// The rules for one name that becomes a file or a folder.
std::optional<std::string> SegmentProblem(const std::string& segment, LeadBytePredicate isLeadByte) {
  if (segment.empty()) return "the name is empty";
  if (segment.find_first_not_of(". ") == std::string::npos &&
      std::count(segment.begin(), segment.end(), '.') >= 1)
    return "\"" + segment + "\" names a folder itself or its parent";
  const auto chars = Characters(segment, isLeadByte);
  for (const auto& [start, length] : chars) {
    if (length != 1) continue;
    const auto c = static_cast<unsigned char>(segment[start]);
    if (c == 0) return std::string("it holds a NUL byte, at which Windows would cut the name");
    if (IsControl(c)) return "it holds the control character " + Hex(c);
    if (std::string(kForbiddenInNames).find(static_cast<char>(c)) != std::string::npos)
      return std::string("it holds \"") + static_cast<char>(c) + "\", which Windows does not allow in names";
  }
  const auto& [lastStart, lastLength] = chars.back();
  if (lastLength == 1 && (segment[lastStart] == '.' || segment[lastStart] == ' '))
    return std::string("it ends in ") + (segment[lastStart] == '.' ? "a dot" : "a space") +
           ", which Windows drops from names";
  if (std::optional<std::string> device = DeviceNameOf(segment))
    return "it is the device name " + *device + ", which Windows opens as the device";
  return std::nullopt;
}

std::optional<std::string> ControlCharacterProblem(const std::string& text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) return std::string("it holds a NUL byte, at which Windows would cut the name");
    if (IsControl(byte)) return "it holds the control character " + Hex(byte);
  }
  return std::nullopt;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<std::string> FileNameProblem(const std::string& name, LeadBytePredicate isLeadByte) {
  return SegmentProblem(name, isLeadByte);
}

std::optional<std::string> GroupNameProblem(const std::string& group,
                                            LeadBytePredicate isLeadByte) {
  if (group.empty() || group == kInstanceDirectoryGroup) return std::nullopt;
  if (group.compare(0, sizeof kToolGroupPrefix - 1, kToolGroupPrefix) == 0)
    return ControlCharacterProblem(group);
  if (IsSeparator(group.front()))
    return std::string("it starts with \"") + group.front() +
           "\", so its folder would lie outside the instance directory";

  // Split at the separators that are characters of their own; one separator may end the group.
  std::vector<std::string> segments(1);
  for (const auto& [start, length] : Characters(group, isLeadByte)) {
    if (length == 1 && IsSeparator(group[start]))
      segments.emplace_back();
    else
      segments.back().append(group, start, length);
  }
  if (segments.size() > 1 && segments.back().empty()) segments.pop_back();
  for (const std::string& segment : segments) {
    if (std::optional<std::string> control = ControlCharacterProblem(segment)) return control;
    if (segment.find(':') != std::string::npos)
      return std::string("it holds \":\", which names a drive or a stream");
    if (segment.find_first_not_of(". ") == std::string::npos &&
        std::count(segment.begin(), segment.end(), '.') >= 2)
      return "its segment \"" + segment + "\" leads out of the instance directory";
    if (segment.empty()) continue;
    if (std::optional<std::string> problem = SegmentProblem(segment, isLeadByte))
      return "its segment \"" + EscapeControlCharacters(segment) + "\" is unsafe: " + *problem;
  }
  return std::nullopt;
}

bool StaysInFolder(const std::string& name, LeadBytePredicate isLeadByte) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const auto& [start, length] : Characters(name, isLeadByte)) {
    if (length == 1 && (IsSeparator(name[start]) || name[start] == ':')) return false;
  }
  return true;
}

void CheckStoredNames(const FilePrefix& prefix, const std::string& sourcePath,
                      LeadBytePredicate isLeadByte) {
  const std::string name = EscapeControlCharacters(prefix.FileName);
  if (std::optional<std::string> problem = FileNameProblem(prefix.FileName, isLeadByte))
    throw Exception("Unsafe file name \"" + name + "\" on extract from " + sourcePath + ": " +
                    *problem);
  if (std::optional<std::string> problem = GroupNameProblem(prefix.GroupName, isLeadByte))
    throw Exception("Unsafe group name \"" + EscapeControlCharacters(prefix.GroupName) +
                    "\" for file \"" + name + "\" on extract from " + sourcePath + ": " + *problem);
}

std::string EscapeControlCharacters(const std::string& text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    shown += IsControl(byte) ? Hex(byte) : std::string(1, c);
  }
  return shown;
}

}  // namespace vm
