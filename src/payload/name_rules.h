#pragma once

#include <optional>
#include <string>

#include "payload/file_helpers_paths.h"
#include "payload/records.h"

// The one set of rules that decides which stored names the Runner can write safely. vmpack's
// build, verify and extract and the Runner's own extractor all ask here, so that a session that
// one of them accepts is never refused, or written somewhere else, by another.
namespace vm {

// Why the file name cannot be written as one file inside the target folder, or nothing when it
// can: it must not be empty, ".", "..", hold "\", "/", ":", "*", "?", "<", ">", "|", '"' or a
// control character (NUL among them), end in a dot or a space, or be a device name such as NUL
// or COM1.TXT. The second byte of a double-byte character is never taken for one of these.
std::optional<std::string> FileNameProblem(const std::string& name, LeadBytePredicate isLeadByte);

// Why the group name is unsafe, or nothing: "" and "." are safe; a tool group ("VTOOL.") names
// no folder and needs only to be free of control characters; any other group is a folder below
// the instance directory: it must not start with "\" or "/" (so not "\\?\" either), hold ":",
// have a ".." segment, or a segment that the file name rules refuse; one trailing "\" is allowed.
std::optional<std::string> GroupNameProblem(const std::string& group,
                                            LeadBytePredicate isLeadByte);

// The least a name must be before any handler sees it: one that can only land inside the folder
// it is written to (not empty, ".", "..", and without "\", "/" or ":" as characters of their own).
bool StaysInFolder(const std::string& name, LeadBytePredicate isLeadByte);

// Raises vm::Exception "Unsafe file name "NAME" on extract from PATH: REASON", or
// "Unsafe group name "GROUP" for file "NAME" on extract from PATH: REASON".
void CheckStoredNames(const FilePrefix& prefix, const std::string& sourcePath,
                      LeadBytePredicate isLeadByte);

// The text with control characters (below 0x20, and 0x7F) shown as \xNN, so that a name never
// moves a terminal's cursor, ends a line or starts an escape sequence where it is shown.
std::string EscapeControlCharacters(const std::string& text);

}  // namespace vm
