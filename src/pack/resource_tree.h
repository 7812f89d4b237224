#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace vm::pack {

// A resource's type, name or language, as the resource directory keeps it: a number, or a name
// in UTF-16.
struct ResourceId {
  std::u16string Name;  // empty for a number
  uint32_t Number = 0;

  static ResourceId Of(uint32_t number) { return {u"", number}; }
  static ResourceId Named(std::u16string name) { return {std::move(name), 0}; }
  bool IsName() const { return !Name.empty(); }
  // The directory's order: names first, by code unit, then numbers.
  bool operator<(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const;
};

struct ResourceData {
  std::string Bytes;
  uint32_t CodePage = 0;

  bool operator==(const ResourceData& other) const {
    return Bytes == other.Bytes && CodePage == other.CodePage;
  }
};

// Type, then name, then language, as in the image.
using ResourceLanguages = std::map<ResourceId, ResourceData>;
using ResourceNames = std::map<ResourceId, ResourceLanguages>;
using ResourceTree = std::map<ResourceId, ResourceNames>;

// The image's bytes at a virtual address, or none when they are not all in the file.
using ImageReader = std::function<std::optional<std::string>(uint32_t rva, uint32_t size)>;

// The tree whose directory lies at rootRva, over directorySize bytes. None when it is damaged:
// an offset outside the directory, data outside the image, more than three levels.
std::optional<ResourceTree> ReadResourceTree(const ImageReader& image, uint32_t rootRva,
                                             uint32_t directorySize);

// The tree as a resource section placed at sectionRva: the directories, their names, the data
// entries, then the data, each piece aligned as the loader expects.
std::string WriteResourceTree(const ResourceTree& tree, uint32_t sectionRva);

}  // namespace vm::pack
