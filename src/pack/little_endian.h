#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Little-endian fields of the Windows file formats that vmpack reads and writes (PE headers,
// resources, icons). Readers take a position that the caller has checked against the size.
namespace vm::pack {

inline uint32_t ReadLe(const std::string& bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

inline void PutLe(std::string& bytes, size_t at, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

inline void AppendLe(std::string& bytes, uint32_t value, size_t width) {
  bytes.resize(bytes.size() + width);
  PutLe(bytes, bytes.size() - width, value, width);
}

inline size_t AlignUp(size_t value, size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

}  // namespace vm::pack
