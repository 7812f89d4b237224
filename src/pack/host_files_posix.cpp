#include <filesystem>

#include "pack/host_files.h"
#include "support/errors.h"

namespace fs = std::filesystem;

namespace vm::pack {

PathKind KindOf(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return PathKind::Missing;
  if (error) throw Exception("Cannot read " + path + ": " + error.message());
  if (fs::is_regular_file(status)) return PathKind::File;
  if (fs::is_directory(status)) return PathKind::Directory;
  return PathKind::Other;
}

std::string FullPath(const std::string& path) {
  return fs::absolute(path).lexically_normal().string();
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) && !error;
}

void MakeFolders(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  if (error) throw Exception("Cannot create folder " + path + ": " + error.message());
}

void CopyPermissions(const std::string& from, const std::string& to) {
  std::error_code error;
  const fs::perms permissions = fs::status(from, error).permissions() | fs::perms::owner_write;
  if (!error) fs::permissions(to, permissions, error);
  if (error) throw Exception("Cannot set the permissions of " + to + ": " + error.message());
}

void RenameOver(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(from, to, error);
  if (error) throw Exception("Cannot replace " + to + ": " + error.message());
}

}  // namespace vm::pack
