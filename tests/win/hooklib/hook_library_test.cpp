// vardelrun.dll for real: loaded under an instance's file name, hooked system-wide into a target
// process that stands in for the projector, and watched from a window that stands in for the
// Runner's main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/runner_messages.h"
#include "engine/shared_block.h"
#include "engine/shared_block_win.h"
#include "support/win_handles.h"
#include "win/hooklib/hook_fixture.h"

namespace {

using vmtest::PumpUntil;

constexpr char kLibraryCopyName[] = "vardelrun2.dll";
constexpr char kMappingName[] = "HalvornRunnerMapping_VDL_RT2";
constexpr char kRunnerMessageName[] = "HalvornRunnerMessage_VDL_RT2";
constexpr char kRunnerClassName[] = "VardelHookTestRunner";
constexpr DWORD kWaitMs = 5000;   // for what must arrive
constexpr DWORD kQuietMs = 400;   // for what must not
constexpr DWORD kPollMs = 5;
constexpr uint32_t kTargetFullScreenId = 31337;  // hook_target's

// What reached the stand-in for the Runner's main window, and the runner message that reached its
// thread.
struct Received {
  UINT message;
  WPARAM wParam;
};
std::vector<Received> g_received;

LRESULT CALLBACK RunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR || (message > WM_USER && message <= WM_USER + 50)) g_received.push_back({message, wParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

int CountReceived(UINT message, WPARAM wParam) {
  int count = 0;
  for (const Received& r : g_received)
    if (r.message == message && r.wParam == wParam) ++count;
  return count;
}

UINT RunnerMessage() {
  static const UINT message = RegisterWindowMessageA(kRunnerMessageName);
  return message;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// The stand-in projector of these tests, which counts the input that reached it in its caption:
// "escapes E keys K left L right R".
class HookTarget : public vmtest::TargetProcess {
 public:
  HookTarget() : TargetProcess(HOOK_TARGET) {}
};

class HookLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = new vmtest::LoadedLibrary(kLibraryCopyName, kMappingName);
    vmtest::OnThreadMessage = [](const MSG& message) {
      if (message.message == RunnerMessage()) g_received.push_back({message.message, message.wParam});
    };
  }
  static void TearDownTestSuite() {
    vmtest::OnThreadMessage = nullptr;
    delete library_;
    library_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(library_->view) << "mapping " << kMappingName;
    ASSERT_TRUE(library_->module) << "LoadLibraryA failed (error " << GetLastError() << ")";
    g_received.clear();
    block_.Clear();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RunnerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRunnerClassName;
    RegisterClassA(&windowClass);
    runner_.reset(CreateWindowExA(0, kRunnerClassName, "runner", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                  50, 50, 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(runner_);

    // As the Runner installs them: system-wide, with the library's module.
    HMODULE module = library_->module.get();
    keyboard_.reset(SetWindowsHookExA(WH_KEYBOARD, library_->Procedure("KProc"), module, 0));
    cbt_.reset(SetWindowsHookExA(WH_CBT, library_->Procedure("CProc"), module, 0));
    mouse_.reset(SetWindowsHookExA(WH_MOUSE, library_->Procedure("MProc"), module, 0));
    getMessage_.reset(SetWindowsHookExA(WH_GETMESSAGE, library_->Procedure("GProc"), module, 0));
    ASSERT_TRUE(keyboard_ && cbt_ && mouse_ && getMessage_) << "SetWindowsHookExA (error " << GetLastError() << ")";
    block_.Set(vm::kBlockMouseHook, vm::HandleToBlock(mouse_.get()));
    block_.Set(vm::kBlockKeyboardHook, vm::HandleToBlock(keyboard_.get()));
    block_.Set(vm::kBlockCbtHook, vm::HandleToBlock(cbt_.get()));
    block_.Set(vm::kBlockGetMessageHook, vm::HandleToBlock(getMessage_.get()));
    block_.Set(vm::kBlockMainWindow, vm::HandleToBlock(runner_.get()));
    block_.Set(vm::kBlockMainWindowCopy, vm::HandleToBlock(runner_.get()));
    block_.Set(vm::kBlockRunnerThreadId, GetCurrentThreadId());
    block_.Set(vm::kBlockRunnerProcessId, GetCurrentProcessId());
    // The Runner's menu has its "Close" item unless the settings take it away.
    block_.Set(vm::kBlockCloseMenu, 1);
  }

  void TearDown() override {
    keyboard_.reset();
    cbt_.reset();
    mouse_.reset();
    getMessage_.reset();
  }

  // The Runner's steps: the projector's process named before it runs, its window found and made
  // a child of the main window, then named too.
  void StartProjector(HookTarget& target) {
    block_.Set(vm::kBlockProjectorProcessId, target.ProcessId());
    ASSERT_TRUE(target.Start());
  }
  void Embed(const HookTarget& target) {
    SetParent(target.Window(), runner_.get());
    SetWindowPos(target.Window(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    block_.Set(vm::kBlockProjectorWindow, vm::HandleToBlock(target.Window()));
    // A playing projector takes messages all the time; this one is idle, so hand it one.
    PostMessageA(target.Window(), WM_NULL, 0, 0);
  }

  // The Runner's clean-up.
  void EndSession() {
    for (vm::DwordField field : {vm::kBlockProjectorProcessId, vm::kBlockReserved28, vm::kBlockProjectorWindow,
                                 vm::kBlockMainWindow, vm::kBlockMainWindowCopy})
      block_.Set(field, 0);
    block_.Set(vm::kBlockReserved60, 0);
    block_.Set(vm::kBlockKeyInteractionOff, 0);
  }

  // A message for the target's thread to take.
  static void Poke(const HookTarget& target) { PostMessageA(target.Window(), WM_NULL, 0, 0); }

  // Keys as a user types them, through the input queue to the focused target window.
  // The threads share their input state only while attached, so the key must have landed, in
  // the target or as the library's WM_CHAR, before they part; a key still queued then is lost.
  // The short pump after it gives the key's release the same chance.
  static void PressKey(const HookTarget& target, BYTE virtualKey) {
    AttachThreadInput(GetCurrentThreadId(), target.ThreadId(), TRUE);
    SetForegroundWindow(GetAncestor(target.Window(), GA_ROOT));
    SetFocus(target.Window());
    PumpUntil([&] { return GetFocus() == target.Window(); }, kWaitMs);
    const std::string before = target.Caption();
    const size_t receivedBefore = g_received.size();
    keybd_event(virtualKey, 0, 0, 0);
    keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
    PumpUntil([&] { return target.Caption() != before || g_received.size() > receivedBefore; }, kWaitMs);
    PumpFor(kPollMs * 4);
    AttachThreadInput(GetCurrentThreadId(), target.ThreadId(), FALSE);
  }
  static void PressEscape(const HookTarget& target) { PressKey(target, VK_ESCAPE); }

  static void Click(const HookTarget& target, DWORD down, DWORD up) {
    RECT area;
    GetWindowRect(target.Window(), &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    mouse_event(down, 0, 0, 0, 0);
    mouse_event(up, 0, 0, 0, 0);
  }
  static void RightClick(const HookTarget& target) { Click(target, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }
  static void LeftClick(const HookTarget& target) { Click(target, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

  static void MoveOver(const HookTarget& target) {
    RECT area;
    GetWindowRect(target.Window(), &area);
    SetCursorPos(area.left + 10, area.top + 10);
    mouse_event(MOUSEEVENTF_MOVE, 20, 20, 0, 0);
  }

  static bool Arrives(UINT message, WPARAM wParam) {
    return PumpUntil([=] { return CountReceived(message, wParam) > 0; }, kWaitMs);
  }
  // Waits a while for the target to take what it was sent, then for what it says of it.
  static std::string QuietCaption(const HookTarget& target) {
    PumpFor(kQuietMs);
    return target.Caption();
  }

  static vmtest::LoadedLibrary* library_;
  vm::SharedBlock block_{static_cast<uint8_t*>(library_ ? library_->view.get() : nullptr)};
  vm::UniqueWindow runner_;
  vm::UniqueHook keyboard_, cbt_, mouse_, getMessage_;
};

vmtest::LoadedLibrary* HookLibrary::library_ = nullptr;

TEST_F(HookLibrary, ExportsEveryProcedureByItsPlainName) {
  for (const char* name : {"MProc", "KProc", "CProc", "GProc", "WProc", "FProc", "SProc", "LProc"})
    EXPECT_NE(library_->Procedure(name), nullptr) << name;
}

// The Runner installs "GProc" only for one kiosk option; the notice must come without it, from
// the first message the projector takes once its window sits in the main window.
TEST_F(HookLibrary, AnnouncesTheMovieOnceTheMainWindowHoldsIt) {
  getMessage_.reset();
  block_.Set(vm::kBlockGetMessageHook, 0);
  HookTarget target;
  StartProjector(target);

  block_.Set(vm::kBlockProjectorWindow, vm::HandleToBlock(target.Window()));
  Poke(target);
  PumpFor(kQuietMs);
  EXPECT_EQ(CountReceived(vm::WM_RUNNER_READY, 0), 0) << "still a window of its own";

  Embed(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_READY, 0));
  Poke(target);
  LeftClick(target);
  PumpFor(kQuietMs);
  EXPECT_EQ(CountReceived(vm::WM_RUNNER_READY, 0), 1);
}

// Under Wine the Runner cannot read the projector's menu. Once the movie window sits in the main
// window, before the Runner names it and switches it to full screen, the library reads the menu
// inside the projector and hands over the id of its full-screen item.
TEST_F(HookLibrary, HandsOverTheFullScreenIdOnceTheMainWindowHoldsTheMovie) {
  HookTarget target;
  StartProjector(target);
  Poke(target);
  PumpFor(kQuietMs);
  EXPECT_EQ(block_.Get(vm::kBlockFullScreenCommand), 0u) << "still a window of its own";

  SetParent(target.Window(), runner_.get());
  Poke(target);
  PumpUntil([&] { return block_.Get(vm::kBlockFullScreenCommand) != 0; }, kWaitMs);
  EXPECT_EQ(block_.Get(vm::kBlockFullScreenCommand), kTargetFullScreenId);
}

TEST_F(HookLibrary, EscapeGoesToTheRunnerOnlyWhenItEndsTheMovie) {
  HookTarget target;
  StartProjector(target);
  Embed(target);

  block_.Set(vm::kBlockExitOnEsc, 1);
  PressEscape(target);
  EXPECT_TRUE(Arrives(WM_CHAR, VK_ESCAPE));
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 0 right 0") << "the projector must not see it";

  g_received.clear();
  block_.Set(vm::kBlockExitOnEsc, 0);
  PressEscape(target);
  EXPECT_EQ(QuietCaption(target), "escapes 1 keys 0 left 0 right 0");
  EXPECT_EQ(CountReceived(WM_CHAR, VK_ESCAPE), 0);
}

TEST_F(HookLibrary, TheRightButtonOpensTheRunnersMenuNeverTheProjectors) {
  HookTarget target;
  StartProjector(target);
  Embed(target);

  RightClick(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_SHOW_MENU, 0));
  EXPECT_EQ(CountReceived(vm::WM_RUNNER_MOVIE_CLICKED, 0), 1);

  g_received.clear();
  block_.Set(vm::kBlockRightClickMenuOff, 1);
  RightClick(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_MOVIE_CLICKED, 0));
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 0 right 0");
  EXPECT_EQ(CountReceived(vm::WM_RUNNER_SHOW_MENU, 0), 0);
}

TEST_F(HookLibrary, TheLeftButtonStartsAndEndsADragWhenTheMovieIsDraggable) {
  HookTarget target;
  StartProjector(target);
  Embed(target);

  LeftClick(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_MOVIE_CLICKED, 0));
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 1 right 0");
  EXPECT_EQ(CountReceived(vm::WM_RUNNER_DRAG_START, WM_LBUTTONDOWN), 0);

  g_received.clear();
  block_.Set(vm::kBlockDraggable, 1);
  LeftClick(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_CANCEL_DRAG, 0));
  ASSERT_EQ(g_received.size(), 3u);
  EXPECT_EQ(g_received[0].message, vm::WM_RUNNER_MOVIE_CLICKED);
  EXPECT_EQ(g_received[1].message, vm::WM_RUNNER_DRAG_START);
  EXPECT_EQ(g_received[1].wParam, static_cast<WPARAM>(WM_LBUTTONDOWN));
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 2 right 0") << "the movie still gets the click";
}

// With key interaction off a key ends the movie as the close request does; the Runner rewrites
// the byte as the movie plays, and the next key follows it.
TEST_F(HookLibrary, WithKeysOffAKeyEndsTheMovieAndNeverReachesIt) {
  HookTarget target;
  StartProjector(target);
  Embed(target);

  block_.Set(vm::kBlockKeyInteractionOff, 1);
  PressKey(target, 'A');
  EXPECT_TRUE(Arrives(RunnerMessage(), 0));
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 0 right 0");
  EXPECT_EQ(CountReceived(RunnerMessage(), 0), 1) << "one request for one press";

  g_received.clear();
  block_.Set(vm::kBlockKeyInteractionOff, 0);
  PressKey(target, 'A');
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 1 left 0 right 0");
  EXPECT_EQ(CountReceived(RunnerMessage(), 0), 0);
}

TEST_F(HookLibrary, WithTheMouseOffAPressEndsTheMovieAndAMoveDoesNot) {
  HookTarget target;
  StartProjector(target);
  Embed(target);
  block_.Set(vm::kBlockMouseInteractionOff, 1);
  block_.Set(vm::kBlockRightClickMenuOff, 1);

  MoveOver(target);
  PumpFor(kQuietMs);
  EXPECT_EQ(CountReceived(RunnerMessage(), 0), 0) << "a move";

  LeftClick(target);
  EXPECT_TRUE(Arrives(RunnerMessage(), 0));
  RightClick(target);
  EXPECT_EQ(QuietCaption(target), "escapes 0 keys 0 left 0 right 0");
  EXPECT_EQ(CountReceived(RunnerMessage(), 0), 2);

  // The right button opens the Runner's menu when there is one, which has its own way out.
  g_received.clear();
  block_.Set(vm::kBlockRightClickMenuOff, 0);
  RightClick(target);
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_SHOW_MENU, 0));
  EXPECT_EQ(CountReceived(RunnerMessage(), 0), 0);
}

TEST_F(HookLibrary, ReportsWhichWindowTheProjectorActivates) {
  HookTarget target;
  StartProjector(target);
  SetForegroundWindow(runner_.get());
  PumpFor(kQuietMs);
  g_received.clear();

  SetForegroundWindow(target.Window());
  EXPECT_TRUE(Arrives(vm::WM_RUNNER_ACTIVATION, reinterpret_cast<WPARAM>(target.Window())));
}

// Every process with input runs the library; only the one the block names is the projector.
TEST_F(HookLibrary, LeavesEveryOtherProcessAlone) {
  HookTarget projector;
  StartProjector(projector);
  HookTarget other;
  ASSERT_TRUE(other.Start());
  Embed(other);
  block_.Set(vm::kBlockExitOnEsc, 1);
  block_.Set(vm::kBlockDraggable, 1);

  PressEscape(other);
  RightClick(other);
  LeftClick(other);
  SetForegroundWindow(runner_.get());
  EXPECT_EQ(QuietCaption(other), "escapes 1 keys 0 left 1 right 2");
  for (const Received& r : g_received)
    EXPECT_TRUE(r.message == vm::WM_RUNNER_ACTIVATION && r.wParam != reinterpret_cast<WPARAM>(other.Window()))
        << std::hex << r.message << " " << r.wParam;
}

TEST_F(HookLibrary, GoesIdleOnceTheRunnerHasEndedTheSession) {
  HookTarget target;
  StartProjector(target);
  Embed(target);
  block_.Set(vm::kBlockExitOnEsc, 1);
  ASSERT_TRUE(Arrives(vm::WM_RUNNER_READY, 0));

  EndSession();
  g_received.clear();
  PressEscape(target);
  RightClick(target);
  EXPECT_EQ(QuietCaption(target), "escapes 1 keys 0 left 0 right 2");
  EXPECT_TRUE(g_received.empty());
}

}  // namespace
