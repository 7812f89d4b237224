#include "pack/pe_image.h"

#include <algorithm>

#include "pack/little_endian.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kNewHeaderPointerAt = 0x3C;
constexpr char kPeSignature[] = "PE\0\0";
constexpr size_t kSignatureSize = 4;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr uint32_t kPe32Magic = 0x10B;
constexpr uint32_t kPe32PlusMagic = 0x20B;
constexpr size_t kResourceDirectory = 2;
constexpr size_t kSecurityDirectory = 4;

// Offsets in the file header and the optional header (the same for PE32 and PE32+ up to the
// data directories).
constexpr size_t kMachineAt = 0;
constexpr size_t kSectionCountAt = 2;
constexpr size_t kSymbolTablePointerAt = 8;
constexpr size_t kOptionalHeaderSizeAt = 16;
constexpr size_t kCharacteristicsAt = 18;
constexpr uint32_t kDllCharacteristic = 0x2000;  // IMAGE_FILE_DLL
constexpr size_t kInitializedDataSizeAt = 8;
constexpr size_t kSectionAlignmentAt = 32;
constexpr size_t kFileAlignmentAt = 36;
constexpr size_t kImageSizeAt = 56;
constexpr size_t kHeadersSizeAt = 60;
constexpr size_t kChecksumAt = 64;
constexpr size_t kPe32DirectoryCountAt = 92;
constexpr size_t kPe32PlusDirectoryCountAt = 108;

constexpr char kResourceSectionName[] = ".rsrc";
// The old resource section keeps its bytes but not its name, so that a tool looking for the
// resources by section name finds the ones the data directory points to.
constexpr char kOldResourceSectionName[] = ".oldrsrc";
constexpr size_t kSectionNameSize = 8;
constexpr uint32_t kResourceSectionCharacteristics = 0x40000040;  // initialized data, readable

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

PeImage::PeImage(std::string bytes, std::string path, std::string refusal)
    : bytes_(std::move(bytes)), path_(std::move(path)), refusal_(std::move(refusal)) {
  if (bytes_.size() < kDosHeaderSize || bytes_.compare(0, 2, "MZ") != 0)
    Refuse("it has no MZ and PE headers");
  const size_t peAt = ReadLe(bytes_, kNewHeaderPointerAt, 4);
  if (peAt > bytes_.size() - kSignatureSize - kFileHeaderSize ||
      bytes_.compare(peAt, kSignatureSize, kPeSignature, kSignatureSize) != 0)
    Refuse("it has no MZ and PE headers");
  fileHeaderAt_ = peAt + kSignatureSize;
  optionalHeaderAt_ = fileHeaderAt_ + kFileHeaderSize;
  const size_t optionalSize = ReadLe(bytes_, fileHeaderAt_ + kOptionalHeaderSizeAt, 2);
  sectionTableAt_ = optionalHeaderAt_ + optionalSize;
  const size_t sectionCount = ReadLe(bytes_, fileHeaderAt_ + kSectionCountAt, 2);
  machine_ = static_cast<uint16_t>(ReadLe(bytes_, fileHeaderAt_ + kMachineAt, 2));
  isDll_ = (ReadLe(bytes_, fileHeaderAt_ + kCharacteristicsAt, 2) & kDllCharacteristic) != 0;
  if (sectionTableAt_ + sectionCount * kSectionHeaderSize > bytes_.size() || optionalSize < 2)
    Refuse("its headers are cut short");

  const uint32_t magic = ReadLe(bytes_, optionalHeaderAt_, 2);
  if (magic != kPe32Magic && magic != kPe32PlusMagic)
    Refuse("it is neither PE32 nor PE32+");
  pe32Plus_ = magic == kPe32PlusMagic;
  const size_t countAt =
      optionalHeaderAt_ + (pe32Plus_ ? kPe32PlusDirectoryCountAt : kPe32DirectoryCountAt);
  directoriesAt_ = countAt + 4;
  if (countAt + 4 > sectionTableAt_ || ReadLe(bytes_, countAt, 4) <= kSecurityDirectory ||
      DirectoryAt(kSecurityDirectory + 1) > sectionTableAt_)
    Refuse("its optional header is too short");
  sectionAlignment_ = ReadLe(bytes_, optionalHeaderAt_ + kSectionAlignmentAt, 4);
  fileAlignment_ = ReadLe(bytes_, optionalHeaderAt_ + kFileAlignmentAt, 4);
  headersSize_ = ReadLe(bytes_, optionalHeaderAt_ + kHeadersSizeAt, 4);
  if (!IsPowerOfTwo(sectionAlignment_) || !IsPowerOfTwo(fileAlignment_))
    Refuse("its section or file alignment is not a power of two");

  for (size_t i = 0; i < sectionCount; ++i) {
    const size_t at = sectionTableAt_ + i * kSectionHeaderSize;
    sections_.push_back({at, ReadLe(bytes_, at + 8, 4), ReadLe(bytes_, at + 12, 4),
                         ReadLe(bytes_, at + 16, 4), ReadLe(bytes_, at + 20, 4)});
  }
  signed_ = ReadLe(bytes_, DirectoryAt(kSecurityDirectory) + 4, 4) != 0;

  const uint32_t resourceRva = ReadLe(bytes_, DirectoryAt(kResourceDirectory), 4);
  const uint32_t resourceSize = ReadLe(bytes_, DirectoryAt(kResourceDirectory) + 4, 4);
  if (resourceSize == 0) return;
  std::optional<ResourceTree> tree = ReadResourceTree(
      [this](uint32_t rva, uint32_t size) { return BytesAt(rva, size); }, resourceRva,
      resourceSize);
  if (!tree) Refuse("its resources are damaged");
  resources_ = std::move(*tree);
}

void PeImage::Refuse(const std::string& why) const {
  throw Exception(refusal_ + path_ + ": " + why);
}

const PeImage::Section* PeImage::SectionHolding(uint32_t rva) const {
  for (const Section& s : sections_)
    if (rva >= s.VirtualAddress && rva - s.VirtualAddress < std::max(s.VirtualSize, s.RawSize))
      return &s;
  return nullptr;
}

std::optional<std::string> PeImage::BytesAt(uint32_t rva, uint32_t size) const {
  const Section* s = SectionHolding(rva);
  if (s == nullptr) return std::nullopt;
  const uint64_t offset = rva - s->VirtualAddress;
  if (offset + size > s->RawSize || uint64_t{s->RawAt} + offset + size > bytes_.size())
    return std::nullopt;
  return bytes_.substr(s->RawAt + offset, size);
}

// The new section's bytes follow the last section's, where the image's bytes end; what the file
// holds after them (the linker's symbol table in a build that is not stripped) moves behind it.
// Its bytes so stay within the image's virtual size, which tools that lay the file out by virtual
// address (wrestool) require.
std::string PeImage::WithResources(const ResourceTree& resources) const {
  if (signed_)
    Refuse("it is signed, and its signature would not hold for a new icon or version; build "
           "from the unsigned Runner and sign the built program");
  const size_t newHeaderAt = sectionTableAt_ + sections_.size() * kSectionHeaderSize;
  size_t firstRawAt = headersSize_;
  size_t rawEnd = headersSize_;
  uint64_t virtualEnd = 0;
  for (const Section& s : sections_) {
    if (s.RawSize != 0) {
      firstRawAt = std::min<size_t>(firstRawAt, s.RawAt);
      rawEnd = std::max<size_t>(rawEnd, uint64_t{s.RawAt} + s.RawSize);
    }
    const uint32_t size = s.VirtualSize != 0 ? s.VirtualSize : s.RawSize;
    virtualEnd = std::max<uint64_t>(virtualEnd, uint64_t{s.VirtualAddress} + size);
  }
  if (rawEnd > bytes_.size()) Refuse("its sections reach past the end of the file");
  // The room after the section table is the headers' padding only when it is all zeros.
  if (newHeaderAt + kSectionHeaderSize > firstRawAt ||
      bytes_.find_first_not_of('\0', newHeaderAt) < newHeaderAt + kSectionHeaderSize)
    Refuse("its headers have no room for one more section");

  const uint32_t sectionRva = static_cast<uint32_t>(AlignUp(virtualEnd, sectionAlignment_));
  const std::string section = WriteResourceTree(resources, sectionRva);
  const size_t rawAt = AlignUp(rawEnd, fileAlignment_);
  const size_t rawSize = AlignUp(section.size(), fileAlignment_);

  std::string out = bytes_.substr(0, rawEnd);
  for (const Section& s : sections_) {
    if (s.VirtualAddress == ReadLe(bytes_, DirectoryAt(kResourceDirectory), 4) &&
        out.compare(s.HeaderAt, sizeof kResourceSectionName, kResourceSectionName,
                    sizeof kResourceSectionName) == 0)
      out.replace(s.HeaderAt, kSectionNameSize, kOldResourceSectionName, kSectionNameSize);
  }
  out.replace(newHeaderAt, sizeof kResourceSectionName - 1, kResourceSectionName);
  PutLe(out, newHeaderAt + 8, static_cast<uint32_t>(section.size()), 4);
  PutLe(out, newHeaderAt + 12, sectionRva, 4);
  PutLe(out, newHeaderAt + 16, static_cast<uint32_t>(rawSize), 4);
  PutLe(out, newHeaderAt + 20, static_cast<uint32_t>(rawAt), 4);
  PutLe(out, newHeaderAt + 36, kResourceSectionCharacteristics, 4);
  PutLe(out, fileHeaderAt_ + kSectionCountAt, static_cast<uint32_t>(sections_.size() + 1), 2);
  const size_t symbolsAt = fileHeaderAt_ + kSymbolTablePointerAt;
  const uint32_t symbols = ReadLe(out, symbolsAt, 4);
  if (symbols >= rawEnd)
    PutLe(out, symbolsAt, symbols + static_cast<uint32_t>(rawAt + rawSize - rawEnd), 4);
  const size_t initializedAt = optionalHeaderAt_ + kInitializedDataSizeAt;
  PutLe(out, initializedAt, ReadLe(out, initializedAt, 4) + static_cast<uint32_t>(rawSize), 4);
  PutLe(out, optionalHeaderAt_ + kImageSizeAt,
        sectionRva + static_cast<uint32_t>(AlignUp(section.size(), sectionAlignment_)), 4);
  PutLe(out, DirectoryAt(kResourceDirectory), sectionRva, 4);
  PutLe(out, DirectoryAt(kResourceDirectory) + 4, static_cast<uint32_t>(section.size()), 4);

  out.resize(rawAt, '\0');
  out += section;
  out.resize(rawAt + rawSize, '\0');
  out += bytes_.substr(rawEnd);
  // The linker gave the Runner the checksum of its image; the changed image gets its own. The
  // payload appended later is outside it, as it always was, and signing computes it anew.
  const size_t checksumAt = optionalHeaderAt_ + kChecksumAt;
  PutLe(out, checksumAt, PeChecksum(out, checksumAt), 4);
  return out;
}

uint32_t PeChecksum(const std::string& file, size_t checksumAt) {
  auto byteAt = [&](size_t at) -> uint32_t {
    if (at >= file.size() || (at >= checksumAt && at < checksumAt + 4)) return 0;
    return static_cast<unsigned char>(file[at]);
  };
  uint64_t sum = 0;
  for (size_t at = 0; at < file.size(); at += 2) {
    sum += byteAt(at) | byteAt(at + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

}  // namespace vm::pack
