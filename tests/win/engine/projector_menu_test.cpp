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
    const vm::FullScreenSearch search = vm::FindFullScreenCommand(bar.get());
    EXPECT_TRUE(search.MenuRead) << c.view;
    EXPECT_EQ(search.Command, 321u) << c.view;
  }
}

// A window without a menu bar has been read: there is nothing to wait for. A handle that names
// no menu is what Wine answers for another process's.
TEST(FindFullScreenCommand, FallsBackTo20048AndSaysWhetherTheBarWasRead) {
  MenuBar noView;
  noView.Add("&File", {{100, "&Open"}}).Add("&Help", {{200, "Full &Screen"}});
  const struct {
    const char* name;
    HMENU bar;
    bool read;
  } cases[] = {
      {"no view menu", noView.get(), true},
      {"no menu bar", nullptr, true},
      {"a handle of no menu", reinterpret_cast<HMENU>(static_cast<intptr_t>(0x7FF0)), false},
  };
  for (const auto& c : cases) {
    const vm::FullScreenSearch search = vm::FindFullScreenCommand(c.bar);
    EXPECT_EQ(search.MenuRead, c.read) << c.name;
    EXPECT_EQ(search.Command, 20048u) << c.name;
  }
}

}  // namespace
