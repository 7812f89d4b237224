// The kiosk options for keys, buttons and the right-click menu, with a real Runner, hook library
// and stand-in projector: the test types and clicks on the movie as a user does, through the
// system's input queue, and reads what reached the stand-in from its log.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/runner_harness.h"
#include "engine/shared_block.h"
#include "standin/demo_layout.h"
#include "support/win_handles.h"

namespace {

using vmtest::PackedRunner;
using vmtest::TraceHas;

constexpr DWORD kRunTimeoutMs = 40000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kRepeatMs = 1000;  // between presses that are to end the movie
constexpr DWORD kQuietMs = 1500;   // for what must not happen
constexpr char kMainClass[] = "GaGaMossantWindow";
constexpr char kMovieClass[] = "ShockwaveFlash";
constexpr char kMenuClass[] = "#32768";
// Each test's Runner has a base directory of its own, and so the first instance's names.
constexpr char kInstanceSuffix[] = "_VDL_RT";
// A point of the movie away from the demo's link and button.
constexpr POINT kOnTheMovie = {20, 20};
constexpr BYTE kKeyA = 'A';
constexpr char kKeyALine[] = "key 65";
constexpr char kLeftPressLine[] = "button 513";
constexpr char kLeftReleaseLine[] = "button 514";
constexpr char kContextMenuLine[] = "context-menu";
// The stand-in takes the focus once the Runner has brought the movie up, which moves it to the
// main window.
constexpr char kFocusScript[] = "ready;sleep 1500;focus";

PackedRunner Movie(const std::string& name, const std::string& settings) {
  return PackedRunner(name, {{"settings.ini", "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\nCustomSize=1\r\n"
                                              "Left=10\r\nTop=20\r\nWidth=640\r\nHeight=480\r\n" + settings},
                             vmtest::StandinProjector(), vmtest::HookLibrary()});
}

template <typename Condition>
bool Eventually(Condition condition, DWORD timeoutMs = kRunTimeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (condition()) return true;
    Sleep(kPollMs);
  }
  return condition();
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

// The Runner's right-click menu while it is open: a visible popup menu of its process.
struct MenuSearch {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK TakeMenu(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<MenuSearch*>(search);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (std::string(name) != kMenuClass || owner != s->ProcessId || !IsWindowVisible(window)) return TRUE;
  s->Found = window;
  return FALSE;
}

HWND OpenMenu(DWORD processId) {
  MenuSearch search{processId, nullptr};
  EnumWindows(TakeMenu, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The byte that the Runner sets while its menu is open, read from its shared block.
class MenuOpenFlag {
 public:
  MenuOpenFlag()
      : mapping_(OpenFileMappingA(FILE_MAP_READ, FALSE, (std::string(vm::kSharedMappingName) + kInstanceSuffix).c_str())),
        view_(mapping_ ? MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, vm::kSharedBlockSize) : nullptr) {}
  bool Mapped() const { return view_.get() != nullptr; }
  int Value() const { return vm::SharedBlockView(static_cast<const uint8_t*>(view_.get())).Get(vm::kBlockMenuOpen); }

 private:
  vm::UniqueHandle mapping_;
  vm::UniqueView view_;
};

class KioskInput : public ::testing::Test {
 protected:
  // Starts the Runner, waits until its movie is embedded and the Runner has settled it, and puts
  // the pointer on the movie.
  void Play(PackedRunner& runner) {
    // A table of cases plays one Runner after the other.
    started_ = std::make_unique<PackedRunner::Started>();
    runner.Start(*started_);
    ASSERT_TRUE(Eventually([&] {
      main_ = FindWindowA(kMainClass, nullptr);
      movie_ = main_ ? FindWindowExA(main_, nullptr, kMovieClass, nullptr) : nullptr;
      return movie_ != nullptr && IsWindowVisible(main_);
    })) << "the movie was not embedded";
    ASSERT_TRUE(Eventually([&] { return TraceHas(runner.TraceLines(), "the projector is ready"); }));
    RECT client;
    GetClientRect(movie_, &client);
    ASSERT_EQ(vm::standin::DemoAreaAt(client.right, client.bottom, kOnTheMovie.x, kOnTheMovie.y),
              vm::standin::DemoArea::None);
    POINT point = kOnTheMovie;
    ClientToScreen(movie_, &point);
    SetCursorPos(point.x, point.y);
  }

  // Waits for the stand-in to take the focus in its movie window.
  bool MovieHasFocus() const {
    const DWORD thread = GetWindowThreadProcessId(movie_, nullptr);
    return Eventually([&] {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(thread, &info) && info.hwndFocus == movie_;
    });
  }

  // Repeats the input until the Runner has ended, as a user would: an input in the moment before
  // the Runner takes requests to end the movie is lost.
  template <typename Input>
  bool EndsTheMovie(Input input) const {
    for (DWORD waited = 0; waited < kRunTimeoutMs; waited += kRepeatMs) {
      input();
      if (WaitForSingleObject(started_->Process, kRepeatMs) == WAIT_OBJECT_0) return true;
    }
    return false;
  }

  // Ends the movie as the close box does, and checks that the Runner leaves nothing behind.
  void CloseAndCheck(const PackedRunner& runner) {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    CheckEnded(runner);
  }
  void CheckEnded(const PackedRunner& runner) {
    ASSERT_TRUE(started_->WaitForExit(kRunTimeoutMs)) << "the Runner did not end";
    EXPECT_TRUE(Has(runner.StandinLines(), "closed"));
    EXPECT_TRUE(runner.LeftInBase().empty()) << runner.LeftInBase().front();
  }

  static void PressKey(BYTE key) {
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  }
  static void Click(DWORD down, DWORD up) {
    mouse_event(down, 0, 0, 0, 0);
    mouse_event(up, 0, 0, 0, 0);
  }
  static void LeftClick() { Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }
  static void RightClick() { Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

  // Opens the Runner's menu with a right-click on the movie, and answers it.
  HWND RightClickForMenu() const {
    RightClick();
    HWND menu = nullptr;
    Eventually([&] { return (menu = OpenMenu(started_->ProcessId)) != nullptr; }, kRunTimeoutMs / 4);
    return menu;
  }

  // Clicks the item at position index of an open menu of count string items, which all have
  // the same height.
  static void ChooseItem(HWND menu, int index, int count) {
    RECT client;
    GetClientRect(menu, &client);
    POINT point = {client.right / 2, client.bottom * (2 * index + 1) / (2 * count)};
    ClientToScreen(menu, &point);
    SetCursorPos(point.x, point.y);
    LeftClick();
  }

  std::unique_ptr<PackedRunner::Started> started_;
  HWND main_ = nullptr;
  HWND movie_ = nullptr;
};

TEST_F(KioskInput, WithKeysOffAKeyEndsTheMovieAndNeverReachesIt) {
  PackedRunner runner = Movie("KeysOff", "KeyInteraction=0\r\n");
  runner.StandinScript = kFocusScript;
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  ASSERT_TRUE(MovieHasFocus());
  EXPECT_TRUE(EndsTheMovie([] { PressKey(kKeyA); })) << "the key did not end the movie";
  CheckEnded(runner);
  EXPECT_FALSE(Has(runner.StandinLines(), kKeyALine));
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "the hook library asked for the end of the movie"));
}

// The focus may stay with the Runner's window after the movie is shown; a key there is as good.
TEST_F(KioskInput, WithKeysOffAKeyAtTheRunnersWindowEndsTheMovieToo) {
  PackedRunner runner = Movie("KeysOffAtRunner", "KeyInteraction=0\r\n");
  runner.StandinScript = kFocusScript;
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  EXPECT_TRUE(EndsTheMovie([&] { PostMessageA(main_, WM_KEYDOWN, kKeyA, 0); })) << "the key did not end the movie";
  CheckEnded(runner);
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "main window: a key ends the movie"));
}

TEST_F(KioskInput, WithKeysOnTheMovieGetsTheKeyAndGoesOn) {
  PackedRunner runner = Movie("KeysOn", "KeyInteraction=1\r\n");
  runner.StandinScript = kFocusScript;
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  ASSERT_TRUE(MovieHasFocus());
  PressKey(kKeyA);
  EXPECT_TRUE(Eventually([&] { return Has(runner.StandinLines(), kKeyALine); }));
  EXPECT_EQ(WaitForSingleObject(started_->Process, kQuietMs), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseAndCheck(runner);
}

TEST_F(KioskInput, WithTheMouseOffAClickEndsTheMovieAndNeverReachesIt) {
  PackedRunner runner = Movie("MouseOff", "Interaction=0\r\n");
  runner.StandinScript = "ready";
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  EXPECT_TRUE(EndsTheMovie([] { LeftClick(); })) << "the click did not end the movie";
  CheckEnded(runner);
  const auto log = runner.StandinLines();
  EXPECT_FALSE(Has(log, kLeftPressLine));
  EXPECT_FALSE(Has(log, kLeftReleaseLine));
  EXPECT_TRUE(TraceHas(runner.TraceLines(), "the hook library asked for the end of the movie"));
}

TEST_F(KioskInput, WithTheMouseOnTheMovieGetsTheClickAndGoesOn) {
  PackedRunner runner = Movie("MouseOn", "Interaction=1\r\n");
  runner.StandinScript = "ready";
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  LeftClick();
  EXPECT_TRUE(Eventually([&] { return Has(runner.StandinLines(), kLeftPressLine); }));
  EXPECT_EQ(WaitForSingleObject(started_->Process, kQuietMs), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseAndCheck(runner);
}

// Mouse interaction on and no dragging: the right button still belongs to the Runner.
TEST_F(KioskInput, TheRightButtonOpensTheRunnersMenuAndCloseEndsTheMovie) {
  PackedRunner runner = Movie("MenuClose", "Interaction=1\r\nRightClickMenu=1\r\nMinimizeMenu=1\r\n");
  runner.StandinScript = "ready";
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  MenuOpenFlag flag;
  ASSERT_TRUE(flag.Mapped());
  EXPECT_EQ(flag.Value(), 0);
  HWND menu = RightClickForMenu();
  ASSERT_NE(menu, nullptr) << "the Runner's menu did not open";
  EXPECT_EQ(flag.Value(), 1);
  ChooseItem(menu, 0, 2);  // "Close", "Minimize"
  CheckEnded(runner);
  EXPECT_FALSE(Has(runner.StandinLines(), kContextMenuLine));
}

TEST_F(KioskInput, MinimizeFromTheRunnersMenuMinimisesTheMainWindow) {
  PackedRunner runner = Movie("MenuMinimize", "Interaction=1\r\nRightClickMenu=1\r\nMinimizeMenu=1\r\n");
  runner.StandinScript = "ready";
  ASSERT_NO_FATAL_FAILURE(Play(runner));
  MenuOpenFlag flag;
  HWND menu = RightClickForMenu();
  ASSERT_NE(menu, nullptr) << "the Runner's menu did not open";
  ChooseItem(menu, 1, 2);
  EXPECT_TRUE(Eventually([&] { return IsIconic(main_) != FALSE; })) << "the main window was not minimised";
  EXPECT_EQ(flag.Value(), 0) << "the menu is closed";
  EXPECT_EQ(WaitForSingleObject(started_->Process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseAndCheck(runner);
  EXPECT_FALSE(Has(runner.StandinLines(), kContextMenuLine));
}

// With the menu off, or on without any of its items, a right-click opens no menu at all.
TEST_F(KioskInput, WithoutAMenuARightClickOpensNone) {
  const struct {
    const char* name;
    const char* settings;
  } cases[] = {
      {"MenuOff", "Interaction=1\r\nRightClickMenu=0\r\n"},
      {"MenuWithoutItems", "Interaction=1\r\nRightClickMenu=1\r\nCloseMenu=0\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PackedRunner runner = Movie(c.name, c.settings);
    runner.StandinScript = "ready";
    ASSERT_NO_FATAL_FAILURE(Play(runner));
    RightClick();
    EXPECT_FALSE(Eventually([&] { return OpenMenu(started_->ProcessId) != nullptr; }, kQuietMs));
    EXPECT_EQ(WaitForSingleObject(started_->Process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseAndCheck(runner);
    const auto log = runner.StandinLines();
    EXPECT_FALSE(Has(log, kContextMenuLine));
    EXPECT_FALSE(Has(log, "button 516"));  // WM_RBUTTONDOWN
    EXPECT_FALSE(Has(log, "button 517"));
  }
}

}  // namespace
