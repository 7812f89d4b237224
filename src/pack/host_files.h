#pragma once

#include <string>

namespace vm::pack {

// The file-system questions vmpack asks about the paths it is given, answered for the same files
// that the stream layer opens. On Windows that takes the wide functions with the path converted
// from vmpack's own text (host_text_win.h): std::filesystem in MinGW's library reads narrow paths
// in another encoding than the ANSI code page, so it misses files with names beyond Latin-1, and
// it mistakes \\server\share paths for relative ones.

enum class PathKind { Missing, File, Directory, Other };

// Raises Exception when the system cannot tell (no access to the folder, say).
PathKind KindOf(const std::string& path);

// The absolute path with "." and ".." resolved, delimited by kPathDelimiter.
std::string FullPath(const std::string& path);

// Whether both paths name one existing file, however each is spelled (links, "./x" and "x",
// letter case where the file system ignores it): compared by the file's identity, not its name.
bool SameFile(const std::string& a, const std::string& b);

// Makes the folder and every missing folder above it.
void MakeFolders(const std::string& path);

// Gives `to` the permission bits of `from`, and write access for its owner so that it can be
// rebuilt. Windows files have no bits to carry, and a read-only Runner must not make a
// read-only output, so there it leaves `to` as created.
void CopyPermissions(const std::string& from, const std::string& to);

// Moves `from` to `to`, replacing the file there in one step.
void RenameOver(const std::string& from, const std::string& to);

}  // namespace vm::pack
