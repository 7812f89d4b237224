#pragma once

#include <cstdint>

// Which item of the projector's menu bar switches it to full screen. The Runner walks the menu
// from its own process and the hook library walks it inside the projector's, where it can be
// read when the Runner cannot (under Wine); both decide with this code, which carries no runtime.
namespace vm {

// Used when no full-screen item was found in the menu.
constexpr uint32_t kDefaultFullScreenCommand = 20048;

// The projector's view menu in the languages it ships in: "&View", "&Ansicht", "&Exibir".
bool IsViewMenuText(const char* text);
// Its full-screen item, which may carry a tab and a shortcut after the name.
bool IsFullScreenItemText(const char* text);

constexpr int kMenuTextCapacity = 100;

// A text item as a menu reader gives it; longer texts come cut to the capacity.
template <typename Menu>
struct MenuTextItem {
  uint32_t Id = 0;
  Menu SubMenu{};
  char Text[kMenuTextCapacity];
  MenuTextItem() { Text[0] = '\0'; }
};

struct FullScreenSearch {
  bool MenuRead = false;  // false: the menu bar itself could not be read
  uint32_t Command = kDefaultFullScreenCommand;
};

// Walks the first view menu of the bar, and only that one: its first full-screen item gives the
// command; an id of 0 counts as none. The reader answers Count(menu), the number of items or a
// negative number when the menu cannot be read, and ReadTextItem(menu, position, item), false for
// an item that cannot be read or is not a text item.
template <typename Reader, typename Menu>
FullScreenSearch FindFullScreenItem(const Reader& reader, Menu bar) {
  FullScreenSearch search;
  const int count = reader.Count(bar);
  if (count < 0) return search;
  search.MenuRead = true;
  for (int i = 0; i < count; ++i) {
    MenuTextItem<Menu> view;
    if (!reader.ReadTextItem(bar, i, view) || !IsViewMenuText(view.Text)) continue;
    const int items = reader.Count(view.SubMenu);
    for (int j = 0; j < items; ++j) {
      MenuTextItem<Menu> item;
      if (!reader.ReadTextItem(view.SubMenu, j, item) || !IsFullScreenItemText(item.Text)) continue;
      if (item.Id != 0) search.Command = item.Id;
      break;
    }
    break;
  }
  return search;
}

}  // namespace vm
