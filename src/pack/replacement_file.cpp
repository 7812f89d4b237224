#include "pack/replacement_file.h"

#include "pack/host_files.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

// The replacement sits in the target's folder, so that the final rename stays on one volume and
// cannot turn into a copy that could itself fail half-way.
constexpr char kReplacementSuffix[] = ".vmpack-tmp";

FileStream CreateReplacement(const std::string& target) {
  try {
    return FileStream::Create(target + kReplacementSuffix);
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
