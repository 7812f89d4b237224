#include "pack/replacement_file.h"

#include "pack/host_files.h"
#include "support/errors.h"
#include "support/paths.h"

namespace vm::pack {
namespace {

// The replacement sits in the target's folder, so that the final rename stays on one volume and
// cannot turn into a copy that could itself fail half-way.
constexpr char kReplacementSuffix[] = ".vmpack-tmp";
// File systems hold names of at most 255 bytes (NTFS: 255 characters): a target whose name is
// that long keeps only the front of it for its replacement's name.
constexpr size_t kLongestFileName = 255;

std::string ReplacementPath(const std::string& target) {
  const size_t nameStart = target.find_last_of(kPathDelimiter) + 1;
  const size_t room = kLongestFileName - (sizeof kReplacementSuffix - 1);
  const size_t nameLength = target.size() - nameStart;
  return target.substr(0, nameStart + (nameLength > room ? room : nameLength)) + kReplacementSuffix;
}

FileStream CreateReplacement(const std::string& target) {
  try {
    return FileStream::Create(ReplacementPath(target));
  } catch (const EStreamError& e) {
    throw Exception("Cannot write " + target + ": " + e.what());
  }
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target)
    : target_(std::move(target)), stream_(CreateReplacement(target_)) {}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  const std::string path = stream_.Path();
  stream_.Close();
  DeleteFileAt(path);
}

void ReplacementFile::Commit(const std::string& model) {
  const std::string path = stream_.Path();
  stream_.Close();
  CopyPermissions(model, path);
  RenameOver(path, target_);
  committed_ = true;
}

}  // namespace vm::pack
