#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/records.h"

namespace vmtest {

// Hand-made payload bytes for cases the writer refuses to produce: every field as given.
std::string PrefixBytes(const vm::FilePrefix& prefix);
std::string TrailerBytes(const vm::SessionTrailer& trailer);

// A zlib stream of `bytes` at the writer's level.
std::string Deflate(const std::string& bytes);

// A session of the given prefixes and data laid after `image`; the trailer's fields are computed
// unless the caller overrides them afterwards through `edit`.
struct RawFile {
  vm::FilePrefix Prefix;
  std::string Data;
};
std::string SessionBytes(const std::string& image, const std::string& name,
                         const std::vector<RawFile>& files);

// A prefix for `data` as the writer would describe it, stored raw or compressed by size.
RawFile StoredFile(const std::string& name, const std::string& data);

}  // namespace vmtest
