#include "pack/runner_check.h"

#include <algorithm>

#include "pack/pe_image.h"
#include "payload/session_lookup.h"
#include "resources/resource_names.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr uint32_t kDialogType = 5;      // RT_DIALOG
constexpr uint32_t kIconGroupType = 14;  // RT_GROUP_ICON
// The setup dialog's name in runner.rc; the Runner's code names it where it opens it.
constexpr char kSetupDialogName[] = "SETUP_DIALOG";

struct NamedResource {
  uint32_t Type;
  const char* Name;
  const char* What;
};

constexpr NamedResource kRunnerResources[] = {
    {kDialogType, kSetupDialogName, "dialog"},
    {kDialogType, kPasswordDialogName, "dialog"},
    {kIconGroupType, kMainIconName, "icon group"},
};

bool Holds(const ResourceTree& tree, const NamedResource& resource) {
  const std::string name = resource.Name;
  auto type = tree.find(ResourceId::Of(resource.Type));
  return type != tree.end() &&
         type->second.count(ResourceId::Named(std::u16string(name.begin(), name.end()))) != 0;
}

// The Runner's own bytes end where its oldest session starts; a file without sessions is all
// Runner.
int64_t RunnerBytesEnd(FileStream& base) {
  int64_t end = base.Size();
  for (const TrailerAt& session : ListSessions(base, true))
    end = std::min<int64_t>(end, session.Trailer.StartOffset);
  return end;
}

}  // namespace

uint16_t CheckRunner(FileStream& base) {
  const std::string refusal = "Not a Runner of Vardel Mossant (runner.exe): ";
  std::string bytes(static_cast<size_t>(RunnerBytesEnd(base)), '\0');
  base.Seek(0);
  base.ReadBuffer(bytes.data(), bytes.size());
  const PeImage image(std::move(bytes), base.Path(), refusal);
  if (image.IsDll()) throw Exception(refusal + base.Path() + ": it is a DLL, not a program");
  for (const NamedResource& resource : kRunnerResources) {
    if (!Holds(image.Resources(), resource))
      throw Exception(refusal + base.Path() + ": it has no " + resource.What + " \"" +
                      resource.Name + "\", which the Runner loads");
  }
  return image.Machine();
}

}  // namespace vm::pack
