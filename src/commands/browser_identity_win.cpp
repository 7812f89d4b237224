#include "commands/browser_identity_win.h"

#include <string>

#include "support/registry_win.h"
#include "support/trace.h"
#include "support/win_handles.h"

namespace vm {
namespace {

constexpr char kOpenCommandKey[] = "\\shell\\open\\command";
constexpr char kDdeApplicationKey[] = "\\shell\\open\\ddeexec\\Application";
constexpr char kDdeTopicKey[] = "\\shell\\open\\ddeexec\\Topic";

// The default value of root\path, when the key exists and holds a string there.
bool ReadDefaultValue(HKEY root, const std::string& path, std::string& text) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
  const UniqueKey key(raw);
  const RegistryRead read = RegReadString(key.get(), "", text);
  if (read == RegistryRead::WrongType) Trace("browser: the default value of ", path, " is not a string");
  return read == RegistryRead::Found;
}

void ReadField(HKEY root, const std::string& path, SharedBlock& block, StringField field) {
  std::string text;
  if (ReadDefaultValue(root, path, text)) block.Set(field, text);
}

}  // namespace

void ReadBrowserIdentity(HKEY classesRoot, SharedBlock& block) {
  block.Set(kBlockDdeApplication, std::string());
  block.Set(kBlockDdeTopic, std::string());
  std::string pageClass;
  ReadDefaultValue(classesRoot, ".htm", pageClass);
  ReadDefaultValue(classesRoot, ".html", pageClass);
  Trace("browser: web pages open with class \"", pageClass, "\"");
  if (pageClass.empty()) return;
  ReadField(classesRoot, pageClass + kOpenCommandKey, block, kBlockBrowserCommand);
  ReadField(classesRoot, pageClass + kDdeApplicationKey, block, kBlockDdeApplication);
  ReadField(classesRoot, pageClass + kDdeTopicKey, block, kBlockDdeTopic);
  Trace("browser: application \"", block.Get(kBlockDdeApplication), "\", topic \"", block.Get(kBlockDdeTopic), "\"");
}

}  // namespace vm
