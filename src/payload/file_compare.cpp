#include "payload/file_compare.h"

#include <cstring>
#include <optional>
#include <vector>

#include "support/errors.h"
#include "support/file_stream.h"

namespace vm {
namespace {

constexpr size_t kCompareBlock = 64 * 1024;

std::optional<FileStream> OpenIfReadable(const std::string& path) {
  try {
    return FileStream::OpenRead(path);
  } catch (const EStreamError&) {
    return std::nullopt;
  }
}

int64_t SizeOf(const std::optional<FileStream>& file) { return file ? file->Size() : 0; }

bool SameContents(FileStream& a, FileStream& b) {
  std::vector<char> blockA(kCompareBlock), blockB(kCompareBlock);
  for (;;) {
    const size_t gotA = a.Read(blockA.data(), blockA.size());
    const size_t gotB = b.Read(blockB.data(), blockB.size());
    if (gotA != gotB || std::memcmp(blockA.data(), blockB.data(), gotA) != 0) return false;
    if (gotA == 0) return true;
  }
}

}  // namespace

bool FilesEqual(const std::string& a, const std::string& b) {
  if (a == b) return true;
  try {
    std::optional<FileStream> fileA = OpenIfReadable(a);
    std::optional<FileStream> fileB = OpenIfReadable(b);
    if (SizeOf(fileA) != SizeOf(fileB)) return false;
    if (!fileA || !fileB) return true;  // both empty, or one missing and the other empty
    return SameContents(*fileA, *fileB);
  } catch (const EStreamError&) {
    return false;
  }
}

}  // namespace vm
