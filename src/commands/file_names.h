#pragma once

#include <cstdint>
#include <string>

#include "payload/file_helpers_paths.h"

namespace vm {

// Lower-cases the letters A to Z and nothing else: the other bytes of an ANSI name may be halves
// of double-byte characters.
std::string LowerAsciiLetters(std::string text);

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b);

// The extension from the last "." on, lower-cased; empty when the name has no ".".
std::string LowerExtension(const std::string& fileName);

// Whether the number 0 appears in a numbered name: the projector's first instance keeps the
// stored name, the hook library's is always numbered.
enum class ZeroNumber { Omitted, Written };

// The name with n inserted before its extension ("movie.exe", 2 -> "movie2.exe").
std::string NumberedName(const std::string& fileName, int64_t n, ZeroNumber zero);

// The number to try after n when its name is taken: one step away from zero.
int64_t NextNumber(int64_t n);

// True when the last character is "\" itself, not the second byte of a double-byte character.
bool EndsWithBackslash(const std::string& path, LeadBytePredicate isLeadByte);

// A path segment of dots and spaces only, with at least two dots: Windows trims trailing dots
// and spaces from a segment, so such a name may stand for the parent folder.
bool MayNameParentFolder(const std::string& segment);

}  // namespace vm
