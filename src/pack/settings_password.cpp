#include "pack/settings_password.h"

#include <optional>
#include <vector>

#include "config/ascii_case.h"

namespace vm::pack {
namespace {

constexpr char kSettingsSection[] = "settings";
constexpr char kPasswordKey[] = "Password";
constexpr char kCheckValueKey[] = "AlignmentX";
constexpr char kBlanks[] = " \t";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct Line {
  std::string Text;
  std::string End;  // "\r\n", "\n", "\r" or empty for the last line
};

std::vector<Line> SplitKeepingEnds(const std::string& text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back({text.substr(start), ""});
      break;
    }
    const size_t endLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({text.substr(start, end - start), text.substr(end, endLength)});
    start = end + endLength;
  }
  return lines;
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// The section a header line opens, lower-cased, as the settings reader sees it.
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string trimmed = Trim(line);
  const size_t close = trimmed.rfind(']');
  if (trimmed.empty() || trimmed.front() != '[' || close == std::string::npos) return std::nullopt;
  return LowerAscii(trimmed.substr(1, close - 1));
}

std::optional<std::string> KeyOf(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return LowerAscii(Trim(line.substr(0, equals)));
}

}  // namespace

std::string WithPassword(const std::string& original, uint32_t checkValue) {
  // The byte-order mark of a file saved as UTF-8 would hide a [Settings] on the first line.
  const bool hasMark = original.compare(0, sizeof kUtf8ByteOrderMark - 1, kUtf8ByteOrderMark) == 0;
  const std::string text = hasMark ? original.substr(sizeof kUtf8ByteOrderMark - 1) : original;
  std::vector<Line> lines = SplitKeepingEnds(text);
  const std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  const std::string passwordLine = std::string(kPasswordKey) + "=1";
  const std::string checkValueLine = std::string(kCheckValueKey) + "=" + std::to_string(checkValue);

  bool inSettings = false;
  bool passwordSet = false;
  bool checkValueSet = false;
  std::optional<size_t> firstSettingsHeader;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::optional<std::string> section = SectionOf(lines[i].Text)) {
      inSettings = *section == kSettingsSection;
      if (inSettings && !firstSettingsHeader) firstSettingsHeader = i;
      continue;
    }
    if (!inSettings) continue;
    const std::optional<std::string> key = KeyOf(lines[i].Text);
    if (key && *key == LowerAscii(kPasswordKey) && !passwordSet) {
      lines[i].Text = passwordLine;
      passwordSet = true;
    } else if (key && *key == LowerAscii(kCheckValueKey) && !checkValueSet) {
      lines[i].Text = checkValueLine;
      checkValueSet = true;
    }
  }

  std::vector<Line> added;
  if (!passwordSet) added.push_back({passwordLine, newline});
  if (!checkValueSet) added.push_back({checkValueLine, newline});
  if (!added.empty()) {
    if (firstSettingsHeader) {
      if (lines[*firstSettingsHeader].End.empty()) lines[*firstSettingsHeader].End = newline;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*firstSettingsHeader) + 1,
                   added.begin(), added.end());
    } else {
      if (!lines.empty() && lines.back().End.empty()) lines.back().End = newline;
      lines.push_back({"[Settings]", newline});
      lines.insert(lines.end(), added.begin(), added.end());
    }
  }

  std::string result = hasMark ? kUtf8ByteOrderMark : "";
  for (const Line& line : lines) result += line.Text + line.End;
  return result;
}

}  // namespace vm::pack
