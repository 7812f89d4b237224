#pragma once

#include <cstddef>

// Byte-wise character rules for code that reads the movie's ANSI texts without the C++ runtime:
// only the ASCII letters change case, since the other bytes may be halves of double-byte
// characters.
namespace vm {

inline char LowerAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A space or a control character, as the system trims them from addresses and command texts.
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The value of a hexadecimal digit in either letter case, -1 for any other character.
inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = LowerAsciiLetter(c);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// [begin, end) equals word, which is in lower case, in any letter case of A to Z.
inline bool SameWord(const char* begin, const char* end, const char* word) {
  for (; begin < end; ++begin, ++word)
    if (*word == '\0' || LowerAsciiLetter(*begin) != *word) return false;
  return *word == '\0';
}

}  // namespace vm
