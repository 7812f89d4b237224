#include "payload/session_files.h"

#include <algorithm>

#include "payload/name_rules.h"
#include "support/errors.h"

namespace vm {
namespace {

bool HasSoundSizes(const FilePrefix& prefix) {
  if (prefix.Size < 0 || prefix.StoredSize < 0) return false;
  return prefix.IsCompressed() || prefix.StoredSize == prefix.Size;
}

}  // namespace

FilePrefix ReadFilePrefix(FileStream& source, int64_t sessionEnd, LeadBytePredicate isLeadByte) {
  const std::string formatError = "File prefix format error on extract from " + source.Path();
  // A prefix that overlaps the trailer would be read from the trailer's own bytes.
  if (source.Position() + static_cast<int64_t>(kPrefixSize) > sessionEnd &&
      source.Position() + static_cast<int64_t>(kPrefixSize) <= source.Size())
    throw Exception(formatError);
  uint8_t block[kPrefixSize];
  source.ReadBuffer(block, sizeof block);
  FilePrefix prefix;
  if (IsValidPrefix(block)) prefix = DecodePrefix(block);
  if (!IsValidPrefix(block) || !HasSoundSizes(prefix)) throw Exception(formatError);
  if (!StaysInFolder(prefix.FileName, isLeadByte))
    throw Exception("Unsafe file name \"" + EscapeControlCharacters(prefix.FileName) +
                    "\" on extract from " + source.Path() + ": " +
                    FileNameProblem(prefix.FileName, isLeadByte).value_or("it leaves its folder"));
  const int64_t dataEnd = source.Position() + prefix.StoredSize;
  if (dataEnd > source.Size()) throw EStreamError("Stream read error");
  // Otherwise a raw file would be written with the trailer's bytes as its own.
  if (dataEnd > sessionEnd)
    throw Exception("File data run into the session trailer on extract from " + source.Path());
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
