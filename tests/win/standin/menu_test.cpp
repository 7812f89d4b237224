#include <windows.h>

#include <gtest/gtest.h>

#include "standin/observation_log.h"
#include "standin/projector_menu_win.h"
#include "standin/projector_window_win.h"

namespace {

using vm::standin::MenuLanguage;

struct Item {
  UINT Id = 0;
  HMENU Submenu = nullptr;
  std::string Text;
};

// Reads an item by position as the Runner does.
Item ItemAt(HMENU menu, UINT position) {
  char text[100] = {};
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
  info.dwTypeData = text;
  info.cch = sizeof text;
  Item item;
  if (GetMenuItemInfoA(menu, position, TRUE, &info)) item = {info.wID, info.hSubMenu, text};
  return item;
}

// The full-screen item of the first menu of the bar titled viewText; an empty item when there is none.
Item FullScreenItem(HMENU bar, const std::string& viewText) {
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    Item view = ItemAt(bar, i);
    if (view.Text == viewText && view.Submenu != nullptr) return ItemAt(view.Submenu, 0);
  }
  return {};
}

struct Variant {
  MenuLanguage Language;
  const char* View;
  const char* FullScreen;
} const kVariants[] = {
    {MenuLanguage::English, "&View", "Full &Screen\tCtrl+F"},
    {MenuLanguage::German, "&Ansicht", "&Vollbild\tStrg+F"},
};

TEST(ProjectorMenu, TheViewMenuHoldsTheFullScreenItemTheRunnerLooksFor) {
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.View);
    for (UINT id : {20048u, 4242u}) {
      vm::UniqueMenu bar = vm::standin::BuildProjectorMenu(v.Language, id);
      Item item = FullScreenItem(bar.get(), v.View);
      EXPECT_EQ(item.Text, v.FullScreen);
      EXPECT_EQ(item.Id, id);
    }
  }
}

// Wine cannot read another process's menu, so the window is made here, in this process.
TEST(ProjectorMenu, TheWindowCarriesTheMenuAndFrameItWasSetUpWith) {
  vm::standin::ObservationLog noLog("");
  for (const Variant& v : kVariants) {
    for (bool sizeBorder : {true, false}) {
      SCOPED_TRACE(std::string(v.View) + (sizeBorder ? " sizing border" : " fixed size"));
      vm::standin::WindowSetup setup;
      setup.Menu = v.Language;
      setup.SizeBorder = sizeBorder;
      vm::standin::ProjectorWindow projector(setup, noLog);
      HWND window = projector.Create(GetModuleHandleA(nullptr), SW_HIDE);
      EXPECT_EQ(FullScreenItem(GetMenu(window), v.View).Text, v.FullScreen);
      EXPECT_EQ((GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME) != 0, sizeBorder);
    }
  }
}

}  // namespace
