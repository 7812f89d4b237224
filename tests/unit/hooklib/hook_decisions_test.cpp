#include "hooklib/hook_decisions.h"

#include <gtest/gtest.h>

#include <vector>

#include "hooklib/ready_latch.h"

namespace {

constexpr uint32_t kProjector = 4242;
constexpr uint32_t kOtherProcess = 777;
constexpr uint32_t kMainWindow = 0x00010066;
constexpr uint32_t kMovieWindow = 0x0002004A;
constexpr int kNoRemove = 3;  // HC_NOREMOVE: the message is only being peeked at
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kKeyA = 'A';
constexpr uint32_t kRepeatedKeyDown = vm::kKeyWasDown | 1;
constexpr uint32_t kKeyUp = vm::kKeyReleased | vm::kKeyWasDown | 1;

// A block as the Runner fills it while the movie plays: projector started, movie embedded.
struct RunningSession {
  RunningSession() {
    block.Set(vm::kBlockProjectorProcessId, kProjector);
    block.Set(vm::kBlockMainWindow, kMainWindow);
    block.Set(vm::kBlockMainWindowCopy, kMainWindow);
    block.Set(vm::kBlockProjectorWindow, kMovieWindow);
  }
  // The Runner's clean-up.
  void End() {
    for (vm::DwordField field : {vm::kBlockProjectorProcessId, vm::kBlockReserved28, vm::kBlockProjectorWindow,
                                 vm::kBlockMainWindow, vm::kBlockMainWindowCopy})
      block.Set(field, 0);
    block.Set(vm::kBlockReserved60, 0);
    block.Set(vm::kBlockKeyInteractionOff, 0);
  }
  std::vector<uint8_t> bytes = std::vector<uint8_t>(vm::kSharedBlockSize);
  vm::SharedBlock block{bytes.data()};
};

TEST(ActsInProcess, OnlyTheProjectorsProcessWhileTheSessionRuns) {
  RunningSession s;
  EXPECT_TRUE(vm::ActsInProcess(s.block, kProjector));
  EXPECT_FALSE(vm::ActsInProcess(s.block, kOtherProcess));

  // Before the projector is started no process is it.
  s.block.Set(vm::kBlockProjectorProcessId, 0);
  EXPECT_FALSE(vm::ActsInProcess(s.block, 0));

  RunningSession ended;
  ended.End();
  EXPECT_FALSE(vm::ActsInProcess(ended.block, kProjector));
  EXPECT_FALSE(vm::ActsInProcess(ended.block, 0));

  // A main window cleared alone also ends it: there is no one left to tell.
  RunningSession noWindow;
  noWindow.block.Set(vm::kBlockMainWindow, 0);
  EXPECT_FALSE(vm::ActsInProcess(noWindow.block, kProjector));
}

TEST(MovieJustEmbedded, WhenTheMovieWindowIsTheMainWindowsChildAndNotYetReported) {
  RunningSession s;
  EXPECT_TRUE(vm::MovieJustEmbedded(s.block, kMainWindow));
  EXPECT_FALSE(vm::MovieJustEmbedded(s.block, 0));             // still top-level
  EXPECT_FALSE(vm::MovieJustEmbedded(s.block, kMovieWindow));  // any other parent

  s.block.Set(vm::kBlockProjectorReady, 1);
  EXPECT_FALSE(vm::MovieJustEmbedded(s.block, kMainWindow));

  RunningSession notFound;
  notFound.block.Set(vm::kBlockProjectorWindow, 0);
  EXPECT_FALSE(vm::MovieJustEmbedded(notFound.block, kMainWindow));

  // After the clean-up a window without a parent must not match the cleared main window.
  RunningSession ended;
  ended.End();
  EXPECT_FALSE(vm::MovieJustEmbedded(ended.block, 0));
}

TEST(ReadyLatch, LetsOneNoticeThroughPerMovieWindow) {
  vm::ReadyLatch latch;
  EXPECT_TRUE(latch.Claim(kMovieWindow));
  EXPECT_FALSE(latch.Claim(kMovieWindow));
  EXPECT_TRUE(latch.Claim(kMovieWindow + 4));
}

TEST(DecideKey, EscapeGoesToTheRunnerOnlyWhenItEndsTheMovie) {
  using R = vm::KeyResponse;
  const struct {
    const char* label;
    bool exitOnEsc;
    vm::KeyEvent event;
    R expected;
  } cases[] = {
      {"first press", true, {vm::kHookAction, vm::kKeyEscape, 1, true}, R{true, true}},
      {"auto-repeat", true, {vm::kHookAction, vm::kKeyEscape, kRepeatedKeyDown, true}, R{false, true}},
      {"release", true, {vm::kHookAction, vm::kKeyEscape, kKeyUp, true}, R{}},
      {"peeked only", true, {kNoRemove, vm::kKeyEscape, 1, true}, R{}},
      {"focus outside the movie", true, {vm::kHookAction, vm::kKeyEscape, 1, false}, R{}},
      {"another key", true, {vm::kHookAction, kKeyA, 1, true}, R{}},
      {"ESC does not end the movie", false, {vm::kHookAction, vm::kKeyEscape, 1, true}, R{}},
  };
  for (const auto& c : cases) {
    RunningSession s;
    s.block.Set(vm::kBlockExitOnEsc, c.exitOnEsc);
    EXPECT_TRUE(vm::DecideKey(s.block, c.event) == c.expected) << c.label;
  }
}

TEST(DecideMouse, ClicksDragsAndTheRightButton) {
  using R = vm::MouseResponse;
  const R clicked{true, false, false, false, false};
  const R dragStarts{true, true, false, false, false};
  const R dragEnds{false, false, true, false, false};
  const R pressSwallowed{true, false, false, false, true};
  const R menu{false, false, false, true, true};
  const R swallowed{false, false, false, false, true};
  const struct {
    const char* label;
    bool draggable;
    bool menuOff;
    vm::MouseEvent event;
    R expected;
  } cases[] = {
      {"left press", false, false, {vm::kHookAction, vm::kLeftButtonDown, true}, clicked},
      {"left press, draggable", true, false, {vm::kHookAction, vm::kLeftButtonDown, true}, dragStarts},
      {"left double-click, draggable", true, false, {vm::kHookAction, vm::kLeftButtonDoubleClick, true}, dragStarts},
      {"left release, draggable", true, false, {vm::kHookAction, vm::kLeftButtonUp, true}, dragEnds},
      {"left release", false, false, {vm::kHookAction, vm::kLeftButtonUp, true}, R{}},
      {"middle press", false, false, {vm::kHookAction, vm::kMiddleButtonDown, true}, clicked},
      {"frame press, draggable", true, false, {vm::kHookAction, vm::kFrameLeftButtonDown, true}, clicked},
      {"right press", false, false, {vm::kHookAction, vm::kRightButtonDown, true}, pressSwallowed},
      {"right double-click", false, false, {vm::kHookAction, vm::kRightButtonDoubleClick, true}, pressSwallowed},
      {"right release", false, false, {vm::kHookAction, vm::kRightButtonUp, true}, menu},
      {"right release, no menu", false, true, {vm::kHookAction, vm::kRightButtonUp, true}, swallowed},
      {"right release on the frame", false, false, {vm::kHookAction, vm::kFrameRightButtonUp, true}, menu},
      {"right press on the frame", false, true, {vm::kHookAction, vm::kFrameRightButtonDown, true}, pressSwallowed},
      {"move, draggable", true, false, {vm::kHookAction, kMouseMove, true}, R{}},
      {"outside the movie", true, false, {vm::kHookAction, vm::kRightButtonUp, false}, R{}},
      {"peeked only", true, false, {kNoRemove, vm::kLeftButtonDown, true}, R{}},
  };
  for (const auto& c : cases) {
    RunningSession s;
    s.block.Set(vm::kBlockDraggable, c.draggable);
    s.block.Set(vm::kBlockRightClickMenuOff, c.menuOff);
    EXPECT_TRUE(vm::DecideMouse(s.block, c.event) == c.expected) << c.label;
  }
}

}  // namespace
