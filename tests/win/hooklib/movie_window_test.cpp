// What vardelrun.dll does to the projector's movie window, for real: the library loaded under an
// instance's file name and hooked system-wide as the Runner hooks it, a target process standing
// in for the projector, its window embedded in a window of this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/shared_block.h"
#include "engine/shared_block_win.h"
#include "support/win_handles.h"
#include "win/hooklib/hook_fixture.h"

namespace {

using vmtest::PumpUntil;

constexpr char kLibraryCopyName[] = "vardelrun3.dll";
constexpr char kMappingName[] = "HalvornRunnerMapping_VDL_RT3";
constexpr char kRunnerClassName[] = "VardelMovieWindowTestRunner";
constexpr DWORD kWaitMs = 5000;   // for what must arrive
constexpr DWORD kQuietMs = 400;   // for what must not
constexpr DWORD kMoveEveryMs = 100;
constexpr LPARAM kMonitorOff = 2;
constexpr LPARAM kMonitorOn = -1;

// The stand-in projector's movie window, which reports in its caption what reached it.
class Target : public vmtest::TargetProcess {
 public:
  Target() : TargetProcess(MOVIE_WINDOW_TARGET) {}

  // True once the caption holds the text; each poke hands the target a message to report on.
  bool Says(const std::string& text) const {
    return PumpUntil([&] {
      PostMessageA(Window(), WM_NULL, 0, 0);
      return Caption().find(text) != std::string::npos;
    }, kWaitMs);
  }
  // As the system sends them: the answer comes back once the window has handled it.
  void SendSystemCommand(WPARAM command, LPARAM argument) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Window(), WM_SYSCOMMAND, command, argument, SMTO_NORMAL, kWaitMs, &result);
  }
  // Moves the mouse over the window until it reports the expected cursor, or the time is up.
  bool CursorOverIs(const char* expected) const {
    RECT area;
    GetWindowRect(Window(), &area);
    const std::string wanted = std::string("cursor ") + expected + " ";
    int step = 0;
    const DWORD start = GetTickCount();
    do {
      SetCursorPos((area.left + area.right) / 2 + (step % 2), (area.top + area.bottom) / 2);
      mouse_event(MOUSEEVENTF_MOVE, step++ % 2 ? 1 : -1, 0, 0, 0);
      if (PumpUntil([&] { return Caption().find(wanted) != std::string::npos; }, kMoveEveryMs)) return true;
    } while (GetTickCount() - start < kWaitMs);
    return false;
  }
};

class MovieWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = new vmtest::LoadedLibrary(kLibraryCopyName, kMappingName); }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(library_->view) << "mapping " << kMappingName;
    ASSERT_TRUE(library_->module) << "LoadLibraryA failed (error " << GetLastError() << ")";
    block_.Clear();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kRunnerClassName;
    RegisterClassA(&windowClass);
    runner_.reset(CreateWindowExA(0, kRunnerClassName, "runner", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                  50, 50, 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(runner_);
    // The two hooks that the Runner always installs.
    keyboard_.reset(SetWindowsHookExA(WH_KEYBOARD, library_->Procedure("KProc"), library_->module.get(), 0));
    cbt_.reset(SetWindowsHookExA(WH_CBT, library_->Procedure("CProc"), library_->module.get(), 0));
    ASSERT_TRUE(keyboard_ && cbt_) << "SetWindowsHookExA (error " << GetLastError() << ")";
    block_.Set(vm::kBlockKeyboardHook, vm::HandleToBlock(keyboard_.get()));
    block_.Set(vm::kBlockCbtHook, vm::HandleToBlock(cbt_.get()));
    block_.Set(vm::kBlockMainWindow, vm::HandleToBlock(runner_.get()));
    block_.Set(vm::kBlockMainWindowCopy, vm::HandleToBlock(runner_.get()));
  }

  void TearDown() override {
    keyboard_.reset();
    cbt_.reset();
  }

  // The Runner's steps: the projector named before it runs, its window found, made a child of
  // the main window, and named too.
  void PlayIn(Target& target) {
    block_.Set(vm::kBlockProjectorProcessId, target.ProcessId());
    ASSERT_TRUE(target.Start());
    SetParent(target.Window(), runner_.get());
    SetWindowPos(target.Window(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    block_.Set(vm::kBlockProjectorWindow, vm::HandleToBlock(target.Window()));
  }

  // The Runner's clean-up.
  void EndSession() {
    for (vm::DwordField field : {vm::kBlockProjectorProcessId, vm::kBlockReserved28, vm::kBlockProjectorWindow,
                                 vm::kBlockMainWindow, vm::kBlockMainWindowCopy})
      block_.Set(field, 0);
    block_.Set(vm::kBlockReserved60, 0);
    block_.Set(vm::kBlockKeyInteractionOff, 0);
  }

  static vmtest::LoadedLibrary* library_;
  vm::SharedBlock block_{static_cast<uint8_t*>(library_ ? library_->view.get() : nullptr)};
  vm::UniqueWindow runner_;
  vm::UniqueHook keyboard_, cbt_;
};

vmtest::LoadedLibrary* MovieWindow::library_ = nullptr;

TEST_F(MovieWindow, TurnsTheScreenSaverAndPowerDownAwayWhileTheSessionAsks) {
  block_.Set(vm::kBlockDisableScreenSaver, 1);
  Target target;
  PlayIn(target);
  ASSERT_TRUE(target.Says("procedure replaced")) << target.Caption();

  target.SendSystemCommand(SC_SCREENSAVE, 0);
  target.SendSystemCommand(SC_MONITORPOWER, kMonitorOff);
  EXPECT_TRUE(target.Says("screensave 0 monitorpower 0 ")) << target.Caption();
  target.SendSystemCommand(SC_MONITORPOWER, kMonitorOn);
  EXPECT_TRUE(target.Says("screensave 0 monitorpower 1 ")) << "turning the monitor on goes through";

  block_.Set(vm::kBlockDisableScreenSaver, 0);
  target.SendSystemCommand(SC_SCREENSAVE, 0);
  EXPECT_TRUE(target.Says("screensave 1 monitorpower 1 ")) << target.Caption();

  // Once the session is over the window has its own procedure back, whatever the block says.
  block_.Set(vm::kBlockDisableScreenSaver, 1);
  EndSession();
  EXPECT_TRUE(target.Says("procedure own")) << target.Caption();
  target.SendSystemCommand(SC_SCREENSAVE, 0);
  target.SendSystemCommand(SC_MONITORPOWER, kMonitorOff);
  EXPECT_TRUE(target.Says("screensave 2 monitorpower 2 ")) << target.Caption();
}

TEST_F(MovieWindow, HidesTheCursorOverTheMovieWhileTheSessionAsks) {
  block_.Set(vm::kBlockHideCursor, 1);
  Target target;
  PlayIn(target);
  ASSERT_TRUE(target.Says("procedure replaced")) << target.Caption();

  EXPECT_TRUE(target.CursorOverIs("none")) << target.Caption();
  block_.Set(vm::kBlockHideCursor, 0);
  EXPECT_TRUE(target.CursorOverIs("shown")) << target.Caption();
  block_.Set(vm::kBlockHideCursor, 1);
  EXPECT_TRUE(target.CursorOverIs("none")) << target.Caption();

  EndSession();
  EXPECT_TRUE(target.CursorOverIs("shown")) << target.Caption();
  EXPECT_TRUE(target.Says("procedure own")) << target.Caption();
}

// A movie that asks for neither keeps its window as it is.
TEST_F(MovieWindow, LeavesTheWindowAloneWhenTheSessionAsksForNeither) {
  Target target;
  PlayIn(target);
  PumpUntil([] { return false; }, kQuietMs);
  EXPECT_TRUE(target.Says("procedure own")) << target.Caption();
  target.SendSystemCommand(SC_SCREENSAVE, 0);
  EXPECT_TRUE(target.CursorOverIs("shown")) << target.Caption();
  EXPECT_TRUE(target.Says("screensave 1 monitorpower 0 cursor shown procedure own")) << target.Caption();
}

}  // namespace
