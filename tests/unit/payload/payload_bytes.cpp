#include "unit/payload/payload_bytes.h"

#include <zlib.h>

#include <stdexcept>

namespace vmtest {

std::string PrefixBytes(const vm::FilePrefix& prefix) {
  std::string bytes(vm::kPrefixSize, '\0');
  vm::EncodePrefix(prefix, reinterpret_cast<uint8_t*>(&bytes[0]));
  return bytes;
}

std::string TrailerBytes(const vm::SessionTrailer& trailer) {
  std::string bytes(vm::kTrailerSize, '\0');
  vm::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&bytes[0]));
  return bytes;
}

std::string Deflate(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

std::string SessionBytes(const std::string& image, const std::string& name,
                         const std::vector<RawFile>& files) {
  std::string out = image;
  vm::SessionTrailer trailer;
  trailer.StartOffset = static_cast<int32_t>(out.size());
  trailer.SessionName = name;
  for (const auto& f : files) {
    out += PrefixBytes(f.Prefix) + f.Data;
    trailer.FileCount += 1;
    trailer.TotalSize += f.Prefix.Size;
  }
  trailer.DataLength = static_cast<int32_t>(out.size()) - trailer.StartOffset;
  return out + TrailerBytes(trailer);
}

RawFile StoredFile(const std::string& name, const std::string& data) {
  RawFile f;
  f.Prefix.FileName = name;
  f.Prefix.Size = static_cast<int32_t>(data.size());
  f.Prefix.LastWriteTime = 132000000000000000ULL;
  f.Data = f.Prefix.IsCompressed() ? Deflate(data) : data;
  f.Prefix.StoredSize = static_cast<int32_t>(f.Data.size());
  return f;
}

}  // namespace vmtest
