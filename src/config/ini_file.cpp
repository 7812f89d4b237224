#include "config/ini_file.h"

#include <algorithm>

#include "config/ascii_case.h"
#include "support/errors.h"
#include "support/file_stream.h"
#include "support/trace.h"

namespace vm {
namespace {

constexpr char kBlanks[] = " \t";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

std::string Trim(const std::string& s) {
  size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

std::string WithoutQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Lines end in CR LF, LF or a lone CR.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
  std::string text;
  try {
    FileStream file = FileStream::OpenRead(path);
    text.resize(static_cast<size_t>(file.Size()));
    text.resize(file.Read(&text[0], text.size()));
  } catch (const EStreamError& e) {
    Trace("settings: ", e.what(), ", so every key takes its default");
    text.clear();
  }
  return IniFile(text);
}

IniFile::IniFile(const std::string& text) {
  // Editors on Windows may save the file as UTF-8 with a byte-order mark; without skipping it
  // the first section header would not be recognised.
  const size_t skip = text.compare(0, sizeof kUtf8ByteOrderMark - 1, kUtf8ByteOrderMark) == 0
                          ? sizeof kUtf8ByteOrderMark - 1
                          : 0;
  std::string section;
  std::string sectionAsWritten;
  bool inSection = false;
  int lineNumber = 0;
  for (const std::string& raw : SplitLines(text.substr(skip))) {
    ++lineNumber;
    const std::string line = Trim(raw);
    size_t close = line.rfind(']');
    if (!line.empty() && line.front() == '[' && close != std::string::npos) {
      sectionAsWritten = line.substr(1, close - 1);
      section = LowerAscii(sectionAsWritten);
      inSection = true;
      sectionLines_.push_back({sectionAsWritten, lineNumber});
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = WithoutQuotes(Trim(line.substr(equals + 1)));
    keyLines_.push_back({inSection ? sectionAsWritten : "", inSection, key, value, lineNumber});
    if (!inSection) continue;
    entries_.push_back({section, LowerAscii(key), value});
  }
}

std::optional<std::string> IniFile::Read(const std::string& section, const std::string& key) const {
  const std::string wantedSection = LowerAscii(section);
  const std::string wantedKey = LowerAscii(key);
  auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return e.Section == wantedSection && e.Key == wantedKey;
  });
  if (found == entries_.end()) return std::nullopt;
  return found->Value.substr(0, kMaxValueLength);
}

}  // namespace vm
