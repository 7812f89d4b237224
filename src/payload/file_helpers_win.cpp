#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "payload/file_helpers.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr FILEOP_FLAGS kQuietDelete = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
static_assert(kQuietDelete == 0x414);
static_assert((kQuietDelete | FOF_ALLOWUNDO) == 0x454);

// ReadFile takes 32-bit counts.
constexpr size_t kMaxReadChunk = 1u << 30;

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

bool IsFileFree(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool IsTreeFree(const std::string& pattern) {
  const std::string folder = FolderOf(pattern, IsSystemLeadByte);
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA(pattern.c_str(), &entry));
  if (!find) return true;
  do {
    // Only the directory's own entries are skipped: a file such as ".lock" may be in use like
    // any other.
    if (IsDotEntry(entry.cFileName)) continue;
    const std::string path = folder + entry.cFileName;
    bool free = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? IsTreeFree(path + "\\*.*")
                                                                     : IsFileFree(path);
    if (!free) return false;
  } while (FindNextFileA(find.get(), &entry));
  return true;
}

std::string ReadWholeFile(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size)) return {};
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kMaxReadChunk));
    if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr) || got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CreateDirectoryPath(const std::string& dir) {
  const std::string path = WithoutTrailingBackslash(dir, IsSystemLeadByte);
  // Shorter than three characters: a bare drive ("C:") or a root, nothing to create.
  if (path.size() < 3 || IsDirectory(path)) return;
  const std::string parent = FolderOf(path, IsSystemLeadByte);
  if (parent == path) return;
  CreateDirectoryPath(parent);
  CreateDirectoryA(path.c_str(), nullptr);
}

int ShellDelete(const std::string& path, ShellDeleteMode mode) {
  // The source is a list of paths, each closed by a NUL, the list by a second NUL.
  const std::string from = path + '\0' + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = kQuietDelete | (mode == ShellDeleteMode::ToRecycleBin ? FOF_ALLOWUNDO : 0);
  return SHFileOperationA(&operation);
}

}  // namespace vm
