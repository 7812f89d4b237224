#pragma once

#include <cstddef>
#include <string>

namespace vm {

// What the system knows of its ANSI code page and its short names, for AnsiPathOf.
struct AnsiPathSystem {
  // Appends the ANSI text of the n characters at text when the code page holds every one of
  // them, so that the text converts back unchanged; otherwise false, and out stays as it was.
  // Nothing (n 0) is always held.
  bool (*AppendAnsi)(const wchar_t* text, size_t n, std::string& out);
  // Appends the ANSI text of the short (8.3) name that the system gives the last part of the
  // first n characters of path, an existing file or folder; false, out unchanged, when it gives
  // none or the code page cannot hold that name either.
  bool (*AppendShortName)(const wchar_t* path, size_t n, std::string& out);
};

// The form of path that the ANSI calls open: every folder or file name of it that the code page
// cannot hold replaced with its short name, every other part as it is, delimiters included. False
// when one of those names has no short name that the code page holds: short names are turned off
// on its volume, or it does not exist.
bool AnsiPathOf(const wchar_t* path, const AnsiPathSystem& system, std::string& out);

}  // namespace vm
