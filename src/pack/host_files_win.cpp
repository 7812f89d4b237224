#include <windows.h>

#include <optional>
#include <system_error>

#include "pack/host_files.h"
#include "support/errors.h"
#include "support/win_handles.h"

namespace vm::pack {
namespace {

std::string SystemMessage() { return std::system_category().message(GetLastError()); }

std::wstring Widen(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int size = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), needed, nullptr, nullptr);
  return text;
}

// Opened for no access at all, which a file in use by another program still allows.
std::optional<BY_HANDLE_FILE_INFORMATION> IdentityOf(const std::string& path) {
  const UniqueFile file(CreateFileA(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return info;
}

}  // namespace

PathKind KindOf(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::Missing;
    throw Exception("Cannot read " + path + ": " + std::system_category().message(error));
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::File;
}

// The wide function, since the ANSI one stops at MAX_PATH characters; the text goes through the
// ANSI code page both ways, as the ANSI function would take it.
std::string FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(needed, L'\0');
  const DWORD length =
      needed == 0 ? 0 : GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    throw Exception("Cannot find the full path of " + path + ": " + SystemMessage());
  full.resize(length);
  return Narrow(full);
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::optional<BY_HANDLE_FILE_INFORMATION> first = IdentityOf(a);
  const std::optional<BY_HANDLE_FILE_INFORMATION> second = IdentityOf(b);
  return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
         first->nFileIndexHigh == second->nFileIndexHigh &&
         first->nFileIndexLow == second->nFileIndexLow;
}

// Each level in turn, since CreateDirectoryA makes only the last one. A level above may refuse
// to be made and still exist ("C:", "\\server"), so only the last level's failure counts.
void MakeFolders(const std::string& path) {
  size_t at = 0;
  do {
    at = path.find_first_of("\\/", at + 1);
    const std::string level = path.substr(0, at);
    if (!CreateDirectoryA(level.c_str(), nullptr) && at == std::string::npos &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      throw Exception("Cannot create folder " + level + ": " + SystemMessage());
  } while (at != std::string::npos);
}

void CopyPermissions(const std::string&, const std::string&) {}

void RenameOver(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
    throw Exception("Cannot replace " + to + ": " + SystemMessage());
}

}  // namespace vm::pack
