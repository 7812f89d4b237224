#include "payload/records.h"

#include <algorithm>
#include <cstring>

namespace vm {
namespace {

// Trailer layout.
constexpr size_t kTrailerStartOffset = 4;
constexpr size_t kTrailerDataLength = 8;
constexpr size_t kTrailerFileCount = 12;
constexpr size_t kTrailerTotalSize = 20;
constexpr size_t kTrailerBuilderText = 24;
constexpr size_t kTrailerSessionName = 88;
constexpr size_t kTrailerChecksum = 212;
constexpr size_t kTrailerTailMagic = 216;

// File prefix layout.
constexpr size_t kPrefixFileName = 4;
constexpr size_t kPrefixSourceFolder = 260;
constexpr size_t kPrefixGroupName = 516;
constexpr size_t kPrefixSizeField = 772;
constexpr size_t kPrefixStoredSize = 776;
constexpr size_t kPrefixLastWriteTime = 780;
constexpr size_t kPrefixChecksum = 788;
constexpr size_t kPrefixTailMagic = 792;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

int32_t GetInt(const uint8_t* p) { return static_cast<int32_t>(Get32(p)); }
void PutInt(uint8_t* p, int32_t v) { Put32(p, static_cast<uint32_t>(v)); }

// A length byte above the capacity would run into the next field; the text stops at the field.
std::string GetShortString(const uint8_t* field, size_t capacity) {
  size_t length = std::min<size_t>(field[0], capacity);
  return std::string(reinterpret_cast<const char*>(field + 1), length);
}

void PutShortString(uint8_t* field, size_t capacity, const std::string& text) {
  size_t length = std::min(text.size(), capacity);
  field[0] = static_cast<uint8_t>(length);
  std::memcpy(field + 1, text.data(), length);
}

bool IsFramed(const uint8_t* block, size_t checksumAt, size_t tailAt) {
  return Get32(block) == kHeadMagic && Get32(block + tailAt) == kTailMagic &&
         Get32(block + checksumAt) == PayloadChecksum(block, checksumAt);
}

void Frame(uint8_t* block, size_t checksumAt, size_t tailAt) {
  Put32(block, kHeadMagic);
  Put32(block + tailAt, kTailMagic);
  Put32(block + checksumAt, PayloadChecksum(block, checksumAt));
}

}  // namespace

uint32_t PayloadChecksum(const uint8_t* data, size_t size) {
  uint32_t h = 0;
  for (size_t i = 0; i < size; ++i) h = h * 3 + data[i];
  return h;
}

bool IsValidTrailer(const uint8_t* window) {
  return IsFramed(window, kTrailerChecksum, kTrailerTailMagic);
}

SessionTrailer DecodeTrailer(const uint8_t* window) {
  SessionTrailer t;
  t.StartOffset = GetInt(window + kTrailerStartOffset);
  t.DataLength = GetInt(window + kTrailerDataLength);
  t.FileCount = GetInt(window + kTrailerFileCount);
  t.TotalSize = GetInt(window + kTrailerTotalSize);
  t.BuilderText = GetShortString(window + kTrailerBuilderText, kMaxBuilderTextLength);
  t.SessionName = GetShortString(window + kTrailerSessionName, kMaxSessionNameLength);
  return t;
}

void EncodeTrailer(const SessionTrailer& trailer, uint8_t* out) {
  std::memset(out, 0, kTrailerSize);
  PutInt(out + kTrailerStartOffset, trailer.StartOffset);
  PutInt(out + kTrailerDataLength, trailer.DataLength);
  PutInt(out + kTrailerFileCount, trailer.FileCount);
  PutInt(out + kTrailerTotalSize, trailer.TotalSize);
  PutShortString(out + kTrailerBuilderText, kMaxBuilderTextLength, trailer.BuilderText);
  PutShortString(out + kTrailerSessionName, kMaxSessionNameLength, trailer.SessionName);
  Frame(out, kTrailerChecksum, kTrailerTailMagic);
}

bool IsValidPrefix(const uint8_t* block) {
  return IsFramed(block, kPrefixChecksum, kPrefixTailMagic);
}

FilePrefix DecodePrefix(const uint8_t* block) {
  FilePrefix p;
  p.FileName = GetShortString(block + kPrefixFileName, kMaxFileNameLength);
  p.SourceFolder = GetShortString(block + kPrefixSourceFolder, kMaxFileNameLength);
  p.GroupName = GetShortString(block + kPrefixGroupName, kMaxFileNameLength);
  p.Size = GetInt(block + kPrefixSizeField);
  p.StoredSize = GetInt(block + kPrefixStoredSize);
  p.LastWriteTime = static_cast<uint64_t>(Get32(block + kPrefixLastWriteTime)) |
                    static_cast<uint64_t>(Get32(block + kPrefixLastWriteTime + 4)) << 32;
  return p;
}

void EncodePrefix(const FilePrefix& prefix, uint8_t* out) {
  std::memset(out, 0, kPrefixSize);
  PutShortString(out + kPrefixFileName, kMaxFileNameLength, prefix.FileName);
  PutShortString(out + kPrefixSourceFolder, kMaxFileNameLength, prefix.SourceFolder);
  PutShortString(out + kPrefixGroupName, kMaxFileNameLength, prefix.GroupName);
  PutInt(out + kPrefixSizeField, prefix.Size);
  PutInt(out + kPrefixStoredSize, prefix.StoredSize);
  Put32(out + kPrefixLastWriteTime, static_cast<uint32_t>(prefix.LastWriteTime));
  Put32(out + kPrefixLastWriteTime + 4, static_cast<uint32_t>(prefix.LastWriteTime >> 32));
  Frame(out, kPrefixChecksum, kPrefixTailMagic);
}

bool IsBareFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace vm
