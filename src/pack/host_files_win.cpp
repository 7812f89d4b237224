#include <windows.h>

#include <optional>
#include <system_error>

#include "pack/host_files.h"
#include "pack/host_text_win.h"
#include "support/errors.h"
#include "support/win_handles.h"

namespace vm::pack {
namespace {

std::string SystemMessage() { return std::system_category().message(GetLastError()); }

// Opened for no access at all, which a file in use by another program still allows.
std::optional<BY_HANDLE_FILE_INFORMATION> IdentityOf(const std::string& path) {
  const UniqueFile file(CreateFileW(WideFromHost(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return info;
}

}  // namespace

PathKind KindOf(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WideFromHost(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::Missing;
    throw Exception("Cannot read " + path + ": " + std::system_category().message(error));
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::File;
}

// The wide function, since the ANSI one stops at MAX_PATH characters. The current folder may hold
// a character that vmpack's own text cannot (only on a Windows that ignores vmpack's manifest).
std::string FullPath(const std::string& path) {
  const std::wstring wide = WideFromHost(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(needed, L'\0');
  const DWORD length =
      needed == 0 ? 0 : GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    throw Exception("Cannot find the full path of " + path + ": " + SystemMessage());
  full.resize(length);
  std::optional<std::string> text = HostFromWide(full);
  if (!text)
    throw Exception("Cannot find the full path of " + path +
                    ": a folder's name holds characters that this system's code page cannot represent");
  return *text;
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::optional<BY_HANDLE_FILE_INFORMATION> first = IdentityOf(a);
  const std::optional<BY_HANDLE_FILE_INFORMATION> second = IdentityOf(b);
  return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
         first->nFileIndexHigh == second->nFileIndexHigh &&
         first->nFileIndexLow == second->nFileIndexLow;
}

// Each level in turn, since CreateDirectoryW makes only the last one. A level above may refuse
// to be made and still exist ("C:", "\\server"), so only the last level's failure counts.
void MakeFolders(const std::string& path) {
  size_t at = 0;
  do {
    at = path.find_first_of("\\/", at + 1);
    const std::string level = path.substr(0, at);
    if (!CreateDirectoryW(WideFromHost(level).c_str(), nullptr) && at == std::string::npos &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      throw Exception("Cannot create folder " + level + ": " + SystemMessage());
  } while (at != std::string::npos);
}

void CopyPermissions(const std::string&, const std::string&) {}

void RenameOver(const std::string& from, const std::string& to) {
  if (!MoveFileExW(WideFromHost(from).c_str(), WideFromHost(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING))
    throw Exception("Cannot replace " + to + ": " + SystemMessage());
}

}  // namespace vm::pack
