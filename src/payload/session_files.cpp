#include "payload/session_files.h"

#include <algorithm>

#include "support/errors.h"

namespace vm {
namespace {

bool HasSoundSizes(const FilePrefix& prefix) {
  if (prefix.Size < 0 || prefix.StoredSize < 0) return false;
  return prefix.IsCompressed() || prefix.StoredSize == prefix.Size;
}

}  // namespace

FilePrefix ReadFilePrefix(FileStream& source) {
  uint8_t block[kPrefixSize];
  source.ReadBuffer(block, sizeof block);
  FilePrefix prefix;
  if (IsValidPrefix(block)) prefix = DecodePrefix(block);
  if (!IsValidPrefix(block) || !HasSoundSizes(prefix))
    throw Exception("File prefix format error on extract from " + source.Path());
  if (!IsBareFileName(prefix.FileName))
    throw Exception("Unsafe file name \"" + prefix.FileName + "\" on extract from " +
                    source.Path());
  if (source.Position() + prefix.StoredSize > source.Size())
    throw EStreamError("Stream read error");
  return prefix;
}

StoredDataReader::StoredDataReader(FileStream& source, int64_t dataStart, const FilePrefix& prefix)
    : source_(source) {
  source_.Seek(dataStart);
  if (prefix.IsCompressed())
    inflater_.emplace(source_, dataStart + prefix.StoredSize);
  else
    remainingRaw_ = prefix.StoredSize;
}

size_t StoredDataReader::Read(void* buffer, size_t count) {
  if (inflater_) return inflater_->Read(buffer, count);
  size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), remainingRaw_));
  source_.ReadBuffer(buffer, want);
  remainingRaw_ -= static_cast<int64_t>(want);
  return want;
}

bool StoredDataReader::AtEnd() {
  if (!inflater_) return remainingRaw_ == 0;
  uint8_t extra;
  return inflater_->Read(&extra, 1) == 0 && inflater_->Ended() && inflater_->InputUsedUp();
}

}  // namespace vm
