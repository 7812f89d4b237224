#pragma once

#include <optional>
#include <string>

// The system's half of converting names and passwords between the tool's own text and a Windows
// ANSI code page: iconv elsewhere than on Windows, MultiByteToWideChar and WideCharToMultiByte on
// Windows. Everything else about code pages is portable (code_page.h).
namespace vm::pack {

// The tool's own text (the command line, file names on disk): UTF-8 elsewhere than on Windows,
// the process's ANSI code page on Windows. None when the text is not valid in it.
std::optional<std::u32string> HostToUnicode(const std::string& text);
// Characters the host cannot show become "?".
std::string UnicodeToHost(const std::u32string& text);

// The bytes of one character in the code page, or none when it has no exact equivalent there
// (no best-fit stand-ins: "ä" never becomes "a").
std::optional<std::string> EncodeCharacter(int codePage, char32_t c);
// The characters that the bytes of one code-page character stand for (one, or a base and a
// combining mark); none when they are not a character of the code page.
std::optional<std::u32string> DecodeCharacter(int codePage, const std::string& bytes);

}  // namespace vm::pack
