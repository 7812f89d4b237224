#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vm {

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

// Path text in a multi-byte ANSI code page: the second byte of a double-byte character may be
// 0x5C, the code of "\", and must never be read as a delimiter. The predicate tells which bytes
// start a double-byte character.
using LeadBytePredicate = bool (*)(unsigned char);

// For single-byte code pages.
bool NoLeadBytes(unsigned char);

// The lead bytes of the system's ANSI code page; none on other systems than Windows.
bool IsSystemLeadByte(unsigned char byte);

// The position of the first byte of the last character, or none for an empty string.
std::optional<size_t> LastCharOf(const std::string& s, LeadBytePredicate isLeadByte);

// True when the last character (not merely the last byte) is c.
bool EndsWithChar(const std::string& s, char c, LeadBytePredicate isLeadByte);

// A folder that a file name can be appended to: a delimiter is added unless the text is empty or
// already ends in a delimiter or, on Windows, in ":" (a bare drive).
std::string WithTrailingDelimiter(std::string dir, LeadBytePredicate isLeadByte = IsSystemLeadByte);

// The full path of the running program. On Windows in the form that the ANSI calls open
// (support/ansi_path.h); a path that has none raises UnheldPathError.
std::string OwnExecutablePath();

}  // namespace vm
