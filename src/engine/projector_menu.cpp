#include "engine/projector_menu.h"

namespace vm {
namespace {

const char* const kViewMenuTexts[] = {"&View", "&Ansicht", "&Exibir"};
const char* const kFullScreenPrefixes[] = {"Full &Screen", "&Vollbild", "&Tela Inteirathen"};

// Case matters, as the projector's own texts are compared.
bool StartsWith(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix)
    if (*text != *prefix) return false;
  return true;
}

bool Equals(const char* text, const char* other) {
  for (; *text == *other; ++text, ++other)
    if (*text == '\0') return true;
  return false;
}

}  // namespace

bool IsViewMenuText(const char* text) {
  for (const char* view : kViewMenuTexts)
    if (Equals(text, view)) return true;
  return false;
}

bool IsFullScreenItemText(const char* text) {
  for (const char* prefix : kFullScreenPrefixes)
    if (StartsWith(text, prefix)) return true;
  return false;
}

}  // namespace vm
