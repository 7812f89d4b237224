#include "pack/program_identity.h"

#include "pack/icon_group.h"
#include "pack/pe_image.h"
#include "resources/resource_names.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr uint32_t kVersionType = 16;  // RT_VERSION
constexpr uint32_t kVersionId = 1;

std::u16string MainIconName() {
  const std::string name = kMainIconName;
  return std::u16string(name.begin(), name.end());
}

void ChangeVersion(ResourceTree& tree, const VersionChanges& changes, const std::string& path) {
  ResourceLanguages& versions = tree[ResourceId::Of(kVersionType)][ResourceId::Of(kVersionId)];
  if (versions.empty())
    throw Exception(path + " has no version information (RT_VERSION " +
                    std::to_string(kVersionId) + ") to change");
  for (auto& [language, data] : versions)
    data.Bytes = ChangeVersionResource(data.Bytes, changes, path);
}

}  // namespace

std::string WithIdentity(std::string runner, const std::string& path,
                         const ProgramIdentity& identity) {
  const PeImage image(std::move(runner), path);
  ResourceTree tree = image.Resources();
  if (identity.Icon)
    ReplaceIconGroup(tree, ResourceId::Named(MainIconName()), *identity.Icon, path);
  if (!identity.Version.Strings.empty() || identity.Version.FileAndProductVersion)
    ChangeVersion(tree, identity.Version, path);
  return image.WithResources(tree);
}

}  // namespace vm::pack
