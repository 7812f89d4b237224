#include "payload/file_helpers_paths.h"

namespace vm {

std::string FolderOf(const std::string& path, LeadBytePredicate isLeadByte) {
  size_t end = 0;
  size_t i = 0;
  while (i < path.size()) {
    const bool doubleByte = isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size();
    if (!doubleByte && (path[i] == '\\' || path[i] == ':')) end = i + 1;
    i += doubleByte ? 2 : 1;
  }
  return path.substr(0, end);
}

std::string FileNameOf(const std::string& path, LeadBytePredicate isLeadByte) {
  return path.substr(FolderOf(path, isLeadByte).size());
}

std::string WithoutTrailingBackslash(const std::string& path, LeadBytePredicate isLeadByte) {
  return EndsWithChar(path, '\\', isLeadByte) ? path.substr(0, path.size() - 1) : path;
}

}  // namespace vm
