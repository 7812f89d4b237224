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

// The library reads the menu for the Runner until it has handed the command over, and stops for
// good once the Runner has taken the ready notice or the session is over.
TEST(AwaitsFullScreenCommand, UntilHandedOverAndOnlyWhileTheRunnerMayWait) {
  RunningSession s;
  EXPECT_TRUE(vm::AwaitsFullScreenCommand(s.block));
  s.block.Set(vm::kBlockFullScreenCommand, 4242);
  EXPECT_FALSE(vm::AwaitsFullScreenCommand(s.block));

  RunningSession ready;
  ready.block.Set(vm::kBlockProjectorReady, 1);
  EXPECT_FALSE(vm::AwaitsFullScreenCommand(ready.block));

  RunningSession ended;
  ended.End();
  EXPECT_FALSE(vm::AwaitsFullScreenCommand(ended.block));
}

TEST(ReadyLatch, LetsOneNoticeThroughPerMovieWindow) {
  vm::ReadyLatch latch;
  EXPECT_TRUE(latch.Claim(kMovieWindow));
  EXPECT_FALSE(latch.Claim(kMovieWindow));
  EXPECT_TRUE(latch.Claim(kMovieWindow + 4));
}

// The option bytes of a case: ESC ends the movie, keys off, mouse off, menu off, draggable.
struct Options {
  bool exitOnEsc = false;
  bool keysOff = false;
  bool mouseOff = false;
  bool menuOff = false;
  bool draggable = false;
  bool noMenuItems = false;  // "Close", "Setup" and "Minimize" all off
};

RunningSession With(const Options& o) {
  RunningSession s;
  s.block.Set(vm::kBlockExitOnEsc, o.exitOnEsc);
  s.block.Set(vm::kBlockKeyInteractionOff, o.keysOff);
  s.block.Set(vm::kBlockMouseInteractionOff, o.mouseOff);
  s.block.Set(vm::kBlockRightClickMenuOff, o.menuOff);
  s.block.Set(vm::kBlockDraggable, o.draggable);
  s.block.Set(vm::kBlockCloseMenu, !o.noMenuItems);
  return s;
}

TEST(DecideKey, EscapeAndKeysOffEndTheMovieAndTheProjectorSeesNoneOfIt) {
  using R = vm::KeyResponse;
  const R escape{true, false, true};
  const R ends{false, true, true};
  const R swallowed{false, false, true};
  Options esc;
  esc.exitOnEsc = true;
  Options keysOff;
  keysOff.keysOff = true;
  Options both = keysOff;
  both.exitOnEsc = true;
  const struct {
    const char* label;
    Options options;
    vm::KeyEvent event;
    R expected;
  } cases[] = {
      {"ESC, first press", esc, {vm::kHookAction, vm::kKeyEscape, 1, true}, escape},
      {"ESC, auto-repeat", esc, {vm::kHookAction, vm::kKeyEscape, kRepeatedKeyDown, true}, swallowed},
      {"ESC, release", esc, {vm::kHookAction, vm::kKeyEscape, kKeyUp, true}, R{}},
      {"ESC, peeked only", esc, {kNoRemove, vm::kKeyEscape, 1, true}, R{}},
      {"ESC, focus outside the movie", esc, {vm::kHookAction, vm::kKeyEscape, 1, false}, R{}},
      {"another key, ESC ends", esc, {vm::kHookAction, kKeyA, 1, true}, R{}},
      {"ESC that ends nothing", Options{}, {vm::kHookAction, vm::kKeyEscape, 1, true}, R{}},
      {"a key, keys on", Options{}, {vm::kHookAction, kKeyA, 1, true}, R{}},
      {"a key, keys off", keysOff, {vm::kHookAction, kKeyA, 1, true}, ends},
      {"auto-repeat, keys off", keysOff, {vm::kHookAction, kKeyA, kRepeatedKeyDown, true}, swallowed},
      {"release, keys off", keysOff, {vm::kHookAction, kKeyA, kKeyUp, true}, swallowed},
      {"ESC, keys off", keysOff, {vm::kHookAction, vm::kKeyEscape, 1, true}, ends},
      {"ESC, keys off and ESC ends", both, {vm::kHookAction, vm::kKeyEscape, 1, true}, escape},
      {"ESC release, keys off and ESC ends", both, {vm::kHookAction, vm::kKeyEscape, kKeyUp, true}, swallowed},
      {"keys off, peeked only", keysOff, {kNoRemove, kKeyA, 1, true}, R{}},
      {"keys off, focus outside the movie", keysOff, {vm::kHookAction, kKeyA, 1, false}, R{}},
  };
  for (const auto& c : cases) {
    RunningSession s = With(c.options);
    EXPECT_TRUE(vm::DecideKey(s.block, c.event) == c.expected) << c.label;
  }
}

// The Runner rewrites the keys byte while the movie plays; the next key follows it.
TEST(DecideKey, FollowsTheKeysByteAsTheRunnerRewritesIt) {
  RunningSession s;
  const vm::KeyEvent press{vm::kHookAction, kKeyA, 1, true};
  EXPECT_FALSE(vm::DecideKey(s.block, press).endMovie);
  s.block.Set(vm::kBlockKeyInteractionOff, 1);
  EXPECT_TRUE(vm::DecideKey(s.block, press).endMovie);
  s.block.Set(vm::kBlockKeyInteractionOff, 0);
  EXPECT_FALSE(vm::DecideKey(s.block, press).swallow);
}

TEST(DecideMouse, ClicksDragsTheRightButtonAndMouseOff) {
  using R = vm::MouseResponse;
  const R clicked{true, false, false, false, false, false};
  const R dragStarts{true, true, false, false, false, false};
  const R dragEnds{false, false, true, false, false, false};
  const R pressSwallowed{true, false, false, false, false, true};
  const R menu{false, false, false, true, false, true};
  const R ends{false, false, false, false, true, true};
  const R swallowed{false, false, false, false, false, true};
  Options draggable;
  draggable.draggable = true;
  Options menuOff;
  menuOff.menuOff = true;
  Options noItems;
  noItems.noMenuItems = true;
  Options mouseOff;
  mouseOff.mouseOff = true;
  Options mouseOffDraggable = mouseOff;
  mouseOffDraggable.draggable = true;
  Options mouseAndMenuOff = mouseOff;
  mouseAndMenuOff.menuOff = true;
  Options mouseOffNoItems = mouseOff;
  mouseOffNoItems.noMenuItems = true;
  const struct {
    const char* label;
    Options options;
    vm::MouseEvent event;
    R expected;
  } cases[] = {
      {"left press", Options{}, {vm::kHookAction, vm::kLeftButtonDown, true}, clicked},
      {"left press, draggable", draggable, {vm::kHookAction, vm::kLeftButtonDown, true}, dragStarts},
      {"left double-click, draggable", draggable, {vm::kHookAction, vm::kLeftButtonDoubleClick, true}, dragStarts},
      {"left release, draggable", draggable, {vm::kHookAction, vm::kLeftButtonUp, true}, dragEnds},
      {"left release", Options{}, {vm::kHookAction, vm::kLeftButtonUp, true}, R{}},
      {"middle press", Options{}, {vm::kHookAction, vm::kMiddleButtonDown, true}, clicked},
      {"middle release, draggable", draggable, {vm::kHookAction, vm::kMiddleButtonUp, true}, R{}},
      {"extra button press", Options{}, {vm::kHookAction, vm::kExtraButtonDown, true}, clicked},
      {"frame press, draggable", draggable, {vm::kHookAction, vm::kFrameLeftButtonDown, true}, clicked},
      {"right press", Options{}, {vm::kHookAction, vm::kRightButtonDown, true}, pressSwallowed},
      {"right double-click", Options{}, {vm::kHookAction, vm::kRightButtonDoubleClick, true}, pressSwallowed},
      {"right release", Options{}, {vm::kHookAction, vm::kRightButtonUp, true}, menu},
      {"right release, no menu", menuOff, {vm::kHookAction, vm::kRightButtonUp, true}, swallowed},
      {"right release, a menu without items", noItems, {vm::kHookAction, vm::kRightButtonUp, true}, swallowed},
      {"right release on the frame", Options{}, {vm::kHookAction, vm::kFrameRightButtonUp, true}, menu},
      {"right press on the frame", menuOff, {vm::kHookAction, vm::kFrameRightButtonDown, true}, pressSwallowed},
      {"move, draggable", draggable, {vm::kHookAction, kMouseMove, true}, R{}},
      {"outside the movie", draggable, {vm::kHookAction, vm::kRightButtonUp, false}, R{}},
      {"peeked only", draggable, {kNoRemove, vm::kLeftButtonDown, true}, R{}},
      {"mouse off: left press", mouseOff, {vm::kHookAction, vm::kLeftButtonDown, true}, ends},
      {"mouse off: left press, draggable", mouseOffDraggable, {vm::kHookAction, vm::kLeftButtonDown, true}, ends},
      {"mouse off: left release, draggable", mouseOffDraggable, {vm::kHookAction, vm::kLeftButtonUp, true}, swallowed},
      {"mouse off: left double-click", mouseOff, {vm::kHookAction, vm::kLeftButtonDoubleClick, true}, ends},
      {"mouse off: middle press", mouseOff, {vm::kHookAction, vm::kMiddleButtonDown, true}, ends},
      {"mouse off: extra button release", mouseOff, {vm::kHookAction, vm::kExtraButtonUp, true}, swallowed},
      {"mouse off: frame press", mouseOff, {vm::kHookAction, vm::kFrameLeftButtonDown, true}, ends},
      {"mouse off: move", mouseOff, {vm::kHookAction, kMouseMove, true}, R{}},
      {"mouse off: right press, the menu opens", mouseOff, {vm::kHookAction, vm::kRightButtonDown, true},
       pressSwallowed},
      {"mouse off: right release, the menu opens", mouseOff, {vm::kHookAction, vm::kRightButtonUp, true}, menu},
      {"mouse off: right press, no menu", mouseAndMenuOff, {vm::kHookAction, vm::kRightButtonDown, true}, ends},
      {"mouse off: right release, no menu", mouseAndMenuOff, {vm::kHookAction, vm::kRightButtonUp, true}, swallowed},
      {"mouse off: right press, no items", mouseOffNoItems, {vm::kHookAction, vm::kRightButtonDown, true}, ends},
      {"mouse off: outside the movie", mouseOff, {vm::kHookAction, vm::kLeftButtonDown, false}, R{}},
      {"mouse off: peeked only", mouseOff, {kNoRemove, vm::kLeftButtonDown, true}, R{}},
  };
  for (const auto& c : cases) {
    RunningSession s = With(c.options);
    EXPECT_TRUE(vm::DecideMouse(s.block, c.event) == c.expected) << c.label;
  }
}

// Any one of the three items makes a menu.
TEST(DecideMouse, TheMenuOpensWithAnyOfItsItems) {
  for (vm::ByteField item : {vm::kBlockCloseMenu, vm::kBlockSetupMenu, vm::kBlockMinimizeMenu}) {
    RunningSession s;
    s.block.Set(item, 1);
    EXPECT_TRUE(vm::DecideMouse(s.block, {vm::kHookAction, vm::kRightButtonUp, true}).showMenu) << item.offset;
  }
}

}  // namespace
