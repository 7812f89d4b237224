#include "engine/projector_menu_win.h"

namespace vm {
namespace {

struct SystemMenus {
  int Count(HMENU menu) const { return menu ? GetMenuItemCount(menu) : 0; }

  bool ReadTextItem(HMENU menu, int position, MenuTextItem<HMENU>& item) const {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info.dwTypeData = item.Text;
    info.cch = kMenuTextCapacity;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return false;
    if ((info.fType & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)) != 0) return false;
    item.Id = info.wID;
    item.SubMenu = info.hSubMenu;
    return true;
  }
};

}  // namespace

FullScreenSearch FindFullScreenCommand(HMENU menuBar) { return FindFullScreenItem(SystemMenus(), menuBar); }

}  // namespace vm
