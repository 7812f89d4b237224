#pragma once

#include <optional>
#include <string>

#include "payload/file_helpers_paths.h"

namespace vm::pack {

constexpr int kDefaultCodePage = 1252;

// The Windows ANSI code page in which the Runner reads names and passwords. vmpack converts the
// names and passwords it is given, in its own text (UTF-8, or the ANSI code page on Windows), to
// this code page before it stores or hashes them, and converts stored names back to show them.
class CodePage {
 public:
  // Raises UsageError for a code page other than 1250 to 1258, 932, 936, 949 and 950.
  explicit CodePage(int number);
  // From the value of --codepage; the default when it is not given.
  static CodePage FromOption(const std::optional<std::string>& text);

  int Number() const { return number_; }
  LeadBytePredicate LeadBytes() const;

  // The text in this code page. Raises Exception, naming `what` and the character, for text that
  // is not valid in the tool's own encoding or holds a character the code page cannot represent.
  std::string FromHost(const std::string& text, const std::string& what) const;
  // The same, but a character the code page cannot represent becomes "_": for texts that the
  // Runner only keeps, such as the folder a file came from.
  std::string FromHostLenient(const std::string& text) const;

  // Stored bytes as the tool's own text, with control characters and bytes that are not a
  // character of the code page shown as \xNN.
  std::string ToHost(const std::string& bytes) const;
  // Stored bytes as the tool's own text for a name on disk; none when a byte is no character of
  // the code page, since no stand-in for it may become part of a path.
  std::optional<std::string> ToHostName(const std::string& bytes) const;
  // Stored bytes as JSON string content: ASCII only, every other character as \uXXXX, bytes that
  // are not a character of the code page as the text \xNN.
  std::string ToJson(const std::string& bytes) const;

 private:
  template <typename Show, typename ShowUndecodable>
  std::string Shown(const std::string& bytes, Show show, ShowUndecodable showUndecodable) const;

  int number_;
};

// The tool's own text as JSON string content, like CodePage::ToJson.
std::string HostToJson(const std::string& text);

}  // namespace vm::pack
