#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pack/resource_tree.h"

namespace vm::pack {

// A Windows program, PE32 or PE32+, read as far as replacing its resources needs.
class PeImage {
 public:
  // Raises Exception "<refusal><path>: <why>" for a file that is not a Windows program or whose
  // headers or resources are damaged; refusal says what the image was read for.
  PeImage(std::string bytes, std::string path,
          std::string refusal = "Cannot change the icon or version of ");

  bool IsPe32Plus() const { return pe32Plus_; }
  uint16_t Machine() const { return machine_; }  // the file header's IMAGE_FILE_MACHINE_*
  bool IsDll() const { return isDll_; }
  bool IsSigned() const { return signed_; }
  const ResourceTree& Resources() const { return resources_; }

  // The whole file with `resources` as its resource tree, in a new section after the last one,
  // so that nothing the program addresses moves. The old resource section stays where it is,
  // renamed. Raises Exception when the image is signed (the signature would not hold for new
  // resources) or its headers have no room for one more section.
  std::string WithResources(const ResourceTree& resources) const;

 private:
  struct Section {
    size_t HeaderAt;
    uint32_t VirtualSize, VirtualAddress, RawSize, RawAt;
  };

  [[noreturn]] void Refuse(const std::string& why) const;
  std::optional<std::string> BytesAt(uint32_t rva, uint32_t size) const;
  const Section* SectionHolding(uint32_t rva) const;
  size_t DirectoryAt(size_t index) const { return directoriesAt_ + index * 8; }

  std::string bytes_;
  std::string path_;
  std::string refusal_;
  bool pe32Plus_ = false;
  uint16_t machine_ = 0;
  bool isDll_ = false;
  bool signed_ = false;
  size_t fileHeaderAt_ = 0;
  size_t optionalHeaderAt_ = 0;
  size_t directoriesAt_ = 0;
  size_t sectionTableAt_ = 0;
  uint32_t sectionAlignment_ = 0;
  uint32_t fileAlignment_ = 0;
  uint32_t headersSize_ = 0;
  std::vector<Section> sections_;
  ResourceTree resources_;
};

// The optional header's checksum of a whole file, its own four bytes at checksumAt counted as 0.
uint32_t PeChecksum(const std::string& file, size_t checksumAt);

}  // namespace vm::pack
