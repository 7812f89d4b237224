#pragma once

#include <string>

#include "support/paths.h"

// Cutting paths in the system's multi-byte code page: every cut goes by characters, so that the
// second byte of a double-byte character is never taken for a "\" (LastCharOf, support/paths.h).
namespace vm {

// The folder part of a path or search pattern: up to and including its last "\" or ":", empty
// when it has neither.
std::string FolderOf(const std::string& path, LeadBytePredicate isLeadByte);

// The file name after the folder part.
std::string FileNameOf(const std::string& path, LeadBytePredicate isLeadByte);

// The path without one trailing "\", when its last character is one.
std::string WithoutTrailingBackslash(const std::string& path, LeadBytePredicate isLeadByte);

}  // namespace vm
