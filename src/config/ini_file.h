#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm {

// An ini text read the way the system's profile reader reads it: "[section]" lines open a
// section, "key=value" lines inside it hold a value; section and key names match without regard
// to letter case; blanks around names and values do not count, and one pair of matching quotes
// around a value is dropped. The first occurrence of a key wins. Other lines (comments among
// them) hold nothing.
class IniFile {
 public:
  // The reader's buffer is 1024 bytes with room for the closing NUL, so longer values are cut.
  static constexpr size_t kMaxValueLength = 1023;

  // A file that cannot be read gives an empty ini, in which every key is missing.
  static IniFile Load(const std::string& path);
  explicit IniFile(const std::string& text);

  // The value, cut to kMaxValueLength characters; none when the section or key is missing.
  std::optional<std::string> Read(const std::string& section, const std::string& key) const;

  // Where things stand in the text, for tools that check a file before the Runner reads it.
  // Lines count from 1; names are as written.
  struct SectionLine {
    std::string Name;
    int Line = 0;
  };
  struct KeyLine {
    std::string Section;  // empty when the line comes before any section, where it holds nothing
    bool InSection = false;
    std::string Key;
    std::string Value;
    int Line = 0;
  };
  const std::vector<SectionLine>& SectionLines() const { return sectionLines_; }
  const std::vector<KeyLine>& KeyLines() const { return keyLines_; }

 private:
  struct Entry {
    std::string Section;  // lower case
    std::string Key;      // lower case
    std::string Value;
  };
  std::vector<Entry> entries_;
  std::vector<SectionLine> sectionLines_;
  std::vector<KeyLine> keyLines_;
};

}  // namespace vm
