#include <gtest/gtest.h>

#include <windows.h>

#include "core/keyboard_hook_thread_win.h"
#include "support/win_handles.h"

namespace {

constexpr DWORD kKeyWaitMs = 5000;
constexpr DWORD kPollMs = 10;
// A key no keyboard has, so that a sent one disturbs nothing.
constexpr WORD kUnusedKey = VK_F24;

LONG g_keys = 0;

LRESULT CALLBACK CountKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == kUnusedKey)
    InterlockedIncrement(&g_keys);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI SendPressAndRelease(LPVOID) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = kUnusedKey;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, inputs, sizeof(INPUT));
}

// From a thread of its own, as the keyboard's keys come: a thread that sends input itself has
// its own hooks called in the sending call.
void PressAndRelease() {
  const vm::UniqueHandle keyboard(CreateThread(nullptr, 0, SendPressAndRelease, nullptr, 0, nullptr));
  ASSERT_TRUE(keyboard);
}

// Waits without taking a single message, as the Runner's main thread does between its passes.
LONG KeysSeenWithin(DWORD ms, LONG expected) {
  for (DWORD waited = 0; waited < ms && InterlockedCompareExchange(&g_keys, 0, 0) < expected; waited += kPollMs)
    Sleep(kPollMs);
  return InterlockedCompareExchange(&g_keys, 0, 0);
}

TEST(KeyboardHookThread, TakesKeysWhileTheThreadThatMadeItTakesNoMessages) {
  InterlockedExchange(&g_keys, 0);
  vm::KeyboardHookThread hook(CountKeys, GetModuleHandleA(nullptr));
  ASSERT_TRUE(hook.Installed());
  PressAndRelease();
  EXPECT_EQ(KeysSeenWithin(kKeyWaitMs, 2), 2);
}

TEST(KeyboardHookThread, TakesItsHookAwayWhenItEnds) {
  InterlockedExchange(&g_keys, 0);
  { vm::KeyboardHookThread hook(CountKeys, GetModuleHandleA(nullptr)); }
  PressAndRelease();
  EXPECT_EQ(KeysSeenWithin(500, 1), 0);
}

}  // namespace
