#pragma once

#include <string>
#include <vector>

#include "pack/icon_file.h"
#include "pack/resource_tree.h"

namespace vm::pack {

constexpr uint32_t kIconType = 3;        // RT_ICON
constexpr uint32_t kIconGroupType = 14;  // RT_GROUP_ICON

// Makes the icon group `group` hold `images`: they become RT_ICON resources of their own, with
// ids no other icon uses, in the group's language; the icons only the old group used go. Raises
// Exception naming origin when the tree has no such group, or its group data is damaged.
void ReplaceIconGroup(ResourceTree& tree, const ResourceId& group,
                      const std::vector<IconImage>& images, const std::string& origin);

}  // namespace vm::pack
