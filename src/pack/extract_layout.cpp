#include "pack/extract_layout.h"

#include "commands/file_names.h"
#include "commands/group_names.h"

namespace vm::pack {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The second byte of a double-byte character is never taken for a separator. One trailing
// separator is dropped, as the Runner drops it.
std::string WithDelimiter(const std::string& group, char delimiter, LeadBytePredicate isLeadByte) {
  std::string folder;
  bool endsWithSeparator = false;
  for (size_t i = 0; i < group.size(); ++i) {
    const char c = group[i];
    endsWithSeparator = false;
    if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < group.size()) {
      folder += c;
      folder += group[++i];
    } else if (IsSeparator(c)) {
      folder += delimiter;
      endsWithSeparator = true;
    } else {
      folder += c;
    }
  }
  if (endsWithSeparator) folder.pop_back();
  return folder;
}

}  // namespace

std::string GroupFolder(const std::string& group, LeadBytePredicate isLeadByte) {
  const GroupKind kind = KindOfGroup(group);
  if (kind != GroupKind::Folder) return "";
  return WithDelimiter(group, kPathDelimiter, isLeadByte);
}

std::string DestinationKey(const std::string& group, const std::string& fileName,
                           LeadBytePredicate isLeadByte) {
  const std::string folder =
      KindOfGroup(group) == GroupKind::Folder ? WithDelimiter(group, '\\', isLeadByte) : "";
  return LowerAsciiLetters(folder) + '\0' + LowerAsciiLetters(fileName);
}

}  // namespace vm::pack
