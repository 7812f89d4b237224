#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vm {

// Path text in a multi-byte ANSI code page: the second byte of a double-byte character may be
// 0x5C, the code of "\", and must never be read as a delimiter. The predicate tells which bytes
// start a double-byte character.
using LeadBytePredicate = bool (*)(unsigned char);

// For single-byte code pages.
bool NoLeadBytes(unsigned char);

// The position of the first byte of the last character, or none for an empty string.
std::optional<size_t> LastCharOf(const std::string& s, LeadBytePredicate isLeadByte);

// The folder part of a path or search pattern: up to and including its last "\" or ":", empty
// when it has neither.
std::string FolderOf(const std::string& path, LeadBytePredicate isLeadByte);

}  // namespace vm
