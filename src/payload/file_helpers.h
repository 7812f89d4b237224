#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "payload/file_helpers_paths.h"

// File and directory helpers of the Runner (Win32: file_helpers_win.cpp). Paths are ANSI byte
// strings in the system's code page.
namespace vm {

// True when the file opens for reading and writing with no sharing: nobody holds it open and it
// is not read-only. A missing file is not free.
bool IsFileFree(const std::string& path);

// True when no file matching the pattern, or below a matching directory, is in use (IsFileFree).
// A bare directory path matches the directory itself, so its whole subtree is walked. The walk
// stops at the first file in use.
bool IsTreeFree(const std::string& pattern);

// The file's bytes, read while others may read and write it; empty when it cannot be opened.
std::string ReadWholeFile(const std::string& path);

bool IsDirectory(const std::string& path);

// Creates the directory and every missing level above it; a trailing "\" is allowed. Failures are
// not reported: the caller finds out by using the directory.
void CreateDirectoryPath(const std::string& dir);

// The shell's recursive delete of one path or wildcard pattern, with no progress display,
// confirmation or error display. Returns SHFileOperationA's result: 0 on success.
enum class ShellDeleteMode { Permanent, ToRecycleBin };
int ShellDelete(const std::string& path, ShellDeleteMode mode = ShellDeleteMode::Permanent);

}  // namespace vm
