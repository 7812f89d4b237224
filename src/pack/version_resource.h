#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm::pack {

// A version as VS_FIXEDFILEINFO holds it: four numbers, most significant first.
using VersionNumbers = std::array<uint16_t, 4>;

// What to change in a version resource (VS_VERSIONINFO).
struct VersionChanges {
  // Set in every string table, added where a table lacks the key; other strings stay.
  std::vector<std::pair<std::u16string, std::u16string>> Strings;
  std::optional<VersionNumbers> FileAndProductVersion;
};

// The resource with the changes made. Raises Exception naming origin when it is no
// VS_VERSIONINFO with a fixed part and a string table, or would grow past its 16-bit lengths.
std::string ChangeVersionResource(const std::string& resource, const VersionChanges& changes,
                                  const std::string& origin);

}  // namespace vm::pack
