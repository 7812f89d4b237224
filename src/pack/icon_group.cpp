#include "pack/icon_group.h"

#include <set>

#include "pack/little_endian.h"
#include "pack/utf8.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

// GRPICONDIR: reserved, type 1, count; then one GRPICONDIRENTRY per image, which is the .ico
// directory entry with the image's resource id in place of its file offset.
constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kIdAt = 12;
constexpr uint32_t kGroupIconKind = 1;
constexpr uint32_t kMaxIconId = 0xFFFF;  // the group keeps ids in 16 bits

std::string GroupName(const ResourceId& group) {
  std::u32string name(group.Name.begin(), group.Name.end());
  return EncodeUtf8(name);
}

// The icon ids a group lists; none when its data is no group.
std::optional<std::set<uint32_t>> IdsOf(const std::string& group) {
  if (group.size() < kGroupHeaderSize || ReadLe(group, 2, 2) != kGroupIconKind)
    return std::nullopt;
  const size_t count = ReadLe(group, 4, 2);
  if (group.size() < kGroupHeaderSize + count * kGroupEntrySize) return std::nullopt;
  std::set<uint32_t> ids;
  for (size_t i = 0; i < count; ++i)
    ids.insert(ReadLe(group, kGroupHeaderSize + i * kGroupEntrySize + kIdAt, 2));
  return ids;
}

std::string GroupData(const std::vector<IconImage>& images, const std::vector<uint32_t>& ids) {
  std::string data;
  AppendLe(data, 0, 2);
  AppendLe(data, kGroupIconKind, 2);
  AppendLe(data, static_cast<uint32_t>(images.size()), 2);
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    data += static_cast<char>(image.Width);
    data += static_cast<char>(image.Height);
    data += static_cast<char>(image.ColorCount);
    data += static_cast<char>(image.Reserved);
    AppendLe(data, image.Planes, 2);
    AppendLe(data, image.BitCount, 2);
    AppendLe(data, static_cast<uint32_t>(image.Bytes.size()), 4);
    AppendLe(data, ids[i], 2);
  }
  return data;
}

}  // namespace

void ReplaceIconGroup(ResourceTree& tree, const ResourceId& group,
                      const std::vector<IconImage>& images, const std::string& origin) {
  ResourceNames& groups = tree[ResourceId::Of(kIconGroupType)];
  auto found = groups.find(group);
  if (found == groups.end() || found->second.empty())
    throw Exception(origin + " has no icon group " + GroupName(group) + " to replace");

  std::set<uint32_t> oldIds;
  for (const auto& [language, data] : found->second) {
    std::optional<std::set<uint32_t>> ids = IdsOf(data.Bytes);
    if (!ids)
      throw Exception("The icon group " + GroupName(group) + " of " + origin + " is damaged");
    oldIds.insert(ids->begin(), ids->end());
  }
  const ResourceId language = found->second.begin()->first;
  const uint32_t codePage = found->second.begin()->second.CodePage;
  groups.erase(found);
  for (const auto& [name, languages] : groups)
    for (const auto& [other, data] : languages)
      if (std::optional<std::set<uint32_t>> ids = IdsOf(data.Bytes))
        for (uint32_t id : *ids) oldIds.erase(id);

  ResourceNames& icons = tree[ResourceId::Of(kIconType)];
  for (uint32_t id : oldIds) icons.erase(ResourceId::Of(id));
  std::vector<uint32_t> newIds;
  for (uint32_t id = 1; newIds.size() < images.size(); ++id) {
    if (id > kMaxIconId)
      throw Exception(origin + " has no free icon ids left for " + std::to_string(images.size()) +
                      " images");
    if (icons.count(ResourceId::Of(id)) == 0) newIds.push_back(id);
  }
  for (size_t i = 0; i < images.size(); ++i)
    icons[ResourceId::Of(newIds[i])][language] = {images[i].Bytes, codePage};
  groups[group][language] = {GroupData(images, newIds), codePage};
}

}  // namespace vm::pack
