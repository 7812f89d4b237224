#include "engine/projector_menu_win.h"

#include <string>

#include "engine/projector_rules.h"

namespace vm {
namespace {

constexpr UINT kMenuTextCapacity = 100;

struct MenuItem {
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  std::string Text;
};

// False for an item that cannot be read or is not a text item.
bool ReadTextItem(HMENU menu, int position, MenuItem& item) {
  char text[kMenuTextCapacity] = {};
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
  info.dwTypeData = text;
  info.cch = kMenuTextCapacity;
  if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return false;
  if ((info.fType & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)) != 0) return false;
  item.Id = info.wID;
  item.SubMenu = info.hSubMenu;
  item.Text = text;
  return true;
}

}  // namespace

uint32_t FindFullScreenCommand(HMENU menuBar) {
  const int count = GetMenuItemCount(menuBar);
  for (int i = 0; i < count; ++i) {
    MenuItem view;
    if (!ReadTextItem(menuBar, i, view) || !IsViewMenuText(view.Text)) continue;
    const int items = GetMenuItemCount(view.SubMenu);
    for (int j = 0; j < items; ++j) {
      MenuItem item;
      if (ReadTextItem(view.SubMenu, j, item) && IsFullScreenItemText(item.Text)) return item.Id;
    }
    break;
  }
  return kDefaultFullScreenCommand;
}

}  // namespace vm
