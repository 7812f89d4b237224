#include "engine/projector_menu_win.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Items = std::vector<std::pair<UINT, const char*>>;

// A menu bar as a projector builds it: each top-level text with its items.
class MenuBar {
 public:
  MenuBar() : bar_(CreateMenu()) {}
  ~MenuBar() { DestroyMenu(bar_); }
  MenuBar& Add(const char* title, const Items& items) {
    HMENU sub = CreatePopupMenu();
    for (const auto& item : items) {
      if (item.second == nullptr) AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
      else AppendMenuA(sub, MF_STRING, item.first, item.second);
    }
    AppendMenuA(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), title);
    return *this;
  }
  HMENU get() const { return bar_; }

 private:
  HMENU bar_;
};

TEST(FindFullScreenCommand, ReadsTheItemOfTheFirstViewMenuInEachLanguage) {
  struct Case {
    const char* view;
    const char* item;
  } cases[] = {
      {"&View", "Full &Screen\tCtrl+F"},
      {"&Ansicht", "&Vollbild\tStrg+F"},
      {"&Exibir", "&Tela Inteirathen\tCtrl+F"},
  };
  for (const auto& c : cases) {
    MenuBar bar;
    bar.Add("&File", {{100, "Full &Screen"}})
        .Add(c.view, {{300, "&Zoom In"}, {0, nullptr}, {321, c.item}, {322, "Full &Screen"}});
    EXPECT_EQ(vm::FindFullScreenCommand(bar.get()), 321u) << c.view;
  }
}

TEST(FindFullScreenCommand, FallsBackTo20048) {
  MenuBar noView;
  noView.Add("&File", {{100, "&Open"}}).Add("&Help", {{200, "Full &Screen"}});
  EXPECT_EQ(vm::FindFullScreenCommand(noView.get()), 20048u);

  // Only the first view menu counts, even when a later one has the item.
  MenuBar firstWithout;
  firstWithout.Add("&View", {{300, "&Zoom In"}}).Add("&Ansicht", {{400, "&Vollbild"}});
  EXPECT_EQ(vm::FindFullScreenCommand(firstWithout.get()), 20048u);

  EXPECT_EQ(vm::FindFullScreenCommand(nullptr), 20048u);
}

}  // namespace
