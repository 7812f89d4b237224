#include "pack/version_resource.h"

#include <algorithm>

#include "pack/little_endian.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

// Every block of a VS_VERSIONINFO has the same shape: its length, its value's length, its type,
// a NUL-terminated UTF-16 key, then the value and the child blocks, each on a 4-byte boundary.
struct Block {
  std::u16string Key;
  uint16_t Type = 0;
  std::string Value;
  std::vector<Block> Children;
};

constexpr size_t kBlockHeaderSize = 6;
constexpr size_t kBlockAlignment = 4;
constexpr uint16_t kTextType = 1;
constexpr size_t kMaxBlockLength = 0xFFFF;
constexpr size_t kFixedInfoSize = 52;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFileVersionAt = 8;
constexpr size_t kProductVersionAt = 16;
constexpr char16_t kStringFileInfo[] = u"StringFileInfo";

std::optional<Block> ReadBlock(const std::string& bytes, size_t at, size_t end) {
  if (at + kBlockHeaderSize > end) return std::nullopt;
  const size_t length = ReadLe(bytes, at, 2);
  if (length < kBlockHeaderSize || at + length > end) return std::nullopt;
  const size_t blockEnd = at + length;
  Block block;
  const size_t valueLength = ReadLe(bytes, at + 2, 2);
  block.Type = static_cast<uint16_t>(ReadLe(bytes, at + 4, 2));
  size_t p = at + kBlockHeaderSize;
  for (;; p += 2) {
    if (p + 2 > blockEnd) return std::nullopt;
    const char16_t c = static_cast<char16_t>(ReadLe(bytes, p, 2));
    if (c == 0) break;
    block.Key.push_back(c);
  }
  p = AlignUp(p + 2, kBlockAlignment);
  // Text values count UTF-16 units, binary ones bytes. Some compilers count a text's bytes,
  // so a value is cut at its block's end rather than refused.
  const size_t valueSize = block.Type == kTextType ? valueLength * 2 : valueLength;
  if (p > blockEnd && valueSize > 0) return std::nullopt;
  const size_t valueEnd = std::min(p + valueSize, blockEnd);
  if (valueSize > 0) block.Value = bytes.substr(p, valueEnd - p);
  for (p = AlignUp(valueEnd, kBlockAlignment); p < blockEnd;) {
    std::optional<Block> child = ReadBlock(bytes, p, blockEnd);
    if (!child) return std::nullopt;
    p = AlignUp(p + ReadLe(bytes, p, 2), kBlockAlignment);
    block.Children.push_back(std::move(*child));
  }
  return block;
}

// False when a block would be longer than its 16-bit length can say.
bool WriteBlock(const Block& block, std::string& out) {
  out.resize(AlignUp(out.size(), kBlockAlignment), '\0');
  const size_t at = out.size();
  AppendLe(out, 0, 2);
  AppendLe(out, static_cast<uint32_t>(block.Type == kTextType ? block.Value.size() / 2
                                                               : block.Value.size()), 2);
  AppendLe(out, block.Type, 2);
  for (char16_t c : block.Key) AppendLe(out, c, 2);
  AppendLe(out, 0, 2);
  out.resize(AlignUp(out.size(), kBlockAlignment), '\0');
  out += block.Value;
  for (const Block& child : block.Children)
    if (!WriteBlock(child, out)) return false;
  if (out.size() - at > kMaxBlockLength) return false;
  PutLe(out, at, static_cast<uint32_t>(out.size() - at), 2);
  return true;
}

std::string TextValue(const std::u16string& text) {
  std::string value;
  for (char16_t c : text) AppendLe(value, c, 2);
  AppendLe(value, 0, 2);
  return value;
}

void SetString(Block& table, const std::u16string& key, const std::u16string& text) {
  for (Block& string : table.Children) {
    if (string.Key == key) {
      string.Type = kTextType;
      string.Value = TextValue(text);
      return;
    }
  }
  table.Children.push_back({key, kTextType, TextValue(text), {}});
}

void SetVersion(std::string& fixedInfo, size_t at, const VersionNumbers& version) {
  PutLe(fixedInfo, at, static_cast<uint32_t>(version[0]) << 16 | version[1], 4);
  PutLe(fixedInfo, at + 4, static_cast<uint32_t>(version[2]) << 16 | version[3], 4);
}

}  // namespace

std::string ChangeVersionResource(const std::string& resource, const VersionChanges& changes,
                                  const std::string& origin) {
  std::optional<Block> root = ReadBlock(resource, 0, resource.size());
  if (!root || root->Value.size() < kFixedInfoSize ||
      ReadLe(root->Value, 0, 4) != kFixedInfoSignature)
    throw Exception("The version information of " + origin +
                    " is damaged: it is no VS_VERSIONINFO with a VS_FIXEDFILEINFO");
  std::vector<Block*> tables;
  for (Block& child : root->Children)
    if (child.Key == kStringFileInfo)
      for (Block& table : child.Children) tables.push_back(&table);
  if (tables.empty() && !changes.Strings.empty())
    throw Exception("The version information of " + origin + " has no string table to change");

  for (Block* table : tables)
    for (const auto& [key, text] : changes.Strings) SetString(*table, key, text);
  if (changes.FileAndProductVersion) {
    SetVersion(root->Value, kFileVersionAt, *changes.FileAndProductVersion);
    SetVersion(root->Value, kProductVersionAt, *changes.FileAndProductVersion);
  }
  std::string out;
  if (!WriteBlock(*root, out))
    throw Exception("The version information of " + origin + " would be longer than " +
                    std::to_string(kMaxBlockLength) + " bytes with these texts");
  return out;
}

}  // namespace vm::pack
