#include "engine/projector_menu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(ProjectorMenu, RecognisesTheViewMenuAndItsFullScreenItem) {
  for (const char* view : {"&View", "&Ansicht", "&Exibir"}) EXPECT_TRUE(vm::IsViewMenuText(view)) << view;
  for (const char* other : {"View", "&view", "&File", "&View ", "&Vie", ""})
    EXPECT_FALSE(vm::IsViewMenuText(other)) << other;
  for (const char* item : {"Full &Screen\tCtrl+F", "Full &Screen", "&Vollbild\tStrg+F", "&Tela Inteirathen\tCtrl+F"})
    EXPECT_TRUE(vm::IsFullScreenItemText(item)) << item;
  for (const char* other : {"Full Screen", "&Zoom In", "&Tela Inteira", "full &screen", "Full &Scree", ""})
    EXPECT_FALSE(vm::IsFullScreenItemText(other)) << other;
}

// Menus by number: 0 is the bar, an item's SubMenu names another entry, and a number without an
// entry cannot be read, as another process's menu under Wine.
struct FakeItem {
  uint32_t Id;
  int SubMenu;
  std::string Text;  // empty: a separator or a bitmap, which is no text item
};
using FakeMenus = std::vector<std::vector<FakeItem>>;
constexpr int kNoSubMenu = -1;

struct FakeReader {
  const FakeMenus& menus;
  int Count(int menu) const {
    return menu >= 0 && menu < static_cast<int>(menus.size()) ? static_cast<int>(menus[menu].size()) : -1;
  }
  bool ReadTextItem(int menu, int position, vm::MenuTextItem<int>& item) const {
    const FakeItem& fake = menus[menu][position];
    if (fake.Text.empty()) return false;
    item.Id = fake.Id;
    item.SubMenu = fake.SubMenu;
    std::snprintf(item.Text, vm::kMenuTextCapacity, "%s", fake.Text.c_str());
    return true;
  }
};

vm::FullScreenSearch Walk(const FakeMenus& menus) { return vm::FindFullScreenItem(FakeReader{menus}, 0); }

TEST(ProjectorMenu, TheFirstViewMenusFirstFullScreenItemGivesTheCommand) {
  const struct {
    const char* name;
    FakeMenus menus;
    uint32_t command;
  } cases[] = {
      {"the item in each language",
       {{{1, 1, "&File"}, {2, 2, "&Ansicht"}},
        {{100, kNoSubMenu, "Full &Screen"}},
        {{300, kNoSubMenu, "&Zoom In"}, {0, kNoSubMenu, ""}, {321, kNoSubMenu, "&Vollbild\tStrg+F"},
         {322, kNoSubMenu, "Full &Screen"}}},
       321},
      {"a bar item without text is passed over",
       {{{1, 1, ""}, {2, 1, "&Exibir"}}, {{77, kNoSubMenu, "&Tela Inteirathen\tCtrl+F"}}},
       77},
      {"no view menu", {{{1, 1, "&File"}, {2, 1, "&Help"}}, {{100, kNoSubMenu, "Full &Screen"}}},
       vm::kDefaultFullScreenCommand},
      {"only the first view menu counts",
       {{{1, 1, "&View"}, {2, 2, "&Ansicht"}}, {{300, kNoSubMenu, "&Zoom In"}}, {{400, kNoSubMenu, "&Vollbild"}}},
       vm::kDefaultFullScreenCommand},
      {"an item with id 0 counts as none, and ends the search",
       {{{1, 1, "&View"}}, {{0, kNoSubMenu, "Full &Screen"}, {500, kNoSubMenu, "Full &Screen"}}},
       vm::kDefaultFullScreenCommand},
      {"a view menu whose items cannot be read", {{{1, 9, "&View"}}}, vm::kDefaultFullScreenCommand},
      {"an empty bar", {{}}, vm::kDefaultFullScreenCommand},
  };
  for (const auto& c : cases) {
    const vm::FullScreenSearch search = Walk(c.menus);
    EXPECT_TRUE(search.MenuRead) << c.name;
    EXPECT_EQ(search.Command, c.command) << c.name;
  }
}

TEST(ProjectorMenu, ABarThatCannotBeReadIsToldApartFromOneWithoutTheItem) {
  const vm::FullScreenSearch search = Walk({});
  EXPECT_FALSE(search.MenuRead);
  EXPECT_EQ(search.Command, vm::kDefaultFullScreenCommand);
}

}  // namespace
