#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vm {

// Every trailer and file prefix starts with the head magic and ends with the tail magic.
constexpr uint32_t kHeadMagic = 0x6A4A61A3;
constexpr uint32_t kTailMagic = 0x8CF9BF0D;

constexpr size_t kTrailerSize = 220;
constexpr size_t kPrefixSize = 796;

// Files of this size and larger are stored as one zlib stream; smaller ones as they are.
constexpr int32_t kCompressThreshold = 109;

// Capacities of the short-string fields.
constexpr size_t kMaxSessionNameLength = 63;
constexpr size_t kMaxBuilderTextLength = 63;
constexpr size_t kMaxFileNameLength = 255;

struct SessionTrailer {
  int32_t StartOffset = 0;  // offset of the session's first file prefix
  int32_t DataLength = 0;   // bytes from StartOffset up to the trailer
  int32_t FileCount = 0;
  int32_t TotalSize = 0;  // sum of the files' uncompressed sizes
  std::string BuilderText;
  std::string SessionName;
};

struct FilePrefix {
  std::string FileName;
  std::string SourceFolder;
  std::string GroupName;
  int32_t Size = 0;        // uncompressed
  int32_t StoredSize = 0;  // data bytes that follow the prefix
  uint64_t LastWriteTime = 0;  // FILETIME: 100 ns intervals since 1601-01-01 UTC

  bool IsCompressed() const { return Size >= kCompressThreshold; }
};

// h := h * 3 + byte, over the range, modulo 2^32.
uint32_t PayloadChecksum(const uint8_t* data, size_t size);

// Magics and checksum of a 220-byte window.
bool IsValidTrailer(const uint8_t* window);
SessionTrailer DecodeTrailer(const uint8_t* window);
// Writes all 220 bytes: padding zeroed, checksum computed last.
void EncodeTrailer(const SessionTrailer& trailer, uint8_t* out);

// Magics and checksum of a 796-byte block.
bool IsValidPrefix(const uint8_t* block);
FilePrefix DecodePrefix(const uint8_t* block);
void EncodePrefix(const FilePrefix& prefix, uint8_t* out);

// A name that can only land inside the folder it is written to: not empty, not "." or "..",
// and without "\", "/" or ":".
bool IsBareFileName(const std::string& name);

}  // namespace vm
